// Apart from the rest of the front end: terminfo's header defines every capability's name
// as a macro.
#include "Terminal/TerminalType.h"

#include "FrontEnds/FrontEnd.h"

#include <curses.h>
#include <term.h>
#include <unistd.h>

#include <cstdlib>

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Whether terminfo describes a terminal of that name; its description is then loaded.
bool describes(const std::string& name) {
    int error = 0;
    return setupterm(name.c_str(), STDOUT_FILENO, &error) == OK;
}

bool hasDirectColor() {
    return tigetnum(const_cast<char*>("colors")) >= 0x1000000;
}

bool canMoveCursor() {
    const char* move = tigetstr(const_cast<char*>("cup"));
    return move && move != reinterpret_cast<char*>(-1);
}

} // namespace

std::string terminalType() {
    if (!isSet("TERM"))
        throw FrontEndUnavailable("cannot use the terminal: TERM is not set");
    const std::string term = std::getenv("TERM");
    if (!describes(term))
        throw FrontEndUnavailable("cannot use this terminal (TERM=" + term +
                                  "): no description of it is installed");
    const bool movable = canMoveCursor();
    const bool direct = hasDirectColor();
    del_curterm(cur_term);
    if (!movable)
        throw FrontEndUnavailable("cannot use this terminal (TERM=" + term +
                                  "): it cannot move its cursor");
    const std::string colorTerm = isSet("COLORTERM") ? std::getenv("COLORTERM") : "";
    if (direct || (colorTerm != "truecolor" && colorTerm != "24bit"))
        return term;
    const std::string flavour = term.substr(0, term.find('-')) + "-direct";
    if (!describes(flavour))
        return term;
    const bool found = hasDirectColor();
    del_curterm(cur_term);
    return found ? flavour : term;
}
