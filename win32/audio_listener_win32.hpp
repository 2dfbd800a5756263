#pragma once
// Listening through WASAPI loopback (shared mode, event-driven) on a worker thread: to the
// followed player's process alone where Windows can (Windows 10 2004 and later, the player's
// process found by its executable's name), else, and whenever that fails, to the default
// playback device; until the onset detector hears music start. The onset's packet time from
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

struct IAudioClient;

namespace audio_listener_win32 {

/// The process of a media session's app id, for players whose id is their executable's name
/// ("QQMusic.exe", also as a path): the first of that name (case aside) whose parent is not of
/// the same name, so a player's helper processes are taken with it. 0 when none runs or the id
/// is not an executable's name (packaged apps).
DWORD playerProcessId(const std::wstring& appId);

/// The running Windows build, as the system reports it to itself (RtlGetVersion); 0 unknown.
std::uint32_t windowsBuild();

/// An audio client capturing what process `pid` and its children play, activated through
/// ActivateAudioInterfaceAsync (resolved at run time, so the program starts where it is
/// missing). Waits at most `limitMs` for the activation, or until `stop` is set. Any failure
/// is returned: the caller listens to the playback device instead.
HRESULT activateProcessLoopback(DWORD pid, HANDLE stop, int limitMs, IAudioClient** client);

/// The same activation of the device interface `path`, with process loopback's parameters for
/// `pid`, or none for 0.
HRESULT activateAudioClient(const wchar_t* path, DWORD pid, HANDLE stop, int limitMs,
                            IAudioClient** client);

}  // namespace audio_listener_win32

class Win32AudioListener final : public AudioListener {
  public:
    /// Create on the user-interface thread: the handlers run there. `windowsBuild` decides
    /// whether a player can be listened to alone (a test may claim a newer system).
    explicit Win32AudioListener(std::uint32_t windowsBuild = audio_listener_win32::windowsBuild());
    ~Win32AudioListener() override;
    Win32AudioListener(const Win32AudioListener&) = delete;
    Win32AudioListener& operator=(const Win32AudioListener&) = delete;

    void start(OnsetHandler onOnset, FailureHandler onFailure) override;
    void stop() override;
    /// The device the next start listens to; empty: the system's default device at that time.
    void setDevice(std::wstring id) { device_ = std::move(id); }
    void listenTo(const GbkText& player, ListeningHandler onListening) override;

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void finish(std::uint64_t session, void* outcome);
    void began(std::uint64_t session, ListenSource source);

    std::uint32_t windowsBuild_;
    HWND window_ = nullptr;
    HANDLE stopEvent_ = nullptr;
    std::thread worker_;
    std::uint64_t session_ = 0;
    std::wstring device_;
    OnsetHandler onOnset_;
    FailureHandler onFailure_;
    ListeningHandler onListening_;
    GbkText nextPlayer_;  // for the next start
    ListeningHandler nextOnListening_;
};
