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

// Later commands draw only inside this rounded rectangle, until the matching PopClip.
struct PushClip {
    CGRect rect;
    CGFloat cornerRadius = 0;
};

struct PopClip {};

// One line of text, centered vertically in its rectangle and cut at the tail with an
// ellipsis when too long; a caret after it when it is being edited.
struct DrawText {
    CGRect rect;
    std::string text;
    CGFloat fontSize = 17;
    Weight weight = Weight::Regular;
    Alignment alignment = Alignment::Left;
    Color color;
    std::optional<Color> caret;
};

using Command = std::variant<FillRect, PushClip, PopClip, DrawText>;
using DisplayList = std::vector<Command>;

// One handler per kind of command, for std::visit: a kind left without one does not compile.
template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

} // namespace Drawing
