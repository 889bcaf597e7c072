#include "Painters/TerminalColors.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <set>

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
// A coloured colour takes a coloured candidate over a nearer grey only while it is at most
// this much farther: an orange stays orange, but a dark navy the cube has no near match for
// becomes the dark grey it looks like, not a blue twice as light as it.
constexpr double colouredPreference = 5;

// The candidates in the order a colour would take them, nearest first.
std::vector<std::pair<int, RGB>> byNearness(const RGB& rgb,
                                            const std::vector<std::pair<int, RGB>>& candidates,
                                            std::vector<double>* costs = nullptr) {
    const Lab target = labOf(rgb);
    const bool coloured = target.chroma() >= greyChroma;
    std::vector<std::pair<double, std::pair<int, RGB>>> ranked;
    for (const auto& candidate : candidates) {
        const Lab lab = labOf(candidate.second);
        ranked.push_back({distance(target, lab) +
                              (coloured && lab.chroma() < greyChroma ? colouredPreference : 0),
                          candidate});
    }
    // Ties in the palette's order, so that the choice never depends on the sort.
    std::sort(ranked.begin(), ranked.end(), [](const auto& one, const auto& other) {
        return std::pair(one.first, one.second.first) < std::pair(other.first, other.second.first);
    });
    std::vector<std::pair<int, RGB>> ordered;
    for (const auto& [cost, candidate] : ranked) {
        ordered.push_back(candidate);
        if (costs)
            costs->push_back(cost);
    }
    return ordered;
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
    std::vector<std::pair<int, RGB>> candidates;
    for (int index = 16; index < 256; ++index)
        candidates.emplace_back(index, rgbOf256(index));
    return byNearness(rgbOf(color), candidates).front().first;
}

// The 8 colours as the VGA console shows them, the palette 8-colour terminals grew from: its
// yellow is a brown, an orange's nearest.
constexpr std::array<RGB, 8> vgaColours{{{0, 0, 0},
                                         {170, 0, 0},
                                         {0, 170, 0},
                                         {170, 85, 0},
                                         {0, 0, 170},
                                         {170, 0, 170},
                                         {0, 170, 170},
                                         {170, 170, 170}}};
// Eight colours are too few to match by distance: a coloured colour takes the one of the
// nearest hue, a grey black or white by its lightness.
int nearestOf8(const Drawing::Color& color) {
    const Lab target = labOf(rgbOf(color));
    if (target.chroma() < greyChroma)
        return target.lightness > 50 ? 7 : 0;
    const auto hue = [](const Lab& lab) { return std::atan2(lab.b, lab.a); };
    const auto hueDistance = [&](const RGB& rgb) {
        const double d = std::abs(hue(labOf(rgb)) - hue(target));
        return std::min(d, 2 * std::numbers::pi - d);
    };
    // Black and white are left to the greys.
    const auto best = std::min_element(
        vgaColours.begin() + 1, vgaColours.end() - 1,
        [&](const RGB& one, const RGB& other) { return hueDistance(one) < hueDistance(other); });
    return static_cast<int>(best - vgaColours.begin());
}

namespace {

// Design colours this far apart (CIELAB) are told apart, and kept apart.
constexpr double toldApart = 5;
// A background takes a colour of its own only this much farther than its nearest; past it,
// it shares.
constexpr double farthestOwnColour = 25;
// What a text is kept to: its own contrast, but no more than this (WCAG's for body text).
constexpr double enoughContrast = 4.5;

constexpr std::array<RGB, 16> xtermColours{{{0, 0, 0},
                                            {205, 0, 0},
                                            {0, 205, 0},
                                            {205, 205, 0},
                                            {0, 0, 238},
                                            {205, 0, 205},
                                            {0, 205, 205},
                                            {229, 229, 229},
                                            {127, 127, 127},
                                            {255, 0, 0},
                                            {0, 255, 0},
                                            {255, 255, 0},
                                            {92, 92, 255},
                                            {255, 0, 255},
                                            {0, 255, 255},
                                            {255, 255, 255}}};

double luminance(const RGB& rgb) {
    return 0.2126 * linear(rgb[0]) + 0.7152 * linear(rgb[1]) + 0.0722 * linear(rgb[2]);
}

} // namespace

double contrastRatio(const RGB& one, const RGB& other) {
    const double first = luminance(one), second = luminance(other);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

Palette::Palette(Depth depth) {
    switch (depth) {
    case Depth::Colors256:
        for (int index = 16; index < 256; ++index)
            m_candidates.emplace_back(index, rgbOf256(index));
        break;
    case Depth::Colors16:
        for (int index = 0; index < 16; ++index)
            m_candidates.emplace_back(index, xtermColours[static_cast<std::size_t>(index)]);
        break;
    case Depth::Colors8:
        for (int index = 0; index < 8; ++index)
            m_candidates.emplace_back(index, vgaColours[static_cast<std::size_t>(index)]);
        break;
    }
}

RGB Palette::rgbOfIndex(int index) const {
    for (const auto& [candidate, rgb] : m_candidates)
        if (candidate == index)
            return rgb;
    return {0, 0, 0};
}

void Palette::choose(const std::vector<CellColors>& cells) {
    // Backgrounds by the room they take, the largest first: it gets its nearest colour, and
    // a smaller one told apart from it takes another.
    std::map<RGB, std::size_t> area;
    std::set<std::pair<RGB, RGB>> texts;
    for (const auto& cell : cells) {
        ++area[rgbOf(cell.background)];
        if (cell.holdsText)
            texts.emplace(rgbOf(cell.foreground), rgbOf(cell.background));
    }
    std::vector<std::pair<std::size_t, RGB>> largestFirst;
    for (const auto& [rgb, cellCount] : area)
        largestFirst.emplace_back(cellCount, rgb);
    std::sort(largestFirst.begin(), largestFirst.end(), [](const auto& one, const auto& other) {
        return one.first != other.first ? one.first > other.first : one.second < other.second;
    });
    m_backgrounds.clear();
    for (const auto& [cellCount, rgb] : largestFirst) {
        std::vector<double> costs;
        const auto ordered = byNearness(rgb, m_candidates, &costs);
        int chosen = ordered.front().first;
        for (std::size_t i = 0; i < ordered.size() && costs[i] <= costs[0] + farthestOwnColour;
             ++i) {
            const bool shared =
                std::any_of(m_backgrounds.begin(), m_backgrounds.end(), [&](const auto& other) {
                    return other.second == ordered[i].first &&
                           distance(labOf(other.first), labOf(rgb)) > toldApart;
                });
            if (!shared) {
                chosen = ordered[i].first;
                break;
            }
        }
        m_backgrounds[rgb] = chosen;
    }
    // Each text its nearest colour that keeps its contrast over its background; where none
    // does, the one that keeps the most.
    m_foregrounds.clear();
    for (const auto& [rgb, background] : texts) {
        const RGB shownUnder = rgbOfIndex(m_backgrounds[background]);
        const double wanted = std::min(contrastRatio(rgb, background), enoughContrast);
        int chosen = -1;
        double mostKept = 0;
        for (const auto& [index, shown] : byNearness(rgb, m_candidates)) {
            const double kept = contrastRatio(shown, shownUnder);
            if (kept >= wanted) {
                chosen = index;
                break;
            }
            if (kept > mostKept) {
                mostKept = kept;
                chosen = index;
            }
        }
        m_foregrounds[{rgb, background}] = chosen;
    }
}

// A colour choose() was not given (a blank cell's text colour) gets its nearest, once: a
// frame has a few colours and thousands of cells.
int Palette::foregroundOf(const Drawing::Color& color, const Drawing::Color& background) const {
    const auto key = std::pair(rgbOf(color), rgbOf(background));
    if (const auto found = m_foregrounds.find(key); found != m_foregrounds.end())
        return found->second;
    return m_foregrounds[key] = byNearness(key.first, m_candidates).front().first;
}

int Palette::backgroundOf(const Drawing::Color& color) const {
    const RGB rgb = rgbOf(color);
    if (const auto found = m_backgrounds.find(rgb); found != m_backgrounds.end())
        return found->second;
    return m_backgrounds[rgb] = byNearness(rgb, m_candidates).front().first;
}

} // namespace TerminalColors
