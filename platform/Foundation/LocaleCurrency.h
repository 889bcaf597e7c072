#pragma once

#include <optional>
#include <string>
#include <string_view>

// The currency symbol of a locale as ICU resolves it: aliases made canonical (iw is he), then
// the likely script and region filled in (de is de_Latn_DE), so that a language alone has
// the currency of the country it is most spoken in. "¤" for a locale of no country (eo) and
// for a name without a language;
// empty when the locale's data has none. Natively from ICU; in a browser from the table made
// from ICU at build time.
std::optional<std::string> currencySymbolForLocale(std::string_view localeIdentifier);

// The generic sign ICU gives a locale of no country.
inline constexpr std::string_view genericCurrencySign = "¤";
