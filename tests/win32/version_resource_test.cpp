// The version resource of both executables: what Explorer shows under Properties > Details.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/win32/practice_client_runner.hpp"

namespace {

// One string of the resource's US English, Unicode block; empty when it is missing.
std::wstring versionString(const std::wstring& exe, const wchar_t* name) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<char> block(size);
    if (!GetFileVersionInfoW(exe.c_str(), 0, size, block.data())) return {};
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
        return {};
    return std::wstring(value, length > 0 ? length - 1 : 0);
}

TEST(VersionResource, BothExecutablesNameTheProductAndTheProjectVersion) {
    std::wstring build = practice::clientPath();
    if (build.empty()) GTEST_SKIP() << "CANTOREL_BUILD_DIR is not set";
    build.resize(build.find(L"\\tools\\"));
    const std::wstring version = practice::widen(CANTOREL_VERSION);
    for (const wchar_t* exe : {L"\\Cantorel.exe", L"\\cantorel-cli.exe"}) {
        const std::wstring path = build + exe;
        EXPECT_EQ(versionString(path, L"ProductName"), L"Cantorel");
        EXPECT_EQ(versionString(path, L"FileVersion"), version);
        EXPECT_EQ(versionString(path, L"OriginalFilename"), std::wstring(exe + 1));
        EXPECT_NE(versionString(path, L"FileDescription"), L"");
    }
}

}  // namespace
