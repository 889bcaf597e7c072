#include "Foundation/NSCoder.h"

#include "Runtime/NumberParsing.h"

namespace {

// The blank-separated words of a text.
std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> result;
    constexpr std::string_view blanks = " \t\r\n";
    for (auto start = text.find_first_not_of(blanks); start != std::string_view::npos;) {
        const auto end = text.find_first_of(blanks, start);
        result.push_back(text.substr(start, end - start));
        start = text.find_first_not_of(blanks, end);
    }
    return result;
}

} // namespace

std::optional<std::string> NSCoder::decodeStringForKey(std::string_view key) {
    const auto found = m_values.find(key);
    if (found == m_values.end())
        return std::nullopt;
    m_usedKeys.insert(found->first);
    return found->second;
}

std::optional<double> NSCoder::decodeDoubleForKey(std::string_view key) {
    const auto text = decodeStringForKey(key);
    if (!text)
        return std::nullopt;
    const auto value = Runtime::doubleFromString(*text);
    if (!value)
        failWithError("'" + std::string(key) + "' takes a number, not \"" + *text + "\"");
    return value;
}

std::optional<bool> NSCoder::decodeBoolForKey(std::string_view key) {
    const auto text = decodeStringForKey(key);
    if (!text)
        return std::nullopt;
    if (*text != "true" && *text != "false") {
        failWithError("'" + std::string(key) + "' takes true or false, not \"" + *text + "\"");
        return std::nullopt;
    }
    return *text == "true";
}

std::optional<std::vector<double>> NSCoder::decodeDoublesForKey(std::string_view key,
                                                                std::size_t count) {
    const auto text = decodeStringForKey(key);
    if (!text)
        return std::nullopt;
    const auto parts = words(*text);
    std::vector<double> values;
    for (const auto word : parts)
        if (const auto value = Runtime::doubleFromString(word))
            values.push_back(*value);
    if (values.size() != count || parts.size() != count) {
        failWithError("'" + std::string(key) + "' takes " + std::to_string(count) +
                      " numbers, not \"" + *text + "\"");
        return std::nullopt;
    }
    return values;
}

void NSCoder::failWithError(std::string message) {
    if (!m_error)
        m_error = std::move(message);
}

std::vector<std::string> NSCoder::unusedKeys() const {
    std::vector<std::string> unused;
    for (const auto& [key, value] : m_values)
        if (!m_usedKeys.contains(key))
            unused.push_back(key);
    return unused;
}
