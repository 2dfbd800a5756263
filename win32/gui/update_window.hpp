#pragma once
// The update window 在线更新中请稍后: reads the information page and goes on only when the
// maker signed it; downloads the new program on a worker thread straight into a new file of its
// own, hashing it as it arrives, with the progress refreshed once a second; and puts it in place
// and starts it only when it is whole and its SHA-256 is the one the page gave. Any failure leaves
// the window saying why and brings the main window back; closing the window cancels the download.

#include <windows.h>

#include <functional>
#include <memory>

#include "platform/web_fetch.hpp"
#include "update/download_check.hpp"
#include "update/progress_labels.hpp"

struct UpdateWindowOptions {
    HWND mainWindow = nullptr;  // hidden while the update runs, shown again when it fails
    GbkText programFolder;
    GbkText infoAddress;
    UpdateTrust trust;
    FetchLimits limits;
    std::function<void()> saveSettings;  // runs before the main window is hidden
    std::function<void()> closed;        // the user closed the window; the program goes on
};

/// Control ids of the window's units.
namespace update_ids {
constexpr int k进度条 = 101, k下载进度 = 102, k下载速度 = 103, k已经下载 = 104, k已用时间 = 105,
              k剩余时间 = 106, k按钮1 = 107, k按钮2 = 108, k超级链接框1 = 109, k图片框1 = 110;
}

class UpdateDownloadWindow {
  public:
    UpdateDownloadWindow(UpdateWindowOptions options, WebFetcher& fetcher,
                         std::shared_ptr<HttpClient> client);
    ~UpdateDownloadWindow();
    UpdateDownloadWindow(const UpdateDownloadWindow&) = delete;
    UpdateDownloadWindow& operator=(const UpdateDownloadWindow&) = delete;

    /// Saves the settings, hides the main window, shows this one and asks for the
    /// information page. False when the window could not be created (the main window stays).
    bool open();
    HWND hwnd() const { return hwnd_; }

    struct Job;

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createUnits();
    void onInfo(const FetchOutcome& page);
    void startDownload(const UpdateInfo& info);
    void onTick();
    void onDownloaded();
    bool install();
    void fail(const GbkText& reason);
    void setText(int id, const GbkText& text);

    UpdateWindowOptions options_;
    WebFetcher& fetcher_;
    std::shared_ptr<HttpClient> client_;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    UpdateInfo info_;
    std::shared_ptr<Job> job_;
    std::int64_t lastReceived_ = 0;
    Elapsed elapsed_;
    bool finished_ = false;  // failed or succeeded: no second outcome
};
