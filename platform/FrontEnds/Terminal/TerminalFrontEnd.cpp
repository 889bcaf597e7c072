// The module platform-terminal.so: the screen full-screen in a terminal (ncurses), laid out
// for character cells and redrawn as the terminal changes size.
#include "FrontEnds/Environment.h"
#include "FrontEnds/ModuleInterface.h"
#include "FrontEnds/Modules.h"
#include "Painters/CellPainter.h"
#include "Painters/TerminalColors.h"
#include "Runtime/FatalError.h"
#include "Terminal/EscapeSequences.h"
#include "Terminal/TerminalType.h"
#include "UIKit/UIHostSession.h"
#include "UIKit/UIScreen.h"

#include <curses.h>
#include <langinfo.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int minimumColumns = 40;
constexpr int minimumRows = 16;
// From this many rows, the last one carries a hint of the keys.
constexpr int rowsForHint = 20;
constexpr wint_t controlA = 1;
constexpr wint_t controlC = 3;
constexpr wint_t controlZ = 26;
constexpr wint_t escape = 27;
// How long a lone Escape waits for the rest of a key's sequence: short enough to feel at once,
// long enough for a local terminal's sequences to arrive whole.
constexpr int escapeDelayMilliseconds = 25;
constexpr wint_t delete_ = 127;
// The hint of the keys, and a shorter one for the narrowest terminals it runs in.
constexpr std::array<const char*, 2> hints{"Tab move · Enter press · Esc end editing · q quit",
                                           "Tab · Enter · Esc end editing · q quit"};

// Signals that end a program by default. Each ends this one too, once the terminal is put
// back as it was: the caller sees the program die of it.
constexpr std::array endingSignals{SIGTERM, SIGINT,  SIGHUP,  SIGQUIT,
                                   SIGUSR1, SIGUSR2, SIGPIPE, SIGALRM};
volatile std::sig_atomic_t pendingSignal = 0;
extern "C" void noteSignal(int signal) {
    pendingSignal = signal;
}

// Keys of a numeric keypad in application mode (what tmux and xterm send while the keypad
// is in that mode), as the characters they stand for.
constexpr std::array<std::pair<const char*, wint_t>, 19> keypadSequences{{
    {"\033Op", '0'}, {"\033Oq", '1'},  {"\033Or", '2'}, {"\033Os", '3'}, {"\033Ot", '4'},
    {"\033Ou", '5'}, {"\033Ov", '6'},  {"\033Ow", '7'}, {"\033Ox", '8'}, {"\033Oy", '9'},
    {"\033On", '.'}, {"\033OM", '\r'}, {"\033Ok", '+'}, {"\033Om", '-'}, {"\033Oj", '*'},
    {"\033Oo", '/'}, {"\033Ol", ','},  {"\033OX", '='}, {"\033OS", '-'},
}};
// ncurses' own names for some of them.
constexpr std::array<std::pair<int, wint_t>, 5> keypadKeys{
    {{KEY_A1, '7'}, {KEY_A3, '9'}, {KEY_B2, '5'}, {KEY_C1, '1'}, {KEY_C3, '3'}}};
constexpr int firstKeypadCode = KEY_MAX + 1;
// curses' keys that are the session's.
constexpr std::array<std::pair<int, UIKey>, 7> sessionKeys{{
    {KEY_BTAB, UIKey::ShiftTab},
    {KEY_BACKSPACE, UIKey::Backspace},
    {KEY_DC, UIKey::Delete},
    {KEY_UP, UIKey::Up},
    {KEY_DOWN, UIKey::Down},
    {KEY_PPAGE, UIKey::PageUp},
    {KEY_NPAGE, UIKey::PageDown},
}};
// A bracketed paste: what a terminal sends around pasted text once asked to, so that the text
// is taken as a paste rather than as keys (a Tab in it moves nothing, a newline presses
// nothing).
constexpr const char* askForBracketedPaste = "\033[?2004h";
constexpr const char* stopBracketedPaste = "\033[?2004l";
constexpr const char* pasteStarts = "\033[200~";
constexpr const char* pasteEnds = "\033[201~";
constexpr int pasteStartCode = firstKeypadCode + static_cast<int>(keypadSequences.size());
constexpr int pasteEndCode = pasteStartCode + 1;

// A terminal has no safe areas, and is either in front or gone.
constexpr UIHostFeatures terminalFeatures{.touches = true,
                                          .hardwareKeys = true,
                                          .textInput = true,
                                          .screenChanges = true,
                                          .lifeCycle = true,
                                          .safeAreas = false,
                                          .wheel = true,
                                          .timers = true};

enum class ColorMode { None, Eight, Sixteen, Palette, Direct };

// A character as UTF-8 (the locale's character type is UTF-8); empty when it has none.
std::string utf8Of(wint_t character) {
    char bytes[MB_LEN_MAX];
    std::mbstate_t state{};
    const std::size_t length = std::wcrtomb(bytes, static_cast<wchar_t>(character), &state);
    return length == static_cast<std::size_t>(-1) ? std::string() : std::string(bytes, length);
}

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
ColorMode startColors() {
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

// ncurses for the life of one run: raw keys, the keypad, the mouse, colours and the signals
// that end a program; the terminal is put back on every way out.
class CursesSession {
  public:
    CursesSession(const std::string& type) {
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
        writeToTerminal(askForBracketedPaste);
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
    ~CursesSession() {
        writeToTerminal(stopBracketedPaste);
        endwin();
        delscreen(m_screen);
        Runtime::setFatalErrorCleanup(nullptr);
        for (const int signal : endingSignals)
            sigaction(signal, &m_previousActions[signal], nullptr);
    }
    CursesSession(const CursesSession&) = delete;
    CursesSession& operator=(const CursesSession&) = delete;

    ColorMode colors() const { return m_colors; }

  private:
    SCREEN* m_screen;
    ColorMode m_colors = ColorMode::None;
    struct sigaction m_previousActions[NSIG] {};
};

class TerminalSession {
  public:
    TerminalSession(UIHostSession& session, const std::string& type)
        : m_session(session), m_curses(type) {}
    UIApplicationEnding run();

  private:
    void handle(int kind, wint_t input);
    // An Escape: the whole sequence it starts, from what has arrived after it.
    void handleEscape();
    void handleCharacter(wint_t character);
    void handleKeyCode(int key);
    void handleMouse();
    // Inside a bracketed paste: the text is kept, and inserted whole when it ends.
    void keepPasted(wint_t character);
    void layOut();
    void draw();
    void drawTooSmall(int columns, int rows);
    void drawHint(int columns, int row);
    void drawCell(int column, int row, const CellPainter::Cell& cell);
    // With fewer colours than 24-bit, the frame's are chosen together, for the cells drawn.
    void choosePalette();
    // A background's number, or a text's over the background under it.
    int colorNumber(const Drawing::Color& color,
                    const std::optional<Drawing::Color>& under = std::nullopt) const;

    UIHostSession& m_session;
    CursesSession m_curses;
    std::shared_ptr<CellPainter> m_painter;
    bool m_quit = false;
    bool m_resized = true;
    std::optional<std::string> m_paste;
    std::optional<TerminalColors::Palette> m_palette;
};

UIApplicationEnding TerminalSession::run() {
    m_session.setApplicationState(UIApplicationState::Active);
    draw();
    // get_wch sleeps until a key, a mouse event, a resize, a signal or a due timer: no
    // polling. What arrives together (a paste, a click's press and release) is all taken in
    // before one frame is drawn.
    while (!m_quit && !pendingSignal) {
        const auto wait = m_session.timeUntilNextTimer();
        timeout(wait ? static_cast<int>(
                           std::min<std::chrono::milliseconds::rep>(wait->count(), 1 << 30))
                     : -1);
        wint_t input = 0;
        int kind = get_wch(&input);
        if (kind != ERR) {
            handle(kind, input);
            nodelay(stdscr, TRUE);
            while (!m_quit && !pendingSignal && (kind = get_wch(&input)) != ERR)
                handle(kind, input);
        } else if (!wait) {
            continue;
        }
        m_session.fireTimers();
        if (!m_quit && !pendingSignal)
            draw();
    }
    return {0, static_cast<int>(pendingSignal)};
}

// Whether the terminal is too small to show the screen: it then asks for room instead.
bool tooSmallToShow() {
    int rows = 0, columns = 0;
    getmaxyx(stdscr, rows, columns);
    return columns < minimumColumns || rows < minimumRows;
}

void TerminalSession::handle(int kind, wint_t input) {
    // While the screen is not shown, nothing reaches it: only quitting works.
    if (tooSmallToShow()) {
        m_paste.reset();
        MEVENT unseen{};
        if (kind == KEY_CODE_YES && static_cast<int>(input) == KEY_RESIZE)
            m_resized = true;
        else if (kind == KEY_CODE_YES && static_cast<int>(input) == KEY_MOUSE)
            getmouse(&unseen);
        else if (kind != KEY_CODE_YES && (input == controlC || input == 'q' || input == 'Q'))
            m_quit = true;
        return;
    }
    if (kind == KEY_CODE_YES && static_cast<int>(input) == pasteStartCode) {
        m_paste.emplace();
    } else if (kind == KEY_CODE_YES && static_cast<int>(input) == pasteEndCode) {
        if (m_paste && !m_paste->empty())
            m_session.insertText(*m_paste);
        m_paste.reset();
    } else if (m_paste && kind != KEY_CODE_YES) {
        keepPasted(input);
    } else if (kind == KEY_CODE_YES) {
        handleKeyCode(static_cast<int>(input));
    } else if (input == escape) {
        handleEscape();
    } else {
        handleCharacter(input);
    }
}

void TerminalSession::handleEscape() {
    // What has arrived after the Escape is read (and, while it could still be a sequence,
    // what is on its way), then taken a sequence or a character at a time.
    constexpr std::size_t mostRead = 256;
    std::u32string pending(1, U'\033');
    std::optional<std::pair<int, wint_t>> keyCode;
    wint_t next = 0;
    // A sequence's characters may straggle (a busy machine, a remote terminal): while what has
    // come could still be one, the rest is waited for as long as curses waits for a key's.
    const auto waitWhileCut = [&] {
        if (mayContinue(std::u32string_view(pending).substr(1)))
            timeout(escapeDelayMilliseconds);
        else
            nodelay(stdscr, TRUE);
    };
    waitWhileCut();
    for (int kind = 0; pending.size() < mostRead && (kind = get_wch(&next)) != ERR;
         waitWhileCut()) {
        if (kind == KEY_CODE_YES) {
            keyCode.emplace(kind, next);
            break;
        }
        pending.push_back(static_cast<char32_t>(next));
    }
    for (std::size_t at = 0; at < pending.size() && !m_quit;) {
        if (pending[at] != U'\033') {
            handle(OK, static_cast<wint_t>(pending[at++]));
            continue;
        }
        const EscapeSequence sequence =
            readEscapeSequence(std::u32string_view(pending).substr(at + 1));
        if (sequence.key)
            m_session.pressKey(*sequence.key);
        at += 1 + sequence.length;
    }
    if (keyCode)
        handle(keyCode->first, keyCode->second);
}

void TerminalSession::keepPasted(wint_t character) {
    m_paste->append(utf8Of(character));
}

// What the session leaves unhandled is the terminal's: q, or Ctrl-C, quits.
void TerminalSession::handleCharacter(wint_t character) {
    if (character == '\t') {
        m_session.pressKey(UIKey::Tab);
    } else if (character == '\r' || character == '\n') {
        m_session.pressKey(UIKey::Enter);
    } else if (character == delete_ || character == '\b') {
        m_session.pressKey(UIKey::Backspace);
    } else if (character >= controlA && character <= controlZ) {
        // A letter with Ctrl held arrives as the letter's control character.
        const std::string letter(1, static_cast<char>('a' + (character - controlA)));
        if (!m_session.typeKey(letter, {.control = true}) && letter == "c")
            m_quit = true;
    } else if (const std::string text = utf8Of(character);
               std::iswprint(character) && !text.empty()) {
        if (!m_session.typeKey(text) && text == "q")
            m_quit = true;
    }
}

void TerminalSession::handleKeyCode(int key) {
    if (key >= firstKeypadCode && key < firstKeypadCode + static_cast<int>(keypadSequences.size()))
        return handleCharacter(
            keypadSequences[static_cast<std::size_t>(key - firstKeypadCode)].second);
    for (const auto& [code, character] : keypadKeys)
        if (key == code)
            return handleCharacter(character);
    for (const auto& [code, sessionKey] : sessionKeys)
        if (key == code)
            return static_cast<void>(m_session.pressKey(sessionKey));
    if (key == KEY_ENTER)
        handleCharacter('\r');
    else if (key == KEY_RESIZE)
        m_resized = true;
    else if (key == KEY_MOUSE)
        handleMouse();
}

void TerminalSession::handleMouse() {
    MEVENT event{};
    if (getmouse(&event) != OK || !m_painter || event.y >= m_painter->rows())
        return;
    const CGPoint point = m_painter->pointAt({event.x, event.y});
    // A wheel's step scrolls a line, as in the window.
    if (event.bstate & (BUTTON4_PRESSED | BUTTON5_PRESSED)) {
        m_session.scrollWheel(point, event.bstate & BUTTON4_PRESSED ? -1 : 1, UIScrollUnit::Lines);
        return;
    }
    const bool clicked =
        event.bstate & (BUTTON1_CLICKED | BUTTON1_DOUBLE_CLICKED | BUTTON1_TRIPLE_CLICKED);
    if ((event.bstate & BUTTON1_PRESSED) || clicked)
        m_session.touch(UITouchPhase::Began, point);
    if ((event.bstate & BUTTON1_RELEASED) || clicked)
        m_session.touch(UITouchPhase::Ended, point);
}

// The screen takes the terminal's size: a phone's height over its rows (less the hint's),
// as wide as its columns make it.
void TerminalSession::layOut() {
    int rows = 0, columns = 0;
    getmaxyx(stdscr, rows, columns);
    const int screenRows = rows >= rowsForHint ? rows - 1 : rows;
    const CellGrid grid = CellGrid::forTerminal(columns, screenRows, UIScreen::phoneSize);
    m_session.setScreen(grid.screenSize(), grid.pointsPerCell);
    m_painter = std::make_shared<CellPainter>(grid);
    m_session.setTextMeasurer(m_painter);
}

void TerminalSession::draw() {
    // ncurses has already taken the new size by the time it reports KEY_RESIZE.
    int rows = 0, columns = 0;
    getmaxyx(stdscr, rows, columns);
    if (tooSmallToShow()) {
        erase();
        drawTooSmall(columns, rows);
        m_resized = true;
        return;
    }
    if (m_resized) {
        layOut();
        m_resized = false;
    }
    const auto frame = m_session.takeFrameIfChanged();
    if (!frame)
        return;
    // Every cell is written again: curses sends the terminal only what differs.
    erase();
    m_painter->paint(*frame);
    choosePalette();
    for (int row = 0; row < m_painter->rows(); ++row)
        for (int column = 0; column < m_painter->columns(); ++column)
            drawCell(column, row, m_painter->cell(column, row));
    if (rows >= rowsForHint)
        drawHint(columns, rows - 1);
    if (const auto caret = m_painter->caret()) {
        curs_set(1);
        move(caret->row, caret->column);
    } else {
        curs_set(0);
    }
    refresh();
}

void TerminalSession::drawTooSmall(int columns, int rows) {
    const std::array<std::string, 4> lines{
        "Make the terminal",
        "at least " + std::to_string(minimumColumns) + " x " + std::to_string(minimumRows),
        "(it is " + std::to_string(columns) + " x " + std::to_string(rows) + ")", "q quits"};
    const int top = std::max(0, (rows - static_cast<int>(lines.size())) / 2);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int column = std::max(0, (columns - static_cast<int>(lines[i].size())) / 2);
        mvaddnstr(top + static_cast<int>(i), column, lines[i].c_str(), columns - column);
    }
    curs_set(0);
    refresh();
}

void TerminalSession::drawHint(int columns, int row) {
    for (const char* hint : hints) {
        const int width = static_cast<int>(std::mbstowcs(nullptr, hint, 0));
        if (width > columns)
            continue;
        attr_set(A_DIM, 0, nullptr);
        mvaddstr(row, (columns - width) / 2, hint);
        attr_set(A_NORMAL, 0, nullptr);
        return;
    }
}

void TerminalSession::choosePalette() {
    const auto depth = [&]() -> std::optional<TerminalColors::Depth> {
        switch (m_curses.colors()) {
        case ColorMode::Palette:
            return TerminalColors::Depth::Colors256;
        case ColorMode::Sixteen:
            return TerminalColors::Depth::Colors16;
        case ColorMode::Eight:
            return TerminalColors::Depth::Colors8;
        default:
            return std::nullopt;
        }
    }();
    if (!depth)
        return;
    std::vector<TerminalColors::CellColors> cells;
    for (int row = 0; row < m_painter->rows(); ++row)
        for (int column = 0; column < m_painter->columns(); ++column) {
            const auto& cell = m_painter->cell(column, row);
            cells.push_back(
                {cell.foreground, cell.background, !cell.text.empty() && cell.text != " "});
        }
    m_palette.emplace(*depth);
    m_palette->choose(cells);
}

int TerminalSession::colorNumber(const Drawing::Color& color,
                                 const std::optional<Drawing::Color>& under) const {
    if (m_curses.colors() == ColorMode::Direct) {
        const auto [red, green, blue] = TerminalColors::rgbOf(color);
        return (red << 16) | (green << 8) | blue;
    }
    if (m_palette)
        return under ? m_palette->foregroundOf(color, *under) : m_palette->backgroundOf(color);
    return -1;
}

void TerminalSession::drawCell(int column, int row, const CellPainter::Cell& cell) {
    if (cell.text.empty())
        return; // the right half of a wide character
    wchar_t wide[2] = {L' ', L'\0'};
    std::mbstate_t state{};
    std::mbrtowc(&wide[0], cell.text.data(), cell.text.size(), &state);
    attr_t attributes = cell.bold ? A_BOLD : A_NORMAL;
    int pair = 0;
    if (m_curses.colors() == ColorMode::None) {
        // Without colour, what is light (keys, the bar) shows in reverse, and the focus in
        // reverse and bold on top of that.
        const auto [red, green, blue] = TerminalColors::rgbOf(cell.background);
        // By luminance, 0 to 255: the keys and the bar are above it, the navy far below.
        constexpr double lightFrom = 140;
        const bool light = 0.2126 * red + 0.7152 * green + 0.0722 * blue > lightFrom;
        if (light != cell.emphasized)
            attributes |= A_REVERSE;
        if (cell.emphasized)
            attributes |= A_BOLD;
    } else {
        pair =
            alloc_pair(colorNumber(cell.foreground, cell.background), colorNumber(cell.background));
        if (cell.emphasized)
            attributes |= A_REVERSE;
    }
    cchar_t character{};
    setcchar(&character, wide, attributes, 0, &pair);
    mvadd_wch(row, column, &character);
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
        pendingSignal = 0;
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
