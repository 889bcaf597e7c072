#pragma once

#include <optional>
#include <string>
#include <variant>

// The platform's own command-line options; the application never reads its arguments.
struct PlatformOptions {
    enum class UserInterface { Automatic, Headless };

    UserInterface userInterface = UserInterface::Automatic;
    std::optional<std::string> scriptPath;
    std::optional<std::string> resourceDirectory;
    std::optional<std::string> snapshotPath;
    double scale = 2;
    bool showHelp = false;
    bool showVersion = false;

    // The options, or the message that says what is wrong with them.
    static std::variant<PlatformOptions, std::string> parse(int argc, char* argv[]);
    static const char* help();
};
