#include "Runtime/NumberParsing.h"

#include <charconv>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace Runtime {
namespace {

bool isDigitOrPoint(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

// from_chars reports overflow and underflow without a value; strtod in the C locale rounds
// them the IEEE way. Only such extreme texts take this slower road.
double parseOutOfRange(std::string_view literal) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    const std::string terminated(literal);
    return strtod_l(terminated.c_str(), nullptr, cLocale);
}

} // namespace

std::optional<double> doubleFromString(std::string_view text) {
    // from_chars already parses exactly the decimal grammar wanted here, locale-free and
    // without blanks or hexadecimal, except that it refuses a leading plus and accepts the
    // words inf, infinity and nan: the first mantissa character settles both.
    const bool hasSign = !text.empty() && (text.front() == '+' || text.front() == '-');
    if (text.size() <= std::size_t{hasSign} || !isDigitOrPoint(text[hasSign]))
        return std::nullopt;
    if (text.front() == '+')
        text.remove_prefix(1);

    double value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (stop != end)
        return std::nullopt;
    if (error == std::errc::result_out_of_range)
        return parseOutOfRange(text);
    if (error != std::errc())
        return std::nullopt;
    return value;
}

} // namespace Runtime
