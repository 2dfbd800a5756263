// The search panel of the real main window against the local lyric site (CANTOREL_LYRIC_SITE,
// started by the test command): the window's own WinINet fetcher, its handlers and its question
// box, with cantorel.ini in a scratch program folder pointing both sources at the site.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "tests/win32/lyric_site.hpp"
#include "tests/win32/program_folder.hpp"
#include "win32/gui/main_window.hpp"

namespace {

using test_program::freshFolder;
using test_program::gbkPath;

// Milliseconds of the system's tick count (<chrono> does not build with the GBK literals).
long long nowMs() { return static_cast<long long>(GetTickCount64()); }

std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Answers the first question box titled "歌词下载提示！" with Yes, and remembers its text.
class QuestionAnswerer {
  public:
    QuestionAnswerer()
        : thread_([this] {
              for (int i = 0; i < 400 && !stop_; ++i) {
                  HWND box = FindWindowW(L"#32770", L"歌词下载提示！");
                  if (box) {
                      wchar_t text[256] = {};
                      // 0xFFFF is the id of a message box's text.
                      GetDlgItemTextW(box, 0xFFFF, text, 256);
                      text_ = gui::narrow(text);
                      PostMessageW(box, WM_COMMAND, IDYES, 0);
                      return;
                  }
                  Sleep(25);
              }
          }) {}
    ~QuestionAnswerer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    /// Waits for the answer; the question's text, empty when none came.
    GbkText question() {
        if (thread_.joinable()) thread_.join();
        return text_;
    }

  private:
    std::atomic<bool> stop_{false};
    GbkText text_;
    std::thread thread_;
};

class SearchPanelWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string site = lyricSiteAddress();
        ASSERT_FALSE(site.empty());
        const char* source = std::getenv("CANTOREL_SOURCE_DIR");
        ASSERT_TRUE(source && *source);
        sourceDir_ = source;
        test_program::initCommonControls();
        folder_ = freshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::ofstream(folder_ / L"cantorel.ini", std::ios::binary) << networkIni(site);
        window_ =
            std::make_unique<MainWindow>(MainWindowOptions{gui::narrow(folder_.wstring()), false});
        ASSERT_TRUE(window_->create());
        ShowWindow(window_->hwnd(), SW_SHOWNOACTIVATE);
        SendMessageW(control("歌词下载"), BM_CLICK, 0, 0);
    }

    /// cantorel.ini for the window: both old sources at the site, the site chosen.
    virtual std::string networkIni(const std::string& site) {
        return "[network]\r\nlyric_site=" + site + "\r\nlrclib=" + site + "\r\nsource=site\r\n";
    }

    HWND control(std::string_view name) { return window_->units().control(name)->hwnd(); }
    MainUnits& u() { return window_->mainUnits(); }
    GbkText status() { return u().状态条1.part(1); }

    /// Runs the window's messages until `done` holds or `ms` pass; whether it held.
    template <typename Done>
    bool pumpUntil(Done done, int ms = 10000) {
        const long long deadline = nowMs() + ms;
        while (!done()) {
            if (nowMs() > deadline) return false;
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
        return true;
    }

    void search(const GbkText& text) {
        u().欲搜索内容.setText(text);
        SendMessageW(control("搜索歌词"), BM_CLICK, 0, 0);
    }

    std::string sourceDir_;
    std::filesystem::path folder_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(SearchPanelWindow, SearchPreviewAndYesSaveTheHitByteForByteIntoTheFileList) {
    // 来源 fits in the strip above the hit list and shows the choice of cantorel.ini.
    RECT combo{}, label{}, hits{}, name{};
    GetWindowRect(control("来源"), &combo);
    GetWindowRect(control("标签_来源"), &label);
    GetWindowRect(control("欲下载列表"), &hits);
    GetWindowRect(control("欲搜索内容"), &name);
    EXPECT_LE(combo.bottom, hits.top);
    EXPECT_GE(combo.top, name.bottom - 1);
    EXPECT_LE(label.right, combo.left);
    ASSERT_EQ(u().来源.count(), 5);
    EXPECT_EQ(u().来源.item(0), "全部");
    EXPECT_EQ(u().来源.item(3), "LRCLIB");
    EXPECT_EQ(u().来源.editText(), "歌词网站");

    search("starlight");
    EXPECT_EQ(status(), "正在搜索歌曲名为:starlight的歌曲歌词");
    ASSERT_TRUE(pumpUntil([&] { return u().欲下载列表.rowCount() == 9; })) << status();
    EXPECT_EQ(u().欲下载列表.cell(0, 0), "夜航");
    EXPECT_EQ(u().欲下载列表.cell(0, 1), "林间小队");
    EXPECT_EQ(status(), "当前已搜索到:9首歌曲");

    // Selecting the row previews its lyric and asks; Yes saves the bytes fetched.
    QuestionAnswerer answerer;
    u().欲下载列表.setSelection(0);
    ASSERT_TRUE(pumpUntil([&] { return status() == "歌词下载完毕"; })) << status();
    EXPECT_EQ(answerer.question(), "是否需要下载歌词？");
    EXPECT_TRUE(u().歌词预览.visible());
    EXPECT_FALSE(u().超级列表框_歌词.visible());
    ASSERT_EQ(u().歌词预览.rowCount(), 3);
    EXPECT_EQ(u().歌词预览.cell(0, 1), "夜航的船点亮了灯");

    const std::filesystem::path saved = folder_ / L"\u591c\u822a.lrc";  // 夜航.lrc
    EXPECT_EQ(readBytes(saved), readBytes(std::filesystem::path(sourceDir_) /
                                          "tools/lyric-site/data/lrc/night-gbk.lrc"));
    EXPECT_NE(SendMessageW(control("文件框1"), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(L"\u591c\u822a.lrc")),
              LB_ERR);

    // A double-click saves without asking; the preview its first click started is dropped.
    u().欲下载列表.setSelection(1);
    NMITEMACTIVATE doubleClick{};
    doubleClick.hdr.hwndFrom = control("欲下载列表");
    doubleClick.hdr.idFrom = static_cast<UINT_PTR>(window_->units().idOf("欲下载列表"));
    doubleClick.hdr.code = NM_DBLCLK;
    doubleClick.iItem = 1;
    SendMessageW(window_->hwnd(), WM_NOTIFY, doubleClick.hdr.idFrom,
                 reinterpret_cast<LPARAM>(&doubleClick));
    const std::filesystem::path morning = folder_ / L"\u6668\u5149.lrc";  // 晨光.lrc
    ASSERT_TRUE(pumpUntil([&] { return std::filesystem::exists(morning); })) << status();
    EXPECT_EQ(readBytes(morning), readBytes(std::filesystem::path(sourceDir_) /
                                            "tools/lyric-site/data/lrc/morning-utf8.lrc"));
    pumpUntil([] { return false; }, 300);
    EXPECT_EQ(FindWindowW(L"#32770", L"歌词下载提示！"), nullptr);
    EXPECT_EQ(status(), "歌词下载完毕");

    // Choosing LRCLIB in 来源: the next search asks the LRCLIB API, and the choice is kept.
    u().来源.setSelectedIndex(3);
    SendMessageW(window_->hwnd(), WM_COMMAND,
                 MAKEWPARAM(window_->units().idOf("来源"), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control("来源")));
    search("starlight");
    ASSERT_TRUE(pumpUntil([&] { return u().欲下载列表.cell(0, 0) == "Starlight Road"; }))
        << status();
    EXPECT_EQ(u().欲下载列表.cell(0, 1), "The Lanterns");
    EXPECT_NE(readBytes(folder_ / L"cantorel.ini").find("source=lrclib"), std::string::npos);
}

TEST_F(SearchPanelWindow, FailuresKeepTheRowsAndAHangingSearchNeitherBlocksNorOutlivesTheWindow) {
    search("starlight");
    ASSERT_TRUE(pumpUntil([&] { return u().欲下载列表.rowCount() == 9; })) << status();

    search("404");
    ASSERT_TRUE(pumpUntil([&] { return status() == "搜索失败：无法连接歌词网站"; })) << status();
    EXPECT_EQ(u().欲下载列表.rowCount(), 9);
    EXPECT_EQ(u().欲下载列表.cell(0, 0), "夜航");

    // The site holds this answer back for half a minute; the window answers a click meanwhile.
    search("stall");
    EXPECT_EQ(status(), "正在搜索歌曲名为:stall的歌曲歌词");
    PostMessageW(control("设置"), BM_CLICK, 0, 0);
    const long long clicked = nowMs();
    ASSERT_TRUE(pumpUntil([&] { return u().设置.text() == "设置[收起]"; }, 2000));
    const long long ms = nowMs() - clicked;
    EXPECT_LT(ms, 100) << "the toggle took " << ms << " ms";
    EXPECT_TRUE(u().用户设置.visible());

    // Closing does not wait for the transfer, and its answer never reaches the gone panel.
    // (Hidden first: without a window manager, Wine waits two seconds for one whenever a shown
    // top-level window goes off the screen.)
    ShowWindow(window_->hwnd(), SW_HIDE);
    const long long closing = nowMs();
    SendMessageW(window_->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window_->hwnd(), nullptr);
    window_.reset();
    EXPECT_LT(nowMs() - closing, 1000);
    pumpUntil([] { return false; }, 300);
}

// 全部 with QQ Music hanging: NetEase and LRCLIB (the local stand-ins) answer, QQ's address
// never does; a lyric saved from NetEase carries its translation, which 双语歌词 then shapes.
class AllSourcesWindow : public SearchPanelWindow {
  protected:
    std::string networkIni(const std::string& site) override {
        return "[network]\r\nnetease=" + site + "\r\nqq=" + site + "/hang\r\nlrclib=" + site +
               "\r\nsource=all\r\n[lyrics]\r\nbilingual=joined\r\n";
    }
};

TEST_F(AllSourcesWindow, AHangingSourceHoldsNobodyBackAndTheTranslationIsSavedAndJoined) {
    EXPECT_EQ(u().来源.editText(), "全部");
    search("Sakura 樱花");
    const long long asked = nowMs();
    ASSERT_TRUE(pumpUntil([&] { return u().欲下载列表.rowCount() > 0; }, 5000)) << status();
    // The hits are there while QQ still has not answered; how soon is printed, not judged (a
    // busy machine may take longer than the user's would).
    std::printf("first hits of all sources, QQ hanging: %lld ms\n", nowMs() - asked);
    EXPECT_NE(status().find("仍在搜索：QQ音乐"), std::string::npos) << status();

    int row = -1;
    for (int r = 0; r < u().欲下载列表.rowCount(); ++r) {
        if (u().欲下载列表.cell(r, 0) == "Sakura 樱花" && u().欲下载列表.cell(r, 1) == "Hana")
            row = r;
    }
    ASSERT_GE(row, 0);
    QuestionAnswerer answerer;
    u().欲下载列表.setSelection(row);
    ASSERT_TRUE(pumpUntil([&] { return status() == "歌词下载完毕"; })) << status();
    const std::string saved = readBytes(folder_ / L"Sakura \u6a31\u82b1.lrc");
    EXPECT_NE(saved.find(reinterpret_cast<const char*>(
                  u8"[00:05.20]Light on the water, light on the road\n"
                  u8"[00:05.20]\u6c34\u4e0a\u7684\u5149\uff0c\u8def\u4e0a\u7684\u5149\n")),
              std::string::npos)
        << saved;

    // Chosen in the file list, the file's two lines of one time become one joined line.
    u().文件框1.setSelectedName("Sakura 樱花.lrc");
    SendMessageW(window_->hwnd(), WM_COMMAND,
                 MAKEWPARAM(window_->units().idOf("文件框1"), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control("文件框1")));
    ListView& lyric = u().超级列表框_歌词;
    bool joined = false;
    for (int r = 0; r < lyric.rowCount(); ++r) {
        if (lyric.cell(r, 1) == "Light on the water, light on the road / 水上的光，路上的光")
            joined = true;
    }
    EXPECT_TRUE(joined) << lyric.rowCount() << " rows";
}

}  // namespace
