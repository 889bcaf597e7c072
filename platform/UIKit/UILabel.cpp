#include "UIKit/UILabel.h"

#include "Runtime/ClassRegistry.h"
#include "UICoding.h"
#include "UIDrawing.h"

namespace {
const Runtime::Registration registration = Runtime::ClassDeclaration<UILabel>("UILabel");
}

// Labels let touches through to what lies under them, as the platform's do.
UILabel::UILabel(CGRect frame) : UIView(frame) {
    setUserInteractionEnabled(false);
}

UILabel::UILabel(NSCoder& coder) : UIView(coder) {
    if (!coder.containsValueForKey("userInteractionEnabled"))
        setUserInteractionEnabled(false);
    m_text = coder.decodeStringForKey("text");
    m_textColor = decodeUIColor(coder, "textColor").value_or(m_textColor);
    m_textAlignment = decodeTextAlignment(coder, "textAlignment").value_or(m_textAlignment);
    m_font = decodeFont(coder, m_font);
}

void UILabel::setText(std::optional<std::string> text) {
    m_text = std::move(text);
    invalidateScreen();
}

void UILabel::setTextColor(UIColor color) {
    m_textColor = color;
    invalidateScreen();
}

void UILabel::setTextAlignment(NSTextAlignment alignment) {
    m_textAlignment = alignment;
    invalidateScreen();
}

void UILabel::setFont(UIFont font) {
    m_font = font;
    invalidateScreen();
}

void UILabel::describeContent(Drawing::DisplayList& list, CGRect rect) const {
    if (m_text && !m_text->empty())
        list.push_back(drawingText(rect, *m_text, m_font, m_textAlignment, m_textColor));
}
