#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// A block that runs once, or again and again, on the main run loop after an interval, until
// it is invalidated.
class NSTimer {
  public:
    using Clock = std::chrono::steady_clock;

    // Due an interval from now, on the main run loop.
    static std::shared_ptr<NSTimer> scheduledTimer(Clock::duration interval, bool repeats,
                                                   std::function<void()> block);
    NSTimer(Clock::duration interval, bool repeats, std::function<void()> block);

    Clock::time_point fireDate() const { return m_fireDate; }
    bool isValid() const { return m_valid; }
    // It will not run again; the run loop lets go of it.
    void invalidate() { m_valid = false; }

  private:
    friend class NSRunLoop;
    // Runs the block; a repeating timer is then due an interval after it was.
    void fire();

    Clock::duration m_interval;
    bool m_repeats;
    std::function<void()> m_block;
    Clock::time_point m_fireDate;
    bool m_valid = true;
};

// The main thread's loop, as far as timers go: a front end asks when the next is due, waits
// for events no longer than that, then has the due ones fire.
class NSRunLoop {
  public:
    static NSRunLoop& mainRunLoop();

    void addTimer(std::shared_ptr<NSTimer> timer);
    // When the next valid timer is due; none while none is.
    std::optional<NSTimer::Clock::time_point> nextFireDate();
    // Fires the timers due at `now`, earliest first; a block may schedule or invalidate
    // timers. A repeating timer fires once however late it is, then is due anew.
    void fireTimers(NSTimer::Clock::time_point now);

  private:
    void forgetInvalidTimers();

    std::vector<std::shared_ptr<NSTimer>> m_timers;
};
