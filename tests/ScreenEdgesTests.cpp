// The screen at its edges: the narrowest phone, the longest numbers, a hardware keyboard.
#include "MainScreenHarness.h"
#include "Painters/CairoPainter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The real main screen on a screen of a size, painted by Cairo, which measures its texts.
class ScreenAtSize : public MainScreen {
  public:
    explicit ScreenAtSize(CGSize size)
        : MainScreen(size), painter(std::make_shared<CairoPainter>(size, 2)) {
        session->setTextMeasurer(painter);
    }
    // Paints the screen; the texts that did not fit and were cut with an ellipsis.
    std::vector<std::string> paint() {
        const auto frame = session->takeFrame();
        painter->paint(frame);
        std::vector<std::string> cut;
        for (const auto& command : frame)
            if (const auto* text = std::get_if<Drawing::DrawText>(&command);
                text && text->text.ends_with("…"))
                cut.push_back(text->text);
        return cut;
    }

    std::shared_ptr<CairoPainter> painter;
};

struct ResultCase {
    const char* name;
    std::string wage, price, hours;
};

void PrintTo(const ResultCase& c, std::ostream* os) {
    *os << c.name;
}

class ResultOnTheNarrowestPhone : public testing::TestWithParam<ResultCase> {};

TEST_P(ResultOnTheNarrowestPhone, showsWhole) {
    ScreenAtSize screen({320, 568});
    screen.calculate(GetParam().wage, GetParam().price);
    ASSERT_EQ(screen.controller().resultLbl()->text(), GetParam().hours);
    for (const auto& cut : screen.paint())
        EXPECT_FALSE(GetParam().hours.starts_with(cut.substr(0, cut.size() - 3))) << cut;
}

INSTANTIATE_TEST_SUITE_P(
    Extremes, ResultOnTheNarrowestPhone,
    // The price differs from the result, whose text alone is looked for among the cut ones.
    testing::Values(ResultCase{"smallest", "0.5", "-4611686018427387904", "-9223372036854775808"},
                    ResultCase{"largest", "0.5", "4611686018427387392", "9223372036854774784"},
                    ResultCase{"eightDigits", "0.5", "6172839", "12345678"},
                    ResultCase{"one", "15", "10", "1"}));

TEST(LongNumbers, whileTypingTheEndShowsWithTheCaretAndAfterwardsTheTailIsCut) {
    ScreenAtSize screen({320, 568});
    const auto wage = screen.controller().wageTxt();
    wage->becomeFirstResponder();
    wage->insertText("123456789012345678901234567890");
    EXPECT_TRUE(screen.paint().empty());
    // The caret, in its blue, right before the field's right edge.
    const CGRect frame = wage->frameInWindow();
    bool caretNearTheEnd = false;
    for (CGFloat x = CGRectGetMaxX(frame) - 14; x < CGRectGetMaxX(frame); x += 0.5) {
        const auto pixel = screen.painter->pixel(static_cast<int>(x * 2),
                                                 static_cast<int>(CGRectGetMidY(frame) * 2));
        caretNearTheEnd |= pixel.blue > 200 && pixel.red < 60;
    }
    EXPECT_TRUE(caretNearTheEnd);
    screen.window->endEditing(true);
    const auto cut = screen.paint();
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_TRUE(cut[0].starts_with("1234567890")) << cut[0];
    EXPECT_TRUE(std::string("123456789012345678901234567890")
                    .starts_with(cut[0].substr(0, cut[0].size() - 3)))
        << cut[0];
}

// What Tab, Enter and Space do, as a person with a hardware keyboard meets them.
TEST(HardwareKeyboard, tabReachesTheClearButtonWithARingAndEnterOrSpacePressesIt) {
    ScreenAtSize screen({375, 667});
    auto& window = *screen.window;
    auto& session = *screen.session;
    const auto clear = screen.viewNamed("clear");
    ASSERT_NE(clear, nullptr);

    session.pressKey(UIKey::Tab);
    EXPECT_EQ(window.firstResponder(), screen.controller().wageTxt());
    session.insertText("15");
    session.pressKey(UIKey::Tab);
    EXPECT_EQ(window.firstResponder(), screen.controller().priceTxt());
    session.insertText("100");
    session.pressKey(UIKey::Enter);
    EXPECT_EQ(screen.controller().resultLbl()->text(), "7");

    for (int tab = 0; tab < 3; ++tab)
        session.pressKey(UIKey::Tab);
    EXPECT_EQ(window.firstResponder(), nullptr);
    EXPECT_EQ(window.focusedView(), clear);
    const Drawing::DisplayList list = session.takeFrame();
    const auto* ring = std::get_if<Drawing::StrokeRect>(&list.back());
    ASSERT_NE(ring, nullptr);
    EXPECT_EQ(ring->rect, clear->frameInWindow());

    session.pressKey(UIKey::Space);
    EXPECT_TRUE(screen.controller().resultLbl()->isHidden());
    EXPECT_EQ(screen.controller().priceTxt()->text(), "");
    session.pressKey(UIKey::ShiftTab);
    EXPECT_EQ(window.firstResponder(), screen.controller().priceTxt());
    EXPECT_EQ(window.focusedView(), nullptr);
}

TEST(HardwareKeyboard, aTouchTakesTheFocusRingAway) {
    ScreenAtSize screen({375, 667});
    auto& window = *screen.window;
    screen.session->pressKey(UIKey::ShiftTab);
    ASSERT_NE(window.focusedView(), nullptr);
    screen.session->touch(UITouchPhase::Began, {5, 5});
    screen.session->touch(UITouchPhase::Ended, {5, 5});
    EXPECT_EQ(window.focusedView(), nullptr);
}

} // namespace
