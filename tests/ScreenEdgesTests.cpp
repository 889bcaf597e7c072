// The screen at its edges: the narrowest phone, the longest numbers, a hardware keyboard.
#include "MainScreenHarness.h"
#include "Painters/CairoPainter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The real main screen on a screen of a size, painted by Cairo.
class ScreenAtSize : public MainScreen {
  public:
    explicit ScreenAtSize(CGSize size)
        : MainScreen(size), painter(std::make_unique<CairoPainter>(size, 2)) {}
    void paint() { painter->paint(session->takeFrame()); }

    std::unique_ptr<CairoPainter> painter;
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
    screen.paint();
    EXPECT_EQ(std::count(screen.painter->cutTexts().begin(), screen.painter->cutTexts().end(),
                         GetParam().hours),
              0);
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
    screen.paint();
    EXPECT_TRUE(screen.painter->cutTexts().empty());
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
    screen.paint();
    EXPECT_EQ(screen.painter->cutTexts(),
              std::vector<std::string>{"123456789012345678901234567890"});
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
