#include "FrontEnds/PlatformOptions.h"

#include "UIKit/UIScreen.h"

#include "Runtime/Error.h"
#include "Runtime/Notice.h"
#include "Runtime/NumberParsing.h"

#include <algorithm>
#include <functional>
#include <set>
#include <string_view>
#include <utility>

namespace {

[[noreturn]] void refuse(const std::string& message) {
    Runtime::raise(Runtime::UsageError(message));
}

PlatformOptions::UserInterface userInterfaceNamed(const std::optional<std::string>& name) {
    using UserInterface = PlatformOptions::UserInterface;
    if (name == "headless")
        return UserInterface::Headless;
    if (name == "window")
        return UserInterface::Window;
    if (name == "terminal")
        return UserInterface::Terminal;
    refuse("--ui takes window, terminal or headless, not '" +
           Runtime::printable(name.value_or("")) + "'");
}

// "WIDTHxHEIGHT" in points, each from 200 to 10000.
CGSize screenSizeFrom(const std::string& text) {
    const auto separator = text.find('x');
    const auto width = Runtime::doubleFromString(std::string_view(text).substr(0, separator));
    const auto height =
        separator == std::string::npos
            ? std::nullopt
            : Runtime::doubleFromString(std::string_view(text).substr(separator + 1));
    const auto sane = [](const std::optional<double>& value) {
        return value && *value >= 200 && *value <= 10000;
    };
    if (!sane(width) || !sane(height))
        refuse("--size takes WIDTHxHEIGHT in points, each from 200 to 10000, not '" +
               Runtime::printable(text) + "'");
    return {*width, *height};
}

// A script and a snapshot belong to the headless front end; asking another front end for
// them would silently drop them.
void checkCombination(const PlatformOptions& options) {
    using UserInterface = PlatformOptions::UserInterface;
    const bool interactive = options.userInterface == UserInterface::Window ||
                             options.userInterface == UserInterface::Terminal;
    if (interactive && options.scriptPath)
        refuse("--script runs headless; it cannot drive --ui window or terminal");
    if (interactive && options.snapshotPath)
        refuse("--snapshot runs headless; it cannot be taken with --ui window or terminal");
}

} // namespace

PlatformOptions PlatformOptions::parse(int argc, char* argv[]) {
    PlatformOptions options;
    bool optionsEnded = false;
    std::set<std::string, std::less<>> given;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        // --name=value, as GNU programs take it, wherever --name value is taken.
        std::optional<std::string> inlineValue;
        if (const auto equals = argument.find('=');
            !optionsEnded && argument.starts_with("--") && equals != std::string_view::npos) {
            inlineValue = std::string(argument.substr(equals + 1));
            argument = argument.substr(0, equals);
        }
        const auto shown = [&] { return Runtime::printable(argument); };
        const auto value = [&](const char* what) {
            // An option given twice would leave one of the two unheard.
            if (!given.insert(std::string(argument)).second)
                refuse(shown() + " is given twice; give it once");
            if (inlineValue)
                return *std::exchange(inlineValue, std::nullopt);
            if (i + 1 >= argc)
                refuse(shown() + " needs " + what);
            return std::string(argv[++i]);
        };
        const auto nonEmpty = [&](const char* what) {
            std::string text = value(what);
            if (text.empty())
                refuse(shown() + " needs " + what + ", not an empty text");
            return text;
        };
        if (optionsEnded || !argument.starts_with("-"))
            refuse("unexpected argument '" + Runtime::printable(argument) + "'");
        else if (argument == "--")
            optionsEnded = true;
        else if (argument == "--help" || argument == "-h")
            options.showHelp = true;
        else if (argument == "--version")
            options.showVersion = true;
        else if (argument == "--exit-after-first-frame")
            options.exitAfterFirstFrame = true;
        else if (argument == "--dump-at-exit")
            options.dumpPath = nonEmpty("a file");
        else if (argument == "--ui")
            options.userInterface = userInterfaceNamed(value("window, terminal or headless"));
        else if (argument == "--script")
            options.scriptPath = nonEmpty("a file");
        else if (argument == "--snapshot")
            options.snapshotPath = nonEmpty("a PNG file");
        else if (argument == "--resources")
            options.resourceDirectory = nonEmpty("a folder");
        else if (argument == "--size")
            options.screenSize = screenSizeFrom(value("WIDTHxHEIGHT"));
        else if (argument == "--scale") {
            const auto scale = Runtime::doubleFromString(value("a number"));
            if (!scale || !(*scale >= 1 && *scale <= 4))
                refuse("--scale takes a number from 1 to 4");
            options.scale = *scale;
        } else
            refuse("unknown option '" + shown() + "'");
        if (inlineValue)
            refuse(shown() + " takes no value, not '" + Runtime::printable(*inlineValue) + "'");
    }
    checkCombination(options);
    return options;
}

// Words filled into lines of at most 80 columns, the first starting after `indent` columns.
namespace {

std::string filled(const std::string& text, std::size_t indent) {
    std::string result;
    std::size_t column = indent;
    for (std::size_t start = 0; start < text.size();) {
        const auto end = std::min(text.find(' ', start), text.size());
        const std::string word = text.substr(start, end - start);
        if (column > indent && column + 1 + word.size() > 80) {
            result += '\n';
            column = 0;
        } else if (column > indent) {
            result += ' ';
            ++column;
        }
        result += word;
        column += word.size();
        start = end + 1;
    }
    return result;
}

// The screen a phone has, as --size writes it.
std::string phoneSize() {
    const CGSize size = UIScreen::phoneSize;
    return std::to_string(static_cast<int>(size.width)) + "x" +
           std::to_string(static_cast<int>(size.height));
}

} // namespace

std::string PlatformHelp::text() const {
    std::string names;
    for (const auto& name : viewNames)
        names += (names.empty() ? "" : ", ") + name;
    std::string accessoryList;
    for (const auto& title : accessoryTitles)
        accessoryList += ", " + title;
    return "Usage: " + programName + " [OPTION]...\n" + description + R"(

Options:
  --ui window        a desktop window (the default where a display is reachable)
  --ui terminal      full screen in the terminal (the default without a display,
                     when standard input and output are a terminal)
  --ui headless      run without a screen, driven by a script of commands
                     (the default with --script or --snapshot, or with neither a
                     display nor a terminal)
  --script FILE      the headless script (default: standard input)
  --snapshot FILE    run the script headless, then write the screen to FILE (PNG)
  --scale N          pixels per point, 1 to 4 (default: the display's; 2 for
                     snapshots)
  --size WxH         the screen's size in points for headless runs and snapshots,
                     and the window's first size (default: a phone's, )" +
           phoneSize() + R"()
  --resources DIR    read Info.plist and the interface file from DIR instead of
                     the copies built into the program
  --dump-at-exit FILE
                     write the view tree to FILE when the front end ends (for tests)
  --exit-after-first-frame
                     end as soon as the first frame is on screen (for benchmarks)
  --help             show this help and exit
  --version          show the version and exit
  --                 end of the options

Keys, in the window and in the terminal: typing starts on the first field;
Tab and Shift-Tab move through the fields and buttons; Enter taps the bar on
top of the keyboard, or presses the focused button; Space types a space while
a field is edited, else presses the focused button; Backspace and Delete
delete; Escape ends editing; the arrows, Page Up and Page Down scroll what does
not fit on the screen, as do the wheel and a drag. Ctrl-Q quits the window; q
or Ctrl-C quits the terminal when no field is being edited. The mouse taps.

Headless script commands, one a line (# starts a comment line):
  tap NAME | tap X Y       touch a view by its name (scrolled into sight first),
                           or a point in points
  type TEXT                type into the field being edited
  delete [N]               delete N characters backward (default 1)
  press KEY                a key of a hardware keyboard: Tab, Shift-Tab, Enter,
                           Space, Escape, Backspace, Delete, Up, Down, PageUp,
                           PageDown or a character, after any of Shift-, Ctrl-,
                           Alt- and Meta- held with it (press Ctrl-c)
  wheel X Y N              the mouse's wheel at a point, N lines (negative up)
  input TEXT               text as a hardware keyboard or a paste gives it
  state STATE              the life cycle: active, inactive or background
  print NAME | keyboard    print what a view shows, or whether the keyboard is up
  dump                     print the view tree, the focus and the life cycle
  snapshot FILE            write what the screen shows to a PNG file
)" +
           filled("Names: a view's accessibility identifier" +
                      (names.empty() ? std::string() : " (" + names + ")") +
                      "; while the keyboard is up, its keys and the bar on top of it by their "
                      "titles (1, ., Delete" +
                      accessoryList + ").",
                  0) +
           "\n";
}
