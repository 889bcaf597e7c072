#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "Runtime/NSObject.h"

#include <memory>
#include <string_view>

class UIView;

enum class UITouchPhase { Began, Moved, Ended, Cancelled };

// One finger on the screen, at a point in window coordinates.
struct UITouch {
    UITouchPhase phase = UITouchPhase::Began;
    CGPoint locationInWindow;
};

// Something that takes part in event handling: touches, and being the first responder.
class UIResponder : public NSObject {
  public:
    virtual bool canBecomeFirstResponder() const { return false; }
    virtual bool becomeFirstResponder() { return false; }
    virtual bool canResignFirstResponder() const { return true; }
    virtual bool resignFirstResponder() { return true; }

    // Shown on top of the keyboard while this responder edits.
    virtual std::shared_ptr<UIView> inputAccessoryView() const { return nullptr; }

    virtual void touchesBegan(const UITouch&) {}
    virtual void touchesMoved(const UITouch&) {}
    virtual void touchesEnded(const UITouch&) {}
    virtual void touchesCancelled(const UITouch&) {}
};

// A responder that takes typed text: showing it as first responder brings up the keyboard.
class UIKeyInput {
  public:
    virtual ~UIKeyInput() = default;
    virtual bool hasText() const = 0;
    virtual void insertText(std::string_view text) = 0;
    virtual void deleteBackward() = 0;
};
