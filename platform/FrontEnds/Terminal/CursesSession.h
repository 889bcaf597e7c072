#pragma once

#include <curses.h>
#include <signal.h>

#include <array>
#include <string>

// ncurses for the life of one run: raw keys, the keypad, the mouse, the colours the terminal
// shows, bracketed paste, focus reports and the signals that end a program; the terminal is put
// back on every way out.
class CursesSession {
  public:
    enum class ColorMode { None, Eight, Sixteen, Palette, Direct };

    // How long a lone Escape waits for the rest of a key's sequence: short enough to feel at
    // once, long enough for a local terminal's sequences to arrive whole.
    static constexpr int escapeDelayMilliseconds = 25;
    // The key codes keypad keys in application mode arrive as, from the first; the character
    // each stands for.
    static constexpr int firstKeypadCode = KEY_MAX + 1;
    // (What tmux and xterm send for them.)
    static constexpr std::array<std::pair<const char*, wint_t>, 19> keypadSequences{{
        {"\033Op", '0'}, {"\033Oq", '1'},  {"\033Or", '2'}, {"\033Os", '3'}, {"\033Ot", '4'},
        {"\033Ou", '5'}, {"\033Ov", '6'},  {"\033Ow", '7'}, {"\033Ox", '8'}, {"\033Oy", '9'},
        {"\033On", '.'}, {"\033OM", '\r'}, {"\033Ok", '+'}, {"\033Om", '-'}, {"\033Oj", '*'},
        {"\033Oo", '/'}, {"\033Ol", ','},  {"\033OX", '='}, {"\033OS", '-'},
    }};
    // The codes a bracketed paste's start and end arrive as: the text between is a paste,
    // not keys (a Tab in it moves nothing, a newline presses nothing).
    static constexpr int pasteStartCode =
        firstKeypadCode + static_cast<int>(keypadSequences.size());
    static constexpr int pasteEndCode = pasteStartCode + 1;
    // The codes the terminal's focus reports arrive as: its window took the focus, or lost
    // it (another window in front).
    static constexpr int focusInCode = pasteEndCode + 1;
    static constexpr int focusOutCode = focusInCode + 1;
    // Below this size the screen is not shown: the terminal asks for room instead.
    static constexpr int minimumColumns = 40;
    static constexpr int minimumRows = 16;

    explicit CursesSession(const std::string& type);
    ~CursesSession();
    CursesSession(const CursesSession&) = delete;
    CursesSession& operator=(const CursesSession&) = delete;

    ColorMode colors() const { return m_colors; }
    static bool tooSmallToShow();
    // A signal that ends a program arrived: the run ends, and the caller sees the program die
    // of it once the terminal is put back.
    static int pendingSignal();
    static void forgetPendingSignal();

  private:
    SCREEN* m_screen;
    ColorMode m_colors = ColorMode::None;
    struct sigaction m_previousActions[NSIG] {};
};
