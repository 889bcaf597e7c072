#pragma once

#include <string>
#include <string_view>
#include <vector>

// Writes JSON as it goes: values, arrays and objects, commas where they belong. Strings are
// kept valid UTF-8: a byte that is not becomes U+FFFD.
class Json {
  public:
    Json& beginArray() { return open('['); }
    Json& endArray() { return close(']'); }
    Json& beginObject() { return open('{'); }
    Json& endObject() { return close('}'); }
    Json& key(std::string_view name);
    Json& string(std::string_view text);
    Json& number(double value);
    Json& boolean(bool value);
    Json& null();

    const std::string& text() const { return m_text; }

  private:
    Json& open(char bracket);
    Json& close(char bracket);
    void separate();

    std::string m_text;
    // For each open array or object, whether a value has been written in it yet.
    std::vector<bool> m_written;
    bool m_afterKey = false;
};
