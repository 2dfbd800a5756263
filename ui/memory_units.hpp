#pragma once
// An in-memory main window: every unit of the layout as a plain object. Serves the command line
// and the tests; behaves like the real controls in everything the logic can observe.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/main_layout.hpp"
#include "ui/period_schedule.hpp"
#include "ui/units.hpp"

/// A timer without a clock of its own: it follows the period rules on whatever time source
/// the tests attach, and runs its handler when they fire it.
class MemoryTimer : public TimerUnit {
  public:
    int period() const override { return schedule_.period(); }
    void setPeriod(int ms) override;
    void setHandler(std::function<void()> handler) override { handler_ = std::move(handler); }
    /// Runs the handler as an expiry would.
    void fire();

    /// Times periods from `nowMicros` from here on (a running countdown restarts now).
    void attachTime(std::function<std::int64_t()> nowMicros);
    /// The schedule on the attached time, in microseconds.
    PeriodSchedule& schedule() { return schedule_; }

  private:
    std::int64_t now() const { return nowMicros_ ? nowMicros_() : 0; }

    PeriodSchedule schedule_{1000};
    std::function<std::int64_t()> nowMicros_;
    std::function<void()> handler_;
};

class MemoryUnits : public UnitDirectory, public WindowFrame {
  public:
    /// Builds every unit of `units` with its initial caption, ticked state and visibility.
    explicit MemoryUnits(std::span<const UnitLayout> units = layout::mainWindow());
    ~MemoryUnits() override;

    Unit* find(std::string_view name) override;
    TimerUnit* findTimer(std::string_view name) override;
    WindowFrame& frame() override { return *this; }

    int width() const override { return width_; }
    void setWidth(int width) override { width_ = width; }

    /// Typed access for tests; aborts on a wrong name or kind.
    template <typename T>
    T& get(std::string_view name) {
        return dynamic_cast<T&>(*find(name));
    }
    MemoryTimer& timer(std::string_view name) {
        return static_cast<MemoryTimer&>(*findTimer(name));
    }

  private:
    std::map<std::string, std::unique_ptr<Unit>, std::less<>> units_;
    std::map<std::string, std::unique_ptr<MemoryTimer>, std::less<>> timers_;
    int width_ = layout::kWidth;
};
