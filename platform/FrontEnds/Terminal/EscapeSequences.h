#pragma once

#include "UIKit/UIHostSession.h"

#include <cstddef>
#include <optional>
#include <string_view>

// What follows an Escape a terminal sent, read whole: a control sequence (CSI or SS3, with
// its parameters and intermediates), Alt with a key, or nothing, when the Escape key itself
// was pressed. A sequence that names no key of the session's is dropped, never typed.
struct EscapeSequence {
    // Characters after the Escape that belong to it (none: the Escape key).
    std::size_t length = 0;
    // The session's key it stands for, if any.
    std::optional<UIKey> key;
};

// `following`: what had arrived after the Escape by the time it was read.
EscapeSequence readEscapeSequence(std::u32string_view following);

// Whether what has arrived after an Escape may be the start of a sequence still arriving:
// nothing yet, a CSI without its final character, an SS3 without its key.
bool mayContinue(std::u32string_view following);
