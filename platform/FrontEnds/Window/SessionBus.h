#pragma once

#include <optional>
#include <string>

// The desktop's session bus as the window meets it, through SDL (input methods) and the
// screen reader's bridge.
namespace SessionBus {

// Where the bus is: named by the environment, or at its usual place in the runtime folder;
// never an address that would launch one.
std::optional<std::string> address();

// SDL asks the bus about input methods as its video starts, and waits for good on one that
// takes the connection and never answers; with no bus at all, its D-Bus library would launch
// one. So the bus is tried first, briefly, and where it is not there or does not answer, SDL
// and everything after it are given an address that fails at once.
void setAsideUnlessItAnswers();

} // namespace SessionBus
