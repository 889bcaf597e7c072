// The whole program, driven through its headless front end like a UI test drives a phone.
#include "OrvaneProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {

struct ScreenCase {
    const char* name;
    std::string script;
    std::string expectedOutput;
    std::vector<std::string> environment = {};
};

void PrintTo(const ScreenCase& c, std::ostream* os) {
    *os << c.name;
}

class Screen : public testing::TestWithParam<ScreenCase> {};

TEST_P(Screen, showsWhatThePersonExpects) {
    const auto& [name, script, expectedOutput, environment] = GetParam();
    const auto result = runOrvane({"--ui", "headless"}, script, environment);
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, expectedOutput);
}

// Types a wage and a price, taps Calculate, then runs the checks.
std::string calculate(const std::string& wage, const std::string& price,
                      const std::string& checks = "print result\nprint hours\nprint keyboard\n") {
    return "tap wage\ntype " + wage + "\ntap price\ntype " + price + "\ntap calculate\n" + checks;
}

const std::string unchanged = "(hidden)\n(hidden)\nup\n";

INSTANTIATE_TEST_SUITE_P(
    Calculations, Screen,
    testing::Values(
        ScreenCase{"theExampleSession",
                   "tap wage\ntype 15\ntap price\ntype 100\ntap calculate\nprint result\n"
                   "tap clear\nprint result\nprint hours\ntap wage\nprint keyboard\n",
                   "7\n(hidden)\n(hidden)\nup\n"},
        ScreenCase{"aResultHidesTheKeyboard", calculate("15", "100"), "7\nhours\ndown\n"},
        ScreenCase{"aDecimalPointUnderADecimalCommaLocale",
                   calculate("15.5", "31"),
                   "2\nhours\ndown\n",
                   {"LC_ALL=de_DE.UTF-8"}},
        ScreenCase{"negativeWage", calculate("-10", "25"), "-2\nhours\ndown\n"},
        ScreenCase{"keypadKeysType",
                   "tap wage\ntap 1\ntap 5\ntap price\ntap 1\ntap 0\ntap 0\ntap calculate\n"
                   "print result\n",
                   "7\n"},
        ScreenCase{"twoCalculationsInARowReplaceTheFigure",
                   calculate("15", "100") + "tap wage\ndelete 2\ntype 10\ntap calculate\n"
                                            "print result\nprint hours\n",
                   "7\nhours\ndown\n10\nhours\n"},
        ScreenCase{"lettersAfterAResultLeaveItOnShow",
                   calculate("15", "100", "") + "tap wage\ndelete 2\ntype abc\ntap calculate\n"
                                                "print result\nprint keyboard\n",
                   "7\nup\n"},
        ScreenCase{"clearThenCalculateOnEmptyFieldsChangesNothing",
                   calculate("15", "100", "") + "tap clear\ntap wage\ntap calculate\n"
                                                "print result\nprint hours\nprint keyboard\n"
                                                "print wage\nprint price\n",
                   unchanged + "\n\n"}));

INSTANTIATE_TEST_SUITE_P(
    UnusableInput, Screen,
    testing::Values(
        ScreenCase{"decimalComma", calculate("15,5", "31"), unchanged, {"LC_ALL=de_DE.UTF-8"}},
        ScreenCase{"groupingSeparator", calculate("1,000", "31"), unchanged},
        ScreenCase{"trailingBlank", calculate("15 ", "31"), unchanged},
        ScreenCase{"emptyWage",
                   "tap price\ntype 31\ntap calculate\nprint result\n"
                   "print hours\nprint keyboard\n",
                   unchanged},
        ScreenCase{"currencySymbol", calculate("$15", "31"), unchanged},
        // No whole number of hours answers these: nothing changes, no crash.
        ScreenCase{"zeroWage", calculate("0", "25"), unchanged},
        ScreenCase{"zeroWageAndPrice", calculate("0", "0"), unchanged},
        ScreenCase{"overflowingQuotient", calculate("1e-300", "1e300"), unchanged},
        ScreenCase{"beyondTheIntegerRange", calculate("1", "1e19"), unchanged}));

TEST(ScreenLook, theBadgeShowsTheLocalesCurrencyAndTheCaptionNeverChanges) {
    const auto result =
        runOrvane({"--ui", "headless"}, calculate("15", "100", "dump\n"), {"LC_ALL=de_DE.UTF-8"});
    EXPECT_NE(result.output.find("orvane.CurrencyTxtField #wage (40, 148, 295, 52) \"15\"\n"
                                 "        UILabel (5, 16, 20, 20) \"€\""),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("UILabel #hours (40, 76, 295, 26) \"hours\""), std::string::npos);
    EXPECT_EQ(result.output.find("UIKeyboard"), std::string::npos);
}

struct ScriptErrorCase {
    const char* name;
    std::string script;
    std::string expectedError;
};

void PrintTo(const ScriptErrorCase& c, std::ostream* os) {
    *os << c.name;
}

class ScriptErrors : public testing::TestWithParam<ScriptErrorCase> {};

TEST_P(ScriptErrors, stopTheRunWithTheLineAndStatusOne) {
    const auto result = runOrvane({"--ui", "headless"}, GetParam().script);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.errors, GetParam().expectedError);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ScriptErrors,
    testing::Values(
        ScriptErrorCase{"unknownCommand", "# a comment\njump\n",
                        "orvane: line 2: unknown command 'jump'\n"},
        ScriptErrorCase{"unknownName", "tap nowhere\n",
                        "orvane: line 1: nowhere is not the name of a view\n"},
        ScriptErrorCase{"calculateWithTheKeyboardDown", "tap calculate\n",
                        "orvane: line 1: calculate is on the bar on top of the keyboard, shown "
                        "only while the keyboard is up\n"},
        ScriptErrorCase{"typeWithNoFieldBeingEdited", "type 15\n",
                        "orvane: line 1: no field is being edited\n"},
        ScriptErrorCase{"tapAHiddenView", "tap result\n", "orvane: line 1: 'result' is hidden\n"},
        ScriptErrorCase{"deleteABadCount", "tap wage\ndelete many\n",
                        "orvane: line 2: delete takes a count of characters, not 'many'\n"},
        ScriptErrorCase{
            "aStateTheLifeCycleHasNot", "state asleep\n",
            "orvane: line 1: state is active, inactive or background, not 'asleep'\n"}));

// A script's life cycle: it runs active, and what it says it is the dump says, what was typed
// kept through it.
TEST(ScriptLifeCycle, theDumpEndsWithTheStateTheScriptSaid) {
    const auto result =
        runOrvane({"--ui", "headless"}, "dump\ntap wage\ntype 15\nstate background\ndump\n"
                                        "state inactive\ndump\nstate active\ndump\n");
    ASSERT_EQ(result.status, 0) << result.errors;
    std::vector<std::string> states;
    std::istringstream lines(result.output);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("application "))
            states.push_back(line);
    EXPECT_EQ(states, (std::vector<std::string>{"application active", "application background",
                                                "application inactive", "application active"}));
    EXPECT_NE(result.output.rfind("\"15\""), std::string::npos);
}

TEST(CommandLine, helpListsTheOptionsAndUnknownOptionsAreRefused) {
    const auto help = runOrvane({"--help"}, "");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--ui", "--script", "--resources", "--help"})
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
    // The names a script taps: the screen's views, the keys and the bar the controller makes.
    for (const char* name : {"wage", "clear", "Delete", "Calculate"})
        EXPECT_NE(help.output.find(name), std::string::npos) << name;
    const auto unknown = runOrvane({"--sparkle"}, "");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.errors, "orvane: unknown option '--sparkle'\nTry 'orvane --help'.\n");
    const auto missingScript = runOrvane({"--script", "/nonexistent/script"}, "");
    EXPECT_EQ(missingScript.status, 1);
    EXPECT_EQ(missingScript.errors,
              "orvane: cannot read /nonexistent/script: No such file or directory\n");
}

} // namespace

namespace {

struct EnvironmentCase {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::string> environment;
    int expectedStatus;
    std::string expectedError; // the start of standard error
};

void PrintTo(const EnvironmentCase& c, std::ostream* os) {
    *os << c.name;
}

class OddEnvironment : public testing::TestWithParam<EnvironmentCase> {};

TEST_P(OddEnvironment, givesAClearAnswerAndNeverCrashes) {
    const auto& [name, arguments, environment, status, error] = GetParam();
    const auto result = runOrvane(arguments, calculate("15", "100", "print result\n"), environment);
    EXPECT_EQ(result.status, status) << result.errors;
    EXPECT_EQ(result.errors.substr(0, error.size()), error);
    if (status == 0) {
        EXPECT_EQ(result.output, "7\n");
    }
}

// A locale nobody knows still runs: ICU falls back to its root locale and the badge shows the
// generic currency sign. Numbers never depend on the locale.
INSTANTIATE_TEST_SUITE_P(
    Environments, OddEnvironment,
    testing::Values(
        EnvironmentCase{"unknownLocale", {"--ui", "headless"}, {"LC_ALL=xx_YY.UTF-8"}, 0, ""},
        EnvironmentCase{
            "malformedLocale", {"--ui", "headless"}, {"LANG=!!@@##..", "LC_ALL="}, 0, ""},
        EnvironmentCase{"noDisplayForTheWindow",
                        {"--ui", "window"},
                        {"DISPLAY=", "WAYLAND_DISPLAY="},
                        1,
                        "orvane: cannot open a window: no display"},
        EnvironmentCase{"aDisplayThatDoesNotAnswer",
                        {"--ui", "window"},
                        {"DISPLAY=:987", "WAYLAND_DISPLAY="},
                        1,
                        "orvane: cannot open a window"},
        EnvironmentCase{"noTerminalForTheTerminal",
                        {"--ui", "terminal"},
                        {},
                        1,
                        "orvane: cannot run in the terminal: standard input and output are not "
                        "a terminal\n"}));

TEST(OddEnvironment, noFontsStillDrawsASnapshot) {
    const std::string folder = makeTemporaryDirectory();
    const auto result =
        runOrvane({"--snapshot", folder + "/screen.png"}, calculate("15", "100", "print result\n"),
                  {"FONTCONFIG_FILE=/nonexistent/fonts.conf"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, "7\n");
    EXPECT_TRUE(std::filesystem::file_size(folder + "/screen.png") > 0);
    std::filesystem::remove_all(folder);
}

TEST(OddEnvironment, aFolderAsStandardInputIsAnError) {
    const std::string folder = makeTemporaryDirectory();
    const std::string errorsFile = folder + "/errors";
    const std::string command = std::string("'") + ORVANE_BINARY + "' --ui headless < '" + folder +
                                "' 2> '" + errorsFile + "'";
    const int status = std::system(command.c_str());
    std::ifstream stream(errorsFile);
    const std::string errors((std::istreambuf_iterator<char>(stream)), {});
    std::filesystem::remove_all(folder);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(errors, "orvane: cannot read standard input: Is a directory\n");
}

TEST(OddEnvironment, aClosedStandardOutputIsAnError) {
    const std::string command =
        std::string("echo 'print hours' | '") + ORVANE_BINARY + "' --ui headless >&- 2>/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
}

} // namespace
