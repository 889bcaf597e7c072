// What every screen reader's bridge is given: the screen read in order, and what a screen
// reader may do with it (move the focus, set a field's text), decided in UIKit once.
#include "MainScreenHarness.h"
#include "UIKit/UIAccessibility.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<UIAccessibilityReading> readings(MainScreen& screen) {
    screen.session->passFrame();
    return UIAccessibilityReadingOrder(UIAccessibilityTree(*screen.window));
}

const UIAccessibilityReading* readingNamed(const std::vector<UIAccessibilityReading>& all,
                                           const std::string& identifier) {
    const auto found = std::find_if(all.begin(), all.end(), [&](const auto& reading) {
        return reading.element.identifier == identifier;
    });
    return found == all.end() ? nullptr : &*found;
}

MainScreen& screenReaderScreen(MainScreen& screen) {
    screen.session->declareFeatures(
        {.touches = true, .hardwareKeys = true, .textInput = true, .screenReader = true});
    return screen;
}

struct Read {
    UIAccessibilityRole role;
    std::string text;
};

TEST(ReadingOrder, theScreenIsReadTopToBottomAsWhatEachThingSaysNotAsItsGroups) {
    MainScreen screen;
    using enum UIAccessibilityRole;
    const std::vector<Read> expected{
        {Heading, "orvane"},        {Text, "What does it cost in hours of work?"},
        {Text, "Your hourly wage"}, {TextField, ""},
        {Text, "The item's price"}, {TextField, ""},
        {LiveRegion, ""},           {Button, "Clear calculator"}};
    const auto all = readings(screen);
    ASSERT_EQ(all.size(), expected.size());
    for (std::size_t index = 0; index < expected.size(); ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(all[index].element.role, expected[index].role);
        EXPECT_EQ(all[index].text, expected[index].text);
        EXPECT_TRUE(all[index].element.children.empty());
        EXPECT_EQ(UIAccessibilityElementView(*screen.window, all[index].path)->accessibilityRole(),
                  expected[index].role)
            << "each path leads to the view read";
    }
}

TEST(ReadingOrder, theAnswerIsReadAsOneTextAndEachThingKeepsItsKeyAcrossChanges) {
    MainScreen screen;
    const auto before = readings(screen);
    screen.calculate("15", "100");
    const auto after = readings(screen);
    const auto* answer = readingNamed(after, "reading");
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer->text, "7 hours");
    EXPECT_EQ(readingNamed(before, "wage")->key, readingNamed(after, "wage")->key);
    EXPECT_EQ(readingNamed(after, "wage")->text, "15");
    std::vector<std::string> keys;
    for (const auto& reading : after)
        keys.push_back(reading.key);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end()) << "every key is one's own";
}

TEST(ReadingOrder, theKeypadIsReadWhileItIsUpAndItsKeysAreNotInTheRing) {
    MainScreen screen;
    screen.session->insertText("1");
    const auto all = readings(screen);
    const auto key = std::find_if(all.begin(), all.end(),
                                  [](const auto& reading) { return reading.text == "5"; });
    ASSERT_NE(key, all.end());
    EXPECT_EQ(key->element.role, UIAccessibilityRole::Button);
    EXPECT_TRUE(key->element.isActivatable);
    EXPECT_FALSE(key->element.isFocusable);
    EXPECT_TRUE(std::any_of(all.begin(), all.end(),
                            [](const auto& reading) { return reading.text == "Calculate"; }));
}

struct FocusCase {
    const char* name;
    const char* target;
    bool startEditing; // the wage being edited first
    bool taken;
    bool editing; // the target edited
    bool ringed;  // the target ringed
    bool keyboardUp;
};

void PrintTo(const FocusCase& c, std::ostream* os) {
    *os << c.name;
}

class ScreenReaderFocus : public testing::TestWithParam<FocusCase> {};

TEST_P(ScreenReaderFocus, aFieldIsEditedAButtonRingedAndNothingElseTakesTheFocus) {
    const auto& c = GetParam();
    MainScreen screen;
    screenReaderScreen(screen);
    if (c.startEditing)
        screen.session->insertText("1");
    const auto all = readings(screen);
    const auto* target = readingNamed(all, c.target);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(screen.session->focusAccessibilityElement(target->path), c.taken);
    const auto view = screen.viewNamed(c.target);
    EXPECT_EQ(view->isFirstResponder(), c.editing);
    EXPECT_EQ(screen.window->focusedView() == view, c.ringed);
    EXPECT_EQ(screen.window->visibleKeyboard() != nullptr, c.keyboardUp);
    if (c.taken) {
        EXPECT_EQ(screen.window->viewCovering(*view), nullptr) << "in sight, clear of the keyboard";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Elements, ScreenReaderFocus,
    testing::Values(FocusCase{"aField", "price", false, true, true, false, true},
                    FocusCase{"theFieldBeingEdited", "wage", true, true, true, false, true},
                    FocusCase{"aButtonEndsEditing", "clear", true, true, false, true, false},
                    FocusCase{"aText", "wageCaption", false, false, false, false, false}));

TEST(ScreenReaderText, aFieldsTextIsReplacedAsIfTypedAndCalculatingUsesIt) {
    MainScreen screen;
    screenReaderScreen(screen);
    screen.controller().wageTxt()->setText("999");
    auto all = readings(screen);
    EXPECT_TRUE(screen.session->setAccessibilityElementText(readingNamed(all, "wage")->path, "15"));
    EXPECT_EQ(screen.controller().wageTxt()->text(), "15");
    EXPECT_TRUE(screen.controller().wageTxt()->isFirstResponder()) << "edited, as typing is";
    all = readings(screen);
    EXPECT_TRUE(
        screen.session->setAccessibilityElementText(readingNamed(all, "price")->path, "100"));
    EXPECT_EQ(screen.controller().wageTxt()->text(), "15") << "the other field keeps its text";
    all = readings(screen);
    const auto calculate = std::find_if(
        all.begin(), all.end(), [](const auto& reading) { return reading.text == "Calculate"; });
    ASSERT_NE(calculate, all.end());
    EXPECT_TRUE(screen.session->activateAccessibilityElement(calculate->path));
    EXPECT_EQ(screen.controller().resultLbl()->text(), "7");
}

TEST(ScreenReaderText, onlyAFieldTakesTextAndEmptyTextEmptiesIt) {
    MainScreen screen;
    screenReaderScreen(screen);
    screen.controller().priceTxt()->setText("12");
    const auto all = readings(screen);
    EXPECT_FALSE(
        screen.session->setAccessibilityElementText(readingNamed(all, "clear")->path, "1"));
    EXPECT_FALSE(screen.session->setAccessibilityElementText({0, 99}, "1"));
    EXPECT_TRUE(screen.session->setAccessibilityElementText(readingNamed(all, "price")->path, ""));
    EXPECT_EQ(screen.controller().priceTxt()->text(), "");
}

TEST(ScreenReaderFocus, aCallAFrontEndDidNotDeclareStopsTheProgram) {
    EXPECT_DEATH(
        {
            MainScreen screen;
            screen.session->focusAccessibilityElement({0});
        },
        "a front end used a screen reader without declaring it");
}

} // namespace
