#pragma once

#include "UIKit/UIView.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Finding views the way a UI test does, and saying what they show.
namespace ViewQuery {

// By accessibility identifier (hidden views too), else by what a person reads on a shown
// view (a button's title, compared without regard to case).
std::shared_ptr<UIView> find(UIView& root, std::string_view name);
// The text a view shows: a label's, a field's, a button's title; empty when none.
std::optional<std::string> shownText(const UIView& view);
// The runtime name of the view's class ("orvane.CurrencyTxtField").
std::string className(const UIView& view);
// The tree as text, a view a line, indented two spaces per depth.
std::string dump(const UIView& root);

} // namespace ViewQuery
