#pragma once

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
// What a touch at the view's center would reach instead of it ("the keyboard", "'clear'"),
// when something lies on top of it there; empty when the touch reaches the view.
std::optional<std::string> coveringView(UIWindow& window, const UIView& view);
// The runtime name of the view's class ("UILabel"); "UIView" for one never registered.
std::string className(const UIView& view);
// The titles of the controls that views of the tree show on top of the keyboard while they
// are edited (a bar's buttons), each once, in the tree's order: names a script may tap.
std::vector<std::string> accessoryTitles(const UIView& root);
// The tree as text, a view a line, indented two spaces per depth.
std::string dump(const UIView& root);

} // namespace ViewQuery
