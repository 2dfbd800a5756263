// One copy per program folder, with the real Cantorel.exe: a second start from the same folder
// leaves the first window alone and ends; a copy in another folder runs beside it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;

fs::path builtProgram() {
    const char* build = std::getenv("CANTOREL_BUILD_DIR");
    if (!build || !*build) return {};
    std::string path = build;
    if (path[0] == '/') path = "Z:" + path;
    return fs::path(path) / "Cantorel.exe";
}

PROCESS_INFORMATION start(const fs::path& exe) {
    std::wstring command = L"\"" + exe.wstring() + L"\"";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                   exe.parent_path().c_str(), &startup, &process);
    return process;
}

// The visible main windows of `process`.
int windowsOf(const PROCESS_INFORMATION& process) {
    int count = 0;
    for (HWND w = FindWindowExW(nullptr, nullptr, L"CantorelMainWindow", nullptr); w;
         w = FindWindowExW(nullptr, w, L"CantorelMainWindow", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == process.dwProcessId && IsWindowVisible(w)) ++count;
    }
    return count;
}

bool waitFor(const std::function<bool()>& done, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 100) {
        if (done()) return true;
        Sleep(100);
    }
    return done();
}

void end(PROCESS_INFORMATION& process) {
    if (!process.hProcess) return;
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

TEST(SingleCopy, ASecondStartFromTheSameFolderEndsAndOneInAnotherFolderRuns) {
    const fs::path built = builtProgram();
    if (built.empty()) GTEST_SKIP() << "CANTOREL_BUILD_DIR is not set";
    TempFolder one{"cantorel-copy-a"}, other{"cantorel-copy-b"};
    const fs::path first = one / "Cantorel.exe";
    const fs::path beside = other / "Cantorel.exe";
    fs::copy_file(built, first);
    fs::copy_file(built, beside);

    PROCESS_INFORMATION running = start(first);
    ASSERT_TRUE(running.hProcess);
    ASSERT_TRUE(waitFor([&] { return windowsOf(running) == 1; }, 30000));

    PROCESS_INFORMATION second = start(first);
    ASSERT_TRUE(second.hProcess);
    EXPECT_EQ(WaitForSingleObject(second.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(second.hProcess, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(windowsOf(running), 1);

    PROCESS_INFORMATION elsewhere = start(beside);
    EXPECT_TRUE(waitFor([&] { return windowsOf(elsewhere) == 1; }, 30000));
    EXPECT_EQ(WaitForSingleObject(elsewhere.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    end(elsewhere);
    end(second);
    end(running);
}

}  // namespace
