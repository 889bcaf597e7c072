#include "FrontEnds/KeyCommands.h"
#include "FrontEnds/ModuleInterface.h"
#include "FrontEnds/Modules.h"
#include "Painters/CellPainter.h"
#include "Runtime/FatalError.h"
#include "UIKit/UIApplication.h"

#include <curses.h>
#include <langinfo.h>
#include <signal.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <csignal>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>

namespace {

constexpr int minimumColumns = 40;
constexpr int minimumRows = 16;
constexpr int controlC = 3;
constexpr int escape = 27;

volatile std::sig_atomic_t quitRequested = 0;
extern "C" void requestQuit(int) {
    quitRequested = 1;
}

// Wide characters need a UTF-8 character type; numbers stay in the C locale regardless.
void useUtf8Characters() {
    std::setlocale(LC_CTYPE, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

// ncurses for the life of one run: raw keys, the mouse, colors; restored on every way out.
class CursesSession {
  public:
    CursesSession() {
        useUtf8Characters();
        m_screen = newterm(nullptr, stdout, stdin);
        if (!m_screen)
            throw FrontEndUnavailable("cannot use this terminal (TERM=" +
                                      std::string(std::getenv("TERM") ? std::getenv("TERM") : "") +
                                      ")");
        Runtime::setFatalErrorCleanup([] { endwin(); });
        raw();
        noecho();
        nonl();
        keypad(stdscr, TRUE);
        set_escdelay(25);
        curs_set(0);
        if (has_colors()) {
            start_color();
            use_default_colors();
        }
        mousemask(BUTTON1_PRESSED | BUTTON1_RELEASED, nullptr);
        mouseinterval(0);
        struct sigaction action {};
        action.sa_handler = requestQuit; // no SA_RESTART: a signal wakes the key wait
        sigemptyset(&action.sa_mask);
        for (const int signal : {SIGTERM, SIGINT, SIGHUP})
            sigaction(signal, &action, &m_previousActions[signal]);
    }
    ~CursesSession() {
        endwin();
        delscreen(m_screen);
        Runtime::setFatalErrorCleanup(nullptr);
        for (const int signal : {SIGTERM, SIGINT, SIGHUP})
            sigaction(signal, &m_previousActions[signal], nullptr);
    }
    CursesSession(const CursesSession&) = delete;
    CursesSession& operator=(const CursesSession&) = delete;

  private:
    SCREEN* m_screen;
    struct sigaction m_previousActions[NSIG] {};
};

int channel(float value) {
    return std::clamp(static_cast<int>(std::lround(value * 255)), 0, 255);
}

// The terminal's color nearest to a color: itself in direct color, else one of the 256 or
// the 8 basic colors.
int terminalColor(const Drawing::Color& color) {
    const int red = channel(color.red), green = channel(color.green), blue = channel(color.blue);
    if (COLORS >= 0x1000000)
        return (red << 16) | (green << 8) | blue;
    if (COLORS >= 256) {
        const auto level = [](int value) {
            return value < 48 ? 0 : value < 115 ? 1 : (value - 35) / 40;
        };
        const int cube = 16 + 36 * level(red) + 6 * level(green) + level(blue);
        const int gray = (red + green + blue) / 3;
        const int grayIndex = 232 + std::clamp((gray - 8) / 10, 0, 23);
        const auto cubeValue = [&](int l) { return l == 0 ? 0 : 55 + 40 * l; };
        const auto distance = [&](int r, int g, int b) {
            return (r - red) * (r - red) + (g - green) * (g - green) + (b - blue) * (b - blue);
        };
        const int grayValue = 8 + 10 * (grayIndex - 232);
        return distance(cubeValue(level(red)), cubeValue(level(green)), cubeValue(level(blue))) <=
                       distance(grayValue, grayValue, grayValue)
                   ? cube
                   : grayIndex;
    }
    return (red > 127 ? COLOR_RED : 0) | (green > 127 ? COLOR_GREEN : 0) |
           (blue > 127 ? COLOR_BLUE : 0);
}

class TerminalSession {
  public:
    TerminalSession(UIApplication& application, UIWindow& screen)
        : m_application(application), m_screen(screen) {}
    void run();

  private:
    void draw();
    void drawCell(int column, int row, const CellPainter::Cell& cell, attr_t extra);
    void handleCharacter(wint_t character);
    void handleKeyCode(wint_t key);
    void handleMouse();

    UIApplication& m_application;
    UIWindow& m_screen;
    CursesSession m_curses;
    std::unique_ptr<CellPainter> m_painter;
    bool m_quit = false;
    bool m_resized = true;
};

void TerminalSession::run() {
    m_application.delegate().applicationDidBecomeActive(m_application);
    m_screen.displayIfNeeded();
    draw();
    // get_wch sleeps until a key, a mouse event, a resize or a signal: no polling.
    while (!m_quit && !quitRequested) {
        wint_t input = 0;
        const int kind = get_wch(&input);
        if (quitRequested)
            break;
        if (kind == KEY_CODE_YES)
            handleKeyCode(input);
        else if (kind == OK)
            handleCharacter(input);
        m_screen.displayIfNeeded();
        if (m_screen.needsScreenUpdate() || m_resized)
            draw();
    }
}

void TerminalSession::handleCharacter(wint_t character) {
    using KeyCommands::Key;
    const bool editing = m_screen.firstResponder() != nullptr;
    if (character == escape || (character == controlC && editing)) {
        KeyCommands::press(m_screen, Key::Escape);
    } else if (character == controlC || (character == 'q' && !editing)) {
        m_quit = true;
    } else if (character == '\t') {
        KeyCommands::press(m_screen, Key::Tab);
    } else if (character == '\r' || character == '\n') {
        KeyCommands::press(m_screen, Key::Enter);
    } else if (character == 127 || character == '\b') {
        KeyCommands::press(m_screen, Key::Backspace);
    } else if (character == ' ' && !editing) {
        KeyCommands::press(m_screen, Key::Space);
    } else if (editing && std::iswprint(static_cast<wint_t>(character))) {
        char bytes[MB_LEN_MAX];
        std::mbstate_t state{};
        const std::size_t length = std::wcrtomb(bytes, static_cast<wchar_t>(character), &state);
        if (length != static_cast<std::size_t>(-1))
            KeyCommands::typeText(m_screen, std::string_view(bytes, length));
    }
}

void TerminalSession::handleKeyCode(wint_t key) {
    switch (key) {
    case KEY_BTAB:
        KeyCommands::press(m_screen, KeyCommands::Key::ShiftTab);
        break;
    case KEY_BACKSPACE:
    case KEY_DC:
        KeyCommands::press(m_screen, KeyCommands::Key::Backspace);
        break;
    case KEY_ENTER:
        handleCharacter('\r');
        break;
    case KEY_RESIZE:
        m_resized = true;
        break;
    case KEY_MOUSE:
        handleMouse();
        break;
    default:
        break;
    }
}

void TerminalSession::handleMouse() {
    MEVENT event{};
    if (getmouse(&event) != OK || !m_painter)
        return;
    const CGPoint point = m_painter->pointAt({event.x, event.y});
    if (event.bstate & BUTTON1_PRESSED)
        m_screen.sendTouch(UITouchPhase::Began, point);
    if (event.bstate & BUTTON1_RELEASED)
        m_screen.sendTouch(UITouchPhase::Ended, point);
}

void TerminalSession::draw() {
    // ncurses has already taken the new size by the time it reports KEY_RESIZE.
    int rows = 0, columns = 0;
    getmaxyx(stdscr, rows, columns);
    if (m_resized) {
        m_painter = std::make_unique<CellPainter>(m_screen.bounds().size, columns, rows);
        m_resized = false;
    }
    erase();
    if (columns < minimumColumns || rows < minimumRows) {
        mvaddstr(rows / 2, 0, "Make the terminal larger");
        curs_set(0);
        refresh();
        return;
    }
    Drawing::DisplayList list;
    m_screen.describeScreen(list);
    m_painter->paint(list);
    for (int row = 0; row < m_painter->rows(); ++row)
        for (int column = 0; column < m_painter->columns(); ++column) {
            const auto& cell = m_painter->cell(column, row);
            drawCell(column, row, cell, cell.emphasized ? A_REVERSE : A_NORMAL);
        }
    if (const auto caret = m_painter->caret()) {
        curs_set(1);
        move(caret->row, caret->column);
    } else {
        curs_set(0);
    }
    refresh();
    m_screen.screenUpdated();
}

void TerminalSession::drawCell(int column, int row, const CellPainter::Cell& cell, attr_t extra) {
    if (cell.text.empty())
        return; // the right half of a wide character
    wchar_t wide[2] = {L' ', L'\0'};
    std::mbstate_t state{};
    std::mbrtowc(&wide[0], cell.text.data(), cell.text.size(), &state);
    int pair = 0;
    if (has_colors())
        pair = alloc_pair(terminalColor(cell.foreground), terminalColor(cell.background));
    cchar_t character{};
    setcchar(&character, wide, (cell.bold ? A_BOLD : A_NORMAL) | extra, 0, &pair);
    mvadd_wch(row, column, &character);
}

// The screen full-screen in a terminal (ncurses), scaled to fit and redrawn on resize.
// Keys: digits, the point and Backspace edit; Tab and Shift-Tab move through the text
// fields and the buttons; Enter taps the keyboard's accessory while it is shown, or the
// focused button; Escape ends editing; q or Ctrl-C quits when no field is being edited.
// The mouse taps where the terminal reports it. The terminal is restored however it ends.
class TerminalFrontEnd : public FrontEnd {
  public:
    TerminalFrontEnd() {
        if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO))
            throw FrontEndUnavailable(
                "cannot run in the terminal: standard input and output are not a terminal");
    }

    UIApplicationEnding run(UIApplication& application, UIWindow& window) override {
        quitRequested = 0;
        TerminalSession session(application, window);
        session.run();
        return {};
    }
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
