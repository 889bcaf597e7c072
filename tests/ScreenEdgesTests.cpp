// The screen at its edges: the narrowest phone, the longest numbers, a hardware keyboard.
#include "Controller/MainVC.h"
#include "FrontEnds/KeyCommands.h"
#include "FrontEnds/ViewQuery.h"
#include "Painters/CairoPainter.h"
#include "TestSupport.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIScreen.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The real main screen on a screen of a size, painted by Cairo.
class ScreenAtSize {
  public:
    explicit ScreenAtSize(CGSize size) : m_oldBounds(UIScreen::mainScreen().bounds()) {
        environment.set("LC_ALL", "en_US.UTF-8");
        UIScreen::mainScreen().setBounds(CGRect{{}, size});
        window = loadMainInterfaceWindow();
        window->makeKeyAndVisible();
        painter = std::make_unique<CairoPainter>(size, 2);
    }
    ~ScreenAtSize() { UIScreen::mainScreen().setBounds(m_oldBounds); }

    orvane::MainVC& controller() {
        return dynamic_cast<orvane::MainVC&>(*window->rootViewController());
    }
    void paint() {
        window->displayIfNeeded();
        Drawing::DisplayList list;
        window->describeScreen(list);
        painter->paint(list);
    }
    std::shared_ptr<UIView> viewNamed(const std::string& identifier) const {
        return std::get<std::shared_ptr<UIView>>(ViewQuery::find(*window, identifier));
    }
    void calculate(const std::string& wage, const std::string& price) {
        controller().wageTxt()->setText(wage);
        controller().priceTxt()->setText(price);
        controller().calculate();
    }

    ScopedEnvironment environment;
    std::shared_ptr<UIWindow> window;
    std::unique_ptr<CairoPainter> painter;

  private:
    CGRect m_oldBounds;
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
    using KeyCommands::Key;
    ScreenAtSize screen({375, 667});
    auto& window = *screen.window;
    const auto clear = screen.viewNamed("clear");
    ASSERT_NE(clear, nullptr);

    KeyCommands::press(window, Key::Tab);
    EXPECT_EQ(window.firstResponder(), screen.controller().wageTxt());
    KeyCommands::typeText(window, "15");
    KeyCommands::press(window, Key::Tab);
    EXPECT_EQ(window.firstResponder(), screen.controller().priceTxt());
    KeyCommands::typeText(window, "100");
    KeyCommands::press(window, Key::Enter);
    EXPECT_EQ(screen.controller().resultLbl()->text(), "7");

    for (int tab = 0; tab < 3; ++tab)
        KeyCommands::press(window, Key::Tab);
    EXPECT_EQ(window.firstResponder(), nullptr);
    EXPECT_EQ(window.focusedView(), clear);
    Drawing::DisplayList list;
    window.describeScreen(list);
    const auto* ring = std::get_if<Drawing::StrokeRect>(&list.back());
    ASSERT_NE(ring, nullptr);
    EXPECT_EQ(ring->rect, clear->frameInWindow());

    KeyCommands::press(window, Key::Space);
    EXPECT_TRUE(screen.controller().resultLbl()->isHidden());
    EXPECT_EQ(screen.controller().priceTxt()->text(), "");
    KeyCommands::press(window, Key::ShiftTab);
    EXPECT_EQ(window.firstResponder(), screen.controller().priceTxt());
    EXPECT_EQ(window.focusedView(), nullptr);
}

TEST(HardwareKeyboard, aTouchTakesTheFocusRingAway) {
    ScreenAtSize screen({375, 667});
    auto& window = *screen.window;
    KeyCommands::press(window, KeyCommands::Key::ShiftTab);
    ASSERT_NE(window.focusedView(), nullptr);
    window.sendTouch(UITouchPhase::Began, {5, 5});
    window.sendTouch(UITouchPhase::Ended, {5, 5});
    EXPECT_EQ(window.focusedView(), nullptr);
}

} // namespace
