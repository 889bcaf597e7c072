#include "Foundation/NSNumberFormatter.h"

#include "LocaleCurrency.h"

#include <unicode/dcfmtsym.h>
#include <unicode/locid.h>

NSNumberFormatter::NSNumberFormatter() : m_locale(NSLocale::currentLocale()) {
}

std::optional<std::string> NSNumberFormatter::currencySymbol() const {
    return currencySymbolForLocale(m_locale.localeIdentifier());
}

std::optional<std::string> currencySymbolForLocale(std::string_view localeIdentifier) {
    // ICU falls back from a language it has no data for to its default locale, which it takes
    // from the environment when first used: the same name would give another symbol in
    // another process. The root locale is the one fallback, everywhere.
    static const bool rootIsTheFallback = [] {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale::getRoot(), status);
        return U_SUCCESS(status);
    }();
    (void)rootIsTheFallback;
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale locale = icu::Locale::createCanonical(std::string(localeIdentifier).c_str());
    // Where the likely subtags cannot be found, the locale stays as it was; a name without a
    // language names nothing to guess from, and stays the root locale.
    icu::Locale likely = locale;
    likely.addLikelySubtags(status);
    if (*locale.getLanguage() && U_SUCCESS(status) && !likely.isBogus())
        locale = likely;
    status = U_ZERO_ERROR;
    const icu::DecimalFormatSymbols symbols(locale, status);
    if (U_FAILURE(status))
        return std::nullopt;
    std::string symbol;
    symbols.getConstSymbol(icu::DecimalFormatSymbols::kCurrencySymbol).toUTF8String(symbol);
    if (symbol.empty())
        return std::nullopt;
    return symbol;
}
