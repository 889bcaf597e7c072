#include "Terminal/CursesSession.h"

#include "FrontEnds/Environment.h"
#include "FrontEnds/FrontEnd.h"
#include "Runtime/FatalError.h"

#include <langinfo.h>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

// Signals that end a program by default. Each ends this one too, once the terminal is put
// back as it was: the caller sees the program die of it.
constexpr std::array endingSignals{SIGTERM, SIGINT,  SIGHUP,  SIGQUIT,
                                   SIGUSR1, SIGUSR2, SIGPIPE, SIGALRM};
volatile std::sig_atomic_t noted = 0;
extern "C" void noteSignal(int signal) {
    noted = signal;
}

// Bracketed paste, and reports of the focus (what terminals and tmux with focus-events send
// as their window takes or loses it); a terminal that has neither ignores the asking.
constexpr const char* askForPasteAndFocus = "\033[?2004h\033[?1004h";
constexpr const char* stopPasteAndFocus = "\033[?1004l\033[?2004l";
constexpr const char* focusIn = "\033[I";
constexpr const char* focusOut = "\033[O";
constexpr const char* pasteStarts = "\033[200~";
constexpr const char* pasteEnds = "\033[201~";

// A request of the terminal's own, beside what curses draws (curses writes to standard
// output too, and flushes what it has first).
void writeToTerminal(const char* sequence) {
    std::fflush(stdout);
    std::fputs(sequence, stdout);
    std::fflush(stdout);
}

// Wide characters need a UTF-8 character type; numbers stay in the C locale regardless.
void useUtf8Characters() {
    std::setlocale(LC_CTYPE, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

// What colours the terminal shows; colour is started if it shows any.
CursesSession::ColorMode startColors() {
    using ColorMode = CursesSession::ColorMode;
    if (isEnvironmentSet("NO_COLOR") || !has_colors())
        return ColorMode::None;
    start_color();
    use_default_colors();
    if (COLORS >= 0x1000000)
        return ColorMode::Direct;
    if (COLORS >= 256)
        return ColorMode::Palette;
    return COLORS >= 16 ? ColorMode::Sixteen : ColorMode::Eight;
}

} // namespace

CursesSession::CursesSession(const std::string& type) {
    useUtf8Characters();
    m_screen = newterm(type.c_str(), stdout, stdin);
    if (!m_screen)
        throw FrontEndUnavailable("cannot use this terminal (TERM=" + type + ")");
    Runtime::setFatalErrorCleanup([] { endwin(); });
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    set_escdelay(escapeDelayMilliseconds);
    curs_set(0);
    for (std::size_t i = 0; i < keypadSequences.size(); ++i)
        define_key(keypadSequences[i].first, firstKeypadCode + static_cast<int>(i));
    define_key(pasteStarts, pasteStartCode);
    define_key(pasteEnds, pasteEndCode);
    define_key(focusIn, focusInCode);
    define_key(focusOut, focusOutCode);
    writeToTerminal(askForPasteAndFocus);
    m_colors = startColors();
    mousemask(BUTTON1_PRESSED | BUTTON1_RELEASED | BUTTON1_CLICKED | BUTTON1_DOUBLE_CLICKED |
                  BUTTON1_TRIPLE_CLICKED | BUTTON4_PRESSED | BUTTON5_PRESSED,
              nullptr);
    mouseinterval(0);
    struct sigaction action {};
    action.sa_handler = noteSignal; // no SA_RESTART: a signal wakes the key wait
    sigemptyset(&action.sa_mask);
    for (const int signal : endingSignals)
        sigaction(signal, &action, &m_previousActions[signal]);
}

CursesSession::~CursesSession() {
    writeToTerminal(stopPasteAndFocus);
    endwin();
    delscreen(m_screen);
    Runtime::setFatalErrorCleanup(nullptr);
    for (const int signal : endingSignals)
        sigaction(signal, &m_previousActions[signal], nullptr);
}

bool CursesSession::tooSmallToShow() {
    int rows = 0, columns = 0;
    getmaxyx(stdscr, rows, columns);
    return columns < minimumColumns || rows < minimumRows;
}

int CursesSession::pendingSignal() {
    return noted;
}

void CursesSession::forgetPendingSignal() {
    noted = 0;
}
