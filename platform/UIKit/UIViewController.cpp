#include "UIKit/UIViewController.h"

#include "Runtime/ClassRegistry.h"

namespace {
const Runtime::Registration registration =
    Runtime::ClassDeclaration<UIViewController>("UIViewController");
}

UIViewController::UIViewController(NSCoder&) {
}

std::shared_ptr<UIView> UIViewController::view() {
    if (!m_viewLoaded) {
        m_viewLoaded = true;
        if (!m_view)
            loadView();
        viewDidLoad();
    }
    return m_view;
}

void UIViewController::loadView() {
    m_view = std::make_shared<UIView>();
}
