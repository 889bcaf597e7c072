#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One element of an interface file, however the file is stored: its name, the line of the
// source it began on (for messages), its attributes in the file's order and its elements.
struct InterfaceElement {
    std::string name;
    std::size_t line = 1;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<InterfaceElement> children;

    // The attribute's value; nothing when the element has no such attribute.
    const std::string* attribute(std::string_view key) const;
    // The first child element of that name; nothing when there is none.
    const InterfaceElement* child(std::string_view childName) const;
};

// Deeper trees than any file of ours holds are refused rather than recursed into.
constexpr int maximumElementDepth = 256;

// The file's root element, from XML or from the form the web build compiles it to (told apart
// by the first bytes). Raises UIStoryboard::LoadError, "PATH:LINE: MESSAGE", when it cannot be
// read.
InterfaceElement readInterfaceFile(std::string_view contents, const std::string& path);

// The XML reader; a program built without one refuses XML files.
InterfaceElement readInterfaceXml(std::string_view contents, const std::string& path);

// For the readers: raises UIStoryboard::LoadError naming the place.
[[noreturn]] void failInterfaceFile(const std::string& path, std::size_t line,
                                    const std::string& message);
// For the readers: an element at the line holds elements deeper than maximumElementDepth.
[[noreturn]] void failNestingTooDeep(const std::string& path, std::size_t line);
