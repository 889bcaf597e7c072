#include "Headless/HeadlessFrontEnd.h"

#include "FrontEnds/ViewQuery.h"
#include "Runtime/Notice.h"
#include "Runtime/NumberParsing.h"
#include "UIKit/UIWindow.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

namespace {

// A command that cannot be carried out; the run stops with its line and message.
class ScriptError : public Runtime::Error {
  public:
    using Runtime::Error::Error;
};

constexpr std::string_view blanks = " \t\r";
// An unknown command is echoed only this far: a pasted megabyte is not repeated back.
constexpr std::size_t echoedLength = 40;

std::string_view trimmed(std::string_view text) {
    const auto start = text.find_first_not_of(blanks);
    if (start == std::string_view::npos)
        return {};
    return text.substr(start, text.find_last_not_of(blanks) - start + 1);
}

// Text from the script as a message shows it: short, and with nothing that would move the
// terminal's cursor or is not UTF-8.
std::string echoed(std::string_view text) {
    std::size_t cut = std::min(text.size(), echoedLength);
    while (cut > 0 && cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut; // never inside a character
    const std::string shown = Runtime::printable(text.substr(0, cut));
    return cut < text.size() ? shown + "…" : shown;
}

// A size as people write it: 375, or 62.5.
std::string numberText(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

UIView& viewNamed(UIWindow& window, std::string_view name) {
    if (name.empty())
        Runtime::raise(ScriptError("a view name is missing"));
    const auto found = ViewQuery::find(window, name);
    if (const auto* view = std::get_if<std::shared_ptr<UIView>>(&found))
        return **view;
    Runtime::raise(ScriptError(echoed(name) + " " + std::get<std::string>(found)));
}

UIKeyInput& editingField(UIWindow& window) {
    auto* input = dynamic_cast<UIKeyInput*>(window.firstResponder().get());
    if (!input)
        Runtime::raise(ScriptError("no field is being edited"));
    return *input;
}

// What `press` takes before a key: what is held with it.
constexpr std::array<std::pair<std::string_view, bool UIKeyModifiers::*>, 4> modifierNames{{
    {"Shift-", &UIKeyModifiers::shift},
    {"Ctrl-", &UIKeyModifiers::control},
    {"Alt-", &UIKeyModifiers::alt},
    {"Meta-", &UIKeyModifiers::meta},
}};

// The modifiers at the start of a key's name, taken off it.
UIKeyModifiers takeModifiers(std::string_view& key) {
    UIKeyModifiers held;
    for (bool more = true; more;) {
        more = false;
        for (const auto& [prefix, modifier] : modifierNames)
            if (key.size() > prefix.size() && key.starts_with(prefix)) {
                held.*modifier = true;
                key.remove_prefix(prefix.size());
                more = true;
            }
    }
    return held;
}

bool isOneCharacter(std::string_view text) {
    if (text.empty())
        return false;
    std::size_t length = 1;
    while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        ++length;
    return length == text.size();
}

// The keys `press` names, as people write them.
constexpr std::array<std::pair<std::string_view, UIKey>, 11> keyNames{{
    {"Tab", UIKey::Tab},
    {"Shift-Tab", UIKey::ShiftTab},
    {"Enter", UIKey::Enter},
    {"Space", UIKey::Space},
    {"Escape", UIKey::Escape},
    {"Backspace", UIKey::Backspace},
    {"Delete", UIKey::Delete},
    {"Up", UIKey::Up},
    {"Down", UIKey::Down},
    {"PageUp", UIKey::PageUp},
    {"PageDown", UIKey::PageDown},
}};

void writeOutput(std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
        Runtime::raise(Runtime::Error("cannot write to standard output"));
}

// Off the screen, a finger touches nothing: said, as a tap on a covered view is.
void checkOnScreen(const UIWindow& window, std::string_view command, CGPoint point) {
    const CGSize screen = window.bounds().size;
    if (!CGRectContainsPoint(CGRect{{}, screen}, point))
        Runtime::raise(ScriptError(std::string(command) + " " + numberText(point.x) + " " +
                                   numberText(point.y) + " is off the screen, which is " +
                                   numberText(screen.width) + " x " + numberText(screen.height) +
                                   " points"));
}

// Numbers parted by blanks, as many as there are; empty when one is not a number.
std::optional<std::vector<double>> numbersIn(std::string_view text) {
    std::vector<double> numbers;
    for (text = trimmed(text); !text.empty(); text = trimmed(text)) {
        const auto end = std::min(text.find_first_of(blanks), text.size());
        const auto number = Runtime::doubleFromString(text.substr(0, end));
        if (!number)
            return std::nullopt;
        numbers.push_back(*number);
        text.remove_prefix(end);
    }
    return numbers;
}

// A life-cycle state by the name a script gives it, as the dump writes it.
UIApplicationState applicationState(std::string_view name) {
    if (const auto state = ViewQuery::applicationStateNamed(name))
        return *state;
    Runtime::raise(
        ScriptError("state is active, inactive or background, not '" + echoed(name) + "'"));
}

} // namespace

HeadlessFrontEnd::HeadlessFrontEnd(const PlatformOptions& options)
    : m_script(options.scriptPath), m_scale(options.scale.value_or(2)),
      m_finalSnapshotPath(options.snapshotPath) {
}

HeadlessFrontEnd::~HeadlessFrontEnd() = default;

// A script has a screen of one size. It runs active, as a launched program on a phone's
// screen does, until it says otherwise (`state`).
UIHostFeatures HeadlessFrontEnd::features() const {
    return {
        .touches = true, .hardwareKeys = true, .textInput = true, .lifeCycle = true, .wheel = true};
}

UIApplicationEnding HeadlessFrontEnd::run(UIHostSession& session) {
    session.setApplicationState(UIApplicationState::Active);
    // Every step runs the real display cycle, as a screen would show it.
    session.passFrame();
    while (const auto line = m_script.nextLine()) {
        std::string_view text = *line;
        if (text.ends_with('\r'))
            text.remove_suffix(1);
        text.remove_prefix(std::min(text.find_first_not_of(blanks), text.size()));
        if (text.empty() || text.front() == '#')
            continue;
        const auto space = std::min(text.find_first_of(blanks), text.size());
        const std::string_view command = text.substr(0, space);
        // `type` and `input` take the rest of the line as it stands, blanks included; every other
        // argument is a name, a number or a path, which no trailing blank belongs to.
        const std::string_view argument = command == "type" || command == "input"
                                              ? text.substr(std::min(space + 1, text.size()))
                                              : trimmed(text.substr(space));
        try {
            execute(session, command, argument);
        } catch (const Runtime::Error& error) {
            Runtime::raise(Runtime::Error("line " + std::to_string(m_script.lineNumber()) + ": " +
                                          error.what()));
        }
        session.passFrame();
    }
    if (m_finalSnapshotPath)
        snapshot(session, *m_finalSnapshotPath);
    // Output that could not be written is a failure, not a silent success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        Runtime::raise(Runtime::Error("cannot write to standard output"));
    return {};
}

void HeadlessFrontEnd::execute(UIHostSession& session, std::string_view command,
                               std::string_view argument) {
    UIWindow& window = session.window();
    if (command == "tap") {
        tap(session, argument);
    } else if (command == "press") {
        press(session, argument);
    } else if (command == "wheel") {
        wheel(session, argument);
    } else if (command == "input") {
        session.insertText(argument);
    } else if (command == "type") {
        editingField(window);
        session.insertText(argument);
    } else if (command == "delete") {
        std::size_t count = 1;
        const char* end = argument.data() + argument.size();
        if (!argument.empty() && std::from_chars(argument.data(), end, count).ptr != end)
            Runtime::raise(
                ScriptError("delete takes a count of characters, not '" + echoed(argument) + "'"));
        for (const auto& field = editingField(window); count > 0 && field.hasText(); --count)
            session.pressKey(UIKey::Backspace);
    } else if (command == "state") {
        session.setApplicationState(applicationState(argument));
    } else if (command == "print") {
        print(window, argument);
    } else if (command == "dump") {
        writeOutput(ViewQuery::dump(session));
    } else if (command == "snapshot") {
        if (argument.empty())
            Runtime::raise(ScriptError("snapshot needs a file"));
        snapshot(session, std::string(argument));
    } else {
        Runtime::raise(ScriptError("unknown command '" + echoed(command) + "'"));
    }
}

void HeadlessFrontEnd::wheel(UIHostSession& session, std::string_view argument) {
    const auto numbers = numbersIn(argument);
    if (!numbers || numbers->size() != 3)
        Runtime::raise(ScriptError("wheel takes a point and a count of lines (negative up), not '" +
                                   echoed(argument) + "'"));
    const CGPoint point{(*numbers)[0], (*numbers)[1]};
    checkOnScreen(session.window(), "wheel", point);
    session.scrollWheel(point, (*numbers)[2], UIScrollUnit::Lines);
}

void HeadlessFrontEnd::tap(UIHostSession& session, std::string_view argument) {
    UIWindow& window = session.window();
    const auto numbers = numbersIn(argument);
    CGPoint point;
    if (numbers && numbers->size() == 2) {
        point = {(*numbers)[0], (*numbers)[1]};
        checkOnScreen(window, "tap", point);
    } else {
        auto& view = viewNamed(window, argument);
        if (view.isHiddenOnScreen())
            Runtime::raise(ScriptError("'" + echoed(argument) + "' is hidden"));
        if (const auto cover = session.tapView(view))
            Runtime::raise(
                ScriptError(echoed(argument) + " is covered by " + ViewQuery::coverName(*cover)));
        return;
    }
    session.touch(UITouchPhase::Began, point);
    session.touch(UITouchPhase::Ended, point);
}

void HeadlessFrontEnd::press(UIHostSession& session, std::string_view argument) {
    std::string_view key = argument;
    const UIKeyModifiers held = takeModifiers(key);
    for (const auto& [name, code] : keyNames)
        if (name == key) {
            session.pressKey(code, held);
            return;
        }
    if (isOneCharacter(key)) {
        session.typeKey(key, held);
        return;
    }
    Runtime::raise(ScriptError("press takes Tab, Shift-Tab, Enter, Space, Escape, Backspace, "
                               "Delete, Up, Down, PageUp, PageDown or a character, after any of "
                               "Shift-, Ctrl-, Alt- and Meta-, not '" +
                               echoed(argument) + "'"));
}

void HeadlessFrontEnd::print(UIWindow& window, std::string_view name) {
    if (name == "keyboard")
        return writeOutput(window.visibleKeyboard() ? "up\n" : "down\n");
    const auto& view = viewNamed(window, name);
    if (view.isHiddenOnScreen())
        return writeOutput("(hidden)\n");
    writeOutput(view.shownText().value_or("") + "\n");
}

// What the screen shows, without the focus ring a hardware keyboard would see, its texts laid
// out as the snapshot's painter measures them.
void HeadlessFrontEnd::snapshot(UIHostSession& session, const std::string& path) {
    if (!m_painter) {
        m_painter = Modules::makeSnapshotPainter(session.window().bounds().size, m_scale);
        session.setTextMeasurer(m_painter->textMeasurer());
    }
    m_painter->writePNG(session.takeTouchScreenFrame(), path);
}
