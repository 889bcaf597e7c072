# Writes OUTPUT, a C++ file that hands the files in RESOURCES to the main bundle at start-up.
# Run as: cmake -DOUTPUT=... -DRESOURCES="a|b" -P EmbedResources.cmake
string(REPLACE "|" ";" RESOURCES "${RESOURCES}")
set(entries "")
set(arrays "")
set(index 0)
foreach(path IN LISTS RESOURCES)
    get_filename_component(name "${path}" NAME)
    file(READ "${path}" hex HEX)
    string(LENGTH "${hex}" hex_length)
    math(EXPR size "${hex_length} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
    string(APPEND arrays "constexpr char resource${index}[] = {${bytes} 0};\n")
    string(APPEND entries "    {\"${name}\", {resource${index}, ${size}}},\n")
    math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated from Resources/ at build time; do not edit.
#include \"Foundation/NSBundle.h\"

#include <array>

namespace {
${arrays}
const std::array<NSBundle::EmbeddedResource, ${index}> resources{{
${entries}}};

const bool embedded = [] {
    NSBundle::mainBundle().addEmbeddedResources(resources);
    return true;
}();
} // namespace
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
