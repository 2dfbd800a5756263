#include "app/event_loop.hpp"

void LoopTimer::setPeriod(int ms) {
    if (ms < 0) ms = 0;
    if (ms == period_) return;
    period_ = ms;
    due_ = ms > 0 ? loop_.time().nowMicros() + ms * 1000LL : -1;
}

LoopTimer& EventLoop::createTimer() {
    timers_.push_back(std::unique_ptr<LoopTimer>(new LoopTimer(*this)));
    return *timers_.back();
}

LoopTimer* EventLoop::earliest() const {
    LoopTimer* best = nullptr;
    for (const auto& t : timers_)
        if (t->due_ >= 0 && (!best || t->due_ < best->due_)) best = t.get();
    return best;
}

bool EventLoop::fireDue() {
    LoopTimer* t = earliest();
    const std::int64_t now = time_.nowMicros();
    if (!t || t->due_ > now) return false;
    // The rhythm goes on from the expiry, not from the handler's end; expiries missed while a
    // handler ran fold into one late expiry, as queued GUI timer messages do.
    do {
        t->due_ += t->period_ * 1000LL;
    } while (t->due_ <= now);
    auto handler = t->handler_;  // the handler may replace itself
    if (handler) handler();
    return true;
}

void EventLoop::runUntil(std::int64_t deadlineMicros) {
    while (!stopRequested()) {
        if (fireDue()) continue;
        if (time_.nowMicros() >= deadlineMicros) return;
        const LoopTimer* next = earliest();
        const std::int64_t wake = next && next->due_ < deadlineMicros ? next->due_ : deadlineMicros;
        time_.sleepUntil(wake);
    }
}

void EventLoop::run() {
    while (!stopRequested()) {
        const LoopTimer* next = earliest();
        if (!next) return;
        runUntil(next->due_);
    }
}

void LoopPumpingWait::wait(int ms) { loop_.runUntil(loop_.time().nowMicros() + ms * 1000LL); }
