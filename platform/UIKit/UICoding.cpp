#include "UICoding.h"

#include "UIKit/UIView.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

constexpr double maximumCoordinate = 1e6;

template <class Value, std::size_t count>
using NameTable = std::array<std::pair<std::string_view, Value>, count>;

template <class Value, std::size_t count>
std::optional<Value> valueNamed(const NameTable<Value, count>& names, std::string_view word) {
    for (const auto& [name, value] : names)
        if (word == name)
            return value;
    return std::nullopt;
}

template <class Value, std::size_t count>
std::string listOfNames(const NameTable<Value, count>& names) {
    std::string known;
    for (const auto& [name, value] : names) {
        if (!known.empty())
            known += ", ";
        known += name;
    }
    return known;
}

template <class Value, std::size_t count>
std::optional<Value> decodeName(NSCoder& coder, std::string_view key,
                                const NameTable<Value, count>& names) {
    const auto text = coder.decodeStringForKey(key);
    if (!text)
        return std::nullopt;
    if (const auto value = valueNamed(names, *text))
        return value;
    coder.failWithError("'" + std::string(key) + "' takes one of " + listOfNames(names) +
                        ", not \"" + *text + "\"");
    return std::nullopt;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<CGRect> decodeCGRect(NSCoder& coder, std::string_view key) {
    const auto numbers = coder.decodeDoublesForKey(key, 4);
    if (!numbers)
        return std::nullopt;
    const auto& n = *numbers;
    // Painters turn points into whole pixels and cells; no screen is a million points across.
    const bool sane = std::all_of(n.begin(), n.end(), [](double v) {
        return std::isfinite(v) && std::abs(v) <= maximumCoordinate;
    });
    if (!sane || n[2] < 0 || n[3] < 0) {
        coder.failWithError("'" + std::string(key) +
                            "' takes a rectangle within a million points, with no negative size");
        return std::nullopt;
    }
    return CGRectMake(n[0], n[1], n[2], n[3]);
}

std::optional<unsigned> decodeAutoresizingMask(NSCoder& coder, std::string_view key) {
    static constexpr NameTable<unsigned, 6> parts{{
        {"flexibleLeftMargin", UIViewAutoresizingFlexibleLeftMargin},
        {"flexibleWidth", UIViewAutoresizingFlexibleWidth},
        {"flexibleRightMargin", UIViewAutoresizingFlexibleRightMargin},
        {"flexibleTopMargin", UIViewAutoresizingFlexibleTopMargin},
        {"flexibleHeight", UIViewAutoresizingFlexibleHeight},
        {"flexibleBottomMargin", UIViewAutoresizingFlexibleBottomMargin},
    }};
    const auto text = coder.decodeStringForKey(key);
    if (!text)
        return std::nullopt;
    unsigned mask = 0;
    std::string_view rest = *text;
    while (!rest.empty()) {
        const auto start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos)
            break;
        rest.remove_prefix(start);
        const std::string_view word = rest.substr(0, rest.find(' '));
        rest.remove_prefix(word.size());
        const auto part = valueNamed(parts, word);
        if (!part) {
            coder.failWithError("'" + std::string(key) + "' takes some of " + listOfNames(parts) +
                                ", not \"" + std::string(word) + "\"");
            return std::nullopt;
        }
        mask |= *part;
    }
    return mask;
}

std::optional<UIColor> decodeUIColor(NSCoder& coder, std::string_view key) {
    const auto text = coder.decodeStringForKey(key);
    if (!text)
        return std::nullopt;
    std::array<float, 4> components{0, 0, 0, 1};
    const bool shaped = (text->size() == 7 || text->size() == 9) && text->front() == '#';
    for (std::size_t i = 0; shaped && i + 1 < text->size(); i += 2) {
        const int high = hexDigit((*text)[i + 1]);
        const int low = hexDigit((*text)[i + 2]);
        if (high < 0 || low < 0)
            break;
        components[i / 2] = static_cast<float>(high * 16 + low) / 255.0f;
        if (i + 3 == text->size())
            return UIColor(components[0], components[1], components[2], components[3]);
    }
    coder.failWithError("'" + std::string(key) + "' takes a color as #RRGGBB or #RRGGBBAA, not \"" +
                        *text + "\"");
    return std::nullopt;
}

std::optional<NSTextAlignment> decodeTextAlignment(NSCoder& coder, std::string_view key) {
    static constexpr NameTable<NSTextAlignment, 5> names{{
        {"left", NSTextAlignmentLeft},
        {"center", NSTextAlignmentCenter},
        {"right", NSTextAlignmentRight},
        {"justified", NSTextAlignmentJustified},
        {"natural", NSTextAlignmentNatural},
    }};
    return decodeName(coder, key, names);
}

UIFont decodeFont(NSCoder& coder, UIFont font) {
    static constexpr NameTable<UIFontWeight, 5> weights{{
        {"light", UIFontWeight::Light},
        {"regular", UIFontWeight::Regular},
        {"medium", UIFontWeight::Medium},
        {"semibold", UIFontWeight::Semibold},
        {"bold", UIFontWeight::Bold},
    }};
    // Larger than any screen is tall: a size past it is a slip of the keyboard.
    constexpr double largestFontSize = 500;
    if (const auto size = coder.decodeDoubleForKey("fontSize")) {
        if (*size > 0 && *size <= largestFontSize)
            font.pointSize = *size;
        else
            coder.failWithError("'fontSize' takes a size from 0 to " +
                                std::to_string(static_cast<int>(largestFontSize)) + " points");
    }
    if (const auto weight = decodeName(coder, "fontWeight", weights))
        font.weight = *weight;
    return font;
}
