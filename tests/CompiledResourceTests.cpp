// The resources as the web build carries them: Info.plist in binary, written by Python's
// plistlib, and interface files compiled by the build's tool. Each must read as its source
// does, and a damaged copy must be refused, never overrun (the sanitizer build checks that).
#include "Foundation/PropertyList.h"
#include "Runtime/Error.h"
#include "UIKit/UIStoryboard.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string contentsOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << path;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string compiled(const std::string& name) {
    return contentsOf(std::string(COMPILED_TEST_DATA) + "/" + name);
}

std::string source(const std::string& path) {
    return contentsOf(std::string(ORVANE_SOURCE_DIR) + "/" + path);
}

// What reading gives: the strings, or the error's message.
std::string readingOf(const std::string& contents) {
    try {
        std::string result;
        for (const auto& [key, value] : stringsOfPropertyList(contents, "Info.plist"))
            result += key + "=" + value + "\n";
        return result;
    } catch (const Runtime::Error& error) {
        return error.what();
    }
}

TEST(BinaryPropertyList, readsTheSameStringsAsItsSource) {
    for (const auto& [binary, xml] : {std::pair{"Info.plist", "orvane/Resources/Info.plist"},
                                      std::pair{"Kinds.plist", "tests/plists/Kinds.plist"}}) {
        SCOPED_TRACE(binary);
        const auto strings = stringsOfPropertyList(compiled(binary), "Info.plist");
        EXPECT_EQ(strings, stringsOfXmlPropertyList(source(xml), "Info.plist"));
        EXPECT_EQ(strings.at("CFBundleName"), "orvane");
    }
    const auto kinds = stringsOfPropertyList(compiled("Kinds.plist"), "Info.plist");
    EXPECT_EQ(kinds.at("BeyondTheBasicPlane"), "a \xF0\x9D\x84\x9E and a \xF0\x9F\x98\x80");
    EXPECT_EQ(kinds.at("Japanese"), "日本語の名前");
    EXPECT_EQ(kinds.at("Café"), "a key that is not ASCII");
    EXPECT_EQ(kinds.at("Empty"), "");
    EXPECT_FALSE(kinds.contains("Count") || kinds.contains("Names") || kinds.contains("Inner"));
}

TEST(BinaryPropertyList, refusesEveryShortenedCopy) {
    const std::string whole = compiled("Info.plist");
    for (std::size_t length = 8; length < whole.size(); ++length)
        EXPECT_TRUE(readingOf(whole.substr(0, length))
                        .starts_with("Info.plist: not a binary property list: "))
            << length;
}

// Each byte set to each of a few values: a dictionary or an error, never a read outside.
TEST(BinaryPropertyList, survivesEveryDamagedByte) {
    const std::string whole = compiled("Kinds.plist");
    for (std::size_t at = 8; at < whole.size(); ++at)
        for (const unsigned char value : {0x00, 0x01, 0x0F, 0x5F, 0x6F, 0xD8, 0xDC, 0xFF}) {
            std::string damaged = whole;
            damaged[at] = static_cast<char>(value);
            const auto reading = readingOf(damaged);
            EXPECT_TRUE(reading.starts_with("Info.plist: not a binary property list: ") ||
                        reading.find('=') != std::string::npos)
                << at << ": " << reading;
        }
}

TEST(BinaryPropertyList, namesWhatIsWrong) {
    std::string halfPair = compiled("Kinds.plist");
    // The first unit of 𝄞 (D834 DD1E) becomes a lone low half.
    const auto clef = halfPair.find("\xD8\x34\xDD\x1E");
    ASSERT_NE(clef, std::string::npos);
    halfPair[clef] = '\xDC';
    std::string cutPair = compiled("Kinds.plist");
    cutPair[cutPair.find("\xD8\x34\xDD\x1E") + 2] = '\x00';
    std::string wideOffsets = compiled("Info.plist");
    wideOffsets[wideOffsets.size() - 32 + 6] = 9;
    std::string topOutside = compiled("Info.plist");
    topOutside[topOutside.size() - 32 + 23] = '\x7F';

    const std::string prefix = "Info.plist: not a binary property list: ";
    for (const auto& [contents, reason] :
         {std::pair{halfPair, "a string holds half of a UTF-16 pair"},
          std::pair{cutPair, "a string holds half of a UTF-16 pair"},
          std::pair{wideOffsets, "its trailer gives widths of 9 and 1 bytes"},
          std::pair{topOutside, "its trailer points outside it"},
          std::pair{std::string("bplist00"), "it is cut short"}})
        EXPECT_EQ(readingOf(contents), prefix + reason);
}

// What loading gives: the error's message, or "loaded" and the leaf views' names.
std::string loadingOf(const std::string& contents) {
    try {
        const auto controller =
            UIStoryboard::instantiateInitialViewController(contents, "Main.storyboard");
        std::string result = controller && controller->view() ? "loaded" : "no view";
        for (const auto& name : UIStoryboard::leafViewIdentifiers(contents))
            result += " " + name;
        return result;
    } catch (const UIStoryboard::LoadError& error) {
        return error.what();
    }
}

TEST(CompiledInterfaceFile, buildsTheScreenItsSourceBuilds) {
    const auto fromSource = loadingOf(source("orvane/Resources/Main.storyboard"));
    EXPECT_TRUE(fromSource.starts_with("loaded ")) << fromSource;
    EXPECT_EQ(loadingOf(compiled("Main.storyboard")), fromSource);
}

TEST(CompiledInterfaceFile, refusesEveryShortenedCopy) {
    const std::string whole = compiled("Main.storyboard");
    for (std::size_t length = 15; length < whole.size(); ++length) {
        const auto loading = loadingOf(whole.substr(0, length));
        EXPECT_TRUE(loading.starts_with("Main.storyboard:")) << length << ": " << loading;
        EXPECT_TRUE(UIStoryboard::leafViewIdentifiers(whole.substr(0, length)).empty());
    }
}

// An element as the compiled form writes it, with no attributes.
std::string element(const std::string& name, int line, int children) {
    using namespace std::string_literals;
    return name + '\0' + std::to_string(line) + '\0' + "0"s + '\0' + std::to_string(children) +
           '\0';
}

TEST(CompiledInterfaceFile, namesWhatIsWrongWithItsLine) {
    const std::string magic("\0storyboardc 1\0", 15);
    std::string deep = magic;
    for (int depth = 0; depth < 300; ++depth)
        deep += element("view", depth + 1, 1);
    std::string countless = magic + element("document", 1, 1);
    countless.replace(countless.size() - 2, 1, "99999999999999999999999");

    for (const auto& [contents, message] :
         {std::pair{deep, "Main.storyboard:256: elements nest deeper than 256 levels"},
          std::pair{countless,
                    "Main.storyboard:1: the compiled interface file has \"99999999999999999999999\""
                    " for a number"},
          std::pair{magic + element("document", 3, 1),
                    "Main.storyboard:3: the compiled interface file is cut short"},
          std::pair{magic + element("document", 2, 0) + "more",
                    "Main.storyboard:2: the compiled interface file goes on after its root "
                    "element"},
          std::pair{magic + element("document", 2, 0),
                    "Main.storyboard:2: the document has no <viewController>"}})
        EXPECT_EQ(loadingOf(contents), message);
}

} // namespace
