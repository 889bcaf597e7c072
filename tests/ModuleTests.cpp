// The real program with modules that are not its own: each refused with one message naming
// the module and why, and status 1.
#include "OrvaneProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace {

namespace fs = std::filesystem;

struct ModuleCase {
    const char* name;
    std::function<void(const fs::path& module)> place;
    std::string expectedReason; // after "orvane: cannot load platform-window.so: "
};

void PrintTo(const ModuleCase& c, std::ostream* os) {
    *os << c.name;
}

class ForeignModule : public testing::TestWithParam<ModuleCase> {};

TEST_P(ForeignModule, isRefusedWithTheReason) {
    // A copy of the program in a folder of its own, with only this module beside it.
    const fs::path folder = makeTemporaryDirectory();
    fs::copy_file(ORVANE_BINARY, folder / "orvane");
    GetParam().place(folder / "platform-window.so");
    const auto result =
        runProgram((folder / "orvane").string(), {"--ui", "window"}, "", {"DISPLAY=:0"});
    fs::remove_all(folder);
    EXPECT_EQ(result.status, 1);
    const std::string prefix = "orvane: cannot load platform-window.so: ";
    ASSERT_TRUE(result.errors.starts_with(prefix)) << result.errors;
    std::string reason = result.errors.substr(prefix.size());
    const auto folderAt = reason.find(folder.string());
    if (folderAt != std::string::npos)
        reason.replace(folderAt, folder.string().size(), "FOLDER");
    EXPECT_TRUE(reason.starts_with(GetParam().expectedReason)) << reason;
}

INSTANTIATE_TEST_SUITE_P(
    Modules, ForeignModule,
    testing::Values(ModuleCase{"missing", [](const fs::path&) {},
                               "it is not installed beside the program"},
                    ModuleCase{"notASharedObject",
                               [](const fs::path& module) { std::ofstream(module) << "text"; },
                               "FOLDER/platform-window.so: "},
                    ModuleCase{"fromAnotherVersion",
                               [](const fs::path& module) { fs::copy_file(STALE_MODULE, module); },
                               "FOLDER/platform-window.so was built from another version "
                               "(0.0-0000000000000000, this program is "}));

} // namespace
