#include "CurrencySymbols/CurrencySymbols.h"

namespace {

#include "CurrencySymbols/CurrencySymbols.inc"

std::optional<std::string_view> symbolOf(std::string_view locale) {
    for (std::string_view rest = currencySymbolTable; !rest.empty();) {
        const auto end = rest.find('\n');
        const std::string_view entry = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        const auto equals = entry.find('=');
        if (entry.substr(0, equals) == locale)
            return entry.substr(equals + 1);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> currencySymbolFromTable(std::string_view localeIdentifier) {
    // ICU's fallback: de_CH_1996 to de_CH to de, then the root locale. The name itself is
    // looked up even when empty: ICU makes "" the likely locale of nothing, en_Latn_US.
    for (std::string_view locale = localeIdentifier;;) {
        if (const auto symbol = symbolOf(locale))
            return symbol->empty() ? std::nullopt : std::optional<std::string>(*symbol);
        const auto underscore = locale.rfind('_');
        if (underscore == std::string_view::npos)
            return std::string("¤");
        locale = locale.substr(0, underscore);
    }
}
