#pragma once

#include "Foundation/NSLocale.h"

#include <optional>
#include <string>

enum NSNumberFormatterStyle : int {
    NSNumberFormatterNoStyle = 0,
    NSNumberFormatterDecimalStyle = 1,
    NSNumberFormatterCurrencyStyle = 2,
    NSNumberFormatterPercentStyle = 3,
};

// Number formatting conventions of a locale, from ICU's locale data.
class NSNumberFormatter {
  public:
    NSNumberFormatter();

    NSNumberFormatterStyle numberStyle() const { return m_numberStyle; }
    void setNumberStyle(NSNumberFormatterStyle style) { m_numberStyle = style; }
    const NSLocale& locale() const { return m_locale; }
    void setLocale(NSLocale locale) { m_locale = std::move(locale); }

    // The locale's currency symbol ("$", "€", "CHF"); empty when ICU has none. A locale ICU
    // does not know falls back the way ICU falls back, ending at its root locale.
    std::optional<std::string> currencySymbol() const;

  private:
    NSNumberFormatterStyle m_numberStyle = NSNumberFormatterNoStyle;
    NSLocale m_locale;
};
