// The module platform-terminal.so: the screen full-screen in a terminal (ncurses), laid out
// for character cells and redrawn as the terminal changes size. Curses itself, what the
// terminal sends and what is drawn each have their own file; this is the run's loop.
#include "FrontEnds/ModuleInterface.h"
#include "FrontEnds/Modules.h"
#include "Painters/CellPainter.h"
#include "Terminal/CursesSession.h"
#include "Terminal/TerminalDrawing.h"
#include "Terminal/TerminalInput.h"
#include "Terminal/TerminalType.h"
#include "UIKit/UIHostSession.h"
#include "UIKit/UIScreen.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

namespace {

// A terminal has no safe areas; it is inactive while its window lacks the focus, where it
// reports the focus.
constexpr UIHostFeatures terminalFeatures{.touches = true,
                                          .hardwareKeys = true,
                                          .textInput = true,
                                          .screenChanges = true,
                                          .lifeCycle = true,
                                          .safeAreas = false,
                                          .wheel = true,
                                          .timers = true};

class TerminalSession {
  public:
    TerminalSession(UIHostSession& session, const std::string& type)
        : m_session(session), m_curses(type), m_input(session, m_painter),
          m_drawing(m_curses.colors()) {}
    UIApplicationEnding run();

  private:
    bool running() const { return !m_input.quitAsked() && !CursesSession::pendingSignal(); }
    void layOut();
    void draw();

    UIHostSession& m_session;
    CursesSession m_curses;
    std::shared_ptr<CellPainter> m_painter;
    TerminalInput m_input;
    TerminalDrawing m_drawing;
    bool m_needsLayout = true;
};

UIApplicationEnding TerminalSession::run() {
    m_session.setApplicationState(UIApplicationState::Active);
    draw();
    // get_wch sleeps until a key, a mouse event, a resize, a signal or a due timer: no
    // polling. What arrives together (a paste, a click's press and release) is all taken in
    // before one frame is drawn.
    while (running()) {
        const auto wait = m_session.timeUntilNextTimer();
        timeout(wait ? static_cast<int>(
                           std::min<std::chrono::milliseconds::rep>(wait->count(), 1 << 30))
                     : -1);
        wint_t input = 0;
        int kind = get_wch(&input);
        if (kind != ERR) {
            m_input.take(kind, input);
            nodelay(stdscr, TRUE);
            while (running() && (kind = get_wch(&input)) != ERR)
                m_input.take(kind, input);
        } else if (!wait) {
            continue;
        }
        m_session.fireTimers();
        if (running())
            draw();
    }
    return {0, CursesSession::pendingSignal()};
}

// The screen takes the terminal's size: a phone's height over its rows (less the hint's),
// as wide as its columns make it.
void TerminalSession::layOut() {
    int rows = 0, columns = 0;
    getmaxyx(stdscr, rows, columns);
    const int screenRows = rows >= TerminalDrawing::rowsForHint ? rows - 1 : rows;
    const CellGrid grid = CellGrid::forTerminal(columns, screenRows, UIScreen::phoneSize);
    m_session.setScreen(grid.screenSize(), grid.pointsPerCell);
    m_painter = std::make_shared<CellPainter>(grid);
    m_session.setTextMeasurer(m_painter);
}

void TerminalSession::draw() {
    // ncurses has already taken the new size by the time it reports KEY_RESIZE.
    if (m_input.takeResize())
        m_needsLayout = true;
    if (CursesSession::tooSmallToShow()) {
        m_drawing.drawTooSmall();
        m_needsLayout = true;
        return;
    }
    if (m_needsLayout) {
        layOut();
        m_needsLayout = false;
    }
    const auto frame = m_session.takeFrameIfChanged();
    if (!frame)
        return;
    m_painter->paint(*frame);
    m_drawing.draw(*m_painter);
}

// The screen in the terminal. Keys go to the session; q or Ctrl-C quits when no
// field is being edited (Ctrl-C while editing ends editing); the mouse taps. Below 40 x 16 it
// asks for more room until it has it.
class TerminalFrontEnd : public FrontEnd {
  public:
    TerminalFrontEnd() {
        if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO))
            throw FrontEndUnavailable(
                "cannot run in the terminal: standard input and output are not a terminal");
        m_type = terminalType();
    }

    UIHostFeatures features() const override { return terminalFeatures; }
    UIApplicationEnding run(UIHostSession& session) override {
        CursesSession::forgetPendingSignal();
        TerminalSession terminal(session, m_type);
        return terminal.run();
    }

  private:
    std::string m_type;
};

} // namespace

extern "C" const char* platformModuleInterface() {
    return Modules::interfaceStamp;
}

extern "C" void platformModuleOffer(Modules::Offers& offers) {
    offers.frontEnds["terminal"] = [](const PlatformOptions&) {
        return std::make_unique<TerminalFrontEnd>();
    };
}
