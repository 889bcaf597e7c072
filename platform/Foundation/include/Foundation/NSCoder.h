#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// The keyed description of one object from an interface file, as init(coder:) reads it.
// Values are the file's texts; each decode turns one into a typed value and marks the key
// used, so that the loader can refuse keys that no class understood. A value of the wrong
// form fails the decoding: the decode gives nothing, and error() says what was wrong, for
// the loader to report with the file's place.
class NSCoder {
  public:
    using Values = std::map<std::string, std::string, std::less<>>;

    explicit NSCoder(Values values) : m_values(std::move(values)) {}

    bool containsValueForKey(std::string_view key) const { return m_values.contains(key); }

    std::optional<std::string> decodeStringForKey(std::string_view key);
    std::optional<double> decodeDoubleForKey(std::string_view key);
    std::optional<bool> decodeBoolForKey(std::string_view key);
    // Several numbers separated by blanks ("0 0 375 667"), exactly `count` of them.
    std::optional<std::vector<double>> decodeDoublesForKey(std::string_view key, std::size_t count);

    // Records why the decoding failed; the first failure is the one reported.
    void failWithError(std::string message);
    const std::optional<std::string>& error() const { return m_error; }

    std::vector<std::string> unusedKeys() const;

  private:
    Values m_values;
    std::set<std::string, std::less<>> m_usedKeys;
    std::optional<std::string> m_error;
};
