#include "Web/Json.h"

#include <cmath>
#include <cstdio>

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
    // Ten digits is finer than any pixel; printf is in the program already, where the
    // shortest-digits conversion would bring a hundred kilobytes of tables with it.
    char digits[32];
    const int length = std::snprintf(digits, sizeof digits, "%.10g", value);
    m_text.append(digits, static_cast<std::size_t>(length));
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
