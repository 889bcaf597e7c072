// The interface-file loader on any bytes: a whole screen or a LoadError, never a crash, a
// hang or a leak. A CalcBtn in the file stops the program by design, so such inputs are
// passed over.
#include "UIKit/UIStoryboard.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view contents(reinterpret_cast<const char*>(data), size);
    if (contents.find("CalcBtn") != std::string_view::npos)
        return 0;
    try {
        const auto controller = UIStoryboard::instantiateInitialViewController(contents, "fuzz");
        if (!controller)
            __builtin_trap();
    } catch (const UIStoryboard::LoadError&) {
    }
    return 0;
}
