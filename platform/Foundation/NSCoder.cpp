#include "Foundation/NSCoder.h"

#include "Runtime/NumberParsing.h"

#include <sstream>

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
        throw DecodingError("'" + std::string(key) + "' takes a number, not \"" + *text + "\"");
    return value;
}

std::optional<bool> NSCoder::decodeBoolForKey(std::string_view key) {
    const auto text = decodeStringForKey(key);
    if (!text)
        return std::nullopt;
    if (*text != "true" && *text != "false")
        throw DecodingError("'" + std::string(key) + "' takes true or false, not \"" + *text +
                            "\"");
    return *text == "true";
}

std::optional<std::vector<double>> NSCoder::decodeDoublesForKey(std::string_view key,
                                                                std::size_t count) {
    const auto text = decodeStringForKey(key);
    if (!text)
        return std::nullopt;
    std::istringstream words(*text);
    std::vector<double> values;
    for (std::string word; words >> word;) {
        const auto value = Runtime::doubleFromString(word);
        if (!value)
            break;
        values.push_back(*value);
    }
    if (values.size() != count || !words.eof())
        throw DecodingError("'" + std::string(key) + "' takes " + std::to_string(count) +
                            " numbers, not \"" + *text + "\"");
    return values;
}

std::vector<std::string> NSCoder::unusedKeys() const {
    std::vector<std::string> unused;
    for (const auto& [key, value] : m_values)
        if (!m_usedKeys.contains(key))
            unused.push_back(key);
    return unused;
}
