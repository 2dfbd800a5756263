#pragma once
// The global hotkeys: each configured chord is registered for the main window with
// RegisterHotKey while the program runs, so a singer can start, nudge and skip with the chat
// client in front; WM_HOTKEY then names the action by its id.

#include <windows.h>

#include <array>
#include <optional>

#include "app/more_settings.hpp"

/// The modifier flags and the virtual-key code of `key`; false when Windows has no key for it.
bool win32Chord(const Hotkey& key, UINT& modifiers, UINT& virtualKey);

class Win32Hotkeys {
  public:
    explicit Win32Hotkeys(HWND window) : window_(window) {}
    ~Win32Hotkeys() { unregisterAll(); }
    Win32Hotkeys(const Win32Hotkeys&) = delete;
    Win32Hotkeys& operator=(const Win32Hotkeys&) = delete;

    /// Registers every chord of `hotkeys` in place of what was registered before. Returns the
    /// status-bar line naming the chords another program holds and the texts that name no
    /// chord; empty when every configured key was had.
    GbkText registerAll(const std::array<HotkeySetting, kHotkeyActions>& hotkeys);
    void unregisterAll();
    /// True when the last registerAll found a chord another program holds.
    bool anyTaken() const { return anyTaken_; }

    /// The WM_HOTKEY id of `action`.
    static int idOf(HotkeyAction action);
    /// The action behind a WM_HOTKEY id; nullopt for an id that is not ours.
    std::optional<HotkeyAction> actionOf(WPARAM id) const;

  private:
    HWND window_;
    std::array<bool, kHotkeyActions> registered_{};
    bool anyTaken_ = false;
};
