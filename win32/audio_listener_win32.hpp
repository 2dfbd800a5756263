#pragma once
// Listening to the default playback device through WASAPI loopback (shared mode, event-driven)
// on a worker thread, until the onset detector hears music start. The onset's packet time from
// the audio engine (performance-counter based) is turned into this process's monotonic clock,
// so the capture buffer's delay does not move time 0. Outcomes come back to the thread that
// created the listener through a message-only window. Nothing heard is kept.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio_listener.hpp"

/// A playback device the music start can listen to.
struct RenderDevice {
    std::wstring id;    // the endpoint id, as cantorel.ini keeps it
    std::wstring name;  // what the system calls it ("扬声器 (Realtek High Definition Audio)")
};

/// The active playback devices, in the system's order; empty when there are none or the sound
/// service cannot be reached. Call on a thread with COM initialised.
std::vector<RenderDevice> renderDevices();

class Win32AudioListener final : public AudioListener {
  public:
    /// Create on the user-interface thread: the handlers run there.
    Win32AudioListener();
    ~Win32AudioListener() override;
    Win32AudioListener(const Win32AudioListener&) = delete;
    Win32AudioListener& operator=(const Win32AudioListener&) = delete;

    void start(OnsetHandler onOnset, FailureHandler onFailure) override;
    void stop() override;
    /// The device the next start listens to; empty: the system's default device at that time.
    void setDevice(std::wstring id) { device_ = std::move(id); }

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void finish(std::uint64_t session, void* outcome);

    HWND window_ = nullptr;
    HANDLE stopEvent_ = nullptr;
    std::thread worker_;
    std::uint64_t session_ = 0;
    std::wstring device_;
    OnsetHandler onOnset_;
    FailureHandler onFailure_;
};
