#include "UIKit/UILabel.h"
#include "UIKit/UITextField.h"
#include "UIKit/UIWindow.h"

#include <gtest/gtest.h>

namespace {

class CountingView : public UIView {
  public:
    using UIView::UIView;
    void draw(CGRect) override { ++draws; }
    int draws = 0;
};

struct Screen {
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGRectMake(0, 0, 375, 667));
    std::shared_ptr<UITextField> wage = std::make_shared<UITextField>(CGRectMake(40, 100, 295, 50));
    std::shared_ptr<UITextField> price =
        std::make_shared<UITextField>(CGRectMake(40, 200, 295, 50));
    std::shared_ptr<UIView> accessory = std::make_shared<UIView>(CGRectMake(0, 0, 375, 60));

    Screen() {
        window->addSubview(wage);
        window->addSubview(price);
        wage->setInputAccessoryView(accessory);
        price->setInputAccessoryView(accessory);
    }
    void tap(CGPoint point) {
        window->sendTouch(UITouchPhase::Began, point);
        window->sendTouch(UITouchPhase::Ended, point);
    }
};

TEST(ViewTree, addSubviewPutsTheViewOnTopAndMovesItFromItsFormerParent) {
    auto first = std::make_shared<UIView>();
    auto second = std::make_shared<UIView>();
    auto child = std::make_shared<UIView>();
    first->addSubview(child);
    second->addSubview(child);
    EXPECT_TRUE(first->subviews().empty());
    EXPECT_EQ(child->superview(), second);
    auto other = std::make_shared<UIView>();
    second->addSubview(other);
    second->addSubview(child);
    EXPECT_EQ(second->subviews().back(), child);
    EXPECT_EQ(second->subviews().size(), 2u);
}

TEST(ViewTree, hitTestingSkipsHiddenViewsAndLabels) {
    auto window = std::make_shared<UIWindow>(CGRectMake(0, 0, 375, 667));
    auto field = std::make_shared<UITextField>(CGRectMake(10, 10, 100, 40));
    auto badge = std::make_shared<UILabel>(CGRectMake(5, 10, 20, 20));
    window->addSubview(field);
    field->addSubview(badge);
    EXPECT_EQ(window->hitTest({20, 25}), field);
    field->setHidden(true);
    EXPECT_EQ(window->hitTest({20, 25}), window);
    EXPECT_TRUE(badge->isHiddenOnScreen());
}

TEST(DisplayPass, drawsAViewWhenItFirstAppearsAndWhenAskedOrResized) {
    auto window = std::make_shared<UIWindow>(CGRectMake(0, 0, 375, 667));
    auto view = std::make_shared<CountingView>(CGRectMake(0, 0, 10, 10));
    window->addSubview(view);
    window->displayIfNeeded();
    window->displayIfNeeded();
    EXPECT_EQ(view->draws, 1);
    view->setNeedsDisplay();
    window->displayIfNeeded();
    view->setFrame(CGRectMake(5, 5, 10, 10)); // moved, not resized
    window->displayIfNeeded();
    EXPECT_EQ(view->draws, 2);
    view->setFrame(CGRectMake(5, 5, 10, 20));
    window->displayIfNeeded();
    EXPECT_EQ(view->draws, 3);
}

TEST(DisplayPass, hiddenViewsWaitUntilTheyAreShown) {
    auto window = std::make_shared<UIWindow>(CGRectMake(0, 0, 375, 667));
    auto view = std::make_shared<CountingView>(CGRectMake(0, 0, 10, 10));
    view->setHidden(true);
    window->addSubview(view);
    window->displayIfNeeded();
    EXPECT_EQ(view->draws, 0);
    view->setHidden(false);
    window->displayIfNeeded();
    EXPECT_EQ(view->draws, 1);
}

TEST(DisplayPass, theWindowKnowsWhenTheScreenChanged) {
    auto window = std::make_shared<UIWindow>(CGRectMake(0, 0, 375, 667));
    auto label = std::make_shared<UILabel>(CGRectMake(0, 0, 10, 10));
    window->addSubview(label);
    window->screenUpdated();
    EXPECT_FALSE(window->needsScreenUpdate());
    label->setText("7");
    EXPECT_TRUE(window->needsScreenUpdate());
}

TEST(Keyboard, comesUpWithTheEditingFieldsAccessoryOnTop) {
    Screen screen;
    EXPECT_EQ(screen.window->visibleKeyboard(), nullptr);
    screen.tap({100, 120});
    ASSERT_TRUE(screen.wage->isEditing());
    const auto keyboard = screen.window->visibleKeyboard();
    ASSERT_NE(keyboard, nullptr);
    EXPECT_EQ(keyboard->accessoryView(), screen.accessory);
    EXPECT_EQ(keyboard->frame(), CGRectMake(0, 667 - 216 - 60, 375, 276));
    EXPECT_EQ(screen.accessory->frame(), CGRectMake(0, 0, 375, 60));
    EXPECT_EQ(screen.window->subviews().back(), keyboard);

    screen.tap({100, 220});
    EXPECT_TRUE(screen.price->isEditing());
    EXPECT_FALSE(screen.wage->isEditing());
    EXPECT_EQ(screen.window->visibleKeyboard()->accessoryView(), screen.accessory);
}

TEST(Keyboard, endEditingTakesTheKeyboardAndItsAccessoryAway) {
    Screen screen;
    screen.tap({100, 120});
    EXPECT_FALSE(screen.price->endEditing(true)); // the field being edited is not below it
    EXPECT_TRUE(screen.window->endEditing(true));
    EXPECT_EQ(screen.window->visibleKeyboard(), nullptr);
    EXPECT_EQ(screen.accessory->superview(), nullptr);
    EXPECT_EQ(screen.window->firstResponder(), nullptr);
}

TEST(Keyboard, keysTypeIntoTheEditingFieldAndDeleteWholeCharacters) {
    Screen screen;
    screen.tap({100, 120});
    const auto keypad = screen.window->visibleKeyboard()->keypad();
    const auto key = [&](const std::string& identifier) {
        for (const auto& k : keypad->subviews())
            if (k->accessibilityIdentifier() == identifier)
                return k->frameInWindow();
        ADD_FAILURE() << "no key " << identifier;
        return CGRect{};
    };
    for (const char* name : {"key1", "key5", "key.", "key5"})
        screen.tap({CGRectGetMidX(key(name)), CGRectGetMidY(key(name))});
    EXPECT_EQ(screen.wage->text(), "15.5");
    screen.tap({CGRectGetMidX(key("delete")), CGRectGetMidY(key("delete"))});
    EXPECT_EQ(screen.wage->text(), "15.");
    screen.wage->insertText("€");
    screen.wage->deleteBackward();
    EXPECT_EQ(screen.wage->text(), "15.");
}

} // namespace

namespace {

struct AutoresizingCase {
    const char* name;
    unsigned mask;
    CGRect frame;   // in a 100 x 100 superview
    CGSize newSize; // the superview's new size
    CGRect expected;
};

void PrintTo(const AutoresizingCase& c, std::ostream* os) {
    *os << c.name;
}

class Autoresizing : public testing::TestWithParam<AutoresizingCase> {};

TEST_P(Autoresizing, followsTheSuperviewByItsMask) {
    const auto& c = GetParam();
    auto superview = std::make_shared<UIView>(CGRectMake(0, 0, 100, 100));
    auto view = std::make_shared<UIView>(c.frame);
    view->setAutoresizingMask(c.mask);
    superview->addSubview(view);
    superview->setFrame(CGRect{{}, c.newSize});
    EXPECT_EQ(view->frame(), c.expected);
}

constexpr unsigned allHorizontal = UIViewAutoresizingFlexibleLeftMargin |
                                   UIViewAutoresizingFlexibleWidth |
                                   UIViewAutoresizingFlexibleRightMargin;

INSTANTIATE_TEST_SUITE_P(Masks, Autoresizing,
                         testing::Values(AutoresizingCase{"fixedStaysPut",
                                                          UIViewAutoresizingNone,
                                                          CGRectMake(10, 10, 20, 20),
                                                          {200, 50},
                                                          CGRectMake(10, 10, 20, 20)},
                                         AutoresizingCase{"flexibleWidthTakesAllOfIt",
                                                          UIViewAutoresizingFlexibleWidth,
                                                          CGRectMake(10, 10, 80, 20),
                                                          {200, 100},
                                                          CGRectMake(10, 10, 180, 20)},
                                         AutoresizingCase{"bothMarginsKeepItCentered",
                                                          UIViewAutoresizingFlexibleLeftMargin |
                                                              UIViewAutoresizingFlexibleRightMargin,
                                                          CGRectMake(40, 0, 20, 10),
                                                          {200, 100},
                                                          CGRectMake(90, 0, 20, 10)},
                                         AutoresizingCase{"allThreeShareByLength",
                                                          allHorizontal,
                                                          CGRectMake(20, 0, 60, 10),
                                                          {150, 100},
                                                          CGRectMake(30, 0, 90, 10)},
                                         AutoresizingCase{"aBottomMarginAbsorbsAShorterSuperview",
                                                          UIViewAutoresizingFlexibleBottomMargin,
                                                          CGRectMake(0, 10, 10, 30),
                                                          {100, 60},
                                                          CGRectMake(0, 10, 10, 30)},
                                         AutoresizingCase{
                                             "proportionalMarginsShrinkToo",
                                             UIViewAutoresizingFlexibleTopMargin |
                                                 UIViewAutoresizingFlexibleBottomMargin,
                                             CGRectMake(0, 20, 10, 20),
                                             {100, 40},
                                             CGRectMake(0, 5, 10, 20)},
                                         AutoresizingCase{"aFlexibleSizeNeverGoesNegative",
                                                          UIViewAutoresizingFlexibleWidth,
                                                          CGRectMake(10, 0, 20, 10),
                                                          {5, 100},
                                                          CGRectMake(10, 0, 0, 10)}));

TEST(Autoresizing, reachesDownTheTreeAndTheWindowSpansItsKeyboard) {
    auto window = std::make_shared<UIWindow>(CGRectMake(0, 0, 375, 667));
    auto field = std::make_shared<UITextField>(CGRectMake(40, 100, 295, 50));
    field->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    auto accessory = std::make_shared<UIView>(CGRectMake(0, 0, 375, 60));
    field->setInputAccessoryView(accessory);
    window->addSubview(field);
    field->becomeFirstResponder();
    window->setFrame(CGRectMake(0, 0, 430, 932));
    EXPECT_EQ(field->frame(), CGRectMake(40, 100, 350, 50));
    const auto keyboard = window->visibleKeyboard();
    ASSERT_NE(keyboard, nullptr);
    EXPECT_EQ(keyboard->frame(), CGRectMake(0, 932 - 276, 430, 276));
    EXPECT_EQ(accessory->frame(), CGRectMake(0, 0, 430, 60));
    for (const auto& key : keyboard->keypad()->subviews())
        EXPECT_LE(CGRectGetMaxX(key->frame()), 430);
}

} // namespace
