// The text-to-number conversion against an independent oracle: strtod in the C locale with a
// whole-text check, and the accept/refuse rules written out again as a small grammar.
#include "Runtime/NumberParsing.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>

namespace {

bool digit(char c) {
    return c >= '0' && c <= '9';
}

// sign? (digits (. digits?)? | . digits) ([eE] sign? digits)?
bool acceptedByTheRules(const std::string& text) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && digit(text[i]))
            ++i;
        return i > start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa = digits() || mantissa;
    }
    if (!mantissa)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (!digits())
            return false;
    }
    return i == text.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto value = Runtime::doubleFromString(text);
    const bool accepted = acceptedByTheRules(text);
    if (value.has_value() != accepted)
        std::abort();
    if (!accepted)
        return 0;
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    char* end = nullptr;
    const double oracle = strtod_l(text.c_str(), &end, cLocale);
    if (end != text.c_str() + text.size())
        std::abort();
    if (std::memcmp(&oracle, &*value, sizeof oracle) != 0)
        std::abort();
    return 0;
}
