#pragma once

#include <optional>
#include <string_view>

namespace Runtime {

// The runtime's text-to-double conversion: the whole text must be one decimal literal.
//
// Accepted: an optional sign (+ or -), digits with an optional point and fraction (digits on
// at least one side of the point), then an optional exponent (e or E, optional sign, digits).
// Refused: anything else, including blanks anywhere, hexadecimal ("0x1p3"), and the words
// "inf", "infinity" and "nan": none of them is an amount a person types.
// Magnitudes beyond a double's range round as IEEE 754 says: to infinity or to zero.
// The answer never depends on the process locale.
std::optional<double> doubleFromString(std::string_view text);

} // namespace Runtime
