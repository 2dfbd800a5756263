#include "tests/support/fake_clock.hpp"

#include <algorithm>

void FakeTimers::add(MemoryTimer& timer) {
    timer.attachTime([this] { return clock_.nowMicros(); });
    timers_.push_back({&timer, {}});
}

void FakeTimers::at(std::int64_t atMicros, std::function<void()> callback) {
    scheduled_.push_back({atMicros, std::move(callback)});
}

std::int64_t FakeTimers::nextExpiry(MemoryTimer& timer) {
    return timer.schedule().due().value_or(-1);
}

std::vector<std::int64_t> FakeTimers::firings(const MemoryTimer& timer) const {
    for (const Tracked& t : timers_)
        if (t.timer == &timer) return t.fired;
    return {};
}

void FakeTimers::advanceTo(std::int64_t targetMicros) {
    for (;;) {
        // Earliest event at or before the target; callbacks first on a tie.
        std::int64_t best = targetMicros + 1;
        std::size_t bestTimer = timers_.size();
        std::size_t bestCallback = scheduled_.size();
        for (std::size_t i = 0; i < scheduled_.size(); ++i) {
            if (scheduled_[i].at < best) {
                best = scheduled_[i].at;
                bestCallback = i;
            }
        }
        for (std::size_t i = 0; i < timers_.size(); ++i) {
            const auto due = timers_[i].timer->schedule().due();
            if (due && *due < best) {
                best = *due;
                bestTimer = i;
                bestCallback = scheduled_.size();
            }
        }
        if (best > targetMicros) break;
        clock_.set(std::max(best, clock_.nowMicros()));
        if (bestCallback < scheduled_.size()) {
            auto callback = std::move(scheduled_[bestCallback].callback);
            scheduled_.erase(scheduled_.begin() + static_cast<std::ptrdiff_t>(bestCallback));
            callback();
            continue;
        }
        Tracked& t = timers_[bestTimer];
        t.fired.push_back(clock_.nowMicros());
        MemoryTimer* timer = t.timer;                      // `t` may move if a handler adds timers
        timer->schedule().takeExpiry(clock_.nowMicros());  // the rhythm goes on
        timer->fire();
    }
    if (targetMicros > clock_.nowMicros()) clock_.set(targetMicros);
}

void FakePumpingWait::wait(int ms) {
    const int index = static_cast<int>(waits.size());
    waits.push_back(ms);
    const std::int64_t target = timers_.clock().nowMicros() + ms * 1000LL;
    if (onWait) onWait(index, ms);
    timers_.advanceTo(target);
}
