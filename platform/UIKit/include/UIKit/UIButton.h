#pragma once

#include "UIKit/UIControl.h"
#include "UIKit/UIFont.h"

#include <map>
#include <optional>
#include <string>

// A control with a title and a title color per state; states without their own fall back
// to the normal state's.
class UIButton : public UIControl {
  public:
    explicit UIButton(CGRect frame = {});
    // Also reads title, titleColor, fontSize and fontWeight (for the normal state).
    explicit UIButton(NSCoder& coder);

    void setTitle(std::optional<std::string> title, UIControlState state);
    std::optional<std::string> titleForState(UIControlState state) const;
    void setTitleColor(std::optional<UIColor> color, UIControlState state);
    std::optional<UIColor> titleColorForState(UIControlState state) const;
    std::optional<std::string> currentTitle() const { return titleForState(state()); }
    UIColor currentTitleColor() const;

    const UIFont& titleFont() const { return m_titleFont; }
    void setTitleFont(UIFont font);

    UIAccessibilityRole accessibilityRole() const override { return UIAccessibilityRole::Button; }
    std::optional<std::string> shownText() const override { return currentTitle(); }
    bool canBecomeFocused() const override { return true; }
    UICursor cursor() const override { return UICursor::Pointer; }

  protected:
    std::optional<std::string> defaultAccessibilityLabel() const override { return currentTitle(); }
    // The title, centered; dimmed while a finger is down on the button.
    void describeContent(Drawing::DisplayList& list, CGRect rect) const override;

  private:
    std::map<UIControlState, std::string> m_titles;
    std::map<UIControlState, UIColor> m_titleColors;
    UIFont m_titleFont = UIFont::systemFontOfSize(18);
};
