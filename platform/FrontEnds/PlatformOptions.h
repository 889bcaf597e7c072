#pragma once

#include <optional>
#include <string>
#include <variant>

// The platform's own command-line options; the application never reads its arguments.
struct PlatformOptions {
    enum class UserInterface { Automatic, Headless, Window, Terminal };

    UserInterface userInterface = UserInterface::Automatic;
    std::optional<std::string> scriptPath;
    std::optional<std::string> resourceDirectory;
    std::optional<std::string> snapshotPath;
    // Pixels per point; by default the display's, and 2 for snapshots.
    std::optional<double> scale;
    // For tests of the interactive front ends: where to write the view tree when the loop
    // ends (the terminal front end owns standard output).
    std::optional<std::string> dumpPath;
    // For benchmarks: the window closes as soon as its first frame is on screen.
    bool exitAfterFirstFrame = false;
    bool showHelp = false;
    bool showVersion = false;

    // The options, or the message that says what is wrong with them.
    static std::variant<PlatformOptions, std::string> parse(int argc, char* argv[]);
    static const char* help();
};
