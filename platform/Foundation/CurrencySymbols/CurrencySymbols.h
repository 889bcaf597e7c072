#pragma once

#include <optional>
#include <string>
#include <string_view>

// The currency symbol ICU gives a locale ("de_CH": "CHF"), from a table made from ICU at
// build time, for where ICU is not (a browser). A locale the table does not name falls back
// as ICU's data does, to its language and then to the root locale's "¤".
std::optional<std::string> currencySymbolFromTable(std::string_view localeIdentifier);
