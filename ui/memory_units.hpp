#pragma once
// An in-memory main window: every unit of the layout as a plain object. Serves the command line
// and the tests; behaves like the real controls in everything the logic can observe.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/main_layout.hpp"
#include "ui/units.hpp"

class MemoryTimer : public TimerUnit {
  public:
    int period() const override { return period_; }
    void setPeriod(int ms) override;
    void setHandler(std::function<void()> handler) override { handler_ = std::move(handler); }
    /// Runs the handler as an expiry would.
    void fire();
    /// How often the countdown was (re)started, for tests.
    int restarts() const { return restarts_; }

  private:
    int period_ = 0;
    int restarts_ = 0;
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
