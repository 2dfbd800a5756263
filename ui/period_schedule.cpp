// Period rules of a timer over a tick count.
#include "ui/period_schedule.hpp"

bool PeriodSchedule::setPeriod(int ms, std::int64_t now) {
    if (ms < 0) ms = 0;
    if (ms == periodMs_) return false;  // a running timer keeps its rhythm
    periodMs_ = ms;
    due_ = now + static_cast<std::int64_t>(ms) * ticksPerMs_;
    return true;
}

std::optional<std::int64_t> PeriodSchedule::due() const {
    if (periodMs_ == 0) return std::nullopt;
    return due_;
}

bool PeriodSchedule::takeExpiry(std::int64_t now) {
    if (periodMs_ == 0 || now < due_) return false;
    const std::int64_t step = static_cast<std::int64_t>(periodMs_) * ticksPerMs_;
    // Served late by several periods: one expiry, then the next grid point still ahead.
    due_ += ((now - due_) / step + 1) * step;
    return true;
}
