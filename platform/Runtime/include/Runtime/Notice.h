#pragma once

#include <string>
#include <string_view>

// What a person should know, said on standard error as "PROGRAM: MESSAGE".
namespace Runtime {
void printNotice(std::string_view message);
// The PROGRAM of notices; the platform sets it once it knows the program's name.
void setProgramName(std::string name);
// Text from outside (a script, the command line) as a message may show it: every control
// character (C0, DEL, C1) and every byte that is not part of valid UTF-8 as \xNN, so that
// nothing it holds can move a terminal's cursor or garble what follows.
std::string printable(std::string_view text);
} // namespace Runtime
