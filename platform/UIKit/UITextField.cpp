#include "UIKit/UITextField.h"

#include "UICoding.h"
#include "UIDrawing.h"

#include <algorithm>

namespace {
const Runtime::Registration registration = Runtime::ClassDeclaration<UITextField>("UITextField");

constexpr UIColor defaultPlaceholderColor{0.24f, 0.24f, 0.26f, 0.3f};
constexpr CGFloat textInset = 8;

bool isContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
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
    m_text += text;
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
        list.push_back(layOutText(textRect, m_attributedPlaceholder->string(), m_font,
                                  m_textAlignment, color));
    }
    if (m_text.empty() && !isEditing())
        return;
    UITextFitting fitting;
    if (isEditing()) {
        // While typing, the end of the text and the caret stay in sight.
        fitting.keepsEnd = true;
        fitting.caret = UIColor::systemBlueColor();
    }
    list.push_back(layOutText(textRect, m_text, m_font, m_textAlignment, textColor, fitting));
}
