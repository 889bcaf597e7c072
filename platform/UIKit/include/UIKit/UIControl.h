#pragma once

#include "Runtime/ClassRegistry.h"
#include "UIKit/UIView.h"

#include <cstdint>
#include <vector>

using UIControlEvents = std::uint64_t;
inline constexpr UIControlEvents UIControlEventTouchDown = 1 << 0;
inline constexpr UIControlEvents UIControlEventTouchDragInside = 1 << 2;
inline constexpr UIControlEvents UIControlEventTouchDragOutside = 1 << 3;
inline constexpr UIControlEvents UIControlEventTouchUpInside = 1 << 6;
inline constexpr UIControlEvents UIControlEventTouchUpOutside = 1 << 7;
inline constexpr UIControlEvents UIControlEventTouchCancel = 1 << 8;

using UIControlState = std::uint64_t;
inline constexpr UIControlState UIControlStateNormal = 0;
inline constexpr UIControlState UIControlStateHighlighted = 1 << 0;

// A view that turns touches into actions sent to targets, which it does not own.
class UIControl : public UIView {
  public:
    using UIView::UIView;

    void addTarget(const std::weak_ptr<NSObject>& target, Runtime::Selector action,
                   UIControlEvents events);
    std::size_t targetActionCount() const { return m_targetActions.size(); }
    // Sends every action registered for any of the events; targets that are gone are skipped.
    void sendActionsForControlEvents(UIControlEvents events);

    bool isHighlighted() const { return m_highlighted; }
    bool isTracking() const { return m_tracking; }
    UIControlState state() const { return m_highlighted ? UIControlStateHighlighted : 0; }

    // Touch tracking: touch-up-inside only for a touch that began here and ends inside.
    void touchesBegan(const UITouch& touch) override;
    void touchesMoved(const UITouch& touch) override;
    void touchesEnded(const UITouch& touch) override;
    void touchesCancelled(const UITouch& touch) override;

  private:
    struct TargetAction {
        std::weak_ptr<NSObject> target;
        Runtime::Selector action;
        UIControlEvents events;
    };
    void setHighlighted(bool highlighted);

    std::vector<TargetAction> m_targetActions;
    bool m_tracking = false;
    bool m_highlighted = false;
};
