#include "Terminal/TerminalInput.h"

#include "Terminal/CursesSession.h"
#include "Terminal/EscapeSequences.h"

#include <array>
#include <climits>
#include <cwchar>
#include <cwctype>
#include <string>
#include <utility>

namespace {

constexpr wint_t controlA = 1;
constexpr wint_t controlC = 3;
constexpr wint_t controlZ = 26;
constexpr wint_t escape = 27;
constexpr wint_t delete_ = 127;

// ncurses' own names for some keypad keys, as the characters they stand for.
constexpr std::array<std::pair<int, wint_t>, 5> keypadKeys{
    {{KEY_A1, '7'}, {KEY_A3, '9'}, {KEY_B2, '5'}, {KEY_C1, '1'}, {KEY_C3, '3'}}};
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

// A character as UTF-8 (the locale's character type is UTF-8); empty when it has none.
std::string utf8Of(wint_t character) {
    char bytes[MB_LEN_MAX];
    std::mbstate_t state{};
    const std::size_t length = std::wcrtomb(bytes, static_cast<wchar_t>(character), &state);
    return length == static_cast<std::size_t>(-1) ? std::string() : std::string(bytes, length);
}

bool isKeyCode(int kind, wint_t input, int code) {
    return kind == KEY_CODE_YES && static_cast<int>(input) == code;
}

} // namespace

bool TerminalInput::takeResize() {
    return std::exchange(m_resized, false);
}

void TerminalInput::take(int kind, wint_t input) {
    // Without the focus, the application is inactive, shown or not.
    if (isKeyCode(kind, input, CursesSession::focusInCode)) {
        m_session.setApplicationState(UIApplicationState::Active);
    } else if (isKeyCode(kind, input, CursesSession::focusOutCode)) {
        m_session.setApplicationState(UIApplicationState::Inactive);
    } else if (CursesSession::tooSmallToShow()) {
        takeWhileHidden(kind, input);
    } else if (isKeyCode(kind, input, CursesSession::pasteStartCode)) {
        m_paste.emplace();
    } else if (isKeyCode(kind, input, CursesSession::pasteEndCode)) {
        if (m_paste && !m_paste->empty())
            m_session.insertText(*m_paste);
        m_paste.reset();
    } else if (m_paste && kind != KEY_CODE_YES) {
        m_paste->append(utf8Of(input));
    } else if (kind == KEY_CODE_YES) {
        takeKeyCode(static_cast<int>(input));
    } else if (input == escape) {
        takeEscape();
    } else {
        takeCharacter(input);
    }
}

void TerminalInput::takeWhileHidden(int kind, wint_t input) {
    m_paste.reset();
    MEVENT unseen{};
    if (isKeyCode(kind, input, KEY_RESIZE))
        m_resized = true;
    else if (isKeyCode(kind, input, KEY_MOUSE))
        getmouse(&unseen);
    else if (kind != KEY_CODE_YES && (input == controlC || input == 'q' || input == 'Q'))
        m_quit = true;
}

void TerminalInput::takeEscape() {
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
            timeout(CursesSession::escapeDelayMilliseconds);
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
            take(OK, static_cast<wint_t>(pending[at++]));
            continue;
        }
        const EscapeSequence sequence =
            readEscapeSequence(std::u32string_view(pending).substr(at + 1));
        if (sequence.key)
            m_session.pressKey(*sequence.key);
        at += 1 + sequence.length;
    }
    if (keyCode)
        take(keyCode->first, keyCode->second);
}

void TerminalInput::takeCharacter(wint_t character) {
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

void TerminalInput::takeKeyCode(int key) {
    const auto& keypad = CursesSession::keypadSequences;
    const int keypadCode = key - CursesSession::firstKeypadCode;
    if (keypadCode >= 0 && keypadCode < static_cast<int>(keypad.size()))
        return takeCharacter(keypad[static_cast<std::size_t>(keypadCode)].second);
    for (const auto& [code, character] : keypadKeys)
        if (key == code)
            return takeCharacter(character);
    for (const auto& [code, sessionKey] : sessionKeys)
        if (key == code)
            return static_cast<void>(m_session.pressKey(sessionKey));
    if (key == KEY_ENTER)
        takeCharacter('\r');
    else if (key == KEY_RESIZE)
        m_resized = true;
    else if (key == KEY_MOUSE)
        takeMouse();
}

void TerminalInput::takeMouse() {
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
