// Every way of feeding the program, answered truly: the script's names, its files, the
// options, the resources and the files it writes. Each case is the exact input and the exact
// message and status a person gets. TMP in an argument, the script or a message stands for a
// fresh folder of the test's own.
#include "OrvaneProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

struct SurfaceCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string script;
    int expectedStatus;
    // The whole of standard error; without a final line end, only how it starts.
    std::string expectedErrors;
    std::string expectedOutput = "";
    // Files to lay out in TMP first.
    std::function<void(const fs::path&)> prepare = [](const fs::path&) {};
    std::vector<std::string> environment = {};
};

void PrintTo(const SurfaceCase& c, std::ostream* os) {
    *os << c.name;
}

std::string withFolder(std::string text, const std::string& folder) {
    for (auto at = text.find("TMP"); at != std::string::npos; at = text.find("TMP", at))
        text.replace(at, 3, folder);
    return text;
}

class InputSurface : public testing::TestWithParam<SurfaceCase> {};

TEST_P(InputSurface, answersTruly) {
    const auto& c = GetParam();
    const fs::path folder = makeTemporaryDirectory();
    c.prepare(folder);
    std::vector<std::string> arguments;
    for (const auto& argument : c.arguments)
        arguments.push_back(withFolder(argument, folder.string()));
    const auto result = runOrvane(arguments, withFolder(c.script, folder.string()), c.environment);
    const std::vector<std::string> leftOver = [&] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        return names;
    }();
    fs::remove_all(folder);
    const std::string errors = withFolder(c.expectedErrors, folder.string());
    if (errors.ends_with('\n'))
        EXPECT_EQ(result.errors, errors);
    else
        EXPECT_TRUE(result.errors.starts_with(errors)) << result.errors;
    EXPECT_EQ(result.status, c.expectedStatus);
    EXPECT_EQ(result.output, c.expectedOutput);
    for (const auto& name : leftOver)
        EXPECT_EQ(name.find(".partial"), std::string::npos) << "a partial file was left: " << name;
}

const std::string typeFifteenAndFive = "tap wage\ntype 15\ntap price\ntype 5\n";

void writeFile(const fs::path& path, const std::string& contents) {
    std::ofstream(path) << contents;
}

// A resources folder with the program's own interface file and the given Info.plist.
std::function<void(const fs::path&)> resourcesWithInfo(std::string info) {
    return [info](const fs::path& folder) {
        fs::create_directory(folder / "res");
        fs::copy_file(fs::path(ORVANE_TEST_DATA) / "../orvane/Resources/Main.storyboard",
                      folder / "res/Main.storyboard");
        writeFile(folder / "res/Info.plist", info);
    };
}

const std::string plistNaming = R"(<plist><dict><key>CFBundleName</key><string>orvane</string>
<key>UIMainStoryboardFile</key><string>NAME</string></dict></plist>)";

std::string infoNaming(const std::string& name) {
    std::string info = plistNaming;
    return info.replace(info.find("NAME"), 4, name);
}

// A resources folder whose Info.plist names Main.storyboard, made by `make`.
std::function<void(const fs::path&)> withMainInterface(std::function<void(const fs::path&)> make) {
    return [make](const fs::path& folder) {
        writeFile(folder / "Info.plist", infoNaming("Main"));
        make(folder / "Main.storyboard");
    };
}

INSTANTIATE_TEST_SUITE_P(
    Names, InputSurface,
    testing::Values(
        SurfaceCase{"aKeyIsFoundByItsTitleNotByAFieldShowingIt",
                    {"--ui", "headless"},
                    "tap wage\ntap 5\ntap price\ntap 5\ntap 5\nprint wage\nprint price\n",
                    0,
                    "",
                    "5\n55\n"},
        // As a person would, the script's tap scrolls Clear out from under the keyboard
        // first: the key beneath it is not what is tapped.
        SurfaceCase{"aViewUnderTheKeyboardIsScrolledClearOfItThenTapped",
                    {"--ui", "headless"},
                    "tap wage\ntype 100\ntap clear\nprint wage\nprint keyboard\n",
                    0,
                    "",
                    "\nup\n"},
        SurfaceCase{"theBarIsThereOnlyWithTheKeyboard",
                    {"--ui", "headless"},
                    typeFifteenAndFive + "tap calculate\ntap calculate\n",
                    1,
                    "orvane: line 6: calculate is on the bar on top of the keyboard, shown only "
                    "while the keyboard is up\n"},
        SurfaceCase{"keysAreNotNamesWhileTheKeyboardIsDown",
                    {"--ui", "headless"},
                    "tap 5\n",
                    1,
                    "orvane: line 1: 5 is not the name of a view\n"},
        SurfaceCase{"aTapOffTheScreen",
                    {"--ui", "headless"},
                    "tap 9999 9999\n",
                    1,
                    "orvane: line 1: tap 9999 9999 is off the screen, which is 375 x 667 points\n"},
        SurfaceCase{"aTapOnTheScreensLastPoint",
                    {"--ui", "headless"},
                    "tap 374.5 666.5\nprint keyboard\n",
                    0,
                    "",
                    "down\n"}));

INSTANTIATE_TEST_SUITE_P(
    Scripts, InputSurface,
    testing::Values(
        SurfaceCase{"aFolderAsTheScript",
                    {"--script", "TMP"},
                    "",
                    1,
                    "orvane: cannot read TMP: Is a directory\n"},
        SurfaceCase{
            "anEndlessLine", {"--script", "/dev/zero"}, "", 1, "orvane: line 1: line too long\n"},
        SurfaceCase{"aLineTooLongAfterGoodOnes",
                    {"--ui", "headless"},
                    "tap wage\ntype 1\n" + std::string(2 << 20, '1') + "\nprint wage\n",
                    1,
                    "orvane: line 3: line too long\n"},
        SurfaceCase{
            "aScriptWithoutAFinalLineEnd", {"--ui", "headless"}, "print keyboard", 0, "", "down\n"},
        SurfaceCase{"trailingBlanksAreNotPartOfAPath",
                    {"--ui", "headless"},
                    "snapshot TMP/shot.png  \t\nprint keyboard\n",
                    0,
                    "",
                    "down\n"},
        SurfaceCase{"typeKeepsItsTrailingBlank",
                    {"--ui", "headless"},
                    "tap wage\ntype 15 \nprint wage\n",
                    0,
                    "",
                    "15 \n"},
        SurfaceCase{"anUnknownCommandIsEchoedShortAndEscaped",
                    {"--ui", "headless"},
                    "jump\x1b[2J" + std::string(100, 'x') + "\n",
                    1,
                    "orvane: line 1: unknown command 'jump\\x1B[2J" + std::string(32, 'x') +
                        "…'\n"},
        // Bytes that are not UTF-8, and C1 controls (which some terminals obey), as bytes;
        // a name cut short is cut between characters.
        SurfaceCase{"aNameThatIsNotUtf8IsEscaped",
                    {"--ui", "headless"},
                    "tap \xff\xc2\x9b"
                    "2J\xe2\x82\n",
                    1,
                    "orvane: line 1: \\xFF\\xC2\\x9B2J\\xE2\\x82 is not the name of a view\n"},
        SurfaceCase{"aLongNameIsCutBetweenCharacters",
                    {"--ui", "headless"},
                    "tap " + std::string(39, 'x') + "€\n",
                    1,
                    "orvane: line 1: " + std::string(39, 'x') + "… is not the name of a view\n"}));

INSTANTIATE_TEST_SUITE_P(
    Writes, InputSurface,
    testing::Values(SurfaceCase{"aDumpToAFullDevice",
                                {"--ui", "headless", "--dump-at-exit", "/dev/full"},
                                "",
                                1,
                                "orvane: cannot write /dev/full: No space left on device\n"},
                    SurfaceCase{
                        "aSnapshotIntoAMissingFolder",
                        {"--snapshot", "TMP/none/shot.png"},
                        "",
                        1,
                        "orvane: cannot write TMP/none/shot.png: No such file or directory\n"},
                    SurfaceCase{"aSnapshotOverAFolder",
                                {"--ui", "headless"},
                                "snapshot TMP\n",
                                1,
                                "orvane: line 1: cannot write TMP: Is a directory\n"}));

INSTANTIATE_TEST_SUITE_P(
    Options, InputSurface,
    testing::Values(
        SurfaceCase{"aScriptForTheWindow",
                    {"--ui", "window", "--snapshot", "x.png", "--script", "s"},
                    "",
                    2,
                    "orvane: --script runs headless; it cannot drive --ui window or terminal\n"
                    "Try 'orvane --help'.\n"},
        SurfaceCase{"aSnapshotOfTheTerminal",
                    {"--ui", "terminal", "--snapshot", "x.png"},
                    "",
                    2,
                    "orvane: --snapshot runs headless; it cannot be taken with --ui window or "
                    "terminal\nTry 'orvane --help'.\n"},
        SurfaceCase{"doubleDashEndsTheOptions",
                    {"--ui", "headless", "--", "--help"},
                    "",
                    2,
                    "orvane: unexpected argument '--help'\nTry 'orvane --help'.\n"},
        SurfaceCase{
            "doubleDashAlone", {"--ui", "headless", "--"}, "print keyboard\n", 0, "", "down\n"},
        SurfaceCase{"anEmptyResourcesFolder",
                    {"--resources", ""},
                    "",
                    2,
                    "orvane: --resources needs a folder, not an empty text\n"
                    "Try 'orvane --help'.\n"},
        SurfaceCase{"anOptionWithoutItsValue",
                    {"--script"},
                    "",
                    2,
                    "orvane: --script needs a file\nTry 'orvane --help'.\n"},
        SurfaceCase{"aValueAfterAnEqualsSign",
                    {"--ui=headless", "--size=400x700"},
                    "print keyboard\n",
                    0,
                    "",
                    "down\n"},
        SurfaceCase{"anEmptyValueAfterAnEqualsSign",
                    {"--script="},
                    "",
                    2,
                    "orvane: --script needs a file, not an empty text\nTry 'orvane --help'.\n"},
        SurfaceCase{"aValueForAnOptionThatTakesNone",
                    {"--version=2"},
                    "",
                    2,
                    "orvane: --version takes no value, not '2'\nTry 'orvane --help'.\n"},
        SurfaceCase{"anOptionGivenTwice",
                    {"--script", "a", "--script=b"},
                    "",
                    2,
                    "orvane: --script is given twice; give it once\nTry 'orvane --help'.\n"},
        SurfaceCase{"anUnknownOptionIsEscaped",
                    {"--colour\x1b[31m\xff"},
                    "",
                    2,
                    "orvane: unknown option '--colour\\x1B[31m\\xFF'\nTry 'orvane --help'.\n"}));

INSTANTIATE_TEST_SUITE_P(
    Resources, InputSurface,
    testing::Values(
        SurfaceCase{"anInfoPlistThatIsAFolder",
                    {"--resources", "TMP"},
                    "",
                    1,
                    "orvane: cannot read TMP/Info.plist: it is a directory\n",
                    "",
                    [](const fs::path& folder) { fs::create_directory(folder / "Info.plist"); }},
        SurfaceCase{
            "anInterfaceFileThatIsADevice",
            {"--resources", "TMP"},
            "",
            1,
            "orvane: cannot read TMP/Main.storyboard: it is not a regular file\n",
            "",
            withMainInterface([](const fs::path& file) { fs::create_symlink("/dev/zero", file); })},
        SurfaceCase{"anInterfaceFileThatIsAPipe",
                    {"--resources", "TMP"},
                    "",
                    1,
                    "orvane: cannot read TMP/Main.storyboard: it is not a regular file\n",
                    "",
                    withMainInterface([](const fs::path& file) { mkfifo(file.c_str(), 0600); })},
        SurfaceCase{"anInterfaceNamedOutsideTheBundle",
                    {"--resources", "TMP/res"},
                    "",
                    1,
                    "orvane: TMP/res/Info.plist: UIMainStoryboardFile names '../../dev/zero', "
                    "which is not a file of the bundle\n",
                    "",
                    resourcesWithInfo(infoNaming("../../dev/zero"))}));

INSTANTIATE_TEST_SUITE_P(
    Displays, InputSurface,
    testing::Values(
        SurfaceCase{"aStaleDisplayIsPassedOver",
                    {},
                    "tap wage\ntype 15\ntap price\ntype 100\ntap calculate\nprint result\n",
                    0,
                    "",
                    "7\n",
                    [](const fs::path&) {},
                    {"DISPLAY=:99", "WAYLAND_DISPLAY="}},
        SurfaceCase{"aStaleDisplayAskedForIsNamed",
                    {"--ui", "window"},
                    "",
                    1,
                    "orvane: cannot open a window on DISPLAY=:99: ",
                    "",
                    [](const fs::path&) {},
                    {"DISPLAY=:99", "WAYLAND_DISPLAY="}}));

} // namespace
