// What the page is handed: JSON that any parser reads back as it was meant, whatever text,
// number or nesting the program has.
#include "UIKit/UIAccessibility.h"
#include "Web/DisplayListJson.h"
#include "Web/Json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

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

// A text being drawn without a caret still says so: the page reads every field it is sent,
// and a field left out would read as a renamed one.
TEST(DisplayListJson, aTextWithoutACaretSaysItHasNone) {
    Drawing::DrawText text{};
    text.text = "7";
    const std::string json = displayListJson({text});
    EXPECT_NE(json.find(R"("text":"7")"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("caret":null)"), std::string::npos) << json;
}

} // namespace
