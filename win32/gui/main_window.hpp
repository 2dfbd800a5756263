#pragma once
// The owner of Cantorel's main window: creates the window and its units from the layout, owns
// the program-wide state and the logic objects, and turns window messages into calls of the
// handlers in app/, lyrics/, playback/ and delivery/.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "app/follow_controller.hpp"
#include "app/search_panel.hpp"
#include "app/settings_store.hpp"
#include "delivery/app_state.hpp"
#include "delivery/delivery.hpp"
#include "follow/follow_screen.hpp"
#include "lyrics/lyric_files.hpp"
#include "platform/media_sessions.hpp"
#include "playback/audio_arming.hpp"
#include "playback/line_transform.hpp"
#include "playback/playback_engine.hpp"
#include "ui/main_units.hpp"
#include "win32/audio_listener_win32.hpp"
#include "win32/capture_win32.hpp"
#include "win32/clock_win32.hpp"
#include "win32/gui/update_service.hpp"
#include "win32/gui/win32_units.hpp"
#include "win32/hotkeys_win32.hpp"
#include "win32/message_boxes_win32.hpp"
#include "win32/pace_win32.hpp"
#include "win32/pumping_wait_win32.hpp"
#include "win32/timer_win32.hpp"
#include "win32/web_fetcher_win32.hpp"
#include "win32/window_system_win32.hpp"

struct MainWindowOptions {
    GbkText programFolder;  // settings files (cantorel.ini too) live here; 编辑框1 starts with it
    bool quitOnDestroy = true;  // false when a test hosts the window in its own thread
    /// The media sessions 跟随播放器 reads; empty: the system's (a test hands in its own).
    std::function<std::unique_ptr<MediaSessionReader>(Clock&)> sessionReader;
};

class MainWindow {
  public:
    explicit MainWindow(MainWindowOptions options);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    /// Creates the window (its creation steps run inside) without showing it; false on failure.
    bool create();
    HWND hwnd() const { return hwnd_; }
    /// Keyboard handling for the message loop: true when `message` was used up (Enter on a
    /// push button, Tab and arrow navigation between the units).
    bool translateMessage(MSG& message);

    gui::Win32Units& units() { return *units_; }
    MainUnits& mainUnits() { return *main_; }
    AppState& state() { return state_; }
    SettingsStore& settings() { return *settings_; }
    SearchPanel& searchPanel() { return *search_; }

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool onCreate();
    void wireHandlers();
    void wireSearchPanel();
    void runCreationSteps();
    void onDpiChanged(int dpi, const RECT& suggested);
    void chooseFolder();
    void loadSelectedFile();
    void saveSettings();
    void restartAsAdministrator();
    // The 更多设置 button and the global hotkeys.
    void wireMoreSettings();
    void registerHotkeysAtStart();
    void openMoreSettings();
    void onHotkey(WPARAM id);
    // 跟随播放器: main_window_follow.cpp.
    static constexpr UINT kSessionsMessage = WM_APP + 0x61;  // the reader saw a change
    void wireFollow();
    void applyFollowSettings();
    void onSessionsChanged();
    void startStopClicked();
    void onCommand(int id, int code);
    void onNotify(const NMHDR& header);

    /// Registers `handler` for WM_COMMAND code `code` of unit `name`.
    void onCommand(std::string_view name, int code, std::function<void()> handler);
    /// Registers `handler` for WM_NOTIFY code `code` of unit `name`.
    void onNotify(std::string_view name, int code, std::function<void()> handler);
    /// The same, for a handler that reads the notification's details.
    void onNotify(std::string_view name, int code, std::function<void(const NMHDR&)> handler);

    using Key = std::pair<std::string, int>;
    MainWindowOptions options_;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    HWND lastFocus_ = nullptr;  // the unit that had the focus when the window was left
    bool saveFailureShown_ = false;
    AppState state_;
    Win32WindowSystem windows_;
    Win32MessageBoxes boxes_;
    Win32Clock clock_;
    Win32PumpingWait wait_;
    Win32PaceKeeper pace_;
    std::unique_ptr<UpdateService> updates_;
    // cantorel.ini's [lyrics] and [hotkeys]; file loading reads the lyric shape from here.
    MoreSettings more_;
    std::unique_ptr<Win32Hotkeys> hotkeys_;
    static constexpr UINT_PTR kHotkeyRetryTimer = 2;
    static constexpr UINT kHotkeyRetryMilliseconds = 250;
    static constexpr int kHotkeyTries = 12;  // three seconds
    int hotkeyTries_ = 0;
    int handOver_ = 0;  // the hand_over step of the hotkeys
    std::unique_ptr<gui::Win32Units> units_;
    std::unique_ptr<MainUnits> main_;
    // The logic, in the order it is built (and torn down in reverse).
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<LineTransform> transform_;
    std::unique_ptr<Delivery> delivery_;
    std::unique_ptr<PlaybackEngine> engine_;
    std::unique_ptr<Win32AudioListener> listener_;
    std::unique_ptr<AudioArming> arming_;  // a start that waits for the accompaniment
    std::unique_ptr<LyricFiles> lyricFiles_;
    std::unique_ptr<Win32Capture> capture_;
    // The fetcher outlives the panel whose answers it delivers.
    std::unique_ptr<Win32WebFetcher> fetcher_;
    std::unique_ptr<SearchPanel> search_;
    // Following the playing song (跟随播放器).
    std::unique_ptr<MediaSessionReader> sessions_;
    std::unique_ptr<Win32Timer> followTimer_;
    std::unique_ptr<FollowScreen> followScreen_;
    std::unique_ptr<FolderLyricFinder> followFinder_;
    std::unique_ptr<LyricFinder> followSources_;
    std::unique_ptr<ChainedLyricFinder> followLookup_;  // the lyric folder, then the sources
    std::unique_ptr<PlayerOffsets> followOffsets_;
    std::unique_ptr<Follower> follower_;
    std::unique_ptr<FollowController> follow_;
    std::map<Key, std::function<void()>> commands_;
    std::map<Key, std::function<void(const NMHDR&)>> notifications_;
};
