// What the page is handed: JSON that any parser reads back as it was meant, whatever text,
// number or nesting the program has.
#include "PageBoundary.h"
#include "UIKit/UIAccessibility.h"
#include "Web/Json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

struct JsonCase {
    const char* name;
    std::function<void(Json&)> write;
    std::string expected;
};

void PrintTo(const JsonCase& c, std::ostream* os) {
    *os << c.name;
}

class JsonWriting : public testing::TestWithParam<JsonCase> {};

TEST_P(JsonWriting, writesWhatAParserReadsBack) {
    Json json;
    GetParam().write(json);
    EXPECT_EQ(json.text(), GetParam().expected);
}

const double nan = std::numeric_limits<double>::quiet_NaN();
const double infinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Values, JsonWriting,
    testing::Values(
        JsonCase{"commasOnlyBetweenValues",
                 [](Json& j) {
                     j.beginObject().key("a").number(1).key("b").beginArray();
                     j.number(1).beginArray().endArray().beginObject().endObject().number(2);
                     j.endArray().key("c").boolean(false).endObject();
                 },
                 R"({"a":1,"b":[1,[],{},2],"c":false})"},
        JsonCase{"quotesBackslashesAndControlsEscaped",
                 [](Json& j) { j.string("a\"b\\c\nd\te\x01"); },
                 R"("a\"b\\c\u000ad\u0009e\u0001")"},
        JsonCase{"validUtf8KeptWhole", [](Json& j) { j.string("€ 12,50 ￥ 😀"); },
                 "\"€ 12,50 ￥ 😀\""},
        JsonCase{"aStrayByteBecomesTheReplacementCharacter",
                 [](Json& j) {
                     j.string("1\xff"
                              "2");
                 },
                 "\"1\xEF\xBF\xBD"
                 "2\""},
        JsonCase{"aSequenceCutAtTheEndIsReplacedNotRead",
                 [](Json& j) { j.beginArray().string("\xE2\x82").number(1).endArray(); },
                 "[\"\xEF\xBF\xBD\xEF\xBF\xBD\",1]"},
        JsonCase{"numbersToTenDigits",
                 [](Json& j) {
                     j.beginArray().number(0.1).number(1.0 / 3).number(-0.0).number(1e300);
                     j.number(375).endArray();
                 },
                 "[0.1,0.3333333333,-0,1e+300,375]"},
        JsonCase{"whatJsonHasNoNumberForIsNull",
                 [](Json& j) { j.beginArray().number(nan).number(-infinity).null().endArray(); },
                 "[null,null,null]"}),
    [](const auto& info) { return std::string(info.param.name); });

std::string printfDigits(double value) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.10g", value);
    return digits;
}

// Numbers are written without printf where they can be, in the digits it would write: each
// of these, and of many drawn at random over the magnitudes either side of its fixed form,
// reads the same as printf's "%.10g" (a tie or a carry past the last digit among them).
TEST(JsonNumbers, readAsPrintfWritesThem) {
    std::vector<double> values = {0.0,          -0.0,
                                  1e-4,         0.5,
                                  187.5,        -16.64,
                                  1e9,          1e10,
                                  9999999999.4, 9999999999.5,
                                  999999999.95, 1234567890.5,
                                  123456789.25, 0.00012345678905,
                                  1.0 / 3,      2.0 / 3};
    for (double edge : {1e-4, 1e-3, 1.0, 1e9, 1e10})
        values.insert(values.end(), {std::nextafter(edge, 0.0), std::nextafter(edge, 2e10)});
    for (int step = 0; step <= 255; ++step)
        values.push_back(step / 255.0);
    for (int step = -3000; step <= 3000; ++step)
        values.insert(values.end(), {step / 3.0, step / 6.0, step * 0.01, step * 1.1});
    std::mt19937_64 random(20261210);
    std::uniform_real_distribution<double> decimalExponent(-7, 12);
    for (int draw = 0; draw < 100'000; ++draw) {
        const double value = std::pow(10.0, decimalExponent(random));
        values.push_back(draw % 2 ? value : -value);
    }
    std::size_t differing = 0;
    for (double value : values) {
        Json json;
        json.number(value);
        if (json.text() != printfDigits(value) && ++differing <= 10)
            ADD_FAILURE() << printfDigits(value) << " was written " << json.text();
    }
    EXPECT_EQ(differing, 0u);
}

// A text being drawn without a caret still says so: the page reads every field it is sent,
// and a field left out would read as a renamed one.
TEST(PageRecords, aTextWithoutACaretSaysItHasNone) {
    Drawing::DrawText text{};
    text.text = "7";
    const std::string json = pageJson(Drawing::DisplayList{text});
    EXPECT_NE(json.find(R"("text":"7")"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("caret":null)"), std::string::npos) << json;
}

// Each command says its kind, as the variant numbers it, and its fields by the names the page
// reads, a rectangle's origin and size flattened.
TEST(PageRecords, aCommandCarriesItsKindAndNamedFields) {
    const Drawing::StrokeRect ring{{{1, 2}, {3, 4}}, 5, 2, {0, 0.5, 1, 1}};
    EXPECT_EQ(
        pageJson(Drawing::DisplayList{Drawing::PopClip{}, ring}),
        R"([{"kind":3},{"kind":1,"rect":{"x":1,"y":2,"width":3,"height":4},)"
        R"("cornerRadius":5,"lineWidth":2,"color":{"red":0,"green":0.5,"blue":1,"alpha":1}}])");
}

// An element's flags go by the page's names, its role as a number and its children nested.
TEST(PageRecords, anElementCarriesItsChildrenAndFlags) {
    UIAccessibilityElement child;
    child.role = UIAccessibilityRole::Button;
    child.label = "Calculate";
    child.isActivatable = true;
    UIAccessibilityElement root;
    root.children = {child};
    const std::string json = pageJson(root);
    EXPECT_EQ(json.find(R"("role":0,)"), 1u) << json;
    EXPECT_NE(json.find(R"("children":[{"role":3,"label":"Calculate",)"), std::string::npos)
        << json;
    EXPECT_NE(json.find(R"("activatable":true,"focusable":false,"focused":false,)"
                        R"("announcements":0,"children":[]}]})"),
              std::string::npos)
        << json;
}

} // namespace
