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

// A rounded rectangle's colour. One that holds a line of text is a box a painter on a coarse
// grid keeps whole around the line's middle.
struct FillRect {
    CGRect rect;
    CGFloat cornerRadius = 0;
    Color color;
    bool holdsText = false;
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
    bool holdsText = false;
};

struct PopClip {};

// One line of text as the toolkit has laid it out, to be drawn as it stands: already at the
// size that fits and already cut where it does not, aligned in its rectangle and centered
// down it, clipped to it; a caret right after it while it is being edited.
struct DrawText {
    CGRect rect;
    std::string text;
    CGFloat fontSize = 17;
    Weight weight = Weight::Regular;
    Alignment alignment = Alignment::Left;
    Color color;
    std::optional<Color> caret;
};

using Command = std::variant<FillRect, StrokeRect, PushClip, PopClip, DrawText>;
using DisplayList = std::vector<Command>;

// One handler per kind of command, for std::visit: a kind left without one does not compile.
template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

} // namespace Drawing
