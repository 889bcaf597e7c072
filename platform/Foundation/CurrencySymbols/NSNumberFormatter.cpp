// NSNumberFormatter where ICU is not: the locale's currency symbol from the table made from
// ICU when the program was built.
#include "Foundation/NSNumberFormatter.h"

#include "CurrencySymbols/CurrencySymbols.h"

NSNumberFormatter::NSNumberFormatter() : m_locale(NSLocale::currentLocale()) {
}

std::optional<std::string> NSNumberFormatter::currencySymbol() const {
    return currencySymbolFromTable(m_locale.localeIdentifier());
}
