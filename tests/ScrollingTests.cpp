// Short and sideways screens: the field being edited stays in sight above the keyboard, the
// content is never squeezed into itself, and what does not fit scrolls by a drag, the wheel
// or the keys.

#include "MainScreenHarness.h"
#include "UIKit/UIScrollView.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Posture {
    const char* name;
    CGSize screen;
    CGSize pointsPerPixel;
    UIEdgeInsets safeArea;
};

void PrintTo(const Posture& posture, std::ostream* os) {
    *os << posture.name;
}

class ShortScreen : public testing::TestWithParam<Posture> {
  protected:
    ShortScreen() : screen(GetParam().screen, GetParam().pointsPerPixel) {
        screen.session->declareFeatures({.touches = true,
                                         .hardwareKeys = true,
                                         .textInput = true,
                                         .safeAreas = true,
                                         .wheel = true});
        screen.session->setScreen(GetParam().screen, GetParam().pointsPerPixel,
                                  GetParam().safeArea);
    }
    CGRect shownArea() const {
        return UIEdgeInsetsInsetRect(CGRect{{}, GetParam().screen}, GetParam().safeArea);
    }
    // Wholly on screen, clear of the hardware's edges and of the keyboard.
    void expectInSight(const UIView& view) {
        const CGRect frame = view.frameInWindow();
        CGRect room = shownArea();
        if (const auto keyboard = screen.window->visibleKeyboard())
            room.size.height = keyboard->frame().origin.y - room.origin.y;
        EXPECT_TRUE(CGRectContainsRect(room, frame))
            << view.accessibilityIdentifier() << " at y " << frame.origin.y << ", height "
            << frame.size.height << "; room from " << room.origin.y << " to "
            << CGRectGetMaxY(room);
        EXPECT_EQ(screen.window->viewCovering(view), nullptr) << view.accessibilityIdentifier();
    }
    void drag(CGPoint from, CGFloat by) {
        screen.session->touch(UITouchPhase::Began, from);
        for (int step = 1; step <= 4; ++step)
            screen.session->touch(UITouchPhase::Moved, {from.x, from.y + by * step / 4});
        screen.session->touch(UITouchPhase::Ended, {from.x, from.y + by});
    }

    MainScreen screen;
};

TEST_P(ShortScreen, eachFieldIsWhollyInSightWhileItIsEdited) {
    for (const auto& field : {screen.controller().wageTxt(), screen.controller().priceTxt()}) {
        screen.window->scrollIntoSight(*field);
        screen.tap(*field);
        ASSERT_TRUE(field->isFirstResponder());
        expectInSight(*field);
        // What is typed shows in it, in sight.
        screen.session->insertText("15");
        expectInSight(*field);
    }
    // Tab moves to the other field: it comes into sight too.
    screen.session->pressKey(UIKey::ShiftTab);
    expectInSight(*screen.controller().wageTxt());
}

TEST_P(ShortScreen, theAnswerAndClearAreReachedAndNeverLieOnTheFields) {
    screen.calculate("15", "100");
    const auto result = screen.viewNamed("result");
    const auto clear = screen.viewNamed("clear");
    const CGRect price = screen.controller().priceTxt()->frameInWindow();
    EXPECT_GE(result->frameInWindow().origin.y, CGRectGetMaxY(price)) << "the 7 is below the price";
    screen.window->contentScrollView()->setContentOffset({0, 1e6});
    expectInSight(*result);
    expectInSight(*clear);
    screen.tap(*clear);
    EXPECT_TRUE(result->isHidden()) << "Clear, scrolled to, was tapped";
}

TEST_P(ShortScreen, aDragTheWheelAndThePageKeysScrollWhatDoesNotFit) {
    const auto content = screen.window->contentScrollView();
    ASSERT_TRUE(content->isScrollable()) << "the content is taller than the screen";
    const auto wage = screen.controller().wageTxt();
    const CGRect start = wage->frameInWindow();
    // A drag that begins on a field scrolls; it does not start editing.
    drag({CGRectGetMidX(start), CGRectGetMidY(start)}, -60);
    EXPECT_GT(content->contentOffset().y, 0);
    EXPECT_FALSE(wage->isFirstResponder());
    drag({CGRectGetMidX(start), CGRectGetMidY(start)}, 400);
    EXPECT_EQ(content->contentOffset().y, 0) << "no further than the top";

    EXPECT_TRUE(screen.session->scrollWheel({CGRectGetMidX(start), CGRectGetMidY(start)},
                                            UIScrollLineHeight, UIScrollUnit::Points));
    EXPECT_EQ(content->contentOffset().y, UIScrollLineHeight);
    EXPECT_FALSE(screen.session->scrollWheel({-10, -10}, 1, UIScrollUnit::Lines))
        << "nothing scrolls outside the window";

    EXPECT_TRUE(screen.session->pressKey(UIKey::PageDown));
    EXPECT_EQ(CGRectGetMaxY(content->visibleContentRect()), content->contentSize().height);
    EXPECT_FALSE(screen.session->pressKey(UIKey::PageDown)) << "already at the end";
    EXPECT_TRUE(screen.session->pressKey(UIKey::PageUp));
    EXPECT_EQ(content->contentOffset().y, 0);
    EXPECT_FALSE(screen.session->pressKey(UIKey::Up));
    EXPECT_TRUE(screen.session->pressKey(UIKey::Down));
    EXPECT_EQ(content->contentOffset().y, UIScrollLineHeight);
}

// The wheel in any unit a front end has it in goes as far as the keys do: a line is an
// arrow's, a page the page key's.
TEST_P(ShortScreen, theWheelCountsInPointsLinesOrPagesAsTheKeysDo) {
    const auto content = screen.window->contentScrollView();
    const CGRect wage = screen.controller().wageTxt()->frameInWindow();
    const CGPoint over{CGRectGetMidX(wage), CGRectGetMidY(wage)};
    const auto scrolledBy = [&](auto scroll) {
        content->setContentOffset({});
        scroll();
        return content->contentOffset().y;
    };
    const CGFloat line = scrolledBy([&] { screen.session->pressKey(UIKey::Down); });
    const CGFloat page = scrolledBy([&] { screen.session->pressKey(UIKey::PageDown); });
    ASSERT_GT(page, line) << "a page is more than a line on every screen here";
    EXPECT_EQ(scrolledBy([&] { screen.session->scrollWheel(over, 1, UIScrollUnit::Lines); }), line);
    EXPECT_EQ(scrolledBy([&] { screen.session->scrollWheel(over, 1, UIScrollUnit::Pages); }), page);
    EXPECT_EQ(scrolledBy([&] { screen.session->scrollWheel(over, 7, UIScrollUnit::Points); }), 7);
}

TEST_P(ShortScreen, theClearButtonRingedByTabIsScrolledIntoSight) {
    screen.calculate("15", "100");
    screen.window->contentScrollView()->setContentOffset({});
    screen.session->pressKey(UIKey::ShiftTab);
    ASSERT_EQ(screen.window->focusedView(), screen.viewNamed("clear"));
    expectInSight(*screen.viewNamed("clear"));
}

// Held sideways, a phone's content keeps to a column: a thumb on the margin beside it scrolls
// it too, by a drag or by the wheel.
TEST(SidewaysScreen, aDragOrTheWheelOnTheMarginScrollsTheContent) {
    MainScreen screen({844, 390}, {1.0 / 3, 1.0 / 3});
    screen.session->declareFeatures({.touches = true, .wheel = true});
    const auto content = screen.window->contentScrollView();
    const CGPoint margin{20, 200};
    ASSERT_LT(margin.x, content->frameInWindow().origin.x) << "beside the column";
    screen.session->touch(UITouchPhase::Began, margin);
    screen.session->touch(UITouchPhase::Moved, {margin.x, margin.y - 30});
    screen.session->touch(UITouchPhase::Ended, {margin.x, margin.y - 30});
    EXPECT_EQ(content->contentOffset().y, 30);
    EXPECT_TRUE(screen.session->scrollWheel(margin, -1, UIScrollUnit::Lines));
    EXPECT_EQ(content->contentOffset().y, 0);
}

// Phones turned sideways, a short browser window (and a desktop's at 200 % zoom), a phone in
// landscape with its notch at the side and its home indicator below.
INSTANTIATE_TEST_SUITE_P(
    Postures, ShortScreen,
    testing::Values(Posture{"landscape844x390", {844, 390}, {1.0 / 3, 1.0 / 3}, {}},
                    Posture{"landscape667x375", {667, 375}, {0.5, 0.5}, {}},
                    Posture{"shortWindow640x400", {640, 400}, {0.5, 0.5}, {}},
                    Posture{"landscapeWithNotch", {844, 390}, {1.0 / 3, 1.0 / 3}, {0, 47, 21, 47}}),
    [](const auto& info) { return std::string(info.param.name); });

// Tall enough for all of it: nothing scrolls, and nothing moves when a field is edited.
TEST(TallScreen, nothingScrollsWhereEverythingFits) {
    MainScreen screen({320, 568});
    const auto content = screen.window->contentScrollView();
    EXPECT_FALSE(content->isScrollable());
    EXPECT_TRUE(screen.viewNamed("scrollIndicator")->isHidden());
    screen.tap(*screen.controller().priceTxt());
    EXPECT_EQ(content->contentOffset().y, 0) << "the price already shows above the keyboard";
    // The keyboard's room: what it covers can be scrolled above it, without an indicator
    // to say so (the content itself fits).
    EXPECT_TRUE(content->isScrollable());
    EXPECT_TRUE(screen.viewNamed("scrollIndicator")->isHidden());
}

// A terminal of 40 x 16 cells: a character cell is some 42 points high, so the keypad is tall.
TEST(TerminalScreen, theFieldBeingEditedStaysInSightOnTheSmallestTerminal) {
    const CGSize cell{375.0 / 56, 667.0 / 16};
    MainScreen screen({40 * cell.width, 16 * cell.height}, cell);
    for (const auto& field : {screen.controller().wageTxt(), screen.controller().priceTxt()}) {
        screen.tap(*field);
        const auto keyboard = screen.window->visibleKeyboard();
        ASSERT_NE(keyboard, nullptr);
        EXPECT_LE(CGRectGetMaxY(field->frameInWindow()), keyboard->frame().origin.y);
        EXPECT_GE(field->frameInWindow().origin.y, 0);
    }
}

// A window shrunk below the smallest phone where no window manager stops it, a browser's at
// high zoom: too short for the keyboard and a field above it, so the screen scrolls as a whole.
class TinyScreen : public testing::TestWithParam<CGSize> {
  protected:
    TinyScreen() : screen(GetParam()) {
        screen.session->declareFeatures(
            {.touches = true, .hardwareKeys = true, .textInput = true, .wheel = true});
    }
    bool whollyOnScreen(const UIView& view) const {
        return CGRectContainsRect(CGRect{{}, GetParam()}, view.frameInWindow()) &&
               !screen.window->viewCovering(view);
    }
    std::shared_ptr<UIView> key(const char* title) const { return screen.viewNamed(title); }

    MainScreen screen;
};

TEST_P(TinyScreen, theFieldBeingEditedAndEveryKeyCanBeReached) {
    for (const auto& field : {screen.controller().wageTxt(), screen.controller().priceTxt()}) {
        screen.window->scrollIntoSight(*field);
        screen.tap(*field);
        ASSERT_TRUE(field->isFirstResponder());
        EXPECT_TRUE(whollyOnScreen(*field)) << "the field being edited shows";
        EXPECT_LE(CGRectGetMaxY(field->frameInWindow()),
                  screen.window->visibleKeyboard()->frameInWindow().origin.y)
            << "above the keyboard";
        for (const char* title : {"1", "0", ".", "Delete", "Calculate"}) {
            screen.window->scrollIntoSight(*key(title));
            EXPECT_TRUE(whollyOnScreen(*key(title))) << title;
        }
        screen.window->scrollIntoSight(*key("0"));
        screen.tap(*key("0"));
        screen.window->scrollIntoSight(*field);
        EXPECT_TRUE(whollyOnScreen(*field)) << "brought back";
        EXPECT_EQ(field->text(), "0") << "the key scrolled to was tapped";
    }
}

TEST_P(TinyScreen, aDragTheWheelAndThePageKeysScrollTheKeyboardToo) {
    screen.window->scrollIntoSight(*screen.controller().wageTxt());
    screen.tap(*screen.controller().wageTxt());
    const auto zero = key("0");
    const CGFloat below = zero->frameInWindow().origin.y;
    ASSERT_GT(CGRectGetMaxY(zero->frameInWindow()), GetParam().height) << "off the screen";
    const CGPoint onKeyboard{GetParam().width / 2, GetParam().height - 10};
    EXPECT_TRUE(screen.session->scrollWheel(onKeyboard, 1, UIScrollUnit::Lines));
    EXPECT_EQ(zero->frameInWindow().origin.y, below - UIScrollLineHeight);
    while (screen.session->pressKey(UIKey::PageDown)) {
    }
    EXPECT_TRUE(whollyOnScreen(*zero)) << "the end is reached by the keys";
    // A drag down on a key takes the keyboard back down, and types nothing.
    const CGRect start = zero->frameInWindow();
    screen.session->touch(UITouchPhase::Began, {CGRectGetMidX(start), CGRectGetMidY(start)});
    for (CGFloat y = CGRectGetMidY(start); y < CGRectGetMidY(start) + 1000; y += 50)
        screen.session->touch(UITouchPhase::Moved, {CGRectGetMidX(start), y});
    screen.session->touch(UITouchPhase::Ended, {CGRectGetMidX(start), CGRectGetMidY(start) + 1000});
    EXPECT_EQ(screen.controller().wageTxt()->text(), "");
    EXPECT_EQ(zero->frameInWindow().origin.y, below) << "back where it was";
}

TEST_P(TinyScreen, withTheKeyboardDownOnlyTheContentScrolls) {
    screen.window->scrollIntoSight(*screen.controller().wageTxt());
    screen.tap(*screen.controller().wageTxt());
    ASSERT_NE(screen.window->visibleKeyboard(), nullptr);
    while (screen.session->pressKey(UIKey::PageDown)) {
    }
    screen.session->pressKey(UIKey::Escape);
    ASSERT_EQ(screen.window->visibleKeyboard(), nullptr);
    EXPECT_EQ(screen.window->bounds().origin.y, 0) << "the screen is back in place";
    screen.window->contentScrollView()->setContentOffset({0, 1e6});
    EXPECT_TRUE(whollyOnScreen(*screen.viewNamed("clear")));
}

INSTANTIATE_TEST_SUITE_P(Sizes, TinyScreen,
                         testing::Values(CGSize{200, 200}, CGSize{320, 300}, CGSize{375, 150}),
                         [](const auto& info) {
                             return std::to_string(static_cast<int>(info.param.width)) + "x" +
                                    std::to_string(static_cast<int>(info.param.height));
                         });

TEST(ScrollView, theIndicatorSaysHowMuchShowsAndWhere) {
    const auto scrollView = std::make_shared<UIScrollView>(CGRectMake(0, 0, 100, 100));
    scrollView->setContentSize({100, 400});
    const auto indicator = scrollView->subviews().back();
    EXPECT_FALSE(indicator->isHidden());
    const CGFloat atTop = indicator->frame().origin.y;
    EXPECT_NEAR(indicator->frame().size.height, 96.0 / 4, 0.5) << "a quarter shows";
    scrollView->setContentOffset({0, 300});
    EXPECT_EQ(scrollView->contentOffset().y, 300);
    // The indicator rides with the content, at the bottom of what shows.
    EXPECT_NEAR(CGRectGetMaxY(indicator->frame()) - scrollView->contentOffset().y, 98, 0.5);
    EXPECT_LT(atTop, indicator->frame().origin.y);
    scrollView->setContentOffset({0, 1000});
    EXPECT_EQ(scrollView->contentOffset().y, 300) << "kept within the content";
    scrollView->setContentInset({0, 0, 50, 0});
    scrollView->setContentOffset({0, 1000});
    EXPECT_EQ(scrollView->contentOffset().y, 350) << "and the room below it";
    // Room above too: the content's top may come down to the top inset's edge.
    scrollView->setContentInset({20, 0, 0, 0});
    scrollView->setContentOffset({0, -1000});
    EXPECT_EQ(scrollView->contentOffset().y, -20);
    scrollView->setContentOffset({0, 1000});
    EXPECT_EQ(scrollView->contentOffset().y, 300) << "its bottom at the view's";
    scrollView->setContentInset({});
    scrollView->setContentSize({100, 40});
    EXPECT_EQ(scrollView->contentOffset().y, 0);
    EXPECT_TRUE(indicator->isHidden());
}

} // namespace
