#include "Runtime/Notice.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {
std::string& programName() {
    static std::string name = "program";
    return name;
}
} // namespace

void Runtime::printNotice(std::string_view message) {
    std::fprintf(stderr, "%s: %.*s\n", programName().c_str(), static_cast<int>(message.size()),
                 message.data());
    std::fflush(stderr);
}

void Runtime::setProgramName(std::string name) {
    programName() = std::move(name);
}

namespace {

// The length of the valid UTF-8 sequence at the start of `text`, or 0: no overlong forms,
// no surrogates, nothing past U+10FFFF.
std::size_t validSequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
    else
        return 0;
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

void appendEscaped(std::string& out, unsigned char byte) {
    constexpr char digits[] = "0123456789ABCDEF";
    out += "\\x";
    out += digits[byte >> 4];
    out += digits[byte & 0xF];
}

} // namespace

std::string Runtime::printable(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = validSequenceLength(text.substr(i));
        const auto lead = static_cast<unsigned char>(text[i]);
        const bool control =
            lead < 0x20 || lead == 0x7F ||
            (length == 2 && lead == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0);
        if (length == 0 || control) {
            for (std::size_t j = 0; j < std::max<std::size_t>(length, 1); ++j)
                appendEscaped(shown, static_cast<unsigned char>(text[i + j]));
            i += std::max<std::size_t>(length, 1);
        } else {
            shown.append(text.substr(i, length));
            i += length;
        }
    }
    return shown;
}
