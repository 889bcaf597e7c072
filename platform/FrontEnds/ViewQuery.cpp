#include "FrontEnds/ViewQuery.h"

#include "Runtime/ClassRegistry.h"
#include "UIKit/UIControl.h"
#include "UIKit/UIKeyboard.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <functional>

namespace ViewQuery {
namespace {

using Match = std::function<bool(const UIView&)>;

std::shared_ptr<UIView> findFirst(const UIView& view, const Match& matches) {
    if (matches(view))
        return std::const_pointer_cast<UIView>(
            std::static_pointer_cast<const UIView>(view.shared_from_this()));
    for (const auto& subview : view.subviews())
        if (auto found = findFirst(*subview, matches))
            return found;
    return nullptr;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// A key of the keyboard, or its accessory: a control that reads as the name.
Match titled(std::string_view name) {
    return [name](const UIView& view) {
        const auto label = view.accessibilityLabel();
        return dynamic_cast<const UIControl*>(&view) && label && equalIgnoringCase(*label, name);
    };
}

Match identified(std::string_view name) {
    return [name](const UIView& view) { return view.accessibilityIdentifier() == name; };
}

// Whether some responder in the tree would show, on top of the keyboard, a control of that
// name.
bool onAnAccessoryView(const UIView& view, std::string_view name) {
    if (const auto accessory = view.inputAccessoryView())
        if (findFirst(*accessory, titled(name)) || findFirst(*accessory, identified(name)))
            return true;
    return std::any_of(view.subviews().begin(), view.subviews().end(),
                       [&](const auto& subview) { return onAnAccessoryView(*subview, name); });
}

// How a message names a view: as the keyboard it is part of, or by its identifier or its
// nearest holder's.
std::string describe(const UIView& view) {
    for (const UIView* current = &view; current; current = current->superview().get())
        if (dynamic_cast<const UIKeyboard*>(current))
            return "the keyboard";
    for (const UIView* current = &view; current; current = current->superview().get())
        if (!current->accessibilityIdentifier().empty())
            return "'" + current->accessibilityIdentifier() + "'";
    return "a view of class " + className(view);
}

std::string formatPoints(CGFloat value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string quoted(std::string_view text) {
    std::string result = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            result += '\\';
        if (static_cast<unsigned char>(c) < 0x20)
            result += ' ';
        else
            result += c;
    }
    return result + '"';
}

void dumpView(const UIView& view, int depth, std::string& out) {
    const CGRect frame = view.frame();
    out += std::string(static_cast<std::size_t>(depth) * 2, ' ') + className(view);
    if (!view.accessibilityIdentifier().empty())
        out += " #" + view.accessibilityIdentifier();
    out += " (" + formatPoints(frame.origin.x) + ", " + formatPoints(frame.origin.y) + ", " +
           formatPoints(frame.size.width) + ", " + formatPoints(frame.size.height) + ")";
    if (const CGPoint shown = view.bounds().origin; shown != CGPoint{})
        out += " scrolled (" + formatPoints(shown.x) + ", " + formatPoints(shown.y) + ")";
    if (view.isHidden())
        out += " hidden";
    if (const auto text = view.shownText(); text && !text->empty())
        out += " " + quoted(*text);
    out += '\n';
    for (const auto& subview : view.subviews())
        dumpView(*subview, depth + 1, out);
}

} // namespace

std::variant<std::shared_ptr<UIView>, std::string> find(UIWindow& window, std::string_view name) {
    if (auto found = findFirst(window, identified(name)))
        return found;
    if (const auto keyboard = window.visibleKeyboard())
        if (auto found = findFirst(*keyboard, titled(name)))
            return found;
    if (onAnAccessoryView(window, name))
        return std::string("is on the bar on top of the keyboard, shown only while the keyboard "
                           "is up");
    return std::string("is not the name of a view");
}

std::string coverName(const UIView& cover) {
    return describe(cover);
}

std::string className(const UIView& view) {
    const std::string* name = Runtime::ClassRegistry::shared().nameOf(typeid(view));
    return name ? *name : "UIView";
}

std::vector<std::string> accessoryTitles(const UIView& root) {
    std::vector<std::string> titles;
    const std::function<void(const UIView&, bool)> collect = [&](const UIView& view,
                                                                 bool onAccessory) {
        if (const auto label = view.accessibilityLabel();
            onAccessory && label && dynamic_cast<const UIControl*>(&view) &&
            std::find(titles.begin(), titles.end(), *label) == titles.end())
            titles.push_back(*label);
        if (const auto accessory = view.inputAccessoryView(); accessory && !onAccessory)
            collect(*accessory, true);
        for (const auto& subview : view.subviews())
            collect(*subview, onAccessory);
    };
    collect(root, false);
    return titles;
}

std::string dump(const UIWindow& window) {
    std::string out;
    dumpView(window, 0, out);
    const auto editing = window.firstResponder();
    const auto ringed = window.focusedView();
    if (const auto& focused = editing ? editing : ringed)
        out +=
            "focus #" + focused->accessibilityIdentifier() + (editing ? " editing\n" : " ringed\n");
    return out;
}

namespace {
// The life cycle's states by the names a dump writes and a script gives.
constexpr std::array<std::pair<UIApplicationState, std::string_view>, 3> stateNames{{
    {UIApplicationState::Active, "active"},
    {UIApplicationState::Inactive, "inactive"},
    {UIApplicationState::Background, "background"},
}};
} // namespace

std::string_view nameOf(UIApplicationState state) {
    for (const auto& [named, name] : stateNames)
        if (named == state)
            return name;
    return "unknown";
}

std::optional<UIApplicationState> applicationStateNamed(std::string_view name) {
    for (const auto& [state, named] : stateNames)
        if (named == name)
            return state;
    return std::nullopt;
}

std::string dump(UIHostSession& session) {
    return dump(session.window()) + "application " +
           std::string(nameOf(session.application().applicationState())) + "\n";
}

} // namespace ViewQuery
