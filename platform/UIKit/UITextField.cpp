#include "UIKit/UITextField.h"

#include "UICoding.h"
#include "UIDrawing.h"

#include <algorithm>

namespace {
const Runtime::Registration registration = Runtime::ClassDeclaration<UITextField>("UITextField");

constexpr UIColor defaultPlaceholderColor{0.24f, 0.24f, 0.26f, 0.3f};
constexpr CGFloat textInset = 8;
// What a text keeps from a subview it would otherwise run under.
constexpr CGFloat subviewGap = 4;

bool isContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The text with its line breaks (LF, CR, VT, FF, NEL, U+2028, U+2029) and other control
// characters taken out, and each tab a space.
std::string asOneLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte == '\t') {
            line += ' ';
        } else if (byte < 0x20 || byte == 0x7F) {
            continue;
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            ++i; // a C1 control, NEL among them
        } else if (byte == 0xE2 && next == 0x80 && i + 2 < text.size() &&
                   (text[i + 2] == '\xA8' || text[i + 2] == '\xA9')) {
            i += 2; // the line and paragraph separators
        } else {
            line += text[i];
        }
    }
    return line;
}
} // namespace

UITextField::UITextField(CGRect frame) : UIControl(frame) {
}

UITextField::UITextField(NSCoder& coder) : UIControl(coder) {
    m_text = coder.decodeStringForKey("text").value_or("");
    if (auto placeholder = coder.decodeStringForKey("placeholder"))
        m_attributedPlaceholder = NSAttributedString(std::move(*placeholder));
    m_textColor = decodeUIColor(coder, "textColor");
    m_textAlignment = decodeTextAlignment(coder, "textAlignment").value_or(m_textAlignment);
    m_font = decodeFont(coder, m_font);
}

void UITextField::setText(std::optional<std::string> text) {
    m_text = std::move(text).value_or("");
    invalidateScreen();
}

std::optional<std::string> UITextField::placeholder() const {
    if (!m_attributedPlaceholder)
        return std::nullopt;
    return m_attributedPlaceholder->string();
}

void UITextField::setAttributedPlaceholder(std::optional<NSAttributedString> placeholder) {
    m_attributedPlaceholder = std::move(placeholder);
    invalidateScreen();
}

void UITextField::setTextColor(std::optional<UIColor> color) {
    m_textColor = color;
    invalidateScreen();
}

void UITextField::setTextAlignment(NSTextAlignment alignment) {
    m_textAlignment = alignment;
    invalidateScreen();
}

void UITextField::setFont(UIFont font) {
    m_font = font;
    invalidateScreen();
}

void UITextField::setInputAccessoryView(std::shared_ptr<UIView> view) {
    m_inputAccessoryView = std::move(view);
}

void UITextField::touchesEnded(const UITouch& touch) {
    const bool wasTracking = isTracking();
    const bool inside = pointInside(convertPointFromWindow(touch.locationInWindow));
    UIControl::touchesEnded(touch);
    if (wasTracking && inside)
        becomeFirstResponder();
}

void UITextField::insertText(std::string_view text) {
    m_text += asOneLine(text);
    invalidateScreen();
}

void UITextField::deleteBackward() {
    if (m_text.empty())
        return;
    std::size_t end = m_text.size() - 1;
    while (end > 0 && isContinuationByte(m_text[end]))
        --end;
    m_text.erase(end);
    invalidateScreen();
}

std::optional<std::string> UITextField::accessibilityHint() const {
    std::optional<std::string> hint;
    for (const auto& subview : subviews())
        if (const auto text = subview->shownText(); text && !text->empty() && !subview->isHidden())
            hint = hint ? *hint + " " + *text : *text;
    return hint;
}

// The text itself is the field's value; its label says what it is for.
std::optional<std::string> UITextField::defaultAccessibilityLabel() const {
    return placeholder();
}

void UITextField::describeContent(Drawing::DisplayList& list, CGRect rect) const {
    const CGRect textRect =
        CGRectMake(rect.origin.x + textInset, rect.origin.y,
                   std::max<CGFloat>(0, rect.size.width - 2 * textInset), rect.size.height);
    const UIColor textColor = m_textColor.value_or(UIColor::blackColor());
    if (m_text.empty() && m_attributedPlaceholder) {
        const UIColor color =
            m_attributedPlaceholder->attribute<UIColor>(NSForegroundColorAttributeName)
                .value_or(defaultPlaceholderColor);
        list.push_back(layOutClear(textRect, rect, m_attributedPlaceholder->string(), color, {}));
    }
    if (m_text.empty() && !isEditing())
        return;
    UITextFitting fitting;
    if (isEditing()) {
        // While typing, the end of the text and the caret stay in sight.
        fitting.keepsEnd = true;
        fitting.caret = UIColor::systemBlueColor();
    }
    list.push_back(layOutClear(textRect, rect, m_text, textColor, fitting));
}

CGRect UITextField::boxClearOfSubviews(CGRect textRect, CGRect rect) const {
    CGFloat left = textRect.origin.x;
    CGFloat right = left + textRect.size.width;
    const CGFloat line = textRect.origin.y + textRect.size.height / 2;
    const CGFloat middle = (left + right) / 2;
    for (const auto& subview : subviews()) {
        if (subview->isHidden())
            continue;
        CGRect frame = subview->frame();
        frame.origin = {frame.origin.x + rect.origin.x, frame.origin.y + rect.origin.y};
        if (line < frame.origin.y || line > CGRectGetMaxY(frame))
            continue;
        if (CGRectGetMidX(frame) < middle)
            left = std::max(left, CGRectGetMaxX(frame) + subviewGap);
        else
            right = std::min(right, frame.origin.x - subviewGap);
    }
    return CGRectMake(left, textRect.origin.y, std::max<CGFloat>(0, right - left),
                      textRect.size.height);
}

// Where the whole box leaves the line clear of every subview, it is laid out there, as
// aligned; else in the part of the box they leave, where it is cut if it must be.
Drawing::DrawText UITextField::layOutClear(CGRect textRect, CGRect rect, std::string_view text,
                                           const UIColor& color,
                                           const UITextFitting& fitting) const {
    auto line = layOutText(textRect, text, m_font, m_textAlignment, color, fitting);
    const CGRect clear = boxClearOfSubviews(textRect, rect);
    if (clear == textRect)
        return line;
    const auto [left, right] = drawnSpan(line);
    if (left >= clear.origin.x && right <= CGRectGetMaxX(clear))
        return line;
    return layOutText(clear, text, m_font, m_textAlignment, color, fitting);
}
