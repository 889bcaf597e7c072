// NSNumberFormatter where ICU is not: the locale's currency symbol from the table made from
// ICU when the program was built.
#include "Foundation/NSNumberFormatter.h"

#include "CurrencySymbols/CurrencySymbols.h"
#include "LocaleCurrency.h"

NSNumberFormatter::NSNumberFormatter() : m_locale(NSLocale::currentLocale()) {
}

std::optional<std::string> NSNumberFormatter::currencySymbol() const {
    return currencySymbolForLocale(m_locale.localeIdentifier());
}

std::optional<std::string> currencySymbolForLocale(std::string_view localeIdentifier) {
    return currencySymbolFromTable(localeIdentifier);
}
