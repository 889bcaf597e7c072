#pragma once

#include "Foundation/NSAttributedString.h"
#include "UIKit/NSText.h"
#include "UIKit/UIControl.h"
#include "UIKit/UIFont.h"
#include "UIKit/UITextLayout.h"

#include <memory>
#include <optional>
#include <string>

// An editable line of text. Tapping it makes it the first responder, which brings up the
// keyboard with the field's accessory view on top.
class UITextField : public UIControl, public UIKeyInput {
  public:
    explicit UITextField(CGRect frame = {});
    // Also reads text, placeholder, textColor, textAlignment, fontSize and fontWeight.
    explicit UITextField(NSCoder& coder);

    // Never empty-handed: a field without text gives "".
    std::optional<std::string> text() const { return m_text; }
    void setText(std::optional<std::string> text);
    std::optional<std::string> placeholder() const;
    const std::optional<NSAttributedString>& attributedPlaceholder() const {
        return m_attributedPlaceholder;
    }
    void setAttributedPlaceholder(std::optional<NSAttributedString> placeholder);
    // Empty means the platform's default, black.
    const std::optional<UIColor>& textColor() const { return m_textColor; }
    void setTextColor(std::optional<UIColor> color);
    NSTextAlignment textAlignment() const { return m_textAlignment; }
    void setTextAlignment(NSTextAlignment alignment);
    const UIFont& font() const { return m_font; }
    void setFont(UIFont font);

    // The field owns its accessory; one view may serve several fields.
    std::shared_ptr<UIView> inputAccessoryView() const override { return m_inputAccessoryView; }
    void setInputAccessoryView(std::shared_ptr<UIView> view);

    UIAccessibilityRole accessibilityRole() const override {
        return UIAccessibilityRole::TextField;
    }
    std::optional<std::string> accessibilityValue() const override { return m_text; }
    // What the views inside the field show (a currency sign beside the amount).
    std::optional<std::string> accessibilityHint() const override;
    std::optional<std::string> shownText() const override { return m_text; }
    bool canBecomeFocused() const override { return true; }
    UICursor cursor() const override { return UICursor::Text; }

    bool isEditing() const { return isFirstResponder(); }
    bool canBecomeFirstResponder() const override { return true; }
    void touchesEnded(const UITouch& touch) override;

    bool hasText() const override { return !m_text.empty(); }
    // Text as one line, whatever put it in (typing, a paste, an input method, a screen
    // reader): line breaks are taken out (a copied cell's "10\n" is 10), a tab becomes a space,
    // and other control characters go, so that the field holds what it shows.
    void insertText(std::string_view text) override;
    // Removes the last character: a whole UTF-8 sequence, never part of one.
    void deleteBackward() override;

  protected:
    std::optional<std::string> defaultAccessibilityLabel() const override;
    // The text, or the placeholder in its attributed color; the caret while editing.
    void describeContent(Drawing::DisplayList& list, CGRect rect) const override;

  private:
    // The text's box less what a subview covers of its line at either end (a badge): a line
    // that would run under one is laid out in what is left.
    CGRect boxClearOfSubviews(CGRect textRect, CGRect rect) const;
    Drawing::DrawText layOutClear(CGRect textRect, CGRect rect, std::string_view text,
                                  const UIColor& color, const UITextFitting& fitting) const;

    std::string m_text;
    std::optional<NSAttributedString> m_attributedPlaceholder;
    std::optional<UIColor> m_textColor;
    NSTextAlignment m_textAlignment = NSTextAlignmentNatural;
    UIFont m_font = UIFont::systemFontOfSize(17);
    std::shared_ptr<UIView> m_inputAccessoryView;
};
