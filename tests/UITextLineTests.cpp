// What a line of text shows when it does not fit, for every painter alike: a cut that shows,
// a field's text clear of a badge inside it, and a label's text drawn smaller before it is cut.
#include "UIKit/UILabel.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UITextField.h"
#include "UIKit/UITextLayout.h"
#include "UIKit/UIWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Ten points a character at 20 points, in proportion to the size: easy sums.
class EvenMeasurer : public Drawing::TextMeasurer {
  public:
    CGFloat widthOf(std::string_view text, CGFloat fontSize, Drawing::Weight) override {
        std::size_t characters = 0;
        for (const char byte : text)
            characters += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
        return static_cast<CGFloat>(characters) * fontSize / 2;
    }
};

class TextLine : public testing::Test {
  protected:
    void SetUp() override {
        UIScreen::mainScreen().setTextMeasurer(std::make_shared<EvenMeasurer>());
    }
    void TearDown() override { UIScreen::mainScreen().setTextMeasurer(nullptr); }

    static Drawing::DrawText textOf(const UIView& view) {
        Drawing::DisplayList list;
        view.describe(list);
        for (const auto& command : list)
            if (const auto* text = std::get_if<Drawing::DrawText>(&command))
                if (!text->text.empty())
                    return *text;
        return {};
    }
};

// A field 200 points wide with a 20-point badge at its left, as the currency's sits.
struct BadgedField {
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGRectMake(0, 0, 400, 400));
    std::shared_ptr<UITextField> field = std::make_shared<UITextField>(CGRectMake(0, 0, 200, 40));
    std::shared_ptr<UILabel> badge = std::make_shared<UILabel>(CGRectMake(5, 10, 20, 20));

    BadgedField() {
        field->setTextAlignment(NSTextAlignmentCenter);
        field->setFont(UIFont::systemFontOfSize(20));
        field->addSubview(badge);
        window->addSubview(field);
    }
};

struct FieldCase {
    const char* name;
    std::string text;
    bool editing;
    // What the line must read: whole, or cut with the ellipsis where it was cut.
    enum { Whole, CutAtTail, CutAtStart } shown;
};

class FieldText : public TextLine, public testing::WithParamInterface<FieldCase> {};

TEST_P(FieldText, neverRunsUnderTheBadgeAndShowsWhereItWasCut) {
    BadgedField screen;
    screen.field->setText(GetParam().text);
    if (GetParam().editing) {
        ASSERT_TRUE(screen.field->becomeFirstResponder());
    }
    const auto line = textOf(*screen.field);
    const auto [left, right] = drawnSpan(line);
    EXPECT_GE(left, 25) << line.text;
    EXPECT_LE(right, 192) << line.text;
    switch (GetParam().shown) {
    case FieldCase::Whole:
        EXPECT_EQ(line.text, GetParam().text);
        // A text that fits keeps its place: centred on the whole field, as designed.
        EXPECT_EQ(line.rect, CGRectMake(8, 0, 184, 40));
        break;
    case FieldCase::CutAtTail:
        EXPECT_TRUE(line.text.ends_with("…")) << line.text;
        EXPECT_TRUE(line.text.starts_with("1234")) << line.text;
        break;
    case FieldCase::CutAtStart:
        EXPECT_TRUE(line.text.starts_with("…")) << line.text;
        EXPECT_TRUE(line.text.ends_with("7890")) << line.text;
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FieldText,
    testing::Values(FieldCase{"short", "12", false, FieldCase::Whole},
                    FieldCase{"shortWhileEdited", "12", true, FieldCase::Whole},
                    // 17 characters are 170 points: they would fit the field's 184, not the
                    // 163 the badge leaves.
                    FieldCase{"reachingTheBadge", "12345678901234567", false, FieldCase::CutAtTail},
                    FieldCase{"long", "1234567890" + std::string(40, '5'), false,
                              FieldCase::CutAtTail},
                    FieldCase{"longWhileEdited", std::string(40, '5') + "1234567890", true,
                              FieldCase::CutAtStart}),
    [](const auto& info) { return std::string(info.param.name); });

struct LabelCase {
    const char* name;
    std::string text;
    std::string shown;
    CGFloat smallestSize;
    CGFloat largestSize;
};

class LabelText : public TextLine, public testing::WithParamInterface<LabelCase> {};

// A badge's 20 points at 17-point type: 8.5 points a character.
TEST_P(LabelText, isDrawnSmallerBeforeItIsCut) {
    UILabel badge(CGRectMake(0, 0, 20, 20));
    badge.setText(GetParam().text);
    const auto line = textOf(badge);
    EXPECT_EQ(line.text, GetParam().shown);
    EXPECT_GE(line.fontSize, GetParam().smallestSize);
    EXPECT_LE(line.fontSize, GetParam().largestSize);
    EXPECT_LE(drawnSpan(line).second - drawnSpan(line).first, 20);
}

INSTANTIATE_TEST_SUITE_P(
    Badges, LabelText,
    testing::Values(LabelCase{"fitsAsItIs", "$", "$", 17, 17},
                    LabelCase{"shrinksToFitWhole", "CHF", "CHF", 12, 13.4},
                    LabelCase{"multibyteShrinksToFitWhole", "ج.م.", "ج.م.", 9.5, 10},
                    LabelCase{"cutOnlyPastHalfItsSize", "CHF12345", "CHF…", 8.5, 8.5}),
    [](const auto& info) { return std::string(info.param.name); });

struct PasteCase {
    const char* name;
    std::string inserted;
    std::string held;
};

class Paste : public testing::TestWithParam<PasteCase> {};

// Whatever puts text in, the field holds one line, as it shows it.
TEST_P(Paste, holdsOneLineAsItShowsIt) {
    UITextField field(CGRectMake(0, 0, 200, 40));
    field.insertText("1");
    field.insertText(GetParam().inserted);
    EXPECT_EQ(field.text(), "1" + GetParam().held);
}

INSTANTIATE_TEST_SUITE_P(Rule, Paste,
                         testing::Values(PasteCase{"aCopiedCell", "0\n", "0"},
                                         PasteCase{"aWindowsLine", "0\r\n", "0"},
                                         PasteCase{"linesJoin", "2\n34\rq5", "234q5"},
                                         PasteCase{"aTabIsASpace", "2\t34", "2 34"},
                                         PasteCase{"unicodeLineBreaks",
                                                   "2\u2028"
                                                   "3\u2029"
                                                   "4\u0085"
                                                   "5",
                                                   "2345"},
                                         PasteCase{"otherControls",
                                                   "\x1b[0m\x7f"
                                                   "5\u009b",
                                                   "[0m5"},
                                         PasteCase{"printableUnicodeStays", "€ ¥ ج.م.", "€ ¥ ج.م."},
                                         PasteCase{"invalidBytesStay", "\xC2", "\xC2"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
