#include "Foundation/NSNumberFormatter.h"

#include <unicode/dcfmtsym.h>
#include <unicode/locid.h>

NSNumberFormatter::NSNumberFormatter() : m_locale(NSLocale::currentLocale()) {
}

std::optional<std::string> NSNumberFormatter::currencySymbol() const {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale locale = icu::Locale::createCanonical(m_locale.localeIdentifier().c_str());
    const icu::DecimalFormatSymbols symbols(locale, status);
    if (U_FAILURE(status))
        return std::nullopt;
    std::string symbol;
    symbols.getConstSymbol(icu::DecimalFormatSymbols::kCurrencySymbol).toUTF8String(symbol);
    if (symbol.empty())
        return std::nullopt;
    return symbol;
}
