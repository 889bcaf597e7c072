#pragma once

#include "UIKit/NSText.h"
#include "UIKit/UIFont.h"
#include "UIKit/UIView.h"

#include <optional>
#include <string>

// A line of text. A text too long for the frame is cut at its tail with an ellipsis, unless
// the label may shrink its font to fit, down to a minimum scale of it.
class UILabel : public UIView {
  public:
    explicit UILabel(CGRect frame = {});
    // Also reads text, textColor, textAlignment, fontSize, fontWeight,
    // adjustsFontSizeToFitWidth and minimumScaleFactor.
    explicit UILabel(NSCoder& coder);

    const std::optional<std::string>& text() const { return m_text; }
    void setText(std::optional<std::string> text);
    const UIColor& textColor() const { return m_textColor; }
    void setTextColor(UIColor color);
    NSTextAlignment textAlignment() const { return m_textAlignment; }
    void setTextAlignment(NSTextAlignment alignment);
    const UIFont& font() const { return m_font; }
    void setFont(UIFont font);
    bool adjustsFontSizeToFitWidth() const { return m_adjustsFontSizeToFitWidth; }
    void setAdjustsFontSizeToFitWidth(bool adjusts);
    CGFloat minimumScaleFactor() const { return m_minimumScaleFactor; }
    void setMinimumScaleFactor(CGFloat factor);

    UIAccessibilityRole accessibilityRole() const override {
        return isAccessibilityHeader() ? UIAccessibilityRole::Heading : UIAccessibilityRole::Text;
    }
    std::optional<std::string> shownText() const override { return m_text; }

  protected:
    std::optional<std::string> defaultAccessibilityLabel() const override { return m_text; }
    void describeContent(Drawing::DisplayList& list, CGRect rect) const override;

  private:
    std::optional<std::string> m_text;
    UIColor m_textColor = UIColor::blackColor();
    NSTextAlignment m_textAlignment = NSTextAlignmentNatural;
    UIFont m_font = UIFont::systemFontOfSize(17);
    bool m_adjustsFontSizeToFitWidth = false;
    CGFloat m_minimumScaleFactor = 0;
};
