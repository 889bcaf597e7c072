// What follows an Escape from a terminal, read whole: the keys that are the session's, and
// every other sequence dropped, never typed.
#include "Terminal/EscapeSequences.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct SequenceCase {
    const char* name;
    std::u32string following;
    std::size_t length;
    std::optional<UIKey> key;
};

class Escape : public testing::TestWithParam<SequenceCase> {};

TEST_P(Escape, isReadWholeAndMeansAKeyOrNothing) {
    const auto sequence = readEscapeSequence(GetParam().following);
    EXPECT_EQ(sequence.length, GetParam().length);
    EXPECT_EQ(sequence.key, GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Escape,
    testing::Values(SequenceCase{"theEscapeKey", U"", 0, UIKey::Escape},
                    SequenceCase{"twoEscapeKeys", U"\033", 0, UIKey::Escape},
                    SequenceCase{"homeOfAVt220", U"[1~5", 3, std::nullopt},
                    SequenceCase{"endOfAVt220", U"[4~", 3, std::nullopt},
                    SequenceCase{"pageDown", U"[6~", 3, UIKey::PageDown},
                    SequenceCase{"altPageUp", U"[5;3~", 5, UIKey::PageUp},
                    SequenceCase{"delete", U"[3~", 3, UIKey::Delete},
                    SequenceCase{"controlUp", U"[1;5A", 5, UIKey::Up},
                    SequenceCase{"down", U"[B12", 2, UIKey::Down},
                    SequenceCase{"shiftTab", U"[Z", 2, UIKey::ShiftTab},
                    SequenceCase{"anF5", U"[15~", 4, std::nullopt},
                    SequenceCase{"withAnIntermediate", U"[0 q", 4, std::nullopt},
                    SequenceCase{"privateParameters", U"[?1049h7", 7, std::nullopt},
                    SequenceCase{"cutShort", U"[12", 3, std::nullopt},
                    SequenceCase{"brokenByAControl", U"[1\r", 2, std::nullopt},
                    SequenceCase{"ss3Home", U"OH", 2, std::nullopt},
                    SequenceCase{"ss3Up", U"OA", 2, UIKey::Up},
                    SequenceCase{"ss3KeypadEnter", U"OM", 2, UIKey::Enter},
                    SequenceCase{"ss3CutShort", U"O", 1, std::nullopt},
                    SequenceCase{"alt3", U"3", 1, std::nullopt},
                    SequenceCase{"altQ", U"q", 1, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// What may still be arriving is waited for; what is whole, or no sequence, is not.
TEST(Escape, waitsOnlyForASequenceCutShort) {
    for (const std::u32string_view cut : {U"", U"[", U"[1;5", U"[0 ", U"O"})
        EXPECT_TRUE(mayContinue(cut)) << cut.size();
    for (const std::u32string_view whole : {U"[6~", U"[A", U"OA", U"3", U"[1\r", U"\033"})
        EXPECT_FALSE(mayContinue(whole)) << whole.size();
}

} // namespace
