#include "UIKit/UIControl.h"

#include "Runtime/FatalError.h"

void UIControl::addTarget(const std::weak_ptr<NSObject>& target, Runtime::Selector action,
                          UIControlEvents events) {
    const auto object = target.lock();
    if (object && !Runtime::ClassRegistry::shared().respondsToSelector(*object, action))
        fatalError("unrecognized selector '" + action + "' for a control's target");
    m_targetActions.push_back({target, std::move(action), events});
}

void UIControl::sendActionsForControlEvents(UIControlEvents events) {
    // An action may take this control out of the tree; it stays alive until all are sent.
    const auto keepAlive = shared_from_this();
    const auto targetActions = m_targetActions;
    for (const auto& [target, action, mask] : targetActions) {
        if (!(mask & events))
            continue;
        if (const auto object = target.lock())
            Runtime::ClassRegistry::shared().perform(*object, action, keepAlive);
    }
}

void UIControl::touchesBegan(const UITouch&) {
    m_tracking = true;
    setHighlighted(true);
    sendActionsForControlEvents(UIControlEventTouchDown);
}

void UIControl::touchesMoved(const UITouch& touch) {
    if (!m_tracking)
        return;
    const bool inside = pointInside(convertPointFromWindow(touch.locationInWindow));
    setHighlighted(inside);
    sendActionsForControlEvents(inside ? UIControlEventTouchDragInside
                                       : UIControlEventTouchDragOutside);
}

void UIControl::touchesEnded(const UITouch& touch) {
    if (!m_tracking)
        return;
    m_tracking = false;
    setHighlighted(false);
    const bool inside = pointInside(convertPointFromWindow(touch.locationInWindow));
    sendActionsForControlEvents(inside ? UIControlEventTouchUpInside
                                       : UIControlEventTouchUpOutside);
}

void UIControl::touchesCancelled(const UITouch&) {
    if (!m_tracking)
        return;
    m_tracking = false;
    setHighlighted(false);
    sendActionsForControlEvents(UIControlEventTouchCancel);
}

void UIControl::setHighlighted(bool highlighted) {
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    invalidateScreen();
}
