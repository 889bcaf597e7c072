#include "Foundation/NSLocale.h"

#include <cstdlib>
#include <string_view>

namespace {

// A POSIX locale name is language[_territory][.codeset][@modifier]; only the first two
// name the locale ("de_DE.UTF-8@euro" is de_DE).
std::string identifierFromPosixName(std::string_view posixName) {
    const auto end = posixName.find_first_of(".@");
    const std::string_view identifier = posixName.substr(0, end);
    if (identifier.empty() || identifier == "C" || identifier == "POSIX")
        return "en_US_POSIX";
    return std::string(identifier);
}

} // namespace

NSLocale::NSLocale(std::string localeIdentifier) : m_localeIdentifier(std::move(localeIdentifier)) {
}

NSLocale NSLocale::currentLocale() {
    for (const char* variable : {"LC_ALL", "LC_MONETARY", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return NSLocale(identifierFromPosixName(value));
    }
    return NSLocale("en_US_POSIX");
}
