#pragma once

#include <string>
#include <string_view>

// What a person should know, said on standard error as "PROGRAM: MESSAGE".
namespace Runtime {
void printNotice(std::string_view message);
// The PROGRAM of notices; the platform sets it once it knows the program's name.
void setProgramName(std::string name);
} // namespace Runtime
