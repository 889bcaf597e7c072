#pragma once

#include "Painters/CellPainter.h"
#include "UIKit/UIHostSession.h"

#include <curses.h>

#include <memory>
#include <optional>
#include <string>

// What a terminal sends (characters, curses' key codes, Escape sequences, bracketed pastes,
// the mouse), translated into the session's calls. What the session leaves unhandled is the
// terminal's: q, or Ctrl-C, quits.
class TerminalInput {
  public:
    // painter: the grid the screen is drawn on, where a mouse's cell is found; the owner's,
    // and empty until something is drawn (a click is then dropped).
    TerminalInput(UIHostSession& session, const std::shared_ptr<CellPainter>& painter)
        : m_session(session), m_painter(painter) {}

    // One thing get_wch gave: its kind (KEY_CODE_YES for a key code) and value.
    void take(int kind, wint_t input);

    bool quitAsked() const { return m_quit; }
    // Whether the terminal changed size since the last time this was asked.
    bool takeResize();

  private:
    // While the screen is not shown, nothing reaches it: only quitting works.
    void takeWhileHidden(int kind, wint_t input);
    // An Escape: the whole sequence it starts, from what has arrived after it.
    void takeEscape();
    void takeCharacter(wint_t character);
    void takeKeyCode(int key);
    void takeMouse();

    UIHostSession& m_session;
    const std::shared_ptr<CellPainter>& m_painter;
    bool m_quit = false;
    bool m_resized = true;
    // Inside a bracketed paste: the text is kept, and inserted whole when it ends.
    std::optional<std::string> m_paste;
};
