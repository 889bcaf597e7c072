#include "FrontEnds/Headless/HeadlessFrontEnd.h"

#include "FrontEnds/ViewQuery.h"
#include "Runtime/NumberParsing.h"
#include "UIKit/UIWindow.h"

#include <charconv>
#include <iostream>
#include <stdexcept>

namespace {

// A command that cannot be carried out; the run stops with its message.
class ScriptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

std::string_view trimmedLeft(std::string_view text) {
    const auto start = text.find_first_not_of(" \t");
    return start == std::string_view::npos ? std::string_view{} : text.substr(start);
}

UIKeyInput& editingField(UIWindow& window) {
    auto* input = dynamic_cast<UIKeyInput*>(window.firstResponder().get());
    if (!input)
        throw ScriptError("no field is being edited");
    return *input;
}

// The frame a window draws from: pending display passes run first.
void runDisplayCycle(UIWindow& window) {
    window.displayIfNeeded();
    window.screenUpdated();
}

} // namespace

HeadlessFrontEnd::HeadlessFrontEnd(std::istream& script, std::ostream& output, Snapshots snapshots)
    : m_script(script), m_output(output), m_snapshots(std::move(snapshots)) {
}

HeadlessFrontEnd::~HeadlessFrontEnd() = default;

int HeadlessFrontEnd::run(UIApplication&, UIWindow& window) {
    runDisplayCycle(window);
    std::string line;
    int number = 1;
    try {
        for (; std::getline(m_script, line); ++number) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const std::string_view text = trimmedLeft(line);
            if (text.empty() || text.front() == '#')
                continue;
            const auto space = text.find(' ');
            const std::string_view command = text.substr(0, space);
            const std::string_view argument =
                space == std::string_view::npos ? std::string_view{} : text.substr(space + 1);
            execute(window, command, argument);
            runDisplayCycle(window);
        }
    } catch (const ScriptError& error) {
        m_output.flush();
        std::cerr << "orvane: line " << number << ": " << error.what() << '\n';
        return 1;
    }
    try {
        if (m_snapshots.finalPath)
            snapshot(window, *m_snapshots.finalPath);
    } catch (const ScriptError& error) {
        std::cerr << "orvane: " << error.what() << '\n';
        return 1;
    }
    // Output that could not be written is a failure, not a silent success.
    if (!m_output.flush()) {
        std::cerr << "orvane: cannot write to standard output\n";
        return 1;
    }
    return 0;
}

void HeadlessFrontEnd::execute(UIWindow& window, std::string_view command,
                               std::string_view argument) {
    if (command == "tap")
        tap(window, argument);
    else if (command == "type")
        editingField(window).insertText(argument);
    else if (command == "delete") {
        std::size_t count = 1;
        if (!argument.empty()) {
            const auto [end, error] =
                std::from_chars(argument.data(), argument.data() + argument.size(), count);
            if (error != std::errc() || end != argument.data() + argument.size())
                throw ScriptError("delete takes a count of characters, not '" +
                                  std::string(argument) + "'");
        }
        auto& field = editingField(window);
        for (; count > 0 && field.hasText(); --count)
            field.deleteBackward();
    } else if (command == "print")
        print(window, argument);
    else if (command == "dump")
        m_output << ViewQuery::dump(window);
    else if (command == "snapshot")
        snapshot(window, std::string(argument));
    else
        throw ScriptError("unknown command '" + std::string(command) + "'");
}

void HeadlessFrontEnd::tap(UIWindow& window, std::string_view argument) {
    CGPoint point;
    const auto space = argument.find(' ');
    const auto x = Runtime::doubleFromString(argument.substr(0, space));
    const auto y = space == std::string_view::npos
                       ? std::nullopt
                       : Runtime::doubleFromString(trimmedLeft(argument.substr(space + 1)));
    if (x && y) {
        point = {*x, *y};
    } else {
        UIView& view = viewNamed(window, argument);
        if (view.isHiddenOnScreen())
            throw ScriptError("'" + std::string(argument) + "' is hidden");
        const CGRect frame = view.frameInWindow();
        point = {CGRectGetMidX(frame), CGRectGetMidY(frame)};
    }
    window.sendTouch(UITouchPhase::Began, point);
    window.sendTouch(UITouchPhase::Ended, point);
}

void HeadlessFrontEnd::print(UIWindow& window, std::string_view name) {
    if (name == "keyboard") {
        m_output << (window.visibleKeyboard() ? "up" : "down") << '\n';
        return;
    }
    const UIView& view = viewNamed(window, name);
    if (view.isHiddenOnScreen())
        m_output << "(hidden)\n";
    else
        m_output << ViewQuery::shownText(view).value_or("") << '\n';
}

UIView& HeadlessFrontEnd::viewNamed(UIWindow& window, std::string_view name) {
    if (name.empty())
        throw ScriptError("a view name is missing");
    const auto view = ViewQuery::find(window, name);
    if (!view)
        throw ScriptError("no view named '" + std::string(name) + "'");
    return *view;
}

void HeadlessFrontEnd::snapshot(UIWindow& window, const std::string& path) {
    if (path.empty())
        throw ScriptError("snapshot needs a file");
    try {
        if (!m_painter)
            m_painter = Modules::makeSnapshotPainter();
    } catch (const FrontEndUnavailable& error) {
        throw ScriptError(error.what());
    }
    Drawing::DisplayList list;
    window.describe(list);
    if (!m_painter->writePNG(list, window.bounds().size, m_snapshots.scale, path))
        throw ScriptError("cannot write " + path);
}
