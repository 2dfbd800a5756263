// cantorel-cli.exe as a Western Windows runs it (code page 1252): a Chinese file name on its
// command line arrives intact and the Chinese it prints comes out as UTF-8 when redirected.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/win32/practice_client_runner.hpp"

namespace {

// Runs `command` with LC_ALL=C.UTF-8 (code page 1252 under Wine) and its output in a pipe;
// what it wrote to stdout and stderr.
std::string runWesternConsole(std::wstring command) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) return {};
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{sizeof startup};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = write;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring environment;
    for (const wchar_t* entry : {L"LC_ALL=C.UTF-8", L"WINEDEBUG=-all"})
        environment += std::wstring(entry) + L'\0';
    environment += L'\0';
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                                        CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW,
                                        environment.data(), nullptr, &startup, &process);
    CloseHandle(write);
    std::string output;
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0)
            output.append(buffer, got);
        WaitForSingleObject(process.hProcess, 30000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(read);
    return output;
}

TEST(CliConsole, ChineseArgumentsArriveIntactAndChineseOutputIsUtf8WhenRedirected) {
    std::wstring build = practice::clientPath();
    if (build.empty()) GTEST_SKIP() << "CANTOREL_BUILD_DIR is not set";
    build.resize(build.find(L"\\tools\\"));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring lyric = std::wstring(temp) + L"\x661F\x5149-cli.lrc";  // 星光-cli.lrc
    HANDLE file = CreateFileW(lyric.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::string bytes = "[00:01.00]\xD0\xC7\xB9\xE2\r\n";  // 星光 in GBK
    DWORD wrote = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
    CloseHandle(file);

    const std::string output =
        runWesternConsole(L"\"" + build + L"\\cantorel-cli.exe\" parse \"" + lyric + L"\"");
    EXPECT_EQ(output, "1000\t\xE6\x98\x9F\xE5\x85\x89\r\n");  // 星光 in UTF-8
    DeleteFileW(lyric.c_str());
}

}  // namespace
