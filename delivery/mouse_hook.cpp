#include "delivery/mouse_hook.hpp"

namespace {

// A left-button press this soon after the last release counts as a double click.
constexpr std::uint32_t kDoubleClickMs = 500;

constexpr std::array<unsigned, 9> kKinds = {
    msg::kKeyDown,     msg::kKeyUp,     msg::kLButtonDown, msg::kLButtonUp, msg::kLButtonDblClk,
    msg::kRButtonDown, msg::kRButtonUp, msg::kMButtonDown, msg::kMButtonUp,
};

}  // namespace

HOOK类::HOOK类(HookBackend& backend, WindowSystem& keys) : backend_(backend), keys_(keys) {}

HOOK类::~HOOK类() {
    if (installed_) RemoveCallbacks(0, false);
}

int HOOK类::slotOf(unsigned message) {
    for (std::size_t i = 0; i < kKinds.size(); ++i) {
        if (kKinds[i] == message) return static_cast<int>(i);
    }
    return -1;
}

bool HOOK类::SetCallback(HookCallback* callback, unsigned message) {
    const int slot = slotOf(message);
    if (slot < 0 || callback == nullptr || slots_[slot] == callback) return false;
    slots_[slot] = callback;
    if (!installed_) {
        // A refused hook still counts as installed: registering again would only be refused
        // again, and capture keeps working from its own ticks without release events.
        backend_.install([this](const HookEvent& event) { dispatch(event); });
        installed_ = true;
    }
    followKeySlots();
    return true;
}

void HOOK类::followKeySlots() {
    if (!installed_) return;
    backend_.watchKeys(slots_[slotOf(msg::kKeyDown)] != nullptr ||
                       slots_[slotOf(msg::kKeyUp)] != nullptr);
}

bool HOOK类::RemoveCallbacks(unsigned message, bool onlyThis) {
    if (!onlyThis) {
        slots_.fill(nullptr);
        removeHook();
        return true;
    }
    const int slot = slotOf(message);
    if (slot < 0) return false;
    slots_[slot] = nullptr;
    bool anyLeft = false;
    for (HookCallback* callback : slots_) anyLeft = anyLeft || callback != nullptr;
    if (!anyLeft) {
        removeHook();
    } else {
        followKeySlots();
    }
    return true;
}

void HOOK类::removeHook() {
    backend_.uninstall();
    installed_ = false;
}

void HOOK类::call(unsigned message, const HookEvent& event, std::int32_t a, std::int32_t b) {
    if (const HookCallback* callback = slots_[slotOf(message)]) (*callback)(event.window, a, b);
}

void HOOK类::dispatch(const HookEvent& event) {
    // An event already on its way when the hook came off belongs to no one.
    if (!installed_) return;
    switch (event.message) {
        case msg::kKeyDown:
        case msg::kKeyUp: {
            if (slots_[slotOf(event.message)] == nullptr) break;
            const auto key = static_cast<std::int32_t>(
                keys_.mapVirtualKey(static_cast<unsigned>(event.paramH), 1));
            call(event.message, event, event.paramL, key);
            break;
        }
        case msg::kLButtonDown:
            call(msg::kLButtonDown, event, event.paramL, event.paramH);
            // Unsigned difference: the tick count wraps after 49.7 days.
            if (event.time - lastLeftUpTime_ < kDoubleClickMs) {
                call(msg::kLButtonDblClk, event, event.paramL, event.paramH);
            }
            break;
        case msg::kLButtonUp:
            call(msg::kLButtonUp, event, event.paramL, event.paramH);
            lastLeftUpTime_ = event.time;
            break;
        case msg::kRButtonDown:
        case msg::kRButtonUp:
        case msg::kMButtonDown:
        case msg::kMButtonUp:
            call(event.message, event, event.paramL, event.paramH);
            break;
        default:
            // Moves, wheel, and a double-click message of the system itself carry no kind here.
            break;
    }
}
