#include "InterfaceFile.h"

#include "UIKit/UIStoryboard.h"

#include <charconv>

namespace {

// What the build's compiler writes first; no XML file can begin with a NUL.
constexpr std::string_view compiledMagic("\0storyboardc 1\0", 15);

// Reads the compiled form: NUL-ended words, each element's name, line and counts, then its
// attributes and its elements. Every count is checked against the words that are there, so a
// damaged file is refused, never overrun.
class CompiledReader {
  public:
    CompiledReader(std::string_view words, const std::string& path)
        : m_words(words), m_path(path) {}

    InterfaceElement root() {
        auto element = readElement(1);
        if (!m_words.empty())
            fail("the compiled interface file goes on after its root element");
        return element;
    }

  private:
    InterfaceElement readElement(int depth);
    std::string_view word();
    std::size_t number();
    [[noreturn]] void fail(const std::string& message) const {
        failInterfaceFile(m_path, m_line, message);
    }

    std::string_view m_words;
    const std::string& m_path;
    std::size_t m_line = 1;
};

InterfaceElement CompiledReader::readElement(int depth) {
    InterfaceElement element;
    element.name = word();
    element.line = m_line = number();
    const std::size_t attributeCount = number();
    const std::size_t childCount = number();
    for (std::size_t index = 0; index < attributeCount; ++index) {
        std::string key(word());
        element.attributes.emplace_back(std::move(key), word());
    }
    if (childCount > 0 && depth == maximumElementDepth)
        failNestingTooDeep(m_path, m_line);
    for (std::size_t index = 0; index < childCount; ++index)
        element.children.push_back(readElement(depth + 1));
    return element;
}

std::string_view CompiledReader::word() {
    const auto end = m_words.find('\0');
    if (end == std::string_view::npos)
        fail("the compiled interface file is cut short");
    const auto result = m_words.substr(0, end);
    m_words.remove_prefix(end + 1);
    return result;
}

std::size_t CompiledReader::number() {
    const auto text = word();
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        fail("the compiled interface file has \"" + std::string(text) + "\" for a number");
    return value;
}

} // namespace

const std::string* InterfaceElement::attribute(std::string_view key) const {
    for (const auto& [name, value] : attributes)
        if (name == key)
            return &value;
    return nullptr;
}

const InterfaceElement* InterfaceElement::child(std::string_view childName) const {
    for (const auto& element : children)
        if (element.name == childName)
            return &element;
    return nullptr;
}

void failInterfaceFile(const std::string& path, std::size_t line, const std::string& message) {
    Runtime::raise(UIStoryboard::LoadError(path + ":" + std::to_string(line) + ": " + message));
}

void failNestingTooDeep(const std::string& path, std::size_t line) {
    failInterfaceFile(
        path, line, "elements nest deeper than " + std::to_string(maximumElementDepth) + " levels");
}

InterfaceElement readInterfaceFile(std::string_view contents, const std::string& path) {
    if (contents.starts_with(compiledMagic))
        return CompiledReader(contents.substr(compiledMagic.size()), path).root();
    return readInterfaceXml(contents, path);
}
