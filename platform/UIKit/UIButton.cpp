#include "UIKit/UIButton.h"

#include "UICoding.h"
#include "UIDrawing.h"

namespace {
const Runtime::Registration registration = Runtime::ClassDeclaration<UIButton>("UIButton");

template <class Value>
std::optional<Value> valueForState(const std::map<UIControlState, Value>& values,
                                   UIControlState state) {
    auto found = values.find(state);
    if (found == values.end())
        found = values.find(UIControlStateNormal);
    if (found == values.end())
        return std::nullopt;
    return found->second;
}

template <class Value>
void setValueForState(std::map<UIControlState, Value>& values, std::optional<Value> value,
                      UIControlState state) {
    if (value)
        values.insert_or_assign(state, std::move(*value));
    else
        values.erase(state);
}

} // namespace

UIButton::UIButton(CGRect frame) : UIControl(frame) {
}

UIButton::UIButton(NSCoder& coder) : UIControl(coder) {
    setTitle(coder.decodeStringForKey("title"), UIControlStateNormal);
    setTitleColor(decodeUIColor(coder, "titleColor"), UIControlStateNormal);
    m_titleFont = decodeFont(coder, m_titleFont);
}

void UIButton::setTitle(std::optional<std::string> title, UIControlState state) {
    setValueForState(m_titles, std::move(title), state);
    invalidateScreen();
}

std::optional<std::string> UIButton::titleForState(UIControlState state) const {
    return valueForState(m_titles, state);
}

void UIButton::setTitleColor(std::optional<UIColor> color, UIControlState state) {
    setValueForState(m_titleColors, color, state);
    invalidateScreen();
}

std::optional<UIColor> UIButton::titleColorForState(UIControlState state) const {
    return valueForState(m_titleColors, state);
}

UIColor UIButton::currentTitleColor() const {
    return titleColorForState(state()).value_or(UIColor::whiteColor());
}

void UIButton::setTitleFont(UIFont font) {
    m_titleFont = font;
    invalidateScreen();
}

void UIButton::describeContent(Drawing::DisplayList& list, CGRect rect) const {
    const auto title = currentTitle();
    if (!title || title->empty())
        return;
    auto text = layOutText(rect, *title, m_titleFont, NSTextAlignmentCenter, currentTitleColor());
    if (isHighlighted())
        text.color.alpha *= 0.4f;
    list.push_back(std::move(text));
}
