#include "Painters/TerminalColors.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace TerminalColors {
namespace {

struct Lab {
    double lightness, a, b;
    double chroma() const { return std::hypot(a, b); }
};

double linear(std::uint8_t channel) {
    const double value = channel / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

// sRGB to CIELAB under D65.
Lab labOf(const RGB& rgb) {
    const double r = linear(rgb[0]), g = linear(rgb[1]), b = linear(rgb[2]);
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
    const auto f = [](double t) {
        return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116;
    };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

double distance(const Lab& one, const Lab& other) {
    return std::hypot(one.lightness - other.lightness, one.a - other.a, one.b - other.b);
}

// Below this chroma a colour reads as a grey.
constexpr double greyChroma = 8;

// The candidate nearest to a colour; a coloured colour only ever gets a coloured one.
template <class Candidates> int nearest(const Drawing::Color& color, const Candidates& candidates) {
    const Lab target = labOf(rgbOf(color));
    const bool coloured = target.chroma() >= greyChroma;
    int best = -1;
    double bestDistance = std::numeric_limits<double>::max();
    for (const auto& [index, rgb] : candidates) {
        const Lab lab = labOf(rgb);
        if (coloured && lab.chroma() < greyChroma)
            continue;
        if (const double d = distance(target, lab); d < bestDistance) {
            best = index;
            bestDistance = d;
        }
    }
    return best;
}

} // namespace

RGB rgbOf(const Drawing::Color& color) {
    const auto channel = [](float value) {
        return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255));
    };
    return {channel(color.red), channel(color.green), channel(color.blue)};
}

RGB rgbOf256(int index) {
    if (index >= 232) {
        const auto grey = static_cast<std::uint8_t>(8 + 10 * (index - 232));
        return {grey, grey, grey};
    }
    const int cube = std::clamp(index, 16, 231) - 16;
    const auto level = [](int step) {
        return static_cast<std::uint8_t>(step == 0 ? 0 : 55 + 40 * step);
    };
    return {level(cube / 36), level(cube / 6 % 6), level(cube % 6)};
}

int nearestOf256(const Drawing::Color& color) {
    std::array<std::pair<int, RGB>, 240> candidates;
    for (int index = 16; index < 256; ++index)
        candidates[static_cast<std::size_t>(index - 16)] = {index, rgbOf256(index)};
    return nearest(color, candidates);
}

// Eight colours are too few to match by distance: a coloured colour takes the one of the
// nearest hue, a grey black or white by its lightness.
int nearestOf8(const Drawing::Color& color) {
    // As the VGA console shows them, the palette 8-colour terminals grew from: its yellow is
    // a brown, an orange's nearest.
    static constexpr std::array<std::pair<int, RGB>, 8> basic{{{0, {0, 0, 0}},
                                                               {1, {170, 0, 0}},
                                                               {2, {0, 170, 0}},
                                                               {3, {170, 85, 0}},
                                                               {4, {0, 0, 170}},
                                                               {5, {170, 0, 170}},
                                                               {6, {0, 170, 170}},
                                                               {7, {170, 170, 170}}}};
    const Lab target = labOf(rgbOf(color));
    if (target.chroma() < greyChroma)
        return target.lightness > 50 ? 7 : 0;
    const auto hue = [](const Lab& lab) { return std::atan2(lab.b, lab.a); };
    const auto hueDistance = [&](const RGB& rgb) {
        const double d = std::abs(hue(labOf(rgb)) - hue(target));
        return std::min(d, 2 * std::numbers::pi - d);
    };
    const auto best = std::min_element(
        basic.begin() + 1, basic.end() - 1, [&](const auto& one, const auto& other) {
            return hueDistance(one.second) < hueDistance(other.second);
        });
    return best->first;
}

} // namespace TerminalColors
