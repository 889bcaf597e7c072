#include "PropertyList.h"

#include "Runtime/Error.h"

// A program built to carry its property lists in binary (the web build) has no XML reader.
PropertyListStrings stringsOfXmlPropertyList(std::string_view, const std::string& path) {
    Runtime::raise(
        Runtime::Error(path + ": this program reads property lists only in their binary form"));
}
