#include "app/event_loop.hpp"

void LoopTimer::setPeriod(int ms) { schedule_.setPeriod(ms, loop_.time().nowMicros()); }

LoopTimer& EventLoop::createTimer() {
    timers_.push_back(std::unique_ptr<LoopTimer>(new LoopTimer(*this)));
    return *timers_.back();
}

LoopTimer* EventLoop::earliest() const {
    LoopTimer* best = nullptr;
    for (const auto& t : timers_) {
        const auto due = t->schedule_.due();
        if (due && (!best || *due < *best->schedule_.due())) best = t.get();
    }
    return best;
}

bool EventLoop::fireDue() {
    LoopTimer* t = earliest();
    const std::int64_t now = time_.nowMicros();
    // The rhythm goes on from the expiry, not from the handler's end; expiries missed while a
    // handler ran fold into one late expiry, as queued GUI timer messages do.
    if (!t || !t->schedule_.takeExpiry(now)) return false;
    auto handler = t->handler_;  // the handler may replace itself
    if (handler) handler();
    return true;
}

void EventLoop::runUntil(std::int64_t deadlineMicros) {
    while (!stopRequested()) {
        if (fireDue()) continue;
        if (time_.nowMicros() >= deadlineMicros) return;
        const LoopTimer* next = earliest();
        const std::int64_t due = next ? *next->schedule_.due() : deadlineMicros;
        const std::int64_t wake = due < deadlineMicros ? due : deadlineMicros;
        time_.sleepUntil(wake);
    }
}

void EventLoop::run() {
    while (!stopRequested()) {
        const LoopTimer* next = earliest();
        if (!next) return;
        runUntil(*next->schedule_.due());
    }
}

void LoopPumpingWait::wait(int ms) { loop_.runUntil(loop_.time().nowMicros() + ms * 1000LL); }
