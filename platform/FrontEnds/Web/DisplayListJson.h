#pragma once

#include "Drawing/DisplayList.h"
#include "UIKit/UIAccessibility.h"

#include <string>

// The records the page reads, with named fields; enumerations as the numbers of the schema
// make_schema.py generates from the same definitions.
std::string displayListJson(const Drawing::DisplayList& list);
std::string accessibilityJson(const UIAccessibilityElement& root);
