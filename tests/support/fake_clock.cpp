#include "tests/support/fake_clock.hpp"

#include <algorithm>

void FakeTimers::add(MemoryTimer& timer) {
    Tracked tracked{&timer, timer.period(), timer.restarts(), -1, {}};
    if (timer.period() > 0) tracked.due = clock_.nowMicros() + timer.period() * 1000LL;
    timers_.push_back(std::move(tracked));
}

void FakeTimers::at(std::int64_t atMicros, std::function<void()> callback) {
    scheduled_.push_back({atMicros, std::move(callback)});
}

void FakeTimers::sync() {
    for (Tracked& t : timers_) {
        const int period = t.timer->period();
        const int restarts = t.timer->restarts();
        if (period == 0) {
            t.due = -1;
        } else if (period != t.seenPeriod || restarts != t.seenRestarts) {
            t.due = clock_.nowMicros() + period * 1000LL;
        }
        t.seenPeriod = period;
        t.seenRestarts = restarts;
    }
}

std::int64_t FakeTimers::nextExpiry(const MemoryTimer& timer) {
    sync();
    for (const Tracked& t : timers_)
        if (t.timer == &timer) return t.due;
    return -1;
}

std::vector<std::int64_t> FakeTimers::firings(const MemoryTimer& timer) const {
    for (const Tracked& t : timers_)
        if (t.timer == &timer) return t.fired;
    return {};
}

void FakeTimers::advanceTo(std::int64_t targetMicros) {
    for (;;) {
        sync();
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
            if (timers_[i].due >= 0 && timers_[i].due < best) {
                best = timers_[i].due;
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
        t.due += t.seenPeriod * 1000LL;  // the rhythm goes on unless the handler changes it
        MemoryTimer* timer = t.timer;    // `t` may move if a handler adds timers
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
