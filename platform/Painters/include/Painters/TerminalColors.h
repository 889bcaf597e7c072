#pragma once

#include "Drawing/DisplayList.h"

#include <array>
#include <cstdint>
#include <map>
#include <vector>

// Colours as a terminal can show them when it has no 24-bit colour: the nearest of its 256
// or 8 by perceived distance (CIELAB), a colour that is coloured never becoming a grey, so
// that an orange stays orange and a navy stays blue.
namespace TerminalColors {

using RGB = std::array<std::uint8_t, 3>;

RGB rgbOf(const Drawing::Color& color);
// xterm's 256 colours: 16 to 231 a 6 x 6 x 6 cube, 232 to 255 greys. The first 16 are left
// out: every terminal sets them as it likes.
int nearestOf256(const Drawing::Color& color);
RGB rgbOf256(int index);
// The 8 basic colours, numbered as terminals number them (black, red, green, yellow, blue,
// magenta, cyan, white).
int nearestOf8(const Drawing::Color& color);

// How many colours a terminal without 24-bit colour shows: xterm's 256 (from 16), the 16 of
// an aixterm (as xterm sets them), or the 8 of a console (as VGA sets them).
enum class Depth { Colors8, Colors16, Colors256 };

// A cell's colours as the frame draws them: a text's over its background, or a background
// alone.
struct CellColors {
    Drawing::Color foreground;
    Drawing::Color background;
    bool holdsText = false;
};

// A frame's colours as such a terminal shows them, chosen together rather than one by one:
// each its nearest, except that two backgrounds the design tells apart never share one while
// the palette has another near enough, and that a text keeps its contrast against the
// background it lies on (as much as it had, up to 4.5:1): white on the page may stay white
// while white on an orange becomes black, where the palette's orange is too light for it.
class Palette {
  public:
    explicit Palette(Depth depth);
    void choose(const std::vector<CellColors>& cells);
    // Terminal colour numbers, for colours choose() was given: a text's over a background.
    int foregroundOf(const Drawing::Color& color, const Drawing::Color& background) const;
    int backgroundOf(const Drawing::Color& color) const;
    RGB rgbOfIndex(int index) const;

  private:
    std::vector<std::pair<int, RGB>> m_candidates;
    // What choose() decided, and the nearest of colours looked up since.
    mutable std::map<std::pair<RGB, RGB>, int> m_foregrounds;
    mutable std::map<RGB, int> m_backgrounds;
};

// WCAG's contrast ratio of two colours, from 1 to 21.
double contrastRatio(const RGB& one, const RGB& other);

} // namespace TerminalColors
