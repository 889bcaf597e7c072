#include "Runtime/NumberParsing.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <optional>
#include <string>

using Runtime::doubleFromString;

namespace {

struct ParseCase {
    std::string text;
    std::optional<double> value;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class TextToNumber : public testing::TestWithParam<ParseCase> {};

TEST_P(TextToNumber, acceptsOnlyAWholeDecimalLiteral) {
    const auto& [text, value] = GetParam();
    EXPECT_EQ(doubleFromString(text), value);
}

INSTANTIATE_TEST_SUITE_P(Numbers, TextToNumber,
                         testing::Values(ParseCase{"15", 15}, ParseCase{"15.5", 15.5},
                                         ParseCase{".5", 0.5}, ParseCase{"5.", 5},
                                         ParseCase{"-3", -3}, ParseCase{"+15", 15},
                                         ParseCase{"1e3", 1000}, ParseCase{"1E3", 1000},
                                         ParseCase{"1e+3", 1000}, ParseCase{"2.5e-1", 0.25},
                                         ParseCase{"007", 7}, ParseCase{"-0", -0.0},
                                         ParseCase{"1299.99", 1299.99}, ParseCase{"0.1", 0.1},
                                         ParseCase{"9223372036854774784", 9223372036854774784.0}));

INSTANTIATE_TEST_SUITE_P(
    NotNumbers, TextToNumber,
    testing::Values(ParseCase{"", std::nullopt}, ParseCase{".", std::nullopt},
                    ParseCase{"+", std::nullopt}, ParseCase{"-", std::nullopt},
                    ParseCase{"+-5", std::nullopt}, ParseCase{"++5", std::nullopt},
                    ParseCase{"15 ", std::nullopt}, ParseCase{" 15", std::nullopt},
                    ParseCase{"$15", std::nullopt}, ParseCase{"15€", std::nullopt},
                    ParseCase{"1,000", std::nullopt}, ParseCase{"15,5", std::nullopt},
                    ParseCase{"1.2.3", std::nullopt}, ParseCase{"1e", std::nullopt},
                    ParseCase{"1e+", std::nullopt}, ParseCase{"e3", std::nullopt},
                    ParseCase{".e3", std::nullopt}, ParseCase{"abc", std::nullopt},
                    ParseCase{std::string("1\0", 2), std::nullopt}));

// Hexadecimal and the special words are refused: nobody types them as an amount.
INSTANTIATE_TEST_SUITE_P(
    SpecialForms, TextToNumber,
    testing::Values(ParseCase{"0x10", std::nullopt}, ParseCase{"0x1p3", std::nullopt},
                    ParseCase{"inf", std::nullopt}, ParseCase{"-infinity", std::nullopt},
                    ParseCase{"nan", std::nullopt}, ParseCase{"NaN", std::nullopt}));

// Beyond a double's range the literal rounds as IEEE 754 does.
INSTANTIATE_TEST_SUITE_P(
    Magnitudes, TextToNumber,
    testing::Values(ParseCase{"1e400", std::numeric_limits<double>::infinity()},
                    ParseCase{"-1e400", -std::numeric_limits<double>::infinity()},
                    ParseCase{"1e-400", 0.0},
                    ParseCase{"4.9e-324", std::numeric_limits<double>::denorm_min()},
                    ParseCase{"1.7976931348623157e308", std::numeric_limits<double>::max()}));

// However a literal beyond the range is written, it rounds to an infinity or a zero of its
// own sign, and one just inside it to the subnormal it is nearest.
struct RoundedCase {
    std::string text;
    double value;
};

void PrintTo(const RoundedCase& c, std::ostream* os) {
    *os << '"' << c.text.substr(0, 40) << (c.text.size() > 40 ? "...\"" : "\"");
}

class OutOfRange : public testing::TestWithParam<RoundedCase> {};

TEST_P(OutOfRange, roundsAsIeeeDoesWithItsSign) {
    const auto& [text, value] = GetParam();
    const std::optional<double> parsed = doubleFromString(text);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(*parsed, value);
    EXPECT_EQ(std::signbit(*parsed), std::signbit(value));
}

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double smallest = std::numeric_limits<double>::denorm_min();

INSTANTIATE_TEST_SUITE_P(
    Written, OutOfRange,
    testing::Values(
        RoundedCase{"-1e-400", -0.0}, RoundedCase{".5e-400", 0.0}, RoundedCase{"123.45e-330", 0.0},
        RoundedCase{"-0.00012e-321", -0.0}, RoundedCase{"1" + std::string(400, '0'), infinity},
        RoundedCase{"-1" + std::string(400, '0') + ".5", -infinity},
        RoundedCase{"0." + std::string(400, '0') + "1", 0.0},
        RoundedCase{"-0." + std::string(400, '0') + "1e+5", -0.0},
        RoundedCase{"0.0001e313", infinity}, RoundedCase{"1E+400", infinity},
        RoundedCase{"1e99999999999999999999", infinity},
        RoundedCase{"1e-99999999999999999999", 0.0}, RoundedCase{"2.4703282292062327e-324", 0.0},
        RoundedCase{"2.4703282292062328e-324", smallest}, RoundedCase{"1000e-326", 2 * smallest}));

TEST(TextToNumberLocale, decimalCommaLocaleChangesNothing) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/setup generates it";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    const std::locale previousGlobal = std::locale::global(std::locale("de_DE.UTF-8"));

    EXPECT_EQ(doubleFromString("15.5"), 15.5);
    EXPECT_EQ(doubleFromString("15,5"), std::nullopt);
    EXPECT_EQ(doubleFromString("1e400"), std::numeric_limits<double>::infinity());

    std::locale::global(previousGlobal);
    std::setlocale(LC_ALL, previous.c_str());
}

} // namespace
