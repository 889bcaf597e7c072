#include "PropertyList.h"

#include "Runtime/Error.h"

#include <pugixml.hpp>

// <key>NAME</key><string>VALUE</string> pairs of the top-level <dict>.
PropertyListStrings stringsOfXmlPropertyList(std::string_view contents, const std::string& path) {
    pugi::xml_document plist;
    const auto parsed = plist.load_buffer(contents.data(), contents.size());
    if (!parsed)
        Runtime::raise(Runtime::Error(path + ": malformed XML: " + parsed.description()));
    const auto dict = plist.child("plist").child("dict");
    if (!dict)
        Runtime::raise(Runtime::Error(path + ": not a property list with a <dict>"));
    PropertyListStrings strings;
    for (const auto& key : dict.children("key")) {
        const auto value = key.next_sibling();
        if (std::string_view(value.name()) == "string")
            strings.insert_or_assign(key.text().get(), value.text().get());
    }
    return strings;
}
