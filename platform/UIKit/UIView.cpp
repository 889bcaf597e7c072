#include "UIKit/UIView.h"

#include "Runtime/ClassRegistry.h"
#include "UICoding.h"
#include "UIDrawing.h"
#include "UIKit/UIWindow.h"

#include <algorithm>

namespace {

const Runtime::Registration registration = Runtime::ClassDeclaration<UIView>("UIView");

// One axis of the autoresizing rule: the leading margin, the size and the trailing margin
// share the change `delta` among those that are flexible, in proportion to their lengths
// (equally when those are all zero). Returns the new origin and size.
std::pair<CGFloat, CGFloat> distribute(CGFloat origin, CGFloat size, CGFloat trailing,
                                       CGFloat delta, bool flexibleLeading, bool flexibleSize,
                                       bool flexibleTrailing) {
    const int parts = flexibleLeading + flexibleSize + flexibleTrailing;
    if (parts == 0 || delta == 0)
        return {origin, size};
    const CGFloat total = (flexibleLeading ? std::max<CGFloat>(origin, 0) : 0) +
                          (flexibleSize ? size : 0) +
                          (flexibleTrailing ? std::max<CGFloat>(trailing, 0) : 0);
    const auto share = [&](bool flexible, CGFloat length) {
        if (!flexible)
            return CGFloat{0};
        return total > 0 ? delta * std::max<CGFloat>(length, 0) / total : delta / parts;
    };
    const CGFloat newSize = std::max<CGFloat>(0, size + share(flexibleSize, size));
    return {origin + share(flexibleLeading, origin), newSize};
}

} // namespace

UIView::UIView(CGRect frame) : m_frame(frame), m_layer([this] { invalidateScreen(); }) {
}

UIView::UIView(NSCoder& coder) : UIView(decodeCGRect(coder, "frame").value_or(CGRect{})) {
    m_autoresizingMask = decodeAutoresizingMask(coder, "autoresizingMask").value_or(0);
    m_backgroundColor = decodeUIColor(coder, "backgroundColor");
    m_hidden = coder.decodeBoolForKey("hidden").value_or(false);
    m_userInteractionEnabled = coder.decodeBoolForKey("userInteractionEnabled").value_or(true);
    m_layer.setMasksToBounds(coder.decodeBoolForKey("clipsToBounds").value_or(false));
    m_layer.setCornerRadius(coder.decodeDoubleForKey("cornerRadius").value_or(0));
    m_accessibilityIdentifier = coder.decodeStringForKey("accessibilityIdentifier").value_or("");
    m_accessibilityLabel = coder.decodeStringForKey("accessibilityLabel");
    m_shouldGroupAccessibilityChildren =
        coder.decodeBoolForKey("shouldGroupAccessibilityChildren").value_or(false);
    m_accessibilityHeader = coder.decodeBoolForKey("accessibilityHeader").value_or(false);
}

void UIView::setFrame(CGRect frame) {
    if (frame == m_frame)
        return;
    const CGSize oldSize = m_frame.size;
    m_frame = frame;
    invalidateScreen();
    if (frame.size == oldSize)
        return;
    setNeedsDisplay();
    for (const auto& subview : m_subviews)
        subview->resizeWithOldSuperviewSize(oldSize);
    layoutSubviews();
}

CGFloat UIView::heightFittingSubviews() const {
    CGFloat least = 0;
    for (const auto& subview : m_subviews) {
        const unsigned mask = subview->m_autoresizingMask;
        const CGRect frame = subview->m_frame;
        const bool flexibleTop = mask & UIViewAutoresizingFlexibleTopMargin;
        const bool flexibleHeight = mask & UIViewAutoresizingFlexibleHeight;
        const bool flexibleBottom = mask & UIViewAutoresizingFlexibleBottomMargin;
        const CGFloat top = flexibleTop ? 0 : frame.origin.y;
        const CGFloat height =
            flexibleHeight ? subview->heightFittingSubviews() : frame.size.height;
        // With nothing flexible, the top margin and the height hold and the bottom gives way.
        const bool bottomHolds = !flexibleBottom && (flexibleTop || flexibleHeight);
        const CGFloat bottom = bottomHolds ? m_frame.size.height - CGRectGetMaxY(frame) : 0;
        least = std::max(least, top + height + std::max<CGFloat>(bottom, 0));
    }
    return least;
}

void UIView::resizeWithOldSuperviewSize(CGSize oldSize) {
    const CGSize newSize = superview()->m_frame.size;
    const unsigned mask = m_autoresizingMask;
    const auto [x, width] = distribute(
        m_frame.origin.x, m_frame.size.width, oldSize.width - CGRectGetMaxX(m_frame),
        newSize.width - oldSize.width, mask & UIViewAutoresizingFlexibleLeftMargin,
        mask & UIViewAutoresizingFlexibleWidth, mask & UIViewAutoresizingFlexibleRightMargin);
    const auto [y, height] = distribute(
        m_frame.origin.y, m_frame.size.height, oldSize.height - CGRectGetMaxY(m_frame),
        newSize.height - oldSize.height, mask & UIViewAutoresizingFlexibleTopMargin,
        mask & UIViewAutoresizingFlexibleHeight, mask & UIViewAutoresizingFlexibleBottomMargin);
    setFrame(CGRectMake(x, y, width, height));
}

void UIView::setBoundsOrigin(CGPoint origin) {
    if (origin == m_boundsOrigin)
        return;
    m_boundsOrigin = origin;
    invalidateScreen();
}

void UIView::setBackgroundColor(std::optional<UIColor> color) {
    m_backgroundColor = color;
    invalidateScreen();
}

void UIView::setHidden(bool hidden) {
    m_hidden = hidden;
    invalidateScreen();
    if (!hidden)
        announceToLiveRegion();
}

void UIView::announceToLiveRegion() {
    for (UIView* view = this; view; view = view->superview().get())
        if (view->m_shouldGroupAccessibilityChildren) {
            ++view->m_accessibilityAnnouncements;
            return;
        }
}

void UIView::setAccessibilityIdentifier(std::string identifier) {
    m_accessibilityIdentifier = std::move(identifier);
}

UIAccessibilityRole UIView::accessibilityRole() const {
    if (m_accessibilityHeader)
        return UIAccessibilityRole::Heading;
    return m_shouldGroupAccessibilityChildren ? UIAccessibilityRole::LiveRegion
                                              : UIAccessibilityRole::Group;
}

std::optional<std::string> UIView::accessibilityLabel() const {
    return m_accessibilityLabel ? m_accessibilityLabel : defaultAccessibilityLabel();
}

void UIView::setAccessibilityLabel(std::optional<std::string> label) {
    m_accessibilityLabel = std::move(label);
}

void UIView::addSubview(const std::shared_ptr<UIView>& view) {
    if (!view || view.get() == this)
        return;
    view->removeFromSuperview();
    view->m_superview = self();
    m_subviews.push_back(view);
    invalidateScreen();
}

void UIView::removeFromSuperview() {
    auto parent = superview();
    if (!parent)
        return;
    // The parent may hold the last reference; keep this view alive until it is detached.
    auto keepAlive = self();
    std::erase(parent->m_subviews, keepAlive);
    m_superview.reset();
    parent->invalidateScreen();
}

bool UIView::isDescendantOfView(const UIView& view) const {
    for (const UIView* current = this; current;) {
        if (current == &view)
            return true;
        auto parent = current->m_superview.lock();
        current = parent.get();
    }
    return false;
}

std::shared_ptr<UIWindow> UIView::window() const {
    const UIView& top = root();
    if (!dynamic_cast<const UIWindow*>(&top))
        return nullptr;
    return std::static_pointer_cast<UIWindow>(const_cast<UIView&>(top).self());
}

const UIView& UIView::root() const {
    const UIView* top = this;
    std::shared_ptr<UIView> parent;
    while ((parent = top->m_superview.lock()))
        top = parent.get();
    return *top;
}

bool UIView::isHiddenOnScreen() const {
    if (m_hidden)
        return true;
    auto parent = superview();
    return parent && parent->isHiddenOnScreen();
}

void UIView::draw(CGRect) {
}

void UIView::setNeedsDisplay() {
    m_needsDisplay = true;
    invalidateScreen();
}

void UIView::displayIfNeeded() {
    if (m_hidden)
        return;
    if (m_needsDisplay) {
        m_needsDisplay = false;
        draw(bounds());
    }
    // draw() may add subviews; those are displayed in this same pass.
    const auto subviews = m_subviews;
    for (const auto& subview : subviews)
        subview->displayIfNeeded();
}

void UIView::describe(Drawing::DisplayList& list) const {
    describeAt(list, CGRect{{}, m_frame.size});
}

void UIView::describeAt(Drawing::DisplayList& list, CGRect rect) const {
    if (m_hidden)
        return;
    const CGFloat radius = m_layer.cornerRadius();
    const std::size_t background = list.size();
    if (m_backgroundColor && m_backgroundColor->alpha() > 0)
        list.push_back(Drawing::FillRect{rect, radius, drawingColor(*m_backgroundColor)});
    const bool clips = m_layer.masksToBounds();
    if (clips)
        list.push_back(Drawing::PushClip{rect, radius});
    const std::size_t content = list.size();
    describeContent(list, rect);
    // The view's box holds a line of text when its own content is one: a painter on a coarse
    // grid keeps such a box whole around the line.
    if (std::any_of(
            list.begin() + static_cast<std::ptrdiff_t>(content), list.end(),
            [](const auto& command) { return std::holds_alternative<Drawing::DrawText>(command); }))
        for (std::size_t i = background; i < content; ++i)
            std::visit(Drawing::Overloaded{[](Drawing::FillRect& fill) { fill.holdsText = true; },
                                           [](Drawing::PushClip& clip) { clip.holdsText = true; },
                                           [](auto&) {}},
                       list[i]);
    for (const auto& subview : m_subviews) {
        const CGRect frame = subview->m_frame;
        subview->describeAt(list, CGRectMake(rect.origin.x + frame.origin.x - m_boundsOrigin.x,
                                             rect.origin.y + frame.origin.y - m_boundsOrigin.y,
                                             frame.size.width, frame.size.height));
    }
    if (clips)
        list.push_back(Drawing::PopClip{});
}

std::shared_ptr<UIView> UIView::hitTest(CGPoint point) {
    if (m_hidden || !m_userInteractionEnabled || !pointInside(point))
        return nullptr;
    for (auto subview = m_subviews.rbegin(); subview != m_subviews.rend(); ++subview) {
        const CGPoint origin = (*subview)->m_frame.origin;
        const CGPoint shown = (*subview)->m_boundsOrigin;
        if (auto hit =
                (*subview)->hitTest({point.x - origin.x + shown.x, point.y - origin.y + shown.y}))
            return hit;
    }
    return self();
}

CGPoint UIView::convertPointFromWindow(CGPoint point) const {
    const CGPoint origin = frameInWindow().origin;
    return {point.x - origin.x + m_boundsOrigin.x, point.y - origin.y + m_boundsOrigin.y};
}

CGRect UIView::frameInWindow() const {
    CGRect frame = m_frame;
    if (dynamic_cast<const UIWindow*>(this))
        frame.origin = {};
    for (auto parent = superview(); parent; parent = parent->superview()) {
        frame.origin.x -= parent->m_boundsOrigin.x;
        frame.origin.y -= parent->m_boundsOrigin.y;
        if (dynamic_cast<const UIWindow*>(parent.get()))
            break;
        frame.origin.x += parent->m_frame.origin.x;
        frame.origin.y += parent->m_frame.origin.y;
    }
    return frame;
}

bool UIView::endEditing(bool force) {
    auto window = this->window();
    auto responder = window ? window->firstResponder() : nullptr;
    auto editing = std::dynamic_pointer_cast<UIView>(responder);
    if (!editing || !editing->isDescendantOfView(*this))
        return false;
    if (!force && !editing->canResignFirstResponder())
        return false;
    window->clearFirstResponder();
    return true;
}

bool UIView::becomeFirstResponder() {
    auto window = this->window();
    if (!window || !canBecomeFirstResponder())
        return false;
    return window->makeFirstResponder(self());
}

bool UIView::resignFirstResponder() {
    auto window = this->window();
    if (!window || !isFirstResponder())
        return true;
    if (!canResignFirstResponder())
        return false;
    window->clearFirstResponder();
    return true;
}

bool UIView::isFirstResponder() const {
    auto window = this->window();
    return window && window->firstResponder().get() == this;
}

void UIView::invalidateScreen() const {
    if (auto window = dynamic_cast<const UIWindow*>(&root()))
        window->screenChanged();
}
