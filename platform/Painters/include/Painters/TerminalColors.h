#pragma once

#include "Drawing/DisplayList.h"

#include <array>
#include <cstdint>

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

} // namespace TerminalColors
