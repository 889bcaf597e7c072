// The module loader's failures: each says why, and says it again when asked again.
#include "FrontEnds/Modules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string failureOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const FrontEndUnavailable& error) {
        return error.what();
    }
    return "no failure";
}

// Modules are looked for beside the program, here the test program.
fs::path besideThisProgram(const std::string& file) {
    return fs::read_symlink("/proc/self/exe").parent_path() / file;
}

TEST(ModuleLoading, aMissingModuleSaysSoEveryTime) {
    const auto make = [] { Modules::makeFrontEnd("missing", PlatformOptions{}); };
    const std::string expected =
        "cannot load platform-missing.so: it is not installed beside the program";
    EXPECT_EQ(failureOf(make), expected);
    EXPECT_EQ(failureOf(make), expected);
}

TEST(ModuleLoading, aModuleThatDoesNotLoadGivesTheLoadersReasonEveryTime) {
    const fs::path broken = besideThisProgram("platform-broken.so");
    std::ofstream(broken) << "not a shared object";
    const auto make = [] { Modules::makeFrontEnd("broken", PlatformOptions{}); };
    const std::string first = failureOf(make);
    const std::string second = failureOf(make);
    fs::remove(broken);
    EXPECT_TRUE(first.starts_with("cannot load platform-broken.so: " + broken.string() + ": "))
        << first;
    EXPECT_EQ(second, first);
}

} // namespace
