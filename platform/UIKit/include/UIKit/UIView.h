#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "Drawing/DisplayList.h"
#include "QuartzCore/CALayer.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIResponder.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class NSCoder;
class UIWindow;

// How a view follows when its superview changes size: which of its margins and which of its
// own dimensions may stretch. Flexible parts share the change in proportion to their sizes.
enum UIViewAutoresizing : unsigned {
    UIViewAutoresizingNone = 0,
    UIViewAutoresizingFlexibleLeftMargin = 1 << 0,
    UIViewAutoresizingFlexibleWidth = 1 << 1,
    UIViewAutoresizingFlexibleRightMargin = 1 << 2,
    UIViewAutoresizingFlexibleTopMargin = 1 << 3,
    UIViewAutoresizingFlexibleHeight = 1 << 4,
    UIViewAutoresizingFlexibleBottomMargin = 1 << 5,
};

// What a screen reader is told a view is.
enum class UIAccessibilityRole { Group, Text, Heading, Button, TextField, LiveRegion };

// What a pointer over a view looks like: an arrow, a hand over what can be pressed, a text
// cursor over what can be typed into.
enum class UICursor { Arrow, Pointer, Text };

// A rectangle on screen with a background, a layer, and subviews that it owns.
// The tree owns its views (shared_ptr down); a view knows its superview only weakly.
class UIView : public UIResponder {
  public:
    explicit UIView(CGRect frame = {});
    // Reads frame, autoresizingMask, backgroundColor, hidden, clipsToBounds, cornerRadius,
    // userInteractionEnabled, accessibilityIdentifier, accessibilityLabel,
    // accessibilityHeader and shouldGroupAccessibilityChildren.
    explicit UIView(NSCoder& coder);

    CGRect frame() const { return m_frame; }
    // A view whose size changes is drawn again, so that its content follows the new size,
    // and its subviews follow by their autoresizing masks, then layoutSubviews runs.
    void setFrame(CGRect frame);
    // The view's own coordinates: its size, and the point of its content shown at its top
    // left (not zero only where the view scrolls).
    CGRect bounds() const { return CGRect{m_boundsOrigin, m_frame.size}; }
    unsigned autoresizingMask() const { return m_autoresizingMask; }
    void setAutoresizingMask(unsigned mask) { m_autoresizingMask = mask; }
    // Lays out subviews of the view's own after a change of size; nothing by default.
    virtual void layoutSubviews() {}
    // The least height at which every subview keeps its fixed margins and heights (and a
    // flexible one the least height of its own): shorter, autoresizing would squeeze
    // subviews into each other.
    CGFloat heightFittingSubviews() const;

    const std::optional<UIColor>& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(std::optional<UIColor> color);
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden);
    bool clipsToBounds() const { return m_layer.masksToBounds(); }
    void setClipsToBounds(bool clips) { m_layer.setMasksToBounds(clips); }
    CALayer& layer() { return m_layer; }
    const CALayer& layer() const { return m_layer; }
    bool isUserInteractionEnabled() const { return m_userInteractionEnabled; }
    void setUserInteractionEnabled(bool enabled) { m_userInteractionEnabled = enabled; }

    const std::string& accessibilityIdentifier() const { return m_accessibilityIdentifier; }
    void setAccessibilityIdentifier(std::string identifier);
    // What a person hears for this view: the label set for it, else its own (a button's
    // title, a label's text, a field's text or placeholder).
    std::optional<std::string> accessibilityLabel() const;
    void setAccessibilityLabel(std::optional<std::string> label);
    // Whether a screen reader takes the view's contents as one: read together, and read
    // again when they change.
    bool shouldGroupAccessibilityChildren() const { return m_shouldGroupAccessibilityChildren; }
    void setShouldGroupAccessibilityChildren(bool group) {
        m_shouldGroupAccessibilityChildren = group;
    }
    // Whether the view titles what follows it: a screen reader moves from heading to heading.
    bool isAccessibilityHeader() const { return m_accessibilityHeader; }
    void setAccessibilityHeader(bool header) { m_accessibilityHeader = header; }
    // A heading, a live region when its children are read as one, else a group.
    virtual UIAccessibilityRole accessibilityRole() const;
    // How many times a live region's content has been set, the same content included: each
    // is read out again.
    unsigned accessibilityAnnouncements() const { return m_accessibilityAnnouncements; }
    // What the view holds, beside its label: a field's text.
    virtual std::optional<std::string> accessibilityValue() const { return std::nullopt; }
    // What else a person should hear of it, after its label and value.
    virtual std::optional<std::string> accessibilityHint() const { return std::nullopt; }

    // The text the view shows: a label's, a field's, a button's title; empty when it shows
    // none.
    virtual std::optional<std::string> shownText() const { return std::nullopt; }
    // Whether Tab may reach it: a field to edit, a button to ring.
    virtual bool canBecomeFocused() const { return false; }
    virtual UICursor cursor() const { return UICursor::Arrow; }

    const std::vector<std::shared_ptr<UIView>>& subviews() const { return m_subviews; }
    std::shared_ptr<UIView> superview() const { return m_superview.lock(); }
    // Puts the view on top of the others, taking it from its former superview.
    void addSubview(const std::shared_ptr<UIView>& view);
    void removeFromSuperview();
    bool isDescendantOfView(const UIView& view) const;
    std::shared_ptr<UIWindow> window() const;
    // Hidden itself, or inside a hidden view.
    bool isHiddenOnScreen() const;

    // Draws the view's own content; the display pass calls it for views that need display.
    virtual void draw(CGRect rect);
    void setNeedsDisplay();
    bool needsDisplay() const { return m_needsDisplay; }
    // The display pass: draw() on this view and every shown view below it that needs it.
    void displayIfNeeded();

    // Describes what this view and its shown subviews look like, in this view's coordinates:
    // background (rounded by the layer), content, subviews, clipped where the view clips.
    void describe(Drawing::DisplayList& list) const;

    // The deepest shown, touchable view under a point in this view's coordinates.
    virtual std::shared_ptr<UIView> hitTest(CGPoint point);
    bool pointInside(CGPoint point) const { return CGRectContainsPoint(bounds(), point); }
    // A point in window coordinates in this view's bounds.
    CGPoint convertPointFromWindow(CGPoint point) const;
    CGRect frameInWindow() const;

    // Makes the first responder at or below this view give up editing; force does not ask it.
    bool endEditing(bool force);

    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    bool isFirstResponder() const;

  protected:
    virtual std::optional<std::string> defaultAccessibilityLabel() const { return std::nullopt; }
    // Adds the view's own content (text, a title) inside its rectangle in window coordinates.
    virtual void describeContent(Drawing::DisplayList&, CGRect) const {}

    // Shows the content from another point on: the subviews move the other way.
    void setBoundsOrigin(CGPoint origin);
    // Something this view shows changed: the screen must be produced again.
    void invalidateScreen() const;
    // What this view says was set anew: the live region holding it announces it again.
    void announceToLiveRegion();
    std::shared_ptr<UIView> self() { return std::static_pointer_cast<UIView>(shared_from_this()); }

  private:
    // The top of the tree this view is in (itself when it has no superview).
    const UIView& root() const;
    void resizeWithOldSuperviewSize(CGSize oldSize);
    void describeAt(Drawing::DisplayList& list, CGRect rect) const;

    CGRect m_frame;
    CGPoint m_boundsOrigin;
    unsigned m_autoresizingMask = UIViewAutoresizingNone;
    std::optional<UIColor> m_backgroundColor;
    bool m_hidden = false;
    bool m_userInteractionEnabled = true;
    bool m_needsDisplay = true;
    CALayer m_layer;
    std::string m_accessibilityIdentifier;
    std::optional<std::string> m_accessibilityLabel;
    bool m_shouldGroupAccessibilityChildren = false;
    bool m_accessibilityHeader = false;
    unsigned m_accessibilityAnnouncements = 0;
    std::vector<std::shared_ptr<UIView>> m_subviews;
    std::weak_ptr<UIView> m_superview;
};
