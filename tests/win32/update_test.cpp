// The online update end to end: Cantorel.exe runs in a folder of its own against the test's
// update site, which offers update-mark.exe (it leaves mark.txt when it starts) as the new
// version, on pages signed with a key made for the run and named in cantorel.ini.
// clang-format off
#include "tests/win32/update_site.hpp"
// clang-format on
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>

#include "platform/sha256.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/test_key.hpp"
#include "win32/gui/gui_text.hpp"

namespace {

namespace fs = std::filesystem;
using update_site::Answer;
using update_site::Mode;
using Clock = std::chrono::steady_clock;

fs::path buildPath(const char* relative) {
    const char* build = std::getenv("CANTOREL_BUILD_DIR");
    if (!build || !*build) return {};
    std::string path = build;
    if (path[0] == '/') path = "Z:" + path;
    return fs::path(path) / relative;
}

std::optional<std::string> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

GbkText notice(bool forced, bool prompt) {
    return GbkText("<html><p>////开始</p><p>是否强制更新=") + (forced ? "是" : "否") +
           "</p><p>是否提示更新=" + (prompt ? "是" : "否") + "</p><p>////结束</p></html>";
}

/// An information page offering `name` from the site, unsigned.
GbkText info(const std::string& base, const GbkText& name, const std::string& checksum,
             const GbkText& version = "9.0") {
    return infoPage(" " + base + "/new.exe ", name, checksum, version);
}

/// The first top-level window of class `className` that belongs to process `pid`.
HWND windowOf(DWORD pid, const wchar_t* className) {
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, className, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(found, &owner);
        if (owner == pid) return found;
    }
    return nullptr;
}

template <typename F>
bool waitFor(F condition, int milliseconds) {
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

/// Cantorel.exe copied into a folder of its own with a cantorel.ini naming the update pages.
class Program {
  public:
    Program(const std::string& noticeAddress, const std::string& infoAddress,
            const std::string& key = "") {
        exe_ = folder / "Cantorel.exe";
        fs::copy_file(buildPath("Cantorel.exe"), exe_);
        original_ = *readFile(exe_);
        folder.write("cantorel.ini", "[network]\r\nupdate_notice=" + noticeAddress +
                                         "\r\nupdate_info=" + infoAddress +
                                         "\r\nupdate_key=" + key + "\r\n");
    }
    ~Program() {
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                PostMessageW(mainWindow(), WM_CLOSE, 0, 0);
                if (WaitForSingleObject(process_.hProcess, 5000) == WAIT_TIMEOUT)
                    TerminateProcess(process_.hProcess, 1);
            }
            WaitForSingleObject(process_.hProcess, 5000);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
    }

    void start() {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + exe_.wstring() + L"\"";
        started_ = Clock::now();
        ASSERT_TRUE(CreateProcessW(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, exe_.parent_path().c_str(), &startup, &process_));
    }

    HWND mainWindow() const { return windowOf(process_.dwProcessId, L"CantorelMainWindow"); }
    HWND updateWindow() const { return windowOf(process_.dwProcessId, L"CantorelUpdateWindow"); }
    bool ended(int milliseconds) const {
        return WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0;
    }
    DWORD exitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }
    /// What 下载进度 says.
    GbkText progressText() const {
        HWND window = updateWindow();
        return window ? gui::windowText(GetDlgItem(window, 102)) : GbkText();
    }
    bool mainVisible() const {
        HWND window = mainWindow();
        return window && IsWindowVisible(window);
    }
    /// Milliseconds from the start to the main window on screen; -1 when it never showed.
    long long msToVisible(int limit) const {
        if (!waitFor([&] { return mainVisible(); }, limit)) return -1;
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started_)
            .count();
    }
    /// No temporary file, no mark and the running program untouched.
    void expectNothingStarted() const {
        EXPECT_FALSE(fs::exists(folder / "mark.txt"));
        EXPECT_EQ(readFile(exe_), original_);
        for (const auto& entry : fs::directory_iterator(exe_.parent_path())) {
            const std::string name = entry.path().filename().string();
            EXPECT_EQ(name.find(".download"), std::string::npos) << name;
            EXPECT_EQ(name.find(".old"), std::string::npos) << name;
        }
    }

    TempFolder folder{"cantorel-update"};
    fs::path exe_;
    std::string original_;

  private:
    PROCESS_INFORMATION process_{};
    Clock::time_point started_;
};

class UpdateRun : public ::testing::Test {
  protected:
    void SetUp() override {
        if (buildPath("Cantorel.exe").empty()) GTEST_SKIP() << "CANTOREL_BUILD_DIR is not set";
        auto mark = readFile(buildPath("tests/update-mark.exe"));
        ASSERT_TRUE(mark) << "update-mark.exe is not built";
        mark_ = *mark;
        digest_ = *sha256Hex(mark_);
        site.set("/new.exe", {mark_});
    }

    /// The site offers an update: `page` as the information page, signed by the maker.
    void offer(bool forced, bool prompt, const GbkText& page) {
        site.set("/notice", {notice(forced, prompt)});
        site.set("/info", {signPage(maker, page)});
    }
    /// Cantorel.exe trusting the maker's key.
    std::unique_ptr<Program> program() {
        return std::make_unique<Program>(site.base() + "/notice", site.base() + "/info",
                                         maker.publicBase64());
    }

    TestKey maker;
    update_site::Site site;
    std::string mark_;
    std::string digest_;
};

TEST_F(UpdateRun, ForcedUpdateStartsTheVerifiedProgramAndEnds) {
    std::string upper = digest_;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    offer(true, false, info(site.base(), "mark.exe", upper));
    auto running = this->program();
    Program& program = *running;
    program.start();
    ASSERT_TRUE(program.ended(60000)) << program.progressText();
    EXPECT_EQ(program.exitCode(), 0u);
    EXPECT_TRUE(waitFor([&] { return fs::exists(program.folder / "mark.txt"); }, 10000));
    EXPECT_EQ(readFile(program.folder / "mark.exe"), mark_);
    EXPECT_EQ(readFile(program.exe_), program.original_);  // the old program stays as it was
    EXPECT_FALSE(fs::exists(program.folder / "mark.exe.download"));
}

TEST_F(UpdateRun, YesToTheQuestionReplacesTheRunningProgram) {
    offer(false, true, info(site.base(), "Cantorel.exe", digest_));
    auto running = this->program();
    Program& program = *running;
    program.start();
    HWND box = nullptr;
    ASSERT_TRUE(waitFor(
        [&] { return (box = FindWindowW(L"#32770", L"字幕工具版本更新提示：")) != nullptr; },
        30000));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), LPARAM(GetDlgItem(box, IDYES)));
    ASSERT_TRUE(program.ended(60000)) << program.progressText();
    EXPECT_TRUE(waitFor([&] { return fs::exists(program.folder / "mark.txt"); }, 10000));
    EXPECT_EQ(readFile(program.exe_), mark_);
    EXPECT_EQ(readFile(program.folder / "Cantorel.exe.old"), program.original_);
}

TEST_F(UpdateRun, RefusedUpdatesStartNothingAndGiveTheProgramBack) {
    struct Case {
        const char* what;
        GbkText page;  // signed by the maker unless `served` says otherwise
        Mode download;
        GbkText message;
        std::optional<GbkText> served = std::nullopt;  // the page exactly as the site serves it
    };
    const std::string base = site.base();
    TestKey stranger;
    const Case cases[] = {
        {"unsigned", "", Mode::Whole, "更新失败：更新信息没有签名",
         info(base, "mark.exe", digest_)},
        {"signed by another key", "", Mode::Whole, "更新失败：更新信息的签名不符",
         signPage(stranger, info(base, "mark.exe", digest_))},
        {"older version", info(base, "mark.exe", digest_, "3.9"), Mode::Whole,
         "更新失败：版本 3.9 不比 " CANTOREL_VERSION " 新"},
        {"wrong checksum", info(base, "mark.exe", std::string(64, '0')), Mode::Whole,
         "更新失败：校验码不符"},
        {"parent folder", info(base, "..\\evil.exe", digest_), Mode::Whole,
         "更新失败：程序名字不可用"},
        {"device", info(base, "CON.exe", digest_), Mode::Whole, "更新失败：程序名字不可用"},
        {"cut transfer", info(base, "mark.exe", digest_), Mode::Cut, "更新失败：下载不完整"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.served) {
            site.set("/notice", {notice(true, false)});
            site.set("/info", {*c.served});
        } else {
            offer(true, false, c.page);
        }
        site.set("/new.exe", {mark_, c.download});
        auto running = this->program();
        Program& program = *running;
        program.start();
        EXPECT_TRUE(waitFor([&] { return program.progressText() == c.message; }, 30000))
            << program.progressText();
        EXPECT_TRUE(waitFor([&] { return program.mainVisible(); }, 5000));
        program.expectNothingStarted();
        EXPECT_FALSE(fs::exists(program.folder / "..\\evil.exe"));
        EXPECT_FALSE(program.ended(0));
    }
}

TEST_F(UpdateRun, AnUpdateCutShortBetweenItsRenamesIsPutRightAtTheNextStart) {
    // The last run died after mark.exe stepped aside and before its successor took the name.
    Program program("", "");
    program.folder.write("mark.exe.old", mark_);
    program.folder.write("mark.exe.00112233445566ff.download", "half");
    program.start();
    ASSERT_TRUE(waitFor([&] { return program.mainVisible(); }, 30000));
    EXPECT_EQ(readFile(program.folder / "mark.exe"), mark_);
    program.expectNothingStarted();
}

TEST_F(UpdateRun, ClosingTheWindowStopsTheDownloadAndGivesTheProgramBack) {
    offer(true, false, info(site.base(), "mark.exe", digest_));
    site.set("/new.exe", {mark_, Mode::Slow});
    auto running = this->program();
    Program& program = *running;
    program.start();
    ASSERT_TRUE(waitFor([&] { return site.sending() == 1; }, 30000));
    PostMessageW(program.updateWindow(), WM_CLOSE, 0, 0);
    // Generous waits: the machine running the tests may be busy.
    EXPECT_TRUE(waitFor([&] { return program.mainVisible(); }, 10000));
    EXPECT_TRUE(waitFor([&] { return program.updateWindow() == nullptr; }, 10000))
        << program.progressText();
    program.expectNothingStarted();
    EXPECT_FALSE(program.ended(0));
}

TEST_F(UpdateRun, ASilentNoticeHostNeverHoldsTheWindowBack) {
    long long plain = -1;
    {
        Program program("", "");
        program.start();
        plain = program.msToVisible(30000);
    }
    site.set("/notice", {"", Mode::Silent});
    Program program(site.base() + "/notice", site.base() + "/info");
    program.start();
    HWND window = nullptr;
    ASSERT_TRUE(waitFor([&] { return (window = program.mainWindow()) != nullptr; }, 30000));
    // Once the window exists it is on screen at once, and it answers while the host is silent.
    EXPECT_TRUE(waitFor([&] { return program.mainVisible(); }, 500));
    const long long silent = program.msToVisible(0);
    std::printf("start-up to visible main window: no address %lld ms, silent update host %lld ms\n",
                plain, silent);
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &result));
    HWND toggle = nullptr;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM found) {
            if (gui::windowText(child) != "设置[展开]") return TRUE;
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
        },
        LPARAM(&toggle));
    ASSERT_NE(toggle, nullptr);
    PostMessageW(toggle, BM_CLICK, 0, 0);
    EXPECT_TRUE(waitFor([&] { return gui::windowText(toggle) == "设置[收起]"; }, 2000));
}

}  // namespace
