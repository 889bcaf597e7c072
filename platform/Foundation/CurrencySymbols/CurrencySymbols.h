#pragma once

#include <optional>
#include <string>
#include <string_view>

// The currency symbol ICU resolves for a locale ("de_CH": "CHF", "de": "€"), from a table made
// from ICU at build time, for where ICU is not (a browser). The table names every locale ICU
// has data for, every language alone, and each language with each region it is spoken in;
// a name it does not know falls back as ICU's data does, a part at a time from the end, to
// the root locale's "¤".
std::optional<std::string> currencySymbolFromTable(std::string_view localeIdentifier);
