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

    // The symbols a formatter reports are the locale's whatever its style, and it formats no
    // numbers, so the style is taken as callers set it and changes nothing here.
    void setNumberStyle(NSNumberFormatterStyle) {}
    const NSLocale& locale() const { return m_locale; }
    void setLocale(NSLocale locale) { m_locale = std::move(locale); }

    // The locale's currency symbol ("$", "€", "CHF"); empty when ICU has none. A locale ICU
    // does not know falls back the way ICU falls back, ending at its root locale.
    std::optional<std::string> currencySymbol() const;

  private:
    NSLocale m_locale;
};
