# Writes OUTPUT, the header that stamps the toolkit's interface: VERSION and a digest of the
# headers in HEADERS ("a|b|c"), which every module and the program compare when loading.
string(REPLACE "|" ";" HEADERS "${HEADERS}")
set(contents "")
foreach(header IN LISTS HEADERS)
    file(READ "${header}" text)
    get_filename_component(name "${header}" NAME)
    string(APPEND contents "${name}\n${text}")
endforeach()
string(SHA256 digest "${contents}")
string(SUBSTRING "${digest}" 0 16 digest)
file(WRITE "${OUTPUT}.tmp" "// Generated from the toolkit's headers at build time; do not edit.
#pragma once

namespace Modules {
// The toolkit interface this code was built against: version and header digest.
inline constexpr const char* interfaceStamp = \"${VERSION}-${digest}\";
} // namespace Modules
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
