// Text laid out once for every painter: shrinking to fit, cutting with an ellipsis at the
// tail or at the start, and the caret's room, all measured by the painter that will draw it.
#include "UIKit/UITextLayout.h"

#include "UIDrawing.h"
#include "UIKit/UIScreen.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::string_view ellipsis = "…";
// Glyph widths do not shrink exactly with the size (hinting): a few tries, a little smaller
// each time.
constexpr int fittingTries = 8;
constexpr CGFloat fittingStep = 0.98;
// No glyph that shows is narrower than this share of its font's size: more characters than
// that many to a line could never fit, however long a paste.
constexpr CGFloat narrowestGlyph = 0.15;

// Where each character starts: every byte that does not continue a UTF-8 sequence, so that a
// cut never splits one (invalid bytes are characters of their own).
std::vector<std::size_t> characterStarts(std::string_view text, std::size_t limit) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size() && starts.size() <= limit; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    return starts;
}

CGFloat fittingSize(Drawing::TextMeasurer& measurer, std::string_view text, CGFloat size,
                    Drawing::Weight weight, CGFloat room, CGFloat minimumScaleFactor) {
    if (minimumScaleFactor >= 1)
        return size;
    const CGFloat smallest = size * std::max<CGFloat>(minimumScaleFactor, 0.01);
    // Past the most characters the smallest size could fit, more only cost measuring.
    const auto limit = static_cast<std::size_t>(room / (smallest * narrowestGlyph)) + 2;
    if (const auto starts = characterStarts(text, limit); starts.size() > limit)
        text = text.substr(0, starts[limit]);
    for (int attempt = 0; attempt < fittingTries && size > smallest; ++attempt) {
        const CGFloat width = measurer.widthOf(text, size, weight);
        if (width <= room)
            break;
        size = std::max(smallest, std::min(size * fittingStep, size * room / width));
    }
    return size;
}

// The longest start of the text that fits with an ellipsis after it.
std::string cutAtTail(Drawing::TextMeasurer& measurer, std::string_view text, CGFloat size,
                      Drawing::Weight weight, CGFloat room, std::size_t mostCharacters) {
    const auto starts = characterStarts(text, mostCharacters);
    if (starts.size() <= mostCharacters && measurer.widthOf(text, size, weight) <= room)
        return std::string(text);
    const auto prefix = [&](std::size_t characters) {
        const std::size_t end = characters < starts.size() ? starts[characters] : text.size();
        return std::string(text.substr(0, end)) + std::string(ellipsis);
    };
    std::size_t low = 0, high = std::min(starts.size(), mostCharacters);
    while (low < high) {
        const std::size_t middle = (low + high + 1) / 2;
        if (measurer.widthOf(prefix(middle), size, weight) <= room)
            low = middle;
        else
            high = middle - 1;
    }
    return prefix(low);
}

// The longest end of the text that fits after an ellipsis: its start is cut, and the cut
// shows, so that a long number never passes for a shorter one.
std::string keepEnd(Drawing::TextMeasurer& measurer, std::string_view text, CGFloat size,
                    Drawing::Weight weight, CGFloat room, std::size_t mostCharacters) {
    // Far enough back to hold the most characters a line can show, whatever their bytes.
    std::size_t from =
        text.size() > (mostCharacters + 1) * 4 ? text.size() - (mostCharacters + 1) * 4 : 0;
    const std::string_view tail = text.substr(from);
    const auto starts = characterStarts(tail, tail.size());
    const std::size_t first = starts.size() > mostCharacters ? starts.size() - mostCharacters : 0;
    if (from == 0 && first == 0 && measurer.widthOf(text, size, weight) <= room)
        return std::string(text);
    const auto marked = [&](std::size_t character) {
        return std::string(ellipsis) + std::string(tail.substr(starts[character]));
    };
    std::size_t low = first, high = starts.size();
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        if (measurer.widthOf(marked(middle), size, weight) <= room)
            high = middle;
        else
            low = middle + 1;
    }
    return low < starts.size() ? marked(low) : std::string();
}

} // namespace

Drawing::DrawText layOutText(CGRect rect, std::string_view text, const UIFont& font,
                             NSTextAlignment alignment, const UIColor& color,
                             const UITextFitting& fitting) {
    auto& measurer = UIScreen::mainScreen().textMeasurer();
    const Drawing::Weight weight = drawingWeight(font.weight);
    const CGFloat room = std::max<CGFloat>(0, measurer.usableWidth(rect) -
                                                  (fitting.caret ? measurer.caretWidth() : 0));
    Drawing::DrawText command;
    command.rect = rect;
    command.weight = weight;
    command.alignment = drawingAlignment(alignment);
    command.color = drawingColor(color);
    if (fitting.caret)
        command.caret = drawingColor(*fitting.caret);
    command.fontSize =
        fittingSize(measurer, text, font.pointSize, weight, room, fitting.minimumScaleFactor);
    const auto mostCharacters =
        static_cast<std::size_t>(room / (command.fontSize * narrowestGlyph)) + 2;
    command.text = fitting.keepsEnd
                       ? keepEnd(measurer, text, command.fontSize, weight, room, mostCharacters)
                       : cutAtTail(measurer, text, command.fontSize, weight, room, mostCharacters);
    return command;
}

std::pair<CGFloat, CGFloat> drawnSpan(const Drawing::DrawText& line) {
    auto& measurer = UIScreen::mainScreen().textMeasurer();
    const CGFloat width = measurer.widthOf(line.text, line.fontSize, line.weight) +
                          (line.caret ? measurer.caretWidth() : 0);
    const CGFloat left = line.rect.origin.x;
    const CGFloat right = left + line.rect.size.width;
    switch (line.alignment) {
    case Drawing::Alignment::Center:
        return {(left + right - width) / 2, (left + right + width) / 2};
    case Drawing::Alignment::Right:
        return {right - width, right};
    default:
        return {left, left + width};
    }
}
