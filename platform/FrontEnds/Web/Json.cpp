#include "Web/Json.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace {

// The length of the valid UTF-8 sequence at the start of `text`, or 0 when it is not one.
std::size_t sequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(0);
    const std::size_t length = first < 0x80         ? 1
                               : (first >> 5) == 6  ? 2
                               : (first >> 4) == 14 ? 3
                               : (first >> 3) == 30 ? 4
                                                    : 0;
    if (length == 0 || length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    return length;
}

// A magnitude rounded to ten significant digits: digits (a ten-digit integer) times ten to
// the power of exponent minus nine.
struct TenDigits {
    std::uint64_t digits;
    int exponent;
};

// magnitude's ten digits where printf writes them without an exponent (a decimal exponent
// from -4 to 9) and its rounding is sure: with one rounding, of a product by an exact power of
// ten, they are within a millionth of the exact ones.
std::optional<TenDigits> fixedTenDigits(double magnitude) {
    static constexpr double powersOfTen[] = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5,  1e6,
                                             1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13};
    if (!(magnitude >= 1e-4 && magnitude < 1e10))
        return std::nullopt;
    int exponent = 9;
    while (exponent > -4 && magnitude * powersOfTen[9 - exponent] < 1e9)
        --exponent;
    const double scaled = magnitude * powersOfTen[9 - exponent];
    if (scaled < 1e9 || std::fabs(scaled - std::floor(scaled) - 0.5) < 1e-5)
        return std::nullopt;
    const auto digits = static_cast<std::uint64_t>(scaled + 0.5);
    if (digits < 10'000'000'000)
        return TenDigits{digits, exponent};
    // Rounded up to a power of ten: one more digit before the point.
    if (exponent == 9)
        return std::nullopt;
    return TenDigits{1'000'000'000, exponent + 1};
}

// Ten significant digits is finer than any pixel, as printf's "%.10g" writes them. The
// shortest-digits conversion would bring a hundred kilobytes of tables with it, and printf
// reaches its digits through emulated 128-bit arithmetic: with a frame's hundreds of numbers,
// it was the largest part of making a frame's list. The numbers a frame has are written here
// in the same digits; printf keeps those it writes with an exponent, and those within a
// rounding error of a tie.
bool appendFixed(std::string& text, double value) {
    if (value == 0) {
        text += std::signbit(value) ? "-0" : "0";
        return true;
    }
    const auto decimal = fixedTenDigits(std::fabs(value));
    if (!decimal)
        return false;
    char written[10];
    std::to_chars(written, written + sizeof written, decimal->digits);
    const std::string_view digits(written, sizeof written);
    const int exponent = decimal->exponent;
    if (value < 0)
        text += '-';
    const std::size_t whole = exponent >= 0 ? static_cast<std::size_t>(exponent) + 1 : 0;
    if (whole == 0)
        text += '0';
    text.append(digits.substr(0, whole));
    const std::string_view fraction = digits.substr(whole);
    const std::size_t kept = fraction.find_last_not_of('0');
    if (kept == std::string_view::npos)
        return true;
    text += '.';
    if (exponent < 0)
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
    text.append(fraction.substr(0, kept + 1));
    return true;
}

} // namespace

void Json::separate() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_written.empty()) {
        if (m_written.back())
            m_text += ',';
        m_written.back() = true;
    }
}

Json& Json::open(char bracket) {
    separate();
    m_text += bracket;
    m_written.push_back(false);
    return *this;
}

Json& Json::close(char bracket) {
    m_text += bracket;
    m_written.pop_back();
    return *this;
}

Json& Json::key(std::string_view name) {
    string(name);
    m_text += ':';
    m_afterKey = true;
    return *this;
}

Json& Json::string(std::string_view text) {
    separate();
    m_text += '"';
    while (!text.empty()) {
        const std::size_t length = sequenceLength(text);
        const char c = text.front();
        if (length == 0) {
            m_text += "\xEF\xBF\xBD";
            text.remove_prefix(1);
            continue;
        }
        if (c == '"' || c == '\\') {
            m_text += '\\';
            m_text += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            static constexpr char hex[] = "0123456789abcdef";
            m_text += "\\u00";
            m_text += hex[c >> 4];
            m_text += hex[c & 0xF];
        } else {
            m_text.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    m_text += '"';
    return *this;
}

Json& Json::number(double value) {
    if (!std::isfinite(value))
        return null();
    separate();
    if (!appendFixed(m_text, value)) {
        char digits[32];
        const int length = std::snprintf(digits, sizeof digits, "%.10g", value);
        m_text.append(digits, static_cast<std::size_t>(length));
    }
    return *this;
}

Json& Json::boolean(bool value) {
    separate();
    m_text += value ? "true" : "false";
    return *this;
}

Json& Json::null() {
    separate();
    m_text += "null";
    return *this;
}
