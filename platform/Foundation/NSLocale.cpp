#include "Foundation/NSLocale.h"

#include "LocaleCurrency.h"

#include <cstdlib>
#include <string_view>
#include <vector>

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

// The locales the user named, in order: the one for money, then the languages they prefer
// (LANGUAGE, colon-separated, as GNU systems and the web page give them).
std::vector<std::string> preferredIdentifiers() {
    std::vector<std::string> identifiers;
    for (const char* variable : {"LC_ALL", "LC_MONETARY", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            identifiers.push_back(identifierFromPosixName(value));
            break;
        }
    }
    if (const char* languages = std::getenv("LANGUAGE"))
        for (std::string_view rest = languages; !rest.empty();) {
            const auto colon = rest.find(':');
            if (const auto name = rest.substr(0, colon); !name.empty())
                identifiers.push_back(identifierFromPosixName(name));
            rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon + 1);
        }
    return identifiers;
}

} // namespace

NSLocale::NSLocale(std::string localeIdentifier) : m_localeIdentifier(std::move(localeIdentifier)) {
}

NSLocale NSLocale::currentLocale() {
    const auto identifiers = preferredIdentifiers();
    // A locale of no country, not even a likely one (eo), has no money of its own: the next
    // language the user prefers decides.
    for (const auto& identifier : identifiers)
        if (currencySymbolForLocale(identifier) != genericCurrencySign)
            return NSLocale(identifier);
    return NSLocale(identifiers.empty() ? "en_US_POSIX" : identifiers.front());
}
