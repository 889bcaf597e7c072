#pragma once

#include <cstdlib>

// Whether an environment variable is set to something: an empty one counts as unset, as
// people clear variables by emptying them.
inline bool isEnvironmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}
