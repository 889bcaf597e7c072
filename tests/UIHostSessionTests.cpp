// The contract every front end speaks: frames only after a change, the life cycle in the
// delegate's order, what Space does, and what a screen reader may activate.
#include "MainScreenHarness.h"
#include "UIKit/UIAccessibility.h"
#include "UIKit/UILabel.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

TEST(HostSessionFrames, aFrameIsHandedOutOnlyAfterSomethingChanged) {
    UIApplication application;
    const auto window = std::make_shared<UIWindow>(CGRectMake(0, 0, 100, 100));
    auto label = std::make_shared<UILabel>(CGRectMake(0, 0, 50, 20));
    window->addSubview(label);
    UIHostSession session(application, *window);
    EXPECT_TRUE(session.takeFrameIfChanged());
    EXPECT_FALSE(session.takeFrameIfChanged());
    label->setText("7");
    const auto frame = session.takeFrameIfChanged();
    ASSERT_TRUE(frame);
    EXPECT_TRUE(std::any_of(frame->begin(), frame->end(), [](const Drawing::Command& command) {
        const auto* text = std::get_if<Drawing::DrawText>(&command);
        return text && text->text == "7";
    }));
    EXPECT_FALSE(session.takeFrameIfChanged());
    session.setScreen({100, 100}, {1, 1});
    EXPECT_TRUE(session.takeFrameIfChanged()) << "a new pixel size needs a new frame";
}

// Text as wide as the faces at hand make it: a late font file can make every run wider.
class FaceDependentMeasurer : public Drawing::TextMeasurer {
  public:
    CGFloat characterWidth = 5;
    CGFloat widthOf(std::string_view text, CGFloat, Drawing::Weight) override {
        return characterWidth * static_cast<CGFloat>(text.size());
    }
};

std::string drawnText(const Drawing::DisplayList& frame) {
    for (const auto& command : frame)
        if (const auto* text = std::get_if<Drawing::DrawText>(&command))
            return text->text;
    return {};
}

TEST(HostSessionFrames, aFontThatArrivesLateHasEveryTextMeasuredAgain) {
    UIApplication application;
    const auto window = std::make_shared<UIWindow>(CGRectMake(0, 0, 100, 100));
    auto label = std::make_shared<UILabel>(CGRectMake(0, 0, 50, 20));
    label->setText("1234567");
    window->addSubview(label);
    UIHostSession session(application, *window);
    const auto measurer = std::make_shared<FaceDependentMeasurer>();
    session.setTextMeasurer(measurer);
    const auto first = session.takeFrameIfChanged();
    ASSERT_TRUE(first);
    EXPECT_EQ(drawnText(*first), "1234567");
    measurer->characterWidth = 20;
    session.textFacesChanged();
    const auto measuredAgain = session.takeFrameIfChanged();
    ASSERT_TRUE(measuredAgain) << "the screen was drawn with the old faces";
    EXPECT_NE(drawnText(*measuredAgain), "1234567") << "140 points of text in a 50-point label";
}

// A delegate that writes down what it hears.
class RecordingDelegate : public NSObject, public UIApplicationDelegate {
  public:
    std::shared_ptr<UIWindow> window() const override { return nullptr; }
    void setWindow(std::shared_ptr<UIWindow>) override {}
    void applicationWillResignActive(UIApplication&) override { heard.push_back("resign"); }
    void applicationDidEnterBackground(UIApplication&) override { heard.push_back("background"); }
    void applicationWillEnterForeground(UIApplication&) override { heard.push_back("foreground"); }
    void applicationDidBecomeActive(UIApplication&) override { heard.push_back("active"); }
    void applicationWillTerminate(UIApplication&) override { heard.push_back("terminate"); }

    std::vector<std::string> heard;
};

struct LifeCycleCase {
    const char* name;
    std::vector<UIApplicationState> states;
    std::vector<std::string> heard;
};

void PrintTo(const LifeCycleCase& c, std::ostream* os) {
    *os << c.name;
}

class LifeCycle : public testing::TestWithParam<LifeCycleCase> {};

TEST_P(LifeCycle, theDelegateHearsEveryStepInOrder) {
    using enum UIApplicationState;
    auto delegate = std::make_shared<RecordingDelegate>();
    UIApplication application(delegate);
    const auto window = std::make_shared<UIWindow>(CGRectMake(0, 0, 100, 100));
    UIHostSession session(application, *window);
    session.declareFeatures({.lifeCycle = true});
    for (const auto state : GetParam().states)
        session.setApplicationState(state);
    application.terminate();
    application.terminate();
    EXPECT_EQ(delegate->heard, GetParam().heard);
    EXPECT_EQ(application.applicationState(), Background);
}

using enum UIApplicationState;
INSTANTIATE_TEST_SUITE_P(
    Transitions, LifeCycle,
    testing::Values(
        LifeCycleCase{"launchedThenQuit", {}, {"background", "terminate"}},
        LifeCycleCase{"shownThenQuit", {Active}, {"active", "resign", "background", "terminate"}},
        LifeCycleCase{"hiddenAndShownAgain",
                      {Active, Background, Active},
                      {"active", "resign", "background", "foreground", "active", "resign",
                       "background", "terminate"}},
        LifeCycleCase{"focusLostAndRegained",
                      {Active, Inactive, Inactive, Active},
                      {"active", "resign", "active", "resign", "background", "terminate"}},
        LifeCycleCase{"minimizedThenRestoredWithoutFocus",
                      {Background, Inactive},
                      {"background", "foreground", "background", "terminate"}}));

struct SpaceCase {
    const char* name;
    // What the screen is doing when Space comes: 0 nothing, 1 editing the wage holding "1",
    // 2 the clear button ringed with both fields filled.
    int before;
    bool asText;
    std::string wage, price;
    bool keyboardUp;
};

void PrintTo(const SpaceCase& c, std::ostream* os) {
    *os << c.name;
}

class SpaceRule : public testing::TestWithParam<SpaceCase> {};

TEST_P(SpaceRule, typesIntoTheFieldBeingEditedElsePressesTheRingedButton) {
    MainScreen screen;
    auto& session = *screen.session;
    const auto& c = GetParam();
    if (c.before == 1) {
        session.insertText("1");
    } else if (c.before == 2) {
        screen.controller().wageTxt()->setText("15");
        screen.controller().priceTxt()->setText("100");
        session.pressKey(UIKey::ShiftTab);
        ASSERT_EQ(screen.window->focusedView(), screen.viewNamed("clear"));
    }
    if (c.asText)
        session.insertText(" ");
    else
        session.pressKey(UIKey::Space);
    EXPECT_EQ(screen.controller().wageTxt()->text(), c.wage);
    EXPECT_EQ(screen.controller().priceTxt()->text(), c.price);
    EXPECT_EQ(screen.window->visibleKeyboard() != nullptr, c.keyboardUp);
}

INSTANTIATE_TEST_SUITE_P(
    KeyOrText, SpaceRule,
    testing::Values(SpaceCase{"keyWhileEditing", 1, false, "1 ", "", true},
                    SpaceCase{"textWhileEditing", 1, true, "1 ", "", true},
                    SpaceCase{"keyOnTheRingedClear", 2, false, "", "", false},
                    SpaceCase{"textOnTheRingedClear", 2, true, "", "", false},
                    SpaceCase{"keyWithNothingFocused", 0, false, "", "", false},
                    SpaceCase{"textWithNothingFocused", 0, true, "", "", false}));

// Backspace and Delete are the keypad's Delete: the caret is at the field's end.
class DeletingKey : public testing::TestWithParam<UIKey> {};

TEST_P(DeletingKey, takesTheCharacterBeforeTheCaretAndNothingWhileNoFieldIsEdited) {
    MainScreen screen;
    EXPECT_FALSE(screen.session->pressKey(GetParam())) << "no field is being edited";
    screen.session->insertText("15");
    EXPECT_TRUE(screen.session->pressKey(GetParam()));
    EXPECT_EQ(screen.controller().wageTxt()->text(), "1");
}

INSTANTIATE_TEST_SUITE_P(Keys, DeletingKey, testing::Values(UIKey::Backspace, UIKey::Delete),
                         [](const auto& info) {
                             return info.param == UIKey::Delete ? "Delete" : "Backspace";
                         });

// One key table for every front end: what a key means with what is held with it, while a
// field is edited and while none is. What it leaves is the host's (quitting, pasting, a
// browser's shortcuts).
struct KeyCase {
    const char* name;
    bool editing; // the wage being edited, holding "15"
    std::optional<UIKey> key;
    std::string text; // what the key types, when it is no UIKey
    UIKeyModifiers held;
    bool handled;
    std::string wage;
    bool keyboardUp;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.name;
}

class KeyTable : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyTable, decidesWhatAKeyMeansAndLeavesTheRestToTheHost) {
    MainScreen screen;
    const auto& c = GetParam();
    if (c.editing)
        screen.session->insertText("15");
    const bool handled =
        c.key ? screen.session->pressKey(*c.key, c.held) : screen.session->typeKey(c.text, c.held);
    EXPECT_EQ(handled, c.handled);
    EXPECT_EQ(screen.controller().wageTxt()->text(), c.wage);
    EXPECT_EQ(screen.window->visibleKeyboard() != nullptr, c.keyboardUp);
}

constexpr UIKeyModifiers control{.control = true};
constexpr UIKeyModifiers alt{.alt = true};
constexpr UIKeyModifiers meta{.meta = true};

INSTANTIATE_TEST_SUITE_P(
    HeldAndNot, KeyTable,
    testing::Values(
        KeyCase{"aLetterWhileEditingTypesIt", true, {}, "q", {}, true, "15q", true},
        KeyCase{"aLetterWhileNotEditingIsTheHosts", false, {}, "q", {}, false, "", false},
        KeyCase{"aDigitWhileNotEditingStartsTheWage", false, {}, "7", {}, true, "7", true},
        KeyCase{
            "aCapitalWhileNotEditingIsTheHosts", false, {}, "Q", {.shift = true}, false, "", false},
        KeyCase{"controlCWhileEditingEndsIt", true, {}, "c", control, true, "15", false},
        KeyCase{"controlCWhileNotEditingIsTheHosts", false, {}, "c", control, false, "", false},
        KeyCase{"controlVIsTheHostsPaste", true, {}, "v", control, false, "15", true},
        KeyCase{"altWithALetterIsAShortcutNotTyping", true, {}, "q", alt, false, "15", true},
        KeyCase{"metaWithADigitIsAShortcutNotTyping", true, {}, "1", meta, false, "15", true},
        KeyCase{"controlBackspaceDeletes", true, UIKey::Backspace, "", control, true, "1", true},
        KeyCase{"altDeleteDeletes", true, UIKey::Delete, "", alt, true, "1", true},
        KeyCase{"metaEscapeEndsEditing", true, UIKey::Escape, "", meta, true, "15", false},
        KeyCase{"controlEnterIsTheHosts", true, UIKey::Enter, "", control, false, "15", true},
        KeyCase{"controlTabIsTheHosts", true, UIKey::Tab, "", control, false, "15", true},
        KeyCase{"altPageDownIsTheHosts", true, UIKey::PageDown, "", alt, false, "15", true},
        // Enter taps Calculate, which refuses a missing price: the keyboard stays up.
        KeyCase{"shiftEnterIsEnter", true, UIKey::Enter, "", {.shift = true}, true, "15", true}));

// Tab past the last of the ring, and Shift-Tab before the first: round to the other end on a
// phone, or back to the host (a page's browser), which may hand it in again.
struct RingEndCase {
    const char* name;
    UIFocusRingEnds ends;
    bool backwards;
    bool handled;
    const char* focusedAfter; // empty for nothing edited or ringed
};

void PrintTo(const RingEndCase& c, std::ostream* os) {
    *os << c.name;
}

class FocusRingEnds : public testing::TestWithParam<RingEndCase> {};

std::string focusedName(MainScreen& screen) {
    const auto focused = screen.window->firstResponder() ? screen.window->firstResponder()
                                                         : screen.window->focusedView();
    return focused ? focused->accessibilityIdentifier() : "";
}

TEST_P(FocusRingEnds, tabPastAnEndWrapsOrHandsTheFocusBack) {
    MainScreen screen;
    const auto& c = GetParam();
    screen.session->declareFeatures(
        {.touches = true, .hardwareKeys = true, .textInput = true, .ringEnds = c.ends});
    screen.calculate("15", "100");
    const UIKey key = c.backwards ? UIKey::ShiftTab : UIKey::Tab;
    // To the end the key leaves by: the clear button last, the wage first.
    for (int step = 0; step < (c.backwards ? 1 : 3); ++step)
        ASSERT_TRUE(screen.session->pressKey(UIKey::Tab));
    ASSERT_EQ(focusedName(screen), c.backwards ? "wage" : "clear");
    EXPECT_EQ(screen.session->pressKey(key), c.handled);
    EXPECT_EQ(focusedName(screen), c.focusedAfter);
    if (!c.handled) {
        EXPECT_EQ(screen.window->visibleKeyboard(), nullptr) << "nothing left edited";
        EXPECT_TRUE(screen.session->pressKey(key)) << "handed in again, it starts at that end";
        EXPECT_EQ(focusedName(screen), c.backwards ? "clear" : "wage");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ends, FocusRingEnds,
    testing::Values(
        RingEndCase{"tabWrapsToTheWage", UIFocusRingEnds::Wrap, false, true, "wage"},
        RingEndCase{"shiftTabWrapsToTheClear", UIFocusRingEnds::Wrap, true, true, "clear"},
        RingEndCase{"tabHandsTheFocusBack", UIFocusRingEnds::HandBack, false, false, ""},
        RingEndCase{"shiftTabHandsTheFocusBack", UIFocusRingEnds::HandBack, true, false, ""}));

const UIAccessibilityElement* elementNamed(const UIAccessibilityElement& element,
                                           const std::string& identifier) {
    if (element.identifier == identifier)
        return &element;
    for (const auto& child : element.children)
        if (const auto* found = elementNamed(child, identifier))
            return found;
    return nullptr;
}

// The place of an element in the tree, as a screen reader's bridge names it.
std::optional<std::vector<std::size_t>> pathTo(const UIAccessibilityElement& element,
                                               const std::string& identifier) {
    if (element.identifier == identifier)
        return std::vector<std::size_t>{};
    for (std::size_t i = 0; i < element.children.size(); ++i)
        if (auto path = pathTo(element.children[i], identifier)) {
            path->insert(path->begin(), i);
            return path;
        }
    return std::nullopt;
}

TEST(Accessibility, aControlUnderTheKeyboardIsScrolledClearOfItBeforeItIsActivated) {
    MainScreen screen;
    screen.session->declareFeatures(
        {.touches = true, .hardwareKeys = true, .textInput = true, .screenReader = true});
    screen.session->insertText("15");
    const auto clear = screen.viewNamed("clear");
    ASSERT_NE(screen.window->viewCovering(*clear), nullptr) << "the keyboard lies on it";
    const auto tree = UIAccessibilityTree(*screen.window);
    EXPECT_TRUE(elementNamed(tree, "clear")->isActivatable);
    const auto path = pathTo(tree, "clear");
    ASSERT_TRUE(path);
    EXPECT_TRUE(screen.session->activateAccessibilityElement(*path));
    EXPECT_EQ(screen.window->viewCovering(*clear), nullptr);
    EXPECT_EQ(screen.controller().wageTxt()->text(), "") << "cleared, not typed into";
    EXPECT_NE(screen.window->visibleKeyboard(), nullptr) << "clearing leaves the keyboard up";
    EXPECT_FALSE(screen.session->activateAccessibilityElement({0, 0, 99}));
}

TEST(Accessibility, eachViewSaysWhatItIsWhatItIsCalledAndWhatItHolds) {
    MainScreen screen;
    screen.session->insertText("15");
    const auto tree = UIAccessibilityTree(*screen.window);
    const auto* wage = elementNamed(tree, "wage");
    const auto* clear = elementNamed(tree, "clear");
    ASSERT_NE(wage, nullptr);
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(wage->role, UIAccessibilityRole::TextField);
    EXPECT_EQ(wage->label, "Your hourly wage");
    EXPECT_EQ(wage->value, "15");
    screen.session->passFrame();
    EXPECT_EQ(elementNamed(UIAccessibilityTree(*screen.window), "wage")->hint, "$")
        << "the currency beside the amount";
    EXPECT_TRUE(wage->isFocused);
    EXPECT_EQ(clear->role, UIAccessibilityRole::Button);
    EXPECT_FALSE(clear->isFocused);
    EXPECT_EQ(elementNamed(tree, "result"), nullptr) << "hidden views are not read";
}

TEST(SafeArea, theScreenKeepsClearOfWhatTheHardwareCoversAndTheKeyboardSitsAboveIt) {
    MainScreen screen({375, 812});
    screen.session->declareFeatures({.touches = true, .screenChanges = true, .safeAreas = true});
    screen.session->setScreen({375, 812}, {1.0 / 3, 1.0 / 3}, {47, 0, 34, 0});
    EXPECT_EQ(screen.controller().view()->frameInWindow(), CGRectMake(0, 47, 375, 812 - 47 - 34));
    screen.tap(*screen.controller().wageTxt());
    const auto keyboard = screen.window->visibleKeyboard();
    ASSERT_NE(keyboard, nullptr);
    EXPECT_EQ(CGRectGetMaxY(keyboard->frame()), 812 - 34);
    // The covered edges show the screen's own colour, not nothing.
    EXPECT_EQ(screen.window->backgroundColor(), screen.controller().view()->backgroundColor());
    screen.session->setScreen({375, 812}, {1.0 / 3, 1.0 / 3});
    EXPECT_EQ(CGRectGetMaxY(keyboard->frame()), 812);
}

TEST(SafeArea, aWideScreenKeepsTheContentAndTheKeyboardInAReadableCentredColumn) {
    MainScreen screen({1280, 800});
    const CGRect root = screen.controller().view()->frameInWindow();
    EXPECT_LT(root.size.width, 700);
    EXPECT_NEAR(CGRectGetMidX(root), 640, 1);
    screen.tap(*screen.controller().wageTxt());
    const auto keyboard = screen.window->visibleKeyboard();
    ASSERT_NE(keyboard, nullptr);
    EXPECT_EQ(keyboard->frame().origin.x, root.origin.x);
    EXPECT_EQ(keyboard->frame().size.width, root.size.width);
    // A phone's width is its own.
    MainScreen phone({390, 844});
    EXPECT_EQ(phone.controller().view()->frame(), CGRectMake(0, 0, 390, 844));
}

TEST(Cursor, aHandOverWhatCanBePressedAndATextCursorOverWhatCanBeTypedInto) {
    MainScreen screen;
    const auto center = [](const UIView& view) {
        const CGRect frame = view.frameInWindow();
        return CGPoint{CGRectGetMidX(frame), CGRectGetMidY(frame)};
    };
    EXPECT_EQ(screen.session->cursorAt(center(*screen.controller().wageTxt())), UICursor::Text);
    EXPECT_EQ(screen.session->cursorAt(center(*screen.viewNamed("clear"))), UICursor::Pointer);
    EXPECT_EQ(screen.session->cursorAt({5, 5}), UICursor::Arrow);
    // The badge inside a field is the field's.
    const auto field = screen.controller().wageTxt()->frameInWindow();
    EXPECT_EQ(screen.session->cursorAt({field.origin.x + 15, CGRectGetMidY(field)}),
              UICursor::Text);
}

TEST(Accessibility, theTitleIsAHeadingAndEachFieldIsNamedByItsCaption) {
    MainScreen screen;
    const auto tree = UIAccessibilityTree(*screen.window);
    std::vector<std::string> headings;
    const std::function<void(const UIAccessibilityElement&)> collect =
        [&](const UIAccessibilityElement& element) {
            if (element.role == UIAccessibilityRole::Heading)
                headings.push_back(element.label);
            for (const auto& child : element.children)
                collect(child);
        };
    collect(tree);
    EXPECT_EQ(headings, std::vector<std::string>{"orvane"});
    EXPECT_EQ(elementNamed(tree, "wage")->label, elementNamed(tree, "wageCaption")->label);
    EXPECT_EQ(elementNamed(tree, "price")->label, elementNamed(tree, "priceCaption")->label);
}

TEST(Accessibility, everyCalculationIsAnnouncedAgainThoughItsAnswerIsTheSame) {
    MainScreen screen;
    const auto announcements = [&] {
        return elementNamed(UIAccessibilityTree(*screen.window), "reading")->announcements;
    };
    screen.calculate("15", "1001");
    const unsigned first = announcements();
    screen.session->insertText("1");
    screen.session->pressKey(UIKey::Backspace);
    EXPECT_EQ(announcements(), first) << "typing is no answer";
    screen.calculate("15", "1002");
    EXPECT_EQ(screen.controller().resultLbl()->text(), "67");
    EXPECT_GT(announcements(), first);
}

TEST(Accessibility, theRingIsTheFieldsAndTheClearButtonAndLeavingItEndsEditing) {
    MainScreen screen;
    screen.tap(*screen.controller().wageTxt());
    std::vector<std::string> ring;
    const std::function<void(const UIAccessibilityElement&)> collect =
        [&](const UIAccessibilityElement& element) {
            if (element.isFocusable)
                ring.push_back(element.identifier);
            for (const auto& child : element.children)
                collect(child);
        };
    collect(UIAccessibilityTree(*screen.window));
    EXPECT_EQ(ring, (std::vector<std::string>{"wage", "price", "clear"})) << "no key of the keypad";
    screen.session->resignFocus();
    EXPECT_EQ(screen.window->visibleKeyboard(), nullptr);
    screen.session->pressKey(UIKey::ShiftTab);
    ASSERT_EQ(screen.window->focusedView(), screen.viewNamed("clear"));
    screen.session->resignFocus();
    EXPECT_EQ(screen.window->focusedView(), nullptr);
}

TEST(HostSessionFeatures, aCallAFrontEndDidNotDeclareStopsTheProgram) {
    EXPECT_DEATH(
        {
            UIApplication application;
            const auto window = std::make_shared<UIWindow>(CGRectMake(0, 0, 10, 10));
            UIHostSession session(application, *window);
            session.touch(UITouchPhase::Began, {1, 1});
        },
        "Fatal error: a front end used touches without declaring it");
}

TEST(HostSessionFeatures, aScreenSetAgainIsAChangeAFrontEndDeclares) {
    MainScreen screen;
    screen.session->setScreen({375, 667}, {0.5, 0.5});
    EXPECT_DEATH(screen.session->setScreen({667, 375}, {0.5, 0.5}),
                 "Fatal error: a front end used screen changes without declaring it");
    screen.session->declareFeatures({.screenChanges = true});
    screen.session->setScreen({667, 375}, {0.5, 0.5});
    EXPECT_EQ(screen.window->frame().size.width, 667);
}

} // namespace
