// Reading documents and writing files as the toolkit does it for the program: only regular
// files, never without end, and never a partial file left behind.
#include "Foundation/NSFileContents.h"
#include "Runtime/Error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

class FileTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvane-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string path(const std::string& name) const { return (folder / name).string(); }

    static std::string errorOf(const std::function<void()>& call) {
        try {
            call();
        } catch (const Runtime::Error& error) {
            return error.what();
        }
        return "no error";
    }

    fs::path folder;
};

TEST_F(FileTest, readsARegularFileWhole) {
    std::ofstream(path("plist")) << "<plist/>";
    EXPECT_EQ(NSDataWithContentsOfFile(path("plist"), 100), "<plist/>");
}

TEST_F(FileTest, refusesWhatIsNotADocumentWithoutWaitingOrReadingForever) {
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
    std::ofstream(path("big")) << std::string(101, 'x');
    EXPECT_EQ(errorOf([&] { NSDataWithContentsOfFile(folder.string(), 100); }),
              "cannot read " + folder.string() + ": it is a directory");
    EXPECT_EQ(errorOf([&] { NSDataWithContentsOfFile(path("fifo"), 100); }),
              "cannot read " + path("fifo") + ": it is not a regular file");
    EXPECT_EQ(errorOf([&] { NSDataWithContentsOfFile("/dev/zero", 100); }),
              "cannot read /dev/zero: it is not a regular file");
    EXPECT_EQ(errorOf([&] { NSDataWithContentsOfFile(path("big"), 100); }),
              "cannot read " + path("big") + ": it is larger than 100 bytes");
    EXPECT_EQ(errorOf([&] { NSDataWithContentsOfFile(path("missing"), 100); }),
              "cannot read " + path("missing") + ": No such file or directory");
}

TEST_F(FileTest, anAtomicWriteReplacesTheFileWhole) {
    std::ofstream(path("out")) << "old contents, longer than the new";
    NSDataWriteToFileAtomically(path("out"), "new");
    std::ifstream file(path("out"));
    std::string contents((std::istreambuf_iterator<char>(file)), {});
    EXPECT_EQ(contents, "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(FileTest, aFailedWriteSaysWhyAndLeavesNothingBehind) {
    EXPECT_EQ(errorOf([] { NSDataWriteToFileAtomically("/dev/full", "bytes"); }),
              "cannot write /dev/full: No space left on device");
    EXPECT_EQ(errorOf([&] { NSDataWriteToFileAtomically(path("no/such/folder.png"), "x"); }),
              "cannot write " + path("no/such/folder.png") + ": No such file or directory");
    EXPECT_EQ(errorOf([&] { NSDataWriteToFileAtomically(folder.string(), "x"); }),
              "cannot write " + folder.string() + ": Is a directory");
    EXPECT_TRUE(fs::is_empty(folder));
}

} // namespace
