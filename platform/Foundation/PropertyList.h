#pragma once

#include <map>
#include <string>
#include <string_view>

// The strings of a property list's top-level dictionary, by key; values of other kinds are
// passed over.
using PropertyListStrings = std::map<std::string, std::string, std::less<>>;

// From a list in XML, or in the binary form a build stores it in (told apart by its first
// bytes). Raises Runtime::Error, "PATH: MESSAGE", when it is not a property list with a
// dictionary at its top.
PropertyListStrings stringsOfPropertyList(std::string_view contents, const std::string& path);

// The XML reader; a program built without one refuses XML lists.
PropertyListStrings stringsOfXmlPropertyList(std::string_view contents, const std::string& path);
