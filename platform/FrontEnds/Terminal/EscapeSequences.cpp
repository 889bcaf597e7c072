#include "Terminal/EscapeSequences.h"

#include <array>
#include <utility>

namespace {

constexpr bool isParameter(char32_t c) {
    return c >= 0x30 && c <= 0x3F;
}
constexpr bool isIntermediate(char32_t c) {
    return c >= 0x20 && c <= 0x2F;
}
constexpr bool isFinal(char32_t c) {
    return c >= 0x40 && c <= 0x7E;
}

// The finals of CSI and SS3 that name a key, whatever modifiers their parameters add
// (Ctrl-Up is CSI 1;5A).
constexpr std::array<std::pair<char32_t, UIKey>, 4> keyFinals{{
    {U'A', UIKey::Up},
    {U'B', UIKey::Down},
    {U'Z', UIKey::ShiftTab},
    {U'M', UIKey::Enter},
}};
// CSI N ~, by N: the editing keys that are the session's.
constexpr std::array<std::pair<std::u32string_view, UIKey>, 3> tildeKeys{{
    {U"3", UIKey::Delete},
    {U"5", UIKey::PageUp},
    {U"6", UIKey::PageDown},
}};

std::optional<UIKey> keyOfFinal(char32_t final) {
    for (const auto& [character, key] : keyFinals)
        if (character == final)
            return key;
    return std::nullopt;
}

std::optional<UIKey> keyOfTilde(std::u32string_view parameters) {
    // Modifiers follow a semicolon (CSI 5;3~ is Alt-Page Up): the key is the first number.
    const auto number = parameters.substr(0, parameters.find(U';'));
    for (const auto& [name, key] : tildeKeys)
        if (name == number)
            return key;
    return std::nullopt;
}

EscapeSequence readControlSequence(std::u32string_view following) {
    std::size_t at = 1;
    while (at < following.size() && isParameter(following[at]))
        ++at;
    const auto parameters = following.substr(1, at - 1);
    while (at < following.size() && isIntermediate(following[at]))
        ++at;
    if (at == following.size() || !isFinal(following[at]))
        return {at, std::nullopt}; // cut short or malformed: what there is, dropped
    const char32_t final = following[at];
    if (final == U'~')
        return {at + 1, keyOfTilde(parameters)};
    return {at + 1,
            final == U'Z' || final == U'A' || final == U'B' ? keyOfFinal(final) : std::nullopt};
}

} // namespace

EscapeSequence readEscapeSequence(std::u32string_view following) {
    if (following.empty() || following.front() == U'\033')
        return {0, UIKey::Escape};
    if (following.front() == U'[')
        return readControlSequence(following);
    if (following.front() == U'O') {
        if (following.size() < 2 || !isFinal(following[1]))
            return {1, std::nullopt};
        return {2, keyOfFinal(following[1])};
    }
    // Alt held with a key: nothing here means that, and the key is not typed.
    return {1, std::nullopt};
}

bool mayContinue(std::u32string_view following) {
    if (following.empty() || following == U"O")
        return true;
    if (following.front() != U'[')
        return false;
    for (const char32_t c : following.substr(1))
        if (!isParameter(c) && !isIntermediate(c))
            return false;
    return true;
}
