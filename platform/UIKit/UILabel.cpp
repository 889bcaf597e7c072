#include "UIKit/UILabel.h"

#include "Runtime/ClassRegistry.h"
#include "UICoding.h"
#include "UIDrawing.h"

#include <algorithm>

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
    m_adjustsFontSizeToFitWidth =
        coder.decodeBoolForKey("adjustsFontSizeToFitWidth").value_or(false);
    if (const auto factor = coder.decodeDoubleForKey("minimumScaleFactor")) {
        if (*factor >= 0 && *factor <= 1)
            m_minimumScaleFactor = *factor;
        else
            coder.failWithError("'minimumScaleFactor' takes a number from 0 to 1");
    }
}

void UILabel::setText(std::optional<std::string> text) {
    m_text = std::move(text);
    invalidateScreen();
    announceToLiveRegion();
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

void UILabel::setAdjustsFontSizeToFitWidth(bool adjusts) {
    m_adjustsFontSizeToFitWidth = adjusts;
    invalidateScreen();
}

void UILabel::setMinimumScaleFactor(CGFloat factor) {
    m_minimumScaleFactor = factor;
    invalidateScreen();
}

void UILabel::describeContent(Drawing::DisplayList& list, CGRect rect) const {
    if (!m_text || m_text->empty())
        return;
    // A factor of zero lets the platform shrink as far as it takes; a line still has to be read.
    constexpr CGFloat smallestReadable = 0.1;
    // Any label's text that does not fit is first drawn smaller, to half its size, so that a
    // short text (a currency's symbol in its badge) is read whole wherever it can be; only
    // what still does not fit is cut.
    constexpr CGFloat shrinksBeforeCutting = 0.5;
    UITextFitting fitting;
    fitting.minimumScaleFactor = m_adjustsFontSizeToFitWidth
                                     ? std::max(m_minimumScaleFactor, smallestReadable)
                                     : shrinksBeforeCutting;
    list.push_back(layOutText(rect, *m_text, m_font, m_textAlignment, m_textColor, fitting));
}
