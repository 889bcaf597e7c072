// Timers on the main run loop, and what they are for here: a delete key that repeats while
// it is held.

#include "Foundation/NSTimer.h"
#include "MainScreenHarness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Fires whatever is due, up to some time after the first timer was scheduled.
void runUntil(NSTimer::Clock::time_point start, NSTimer::Clock::duration after) {
    NSRunLoop::mainRunLoop().fireTimers(start + after);
}

TEST(RunLoop, timersFireInTheOrderTheyAreDueAndRepeatUntilInvalidated) {
    std::vector<std::string> fired;
    const auto start = NSTimer::Clock::now();
    const auto repeating = NSTimer::scheduledTimer(100ms, true, [&] { fired.push_back("tick"); });
    const auto once = NSTimer::scheduledTimer(50ms, false, [&] { fired.push_back("once"); });
    // A timer that invalidates another as it fires.
    const auto stopper = NSTimer::scheduledTimer(350ms, false, [&] { repeating->invalidate(); });
    ASSERT_TRUE(NSRunLoop::mainRunLoop().nextFireDate());
    EXPECT_LE(*NSRunLoop::mainRunLoop().nextFireDate(), once->fireDate());

    runUntil(start, 0ms);
    EXPECT_TRUE(fired.empty());
    runUntil(start, 120ms);
    EXPECT_EQ(fired, (std::vector<std::string>{"once", "tick"}));
    EXPECT_FALSE(once->isValid());
    // Late by several intervals, a repeating timer fires once, not as many times as it missed.
    runUntil(start, 330ms);
    EXPECT_EQ(fired.size(), 3u);
    runUntil(start, 400ms);
    EXPECT_FALSE(repeating->isValid());
    runUntil(start, 10s);
    EXPECT_EQ(fired.size(), 3u) << "nothing fires after it is invalidated";
    EXPECT_FALSE(NSRunLoop::mainRunLoop().nextFireDate());
    (void)stopper;
}

TEST(RunLoop, aRepeatingTimerOfNoIntervalStillMovesOn) {
    int fired = 0;
    const auto timer = NSTimer::scheduledTimer(0ms, true, [&] { ++fired; });
    NSRunLoop::mainRunLoop().fireTimers(NSTimer::Clock::now() + 1s);
    EXPECT_EQ(fired, 1);
    timer->invalidate();
    NSRunLoop::mainRunLoop().fireTimers(NSTimer::Clock::now() + 2s);
    EXPECT_EQ(fired, 1);
}

class HeldDelete : public testing::Test {
  protected:
    HeldDelete() {
        screen.session->declareFeatures(
            {.touches = true, .hardwareKeys = true, .textInput = true, .timers = true});
        screen.session->insertText("123456789");
        const auto key = screen.viewNamed("delete");
        const CGRect frame = key->frameInWindow();
        center = {CGRectGetMidX(frame), CGRectGetMidY(frame)};
    }
    std::string wage() { return screen.controller().wageTxt()->text().value_or(""); }
    // Lets the held key's timers run as if `time` had passed.
    void hold(NSTimer::Clock::duration time) {
        NSRunLoop::mainRunLoop().fireTimers(pressed + time);
    }

    MainScreen screen;
    CGPoint center;
    NSTimer::Clock::time_point pressed;
};

TEST_F(HeldDelete, deletesAtOnceAgainAfterAPauseThenSteadilyUntilLetGo) {
    pressed = NSTimer::Clock::now();
    screen.session->touch(UITouchPhase::Began, center);
    EXPECT_EQ(wage(), "12345678") << "at once, as the finger lands";
    hold(400ms);
    EXPECT_EQ(wage(), "12345678") << "a tap is one deletion";
    hold(520ms);
    hold(640ms);
    hold(760ms);
    EXPECT_EQ(wage(), "12345") << "then one each tenth of a second";
    screen.session->touch(UITouchPhase::Ended, center);
    hold(5s);
    EXPECT_EQ(wage(), "12345") << "let go, it stops";
    EXPECT_FALSE(screen.session->timeUntilNextTimer());
}

TEST_F(HeldDelete, stopsWhenTheFingerSlidesOffAndIsLiftedOrTheTouchIsCancelled) {
    for (const UITouchPhase end : {UITouchPhase::Ended, UITouchPhase::Cancelled}) {
        pressed = NSTimer::Clock::now();
        screen.session->touch(UITouchPhase::Began, center);
        screen.session->touch(UITouchPhase::Moved, {center.x, center.y - 200});
        screen.session->touch(end, {center.x, center.y - 200});
        hold(2s);
    }
    EXPECT_EQ(wage(), "1234567");
}

TEST_F(HeldDelete, stopsOnceNothingIsEditedAndFrontEndsWaitOnlyWhileItIsHeld) {
    EXPECT_FALSE(screen.session->timeUntilNextTimer());
    pressed = NSTimer::Clock::now();
    screen.session->touch(UITouchPhase::Began, center);
    const auto wait = screen.session->timeUntilNextTimer();
    ASSERT_TRUE(wait);
    EXPECT_GT(*wait, 400ms);
    EXPECT_LE(*wait, 500ms);
    screen.controller().view()->endEditing(true);
    hold(1s);
    hold(2s);
    EXPECT_FALSE(screen.session->timeUntilNextTimer()) << "no field: the repeat ends itself";
    screen.session->touch(UITouchPhase::Ended, center);
}

} // namespace
