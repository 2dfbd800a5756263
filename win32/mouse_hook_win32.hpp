#pragma once
// The global hook on Windows: low-level mouse and keyboard hooks. Journal-record hooks are gone
// from Windows 11 and under Wine see only our own input, so they would never report the button
// release over another program that SuperMode waits for.

#include <windows.h>

#include <optional>

#include "delivery/mouse_hook.hpp"

class Win32HookBackend final : public HookBackend {
  public:
    ~Win32HookBackend() override;

    /// Installs WH_MOUSE_LL on this thread; events arrive while the thread pumps messages. True
    /// when the hook was granted. One backend may be installed at a time per process.
    bool install(Handler handler) override;
    /// WH_KEYBOARD_LL beside the mouse hook, only while asked for.
    bool watchKeys(bool on) override;
    void uninstall() override;

    /// The event a low-level mouse hook reports, or nullopt for moves and wheel turns. The
    /// window is the one under the point, or the foreground window when there is none.
    static std::optional<HookEvent> mouseEvent(WPARAM message, const MSLLHOOKSTRUCT& info);
    /// The event a low-level keyboard hook reports: paramL = virtual key | scan code << 8,
    /// paramH = scan code, window = the foreground window.
    static HookEvent keyEvent(WPARAM message, const KBDLLHOOKSTRUCT& info);

  private:
    static LRESULT CALLBACK mouseProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK keyboardProc(int code, WPARAM wParam, LPARAM lParam);
    void deliver(const HookEvent& event);

    HHOOK mouse_ = nullptr;
    HHOOK keyboard_ = nullptr;
    Handler handler_;
};
