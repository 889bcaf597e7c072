#pragma once

#include "UIKit/UIHostSession.h"
#include "UIKit/UIWindow.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Finding views the way a UI test does, and saying what they show.
namespace ViewQuery {

// A view by its accessibility identifier (hidden ones too); while the keyboard is up, one of
// its keys or its accessory by title. When there is none, why, to follow the name: "is not a
// view's name", or that it lies on the keyboard's accessory, shown only while it is up.
std::variant<std::shared_ptr<UIView>, std::string> find(UIWindow& window, std::string_view name);
// A view that lies on top of another, as a message names it: "the keyboard", "'clear'".
std::string coverName(const UIView& cover);
// The runtime name of the view's class ("UILabel"); "UIView" for one never registered.
std::string className(const UIView& view);
// The titles of the controls that views of the tree show on top of the keyboard while they
// are edited (a bar's buttons), each once, in the tree's order: names a script may tap.
std::vector<std::string> accessoryTitles(const UIView& root);
// The window's tree as text, a view a line, indented two spaces per depth; then, when a view
// has the keyboard's focus, a line that names it: "focus #NAME editing" for the field being
// edited, "focus #NAME ringed" for the ringed view.
std::string dump(const UIWindow& window);
// The session's window as dump(window) writes it, then where the application stands:
// "application active", "application inactive" or "application background".
std::string dump(UIHostSession& session);
// A life-cycle state's name, as the dump writes it; the state a name names, if any.
std::string_view nameOf(UIApplicationState state);
std::optional<UIApplicationState> applicationStateNamed(std::string_view name);

} // namespace ViewQuery
