#include "InterfaceFile.h"

#include <pugixml.hpp>

#include <algorithm>

namespace {

// Turns pugixml's tree into elements, counting lines as it goes: elements come in the order
// of the file, so each line is counted from the one before.
class XmlConverter {
  public:
    XmlConverter(std::string_view contents, const std::string& path)
        : m_contents(contents), m_path(path) {}

    InterfaceElement convert(const pugi::xml_node& node, int depth);
    std::size_t lineOf(std::ptrdiff_t offset);

  private:
    std::string_view m_contents;
    const std::string& m_path;
    std::size_t m_counted = 0;
    std::size_t m_line = 1;
};

std::size_t XmlConverter::lineOf(std::ptrdiff_t offset) {
    const auto end = static_cast<std::size_t>(
        std::clamp<std::ptrdiff_t>(offset, 0, static_cast<std::ptrdiff_t>(m_contents.size())));
    if (end < m_counted) {
        m_counted = 0;
        m_line = 1;
    }
    m_line += static_cast<std::size_t>(
        std::count(m_contents.begin() + static_cast<std::ptrdiff_t>(m_counted),
                   m_contents.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
    m_counted = end;
    return m_line;
}

InterfaceElement XmlConverter::convert(const pugi::xml_node& node, int depth) {
    InterfaceElement element;
    element.name = node.name();
    element.line = lineOf(node.offset_debug());
    for (const auto& attribute : node.attributes())
        element.attributes.emplace_back(attribute.name(), attribute.value());
    for (const auto& child : node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (depth == maximumElementDepth)
            failNestingTooDeep(m_path, lineOf(child.offset_debug()));
        element.children.push_back(convert(child, depth + 1));
    }
    return element;
}

} // namespace

InterfaceElement readInterfaceXml(std::string_view contents, const std::string& path) {
    pugi::xml_document document;
    const auto parsed = document.load_buffer(contents.data(), contents.size(), pugi::parse_default,
                                             pugi::encoding_utf8);
    XmlConverter converter(contents, path);
    if (!parsed)
        failInterfaceFile(path, converter.lineOf(parsed.offset),
                          std::string("malformed XML: ") + parsed.description());
    return converter.convert(document.document_element(), 1);
}
