#include "Runtime/ClassRegistry.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIWindow.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class TapCounter : public NSObject {
  public:
    void tapped() { ++taps; }
    int taps = 0;
};

const Runtime::Registration registration =
    Runtime::ClassDeclaration<TapCounter>("test.TapCounter").action("tapped", &TapCounter::tapped);

// A touch as a path of points in window coordinates: began, moved..., ended.
struct TouchCase {
    const char* name;
    std::vector<CGPoint> path;
    bool cancelled;
    int expectedTaps;
};

void PrintTo(const TouchCase& c, std::ostream* os) {
    *os << c.name;
}

class ControlTracking : public testing::TestWithParam<TouchCase> {
  protected:
    void SetUp() override {
        window->addSubview(button);
        button->addTarget(counter, "tapped", UIControlEventTouchUpInside);
    }
    void touch(const std::vector<CGPoint>& path, bool cancelled) {
        window->sendTouch(UITouchPhase::Began, path.front());
        for (std::size_t i = 1; i + 1 < path.size(); ++i)
            window->sendTouch(UITouchPhase::Moved, path[i]);
        window->sendTouch(cancelled ? UITouchPhase::Cancelled : UITouchPhase::Ended, path.back());
    }

    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGRectMake(0, 0, 375, 667));
    std::shared_ptr<UIButton> button = std::make_shared<UIButton>(CGRectMake(100, 100, 100, 50));
    std::shared_ptr<TapCounter> counter = std::make_shared<TapCounter>();
};

TEST_P(ControlTracking, sendsTouchUpInsideOnlyForATouchThatBeganAndEndedInside) {
    touch(GetParam().path, GetParam().cancelled);
    EXPECT_EQ(counter->taps, GetParam().expectedTaps);
    EXPECT_FALSE(button->isHighlighted());
    EXPECT_FALSE(button->isTracking());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ControlTracking,
    testing::Values(
        TouchCase{"tapInside", {{150, 125}, {150, 125}}, false, 1},
        TouchCase{"endsOnTheLastPoint", {{100, 100}, {199, 149}}, false, 1},
        TouchCase{"draggedOutAndEndedOutside", {{150, 125}, {300, 400}, {300, 400}}, false, 0},
        TouchCase{"draggedOutAndBack", {{150, 125}, {300, 400}, {150, 130}}, false, 1},
        TouchCase{"beganOutsideEndedInside", {{20, 20}, {150, 125}}, false, 0},
        TouchCase{"cancelled", {{150, 125}, {150, 125}}, true, 0}));

TEST_F(ControlTracking, highlightsWhileTheFingerIsInside) {
    window->sendTouch(UITouchPhase::Began, {150, 125});
    EXPECT_TRUE(button->isHighlighted());
    window->sendTouch(UITouchPhase::Moved, {10, 10});
    EXPECT_FALSE(button->isHighlighted());
    EXPECT_TRUE(button->isTracking());
}

TEST_F(ControlTracking, aTargetThatIsGoneIsSkippedAndTheOthersStillHearTheTap) {
    auto second = std::make_shared<TapCounter>();
    button->addTarget(second, "tapped", UIControlEventTouchUpInside);
    counter.reset();
    touch({{150, 125}, {150, 125}}, false);
    EXPECT_EQ(second->taps, 1);
}

TEST_F(ControlTracking, hiddenControlsTakeNoTouches) {
    button->setHidden(true);
    touch({{150, 125}, {150, 125}}, false);
    EXPECT_EQ(counter->taps, 0);
}

// An action that takes its own control out of the tree must not pull it out from under the
// dispatch: the control keeps itself alive until its actions are sent.
class Remover : public NSObject {
  public:
    void remove() {
        if (auto control = control_.lock())
            control->removeFromSuperview();
        ++removals;
    }
    std::weak_ptr<UIView> control_;
    int removals = 0;
};

const Runtime::Registration removerRegistration =
    Runtime::ClassDeclaration<Remover>("test.Remover").action("remove", &Remover::remove);

TEST(ControlDispatch, survivesAnActionThatRemovesTheControl) {
    auto window = std::make_shared<UIWindow>(CGRectMake(0, 0, 375, 667));
    auto remover = std::make_shared<Remover>();
    {
        auto button = std::make_shared<UIButton>(CGRectMake(0, 0, 100, 100));
        remover->control_ = button;
        button->addTarget(remover, "remove", UIControlEventTouchUpInside);
        button->addTarget(remover, "remove", UIControlEventTouchUpInside);
        window->addSubview(button);
    }
    window->sendTouch(UITouchPhase::Began, {50, 50});
    window->sendTouch(UITouchPhase::Ended, {50, 50});
    EXPECT_EQ(remover->removals, 2);
    EXPECT_TRUE(remover->control_.expired());
    EXPECT_TRUE(window->subviews().empty());
}

} // namespace
