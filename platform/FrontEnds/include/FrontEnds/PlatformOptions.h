#pragma once

#include "CoreGraphics/CGGeometry.h"

#include <optional>
#include <string>
#include <vector>

// The platform's own command-line options; the application never reads its arguments.
struct PlatformOptions {
    enum class UserInterface { Automatic, Headless, Window, Terminal };

    UserInterface userInterface = UserInterface::Automatic;
    std::optional<std::string> scriptPath;
    std::optional<std::string> resourceDirectory;
    std::optional<std::string> snapshotPath;
    // Pixels per point; by default the display's, and 2 for snapshots.
    std::optional<double> scale;
    // The screen's size in points, for front ends without one of their own (headless runs,
    // snapshots); a phone's by default.
    std::optional<CGSize> screenSize;
    // For tests of the interactive front ends: where to write the view tree when the loop
    // ends (the terminal front end owns standard output).
    std::optional<std::string> dumpPath;
    // For benchmarks: the window closes as soon as its first frame is on screen.
    bool exitAfterFirstFrame = false;
    bool showHelp = false;
    bool showVersion = false;

    // Raises Runtime::UsageError saying what is wrong with the arguments.
    static PlatformOptions parse(int argc, char* argv[]);
};

// What --help says. The application's part comes from its Info.plist: its name, what it is
// for, and the names its views answer to in scripts.
struct PlatformHelp {
    std::string programName;
    std::string description;
    std::vector<std::string> viewNames;
    // The titles of the controls on top of the keyboard (a bar's), beside its keys'.
    std::vector<std::string> accessoryTitles;

    std::string text() const;
};
