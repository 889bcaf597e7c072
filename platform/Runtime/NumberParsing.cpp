#include "Runtime/NumberParsing.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace Runtime {
namespace {

bool isDigitOrPoint(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

// The power of ten just above a literal's magnitude, roughly: its significant digits' place
// plus its exponent, which saturates rather than overflowing.
long magnitudeOf(std::string_view literal) {
    const std::size_t point = std::min(literal.find('.'), literal.find_first_of("eE"));
    const std::size_t mantissaEnd = std::min(literal.find_first_of("eE"), literal.size());
    const std::string_view whole = literal.substr(0, point);
    const std::size_t firstDigit = whole.find_first_not_of('0');
    long magnitude = 0;
    if (firstDigit != std::string_view::npos) {
        magnitude = static_cast<long>(whole.size() - firstDigit);
    } else if (point < mantissaEnd) {
        const std::string_view fraction = literal.substr(point + 1, mantissaEnd - point - 1);
        magnitude = -static_cast<long>(std::min(fraction.find_first_not_of('0'), fraction.size()));
    }
    if (mantissaEnd == literal.size())
        return magnitude;
    std::string_view exponent = literal.substr(mantissaEnd + 1);
    const bool negative = exponent.front() == '-';
    if (negative || exponent.front() == '+')
        exponent.remove_prefix(1);
    long power = 0;
    for (const char digit : exponent)
        power = std::min(power * 10 + (digit - '0'), 1'000'000'000L);
    return magnitude + (negative ? -power : power);
}

// from_chars reports a literal out of range when it rounds, the IEEE way, to an infinity or
// to a zero (a subnormal it returns itself): which, its magnitude says, being far above or
// far below one. Its sign is kept, as on a zero.
double outOfRange(std::string_view literal) {
    const bool negative = literal.front() == '-';
    if (negative)
        literal.remove_prefix(1);
    const double rounded = magnitudeOf(literal) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -rounded : rounded;
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
        return outOfRange(text);
    if (error != std::errc())
        return std::nullopt;
    return value;
}

} // namespace Runtime
