// Broken interface files, each in tests/interfaces/ with the error it must give on its first
// line: <!-- expect: LINE: MESSAGE --> for a refused file, or <!-- expect fatal: TEXT -->
// (with * for the line) for a programming error that stops the program.
#include "OrvaneProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <utility>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> interfaceFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(ORVANE_TEST_DATA) / "interfaces"))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string expectationOf(const fs::path& file) {
    std::ifstream stream(file);
    std::string line;
    std::getline(stream, line);
    const std::string prefix = "<!-- expect";
    const std::string suffix = " -->";
    EXPECT_TRUE(line.starts_with(prefix) && line.ends_with(suffix)) << file;
    return line.substr(prefix.size(), line.size() - prefix.size() - suffix.size());
}

// A resources folder holding the file as the main interface.
std::string resourcesWith(const fs::path& interfaceFile) {
    const fs::path folder = makeTemporaryDirectory();
    fs::copy_file(fs::path(ORVANE_TEST_DATA) / "../orvane/Resources/Info.plist",
                  folder / "Info.plist");
    fs::copy_file(interfaceFile, folder / "Main.storyboard");
    return folder.string();
}

// A resources folder holding the file compiled, and Info.plist in binary, as the web build
// carries them; the compiler's own result when it refuses the file.
std::pair<std::string, ProcessResult> compiledResourcesWith(const fs::path& interfaceFile) {
    const fs::path folder = makeTemporaryDirectory();
    const fs::path tools = fs::path(ORVANE_TEST_DATA) / "../platform";
    const auto plist =
        runProgram("/usr/bin/python3",
                   {(tools / "Foundation/Tools/compile_plist.py").string(),
                    (fs::path(ORVANE_TEST_DATA) / "../orvane/Resources/Info.plist").string(),
                    (folder / "Info.plist").string()},
                   "");
    EXPECT_EQ(plist.status, 0) << plist.errors;
    const auto compiler =
        runProgram("/usr/bin/python3",
                   {(tools / "UIKit/Tools/compile_interface.py").string(), interfaceFile.string(),
                    (folder / "Main.storyboard").string()},
                   "");
    return {folder.string(), compiler};
}

void expectRefused(const ProcessResult& result, const std::string& folder,
                   const std::string& expectation) {
    EXPECT_EQ(result.output, "");
    if (expectation.starts_with(": ")) {
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.errors,
                  "orvane: " + folder + "/Main.storyboard:" + expectation.substr(2) + "\n");
    } else {
        const std::string fatal = expectation.substr(std::string(" fatal: ").size());
        std::string pattern;
        for (const char c : fatal)
            pattern += c == '*' ? std::string("[0-9]+")
                                : (std::isalnum(static_cast<unsigned char>(c)) || c == ' '
                                       ? std::string(1, c)
                                       : std::string("\\") + c);
        EXPECT_NE(result.status, 0);
        EXPECT_TRUE(std::regex_search(result.errors, std::regex("^" + pattern + "\n")))
            << result.errors;
    }
}

class InterfaceFile : public testing::TestWithParam<fs::path> {};

TEST_P(InterfaceFile, isRefusedWithItsPlaceAndMessage) {
    const std::string folder = resourcesWith(GetParam());
    const auto result = runOrvane({"--ui", "headless", "--resources", folder}, "print result\n");
    fs::remove_all(folder);
    expectRefused(result, folder, expectationOf(GetParam()));
}

// Compiled, the file keeps its lines: the program refuses it with the same place and message,
// or, when it is not well-formed, the compiler refuses it at the same line.
TEST_P(InterfaceFile, isRefusedAtTheSamePlaceOnceCompiled) {
    const std::string expectation = expectationOf(GetParam());
    const auto [folder, compiler] = compiledResourcesWith(GetParam());
    const std::string malformed = ": malformed XML: ";
    if (expectation.find(malformed) != std::string::npos) {
        const std::string line = expectation.substr(2, expectation.find(malformed) - 2);
        EXPECT_EQ(compiler.status, 1);
        EXPECT_TRUE(compiler.errors.starts_with(GetParam().string() + ":" + line + malformed))
            << compiler.errors;
        fs::remove_all(folder);
        return;
    }
    ASSERT_EQ(compiler.status, 0) << compiler.errors;
    const auto result = runOrvane({"--ui", "headless", "--resources", folder}, "print result\n");
    fs::remove_all(folder);
    expectRefused(result, folder, expectation);
}

INSTANTIATE_TEST_SUITE_P(Broken, InterfaceFile, testing::ValuesIn(interfaceFiles()),
                         [](const auto& info) {
                             std::string name = info.param.stem().string();
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(Resources, aMissingFolderIsReportedNotCrashedOn) {
    const auto result = runOrvane({"--resources", "/nonexistent"}, "");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.errors,
              "orvane: cannot read /nonexistent/Info.plist: No such file or directory\n");
}

TEST(Resources, theBuiltInCopiesMatchTheFolder) {
    const auto builtIn = runOrvane({"--ui", "headless"}, "dump\n");
    const auto fromFolder = runOrvane(
        {"--ui", "headless", "--resources", std::string(ORVANE_TEST_DATA) + "/../orvane/Resources"},
        "dump\n");
    EXPECT_EQ(builtIn.status, 0);
    EXPECT_EQ(builtIn.output, fromFolder.output);
}

TEST(Resources, compiledCopiesWorkAsTheirSources) {
    const std::string script = "tap wage\ntype 15\ntap price\ntype 100\ntap calculate\n"
                               "print result\ndump\n";
    const auto [folder, compiler] =
        compiledResourcesWith(fs::path(ORVANE_TEST_DATA) / "../orvane/Resources/Main.storyboard");
    ASSERT_EQ(compiler.status, 0) << compiler.errors;
    const auto compiled = runOrvane({"--ui", "headless", "--resources", folder}, script);
    fs::remove_all(folder);
    const auto builtIn = runOrvane({"--ui", "headless"}, script);
    EXPECT_EQ(compiled.status, 0) << compiled.errors;
    EXPECT_EQ(compiled.output, builtIn.output);
    EXPECT_TRUE(builtIn.output.starts_with("7\n")) << builtIn.output;
}

} // namespace
