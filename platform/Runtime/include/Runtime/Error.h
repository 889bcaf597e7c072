#pragma once

#include "Runtime/FatalError.h"

#include <exception>
#include <source_location>
#include <stdexcept>

namespace Runtime {

// A failure that a person, a file or the system can cause. Library code raises it; the one
// place that owns the process (UIApplicationMain) turns it into one message and a status.
class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The program was started with arguments it cannot take: status 2.
class UsageError : public Error {
  public:
    using Error::Error;
};

// The build decides what raising means: where the C++ library has exceptions, the error goes
// to the handler at the top; where it has none (WebAssembly), nobody could catch it, so it
// ends as a fatal error with the same message.
#if defined(__cpp_exceptions)
inline constexpr bool exceptionsEnabled = true;
#else
inline constexpr bool exceptionsEnabled = false;
#endif

template <class E>
[[noreturn]] void raise(const E& error,
                        std::source_location location = std::source_location::current()) {
#if defined(__cpp_exceptions)
    (void)location;
    throw error;
#else
    fatalError(error.what(), location);
#endif
}

// Runs `body`; an exception it lets out goes to `onError`, whose answer stands in for the
// body's. Without exceptions there is nothing to catch: raise() has already stopped.
template <class Body, class OnError> auto handlingErrors(Body&& body, OnError&& onError) {
#if defined(__cpp_exceptions)
    try {
        return body();
    } catch (const std::exception& error) {
        return onError(error);
    }
#else
    (void)onError;
    return body();
#endif
}

} // namespace Runtime
