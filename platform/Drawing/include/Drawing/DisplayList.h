#pragma once

#include "CoreGraphics/CGGeometry.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

// What a screen looks like, as a short list of drawing commands in window points, back to
// front. The toolkit describes; each painter (Cairo, terminal cells) replays it its own way.
namespace Drawing {

struct Color {
    float red = 0;
    float green = 0;
    float blue = 0;
    float alpha = 1;
    bool operator==(const Color&) const = default;
};

enum class Weight { Light, Regular, Medium, Semibold, Bold };
enum class Alignment { Left, Center, Right };

struct FillRect {
    CGRect rect;
    CGFloat cornerRadius = 0;
    Color color;
};

// A line along a rounded rectangle, drawn just outside it: the ring around the view that
// has the keyboard's focus.
struct StrokeRect {
    CGRect rect;
    CGFloat cornerRadius = 0;
    CGFloat lineWidth = 2;
    Color color;
};

// Later commands draw only inside this rounded rectangle, until the matching PopClip.
struct PushClip {
    CGRect rect;
    CGFloat cornerRadius = 0;
};

struct PopClip {};

// What a line of text too long for its rectangle shows: its start, cut at the tail with an
// ellipsis, or its end (the text being typed, with the caret after it), clipped at the start.
enum class Overflow { TruncateTail, ShowEnd };

// One line of text, centered vertically in its rectangle; a caret after it while it is being
// edited. A text too wide is first drawn smaller, down to minimumScaleFactor of its font
// size (1: never smaller), then what does not fit overflows as `overflow` says.
struct DrawText {
    CGRect rect;
    std::string text;
    CGFloat fontSize = 17;
    Weight weight = Weight::Regular;
    Alignment alignment = Alignment::Left;
    Color color;
    std::optional<Color> caret;
    CGFloat minimumScaleFactor = 1;
    Overflow overflow = Overflow::TruncateTail;
};

using Command = std::variant<FillRect, StrokeRect, PushClip, PopClip, DrawText>;
using DisplayList = std::vector<Command>;

// One handler per kind of command, for std::visit: a kind left without one does not compile.
template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

} // namespace Drawing
