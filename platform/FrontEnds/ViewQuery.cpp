#include "FrontEnds/ViewQuery.h"

#include "Runtime/ClassRegistry.h"
#include "UIKit/UIButton.h"
#include "UIKit/UILabel.h"
#include "UIKit/UITextField.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>

namespace ViewQuery {
namespace {

std::shared_ptr<UIView> findFirst(UIView& view, const std::function<bool(const UIView&)>& matches) {
    if (matches(view))
        return std::static_pointer_cast<UIView>(view.shared_from_this());
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
    if (view.isHidden())
        out += " hidden";
    if (const auto text = shownText(view); text && !text->empty())
        out += " " + quoted(*text);
    out += '\n';
    for (const auto& subview : view.subviews())
        dumpView(*subview, depth + 1, out);
}

} // namespace

std::shared_ptr<UIView> find(UIView& root, std::string_view name) {
    if (auto found = findFirst(
            root, [&](const UIView& view) { return view.accessibilityIdentifier() == name; }))
        return found;
    return findFirst(root, [&](const UIView& view) {
        const auto label = view.accessibilityLabel();
        return dynamic_cast<const UIControl*>(&view) && label && equalIgnoringCase(*label, name) &&
               !view.isHiddenOnScreen();
    });
}

std::optional<std::string> shownText(const UIView& view) {
    if (const auto* field = dynamic_cast<const UITextField*>(&view))
        return field->text();
    if (const auto* label = dynamic_cast<const UILabel*>(&view))
        return label->text();
    if (const auto* button = dynamic_cast<const UIButton*>(&view))
        return button->currentTitle();
    return std::nullopt;
}

std::string className(const UIView& view) {
    try {
        return Runtime::ClassRegistry::shared().nameOf(typeid(view));
    } catch (const Runtime::RuntimeError&) {
        return "UIView";
    }
}

std::string dump(const UIView& root) {
    std::string out;
    dumpView(root, 0, out);
    return out;
}

} // namespace ViewQuery
