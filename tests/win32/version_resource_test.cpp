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

// The manifest Windows reads from Cantorel.exe: the Windows versions it is made for, density
// awareness per monitor, and long paths.
TEST(VersionResource, TheProgramsManifestNamesItsSystemsDensityAndLongPaths) {
    std::wstring build = practice::clientPath();
    if (build.empty()) GTEST_SKIP() << "CANTOREL_BUILD_DIR is not set";
    build.resize(build.find(L"\\tools\\"));
    HMODULE exe = LoadLibraryExW((build + L"\\Cantorel.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(exe, nullptr);
    HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(exe, found)));
    const std::string manifest(bytes, SizeofResource(exe, found));
    FreeLibrary(exe);
    for (const char* id : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a",   // 7
                           "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",   // 8
                           "1f676c76-80e1-4239-95bb-83d0f6d0da78",   // 8.1
                           "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})  // 10 and 11
        EXPECT_NE(manifest.find(id), std::string::npos) << id;
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(">true</longPathAware>"), std::string::npos);
}
