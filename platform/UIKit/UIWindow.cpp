#include "UIKit/UIWindow.h"

#include "Runtime/ClassRegistry.h"

namespace {
const Runtime::Registration registration = Runtime::ClassDeclaration<UIWindow>("UIWindow");
}

UIWindow::UIWindow(CGRect frame) : UIView(frame) {
}

void UIWindow::setRootViewController(std::shared_ptr<UIViewController> controller) {
    m_rootViewController = std::move(controller);
}

void UIWindow::makeKeyAndVisible() {
    if (!m_rootViewController)
        return;
    const auto root = m_rootViewController->view();
    if (root && !root->superview())
        addSubview(root);
    screenChanged();
}

bool UIWindow::makeFirstResponder(const std::shared_ptr<UIView>& responder) {
    const auto current = firstResponder();
    if (current == responder)
        return true;
    if (current && !current->canResignFirstResponder())
        return false;
    m_firstResponder = responder;
    if (dynamic_cast<UIKeyInput*>(responder.get()))
        showKeyboard(responder->inputAccessoryView());
    else
        hideKeyboard();
    screenChanged();
    return true;
}

void UIWindow::clearFirstResponder() {
    m_firstResponder.reset();
    hideKeyboard();
    screenChanged();
}

std::shared_ptr<UIKeyboard> UIWindow::visibleKeyboard() const {
    return m_keyboard && m_keyboard->superview() ? m_keyboard : nullptr;
}

void UIWindow::showKeyboard(std::shared_ptr<UIView> accessory) {
    if (!m_keyboard)
        m_keyboard = UIKeyboard::make(frame().size.width);
    m_keyboard->setAccessoryView(std::move(accessory));
    CGRect keyboardFrame = m_keyboard->frame();
    keyboardFrame.origin.y = frame().size.height - keyboardFrame.size.height;
    m_keyboard->setFrame(keyboardFrame);
    addSubview(m_keyboard);
}

void UIWindow::hideKeyboard() {
    if (!m_keyboard)
        return;
    m_keyboard->setAccessoryView(nullptr);
    m_keyboard->removeFromSuperview();
}

void UIWindow::sendTouch(UITouchPhase phase, CGPoint point) {
    const UITouch touch{phase, point};
    if (phase == UITouchPhase::Began) {
        const auto hit = hitTest(point);
        m_touchedView = hit;
        if (hit)
            hit->touchesBegan(touch);
        return;
    }
    const auto touched = m_touchedView.lock();
    if (!touched)
        return;
    if (phase == UITouchPhase::Moved)
        touched->touchesMoved(touch);
    else if (phase == UITouchPhase::Ended)
        touched->touchesEnded(touch);
    else
        touched->touchesCancelled(touch);
    if (phase != UITouchPhase::Moved)
        m_touchedView.reset();
}
