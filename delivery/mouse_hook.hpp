#pragma once
// HOOK类: the global mouse and key watch. Callers register one callback per event kind; the
// system-wide hook is installed with the first callback and removed when the last one goes.
// Target capture uses it in SuperMode to learn which window receives the left-button release.
// The hook itself sits behind HookBackend (low-level hooks on Windows, a fake in tests).

#include <array>
#include <cstdint>
#include <functional>
#include <utility>

#include "platform/window_system.hpp"

/// One input event as the hook reports it.
struct HookEvent {
    unsigned message = 0;     // msg::kLButtonDown, msg::kKeyDown, ...
    std::int32_t paramL = 0;  // mouse: screen x; keys: virtual key | scan code << 8
    std::int32_t paramH = 0;  // mouse: screen y; keys: scan code
    std::uint32_t time = 0;   // event time in milliseconds (the system's tick count; wraps)
    WindowHandle window = 0;  // the window the event goes to
};

/// The system-wide hook. Events are delivered on the thread that installed it.
class HookBackend {
  public:
    using Handler = std::function<void(const HookEvent&)>;
    virtual ~HookBackend() = default;
    /// Starts delivering mouse events to `handler`; false when the system refuses the hook.
    virtual bool install(Handler handler) = 0;
    /// Adds or removes the watch on keys while installed (a system-wide keyboard hook is what
    /// security tools flag as a key logger, so it runs only while someone wants keys). False
    /// when the system refuses it; harmless when nothing changes.
    virtual bool watchKeys(bool on) = 0;
    /// Stops delivery; harmless when nothing is installed.
    virtual void uninstall() = 0;
};

/// A registered reaction to one event kind. The hook knows only this value, never the code
/// that reacts, so the watch stays below everything that uses it. Identity (the object's
/// address) tells callbacks apart: registering the same object twice for a kind is refused.
class HookCallback {
  public:
    /// Mouse kinds: (window, x, y). Key kinds: (window, paramL, MapVirtualKeyA(paramH, 1)).
    using Reaction = std::function<void(WindowHandle window, std::int32_t a, std::int32_t b)>;
    explicit HookCallback(Reaction reaction) : reaction_(std::move(reaction)) {}
    HookCallback(const HookCallback&) = delete;
    HookCallback& operator=(const HookCallback&) = delete;

    void operator()(WindowHandle window, std::int32_t a, std::int32_t b) const {
        if (reaction_) reaction_(window, a, b);
    }

  private:
    Reaction reaction_;
};

class HOOK类 {
  public:
    /// `keys` maps key events' scan codes (MapVirtualKeyA); both must outlive the instance.
    HOOK类(HookBackend& backend, WindowSystem& keys);
    /// Removes an installed hook.
    ~HOOK类();
    HOOK类(const HOOK类&) = delete;
    HOOK类& operator=(const HOOK类&) = delete;

    /// Registers `callback` for `message` (one of the nine kinds) and installs the hook if it is
    /// not yet installed. False for another message, a null callback, or the callback already
    /// registered there.
    bool SetCallback(HookCallback* callback, unsigned message);

    /// onlyThis: clears the slot of `message` (false for an unknown kind) and removes the hook
    /// when no slot is left. Otherwise clears every slot and removes the hook. True on success.
    bool RemoveCallbacks(unsigned message, bool onlyThis);

    /// True from the first registration until the hook is removed, even when the system refused
    /// the hook (then no event ever arrives).
    bool installed() const { return installed_; }
    /// Time of the last left-button release seen while installed; 0 before any.
    std::uint32_t lastLeftUpTime() const { return lastLeftUpTime_; }

    /// Runs the callbacks due for one event; the backend calls it.
    void dispatch(const HookEvent& event);

  private:
    static int slotOf(unsigned message);
    void followKeySlots();
    void call(unsigned message, const HookEvent& event, std::int32_t a, std::int32_t b);
    void removeHook();

    HookBackend& backend_;
    WindowSystem& keys_;
    std::array<HookCallback*, 9> slots_{};
    bool installed_ = false;
    std::uint32_t lastLeftUpTime_ = 0;
};
