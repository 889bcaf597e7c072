#pragma once

#include <functional>
#include <source_location>
#include <string>
#include <string_view>

// Stops the program for a programming error: prints "FILE:LINE: Fatal error: MESSAGE" to
// standard error, with FILE relative to the source tree, and aborts.
[[noreturn]] void fatalError(std::string_view message,
                             std::source_location location = std::source_location::current());

namespace Runtime {
// Runs just before a fatal error is printed, so that a front end can give the terminal back
// first; empty to run nothing. Returns the one it replaces.
std::function<void()> setFatalErrorCleanup(std::function<void()> cleanup);
} // namespace Runtime
