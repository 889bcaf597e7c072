#include "Foundation/NSTimer.h"

#include <algorithm>

std::shared_ptr<NSTimer> NSTimer::scheduledTimer(Clock::duration interval, bool repeats,
                                                 std::function<void()> block) {
    auto timer = std::make_shared<NSTimer>(interval, repeats, std::move(block));
    NSRunLoop::mainRunLoop().addTimer(timer);
    return timer;
}

namespace {
// As the phone's platform does: no shorter interval, so a repeating timer always moves on.
constexpr NSTimer::Clock::duration shortestInterval = std::chrono::microseconds(100);
} // namespace

NSTimer::NSTimer(Clock::duration interval, bool repeats, std::function<void()> block)
    : m_interval(std::max(interval, shortestInterval)), m_repeats(repeats),
      m_block(std::move(block)), m_fireDate(Clock::now() + m_interval) {
}

void NSTimer::fire() {
    if (!m_valid)
        return;
    if (m_repeats)
        m_fireDate += m_interval;
    else
        m_valid = false;
    // The block may invalidate this timer, or drop the last other reference to it.
    const auto block = m_block;
    block();
}

NSRunLoop& NSRunLoop::mainRunLoop() {
    static NSRunLoop loop;
    return loop;
}

void NSRunLoop::addTimer(std::shared_ptr<NSTimer> timer) {
    m_timers.push_back(std::move(timer));
}

void NSRunLoop::forgetInvalidTimers() {
    std::erase_if(m_timers, [](const auto& timer) { return !timer->isValid(); });
}

namespace {

bool firesBefore(const std::shared_ptr<NSTimer>& one, const std::shared_ptr<NSTimer>& other) {
    return one->fireDate() < other->fireDate();
}

} // namespace

std::optional<NSTimer::Clock::time_point> NSRunLoop::nextFireDate() {
    forgetInvalidTimers();
    if (m_timers.empty())
        return std::nullopt;
    return (*std::min_element(m_timers.begin(), m_timers.end(), firesBefore))->fireDate();
}

void NSRunLoop::fireTimers(NSTimer::Clock::time_point now) {
    forgetInvalidTimers();
    std::vector<std::shared_ptr<NSTimer>> due;
    std::copy_if(m_timers.begin(), m_timers.end(), std::back_inserter(due),
                 [now](const auto& timer) { return timer->fireDate() <= now; });
    // The earliest first, and of two due at once the one added first. A run loop has a
    // handful of timers, so each is found by a scan rather than a sort.
    while (!due.empty()) {
        const auto earliest = std::min_element(due.begin(), due.end(), firesBefore);
        const std::shared_ptr<NSTimer> timer = *earliest;
        due.erase(earliest);
        // However late, a repeating timer fires once, and is next due after `now`.
        timer->fire();
        while (timer->isValid() && timer->fireDate() <= now)
            timer->m_fireDate += timer->m_interval;
    }
    forgetInvalidTimers();
}
