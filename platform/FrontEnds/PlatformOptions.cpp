#include "FrontEnds/PlatformOptions.h"

#include "Runtime/NumberParsing.h"

#include <string_view>

std::variant<PlatformOptions, std::string> PlatformOptions::parse(int argc, char* argv[]) {
    PlatformOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        const auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc)
                return std::nullopt;
            return std::string(argv[++i]);
        };
        if (option == "--help" || option == "-h") {
            options.showHelp = true;
        } else if (option == "--exit-after-first-frame") {
            options.exitAfterFirstFrame = true;
        } else if (option == "--dump-at-exit") {
            options.dumpPath = value();
            if (!options.dumpPath)
                return "--dump-at-exit needs a file";
        } else if (option == "--version") {
            options.showVersion = true;
        } else if (option == "--ui") {
            const auto name = value();
            if (name == "headless")
                options.userInterface = UserInterface::Headless;
            else if (name == "window")
                options.userInterface = UserInterface::Window;
            else if (name == "terminal")
                options.userInterface = UserInterface::Terminal;
            else
                return "--ui takes window, terminal or headless, not '" + name.value_or("") + "'";
        } else if (option == "--script") {
            options.scriptPath = value();
            if (!options.scriptPath)
                return "--script needs a file";
        } else if (option == "--snapshot") {
            options.snapshotPath = value();
            if (!options.snapshotPath)
                return "--snapshot needs a PNG file";
        } else if (option == "--scale") {
            const auto scale = Runtime::doubleFromString(value().value_or(""));
            if (!scale || !(*scale >= 1 && *scale <= 4))
                return "--scale takes a number from 1 to 4";
            options.scale = *scale;
        } else if (option == "--resources") {
            options.resourceDirectory = value();
            if (!options.resourceDirectory)
                return "--resources needs a folder";
        } else {
            return "unknown option '" + std::string(option) + "'";
        }
    }
    return options;
}

const char* PlatformOptions::help() {
    return R"(Usage: orvane [OPTION]...
How many hours of work does an item cost? Type your hourly wage and the item's
price, tap Calculate, and orvane shows the whole number of hours, rounded up.

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
  --resources DIR    read Info.plist and the interface file from DIR instead of
                     the copies built into the program
  --dump-at-exit FILE
                     write the view tree to FILE when the front end ends (for tests)
  --exit-after-first-frame
                     end as soon as the first frame is on screen (for benchmarks)
  --help             show this help and exit
  --version          show the version and exit

In the window: click to touch, type on the keyboard, Tab and Shift-Tab move
between the fields, Enter taps Calculate, Escape ends editing, Ctrl-Q quits.

In the terminal: digits, the point and Backspace edit, Tab and Shift-Tab move
through the fields and the clear button, Enter taps Calculate or the focused
button, Escape ends editing, q or Ctrl-C quits; the mouse taps.

Headless script commands, one a line (# starts a comment line):
  tap NAME | tap X Y       touch a view by its name, or a point in points
  type TEXT                type into the field being edited
  delete [N]               delete N characters backward (default 1)
  print NAME | keyboard    print what a view shows, or whether the keyboard is up
  dump                     print the view tree
  snapshot FILE            write what the screen shows to a PNG file
Names: wage, price, result, hours, clear, calculate (while the keyboard is up),
and the keypad's keys by their titles (1, 2, ., delete).
)";
}
