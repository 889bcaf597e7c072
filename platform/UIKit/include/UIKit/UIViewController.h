#pragma once

#include "UIKit/UIResponder.h"
#include "UIKit/UIView.h"

#include <memory>

class NSCoder;

// Manages one screen's view tree; its root view loads once, on first use.
class UIViewController : public UIResponder {
  public:
    UIViewController() = default;
    explicit UIViewController(NSCoder& coder);

    // The root view; the first read loads it (an interface file's, or loadView's) and then
    // sends viewDidLoad.
    std::shared_ptr<UIView> view();
    bool isViewLoaded() const { return m_viewLoaded; }
    // The root view an interface file built for this controller, loaded on first use.
    void setView(std::shared_ptr<UIView> view) { m_view = std::move(view); }

    virtual void loadView();
    virtual void viewDidLoad() {}

  private:
    std::shared_ptr<UIView> m_view;
    bool m_viewLoaded = false;
};
