#pragma once

#include <any>
#include <map>
#include <optional>
#include <string>
#include <string_view>

using NSAttributedStringKey = std::string;
inline const NSAttributedStringKey NSForegroundColorAttributeName = "NSColor";

// A text with attributes (its color, ...) that hold for the whole of it.
class NSAttributedString {
  public:
    using Attributes = std::map<NSAttributedStringKey, std::any, std::less<>>;

    explicit NSAttributedString(std::string string, Attributes attributes = {})
        : m_string(std::move(string)), m_attributes(std::move(attributes)) {}

    const std::string& string() const { return m_string; }
    const Attributes& attributes() const { return m_attributes; }

    // The value under a key, when there is one of that type.
    template <class T> std::optional<T> attribute(std::string_view key) const {
        const auto found = m_attributes.find(key);
        if (found == m_attributes.end())
            return std::nullopt;
        if (const T* value = std::any_cast<T>(&found->second))
            return *value;
        return std::nullopt;
    }

  private:
    std::string m_string;
    Attributes m_attributes;
};
