#pragma once

#include <string>

// The terminfo entry to draw with: the terminal's own (TERM), or, where COLORTERM says the
// terminal takes 24-bit colour and its own entry does not, the same terminal's direct-colour
// entry, if one is installed. Raises FrontEndUnavailable when TERM is not set or names no
// installed description, or when the terminal cannot move its cursor.
std::string terminalType();
