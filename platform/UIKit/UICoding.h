#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSCoder.h"
#include "UIKit/NSText.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIFont.h"

#include <optional>
#include <string_view>

// How interface files write UIKit's values: "x y width height", "#RRGGBB" or "#RRGGBBAA",
// "left" / "center" / "right" / "justified" / "natural", and a font as its size and weight.
std::optional<CGRect> decodeCGRect(NSCoder& coder, std::string_view key);
// Blank-separated flexible parts: "flexibleWidth flexibleTopMargin".
std::optional<unsigned> decodeAutoresizingMask(NSCoder& coder, std::string_view key);
std::optional<UIColor> decodeUIColor(NSCoder& coder, std::string_view key);
std::optional<NSTextAlignment> decodeTextAlignment(NSCoder& coder, std::string_view key);
// Reads "fontSize" and "fontWeight" (light, regular, medium, semibold, bold) over a default.
UIFont decodeFont(NSCoder& coder, UIFont font);
