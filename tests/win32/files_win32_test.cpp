// Files on Windows: saves that fail leave the old file and no temporary one; file lists hold
// exactly the names that end in the suffix.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.hpp"
#include "win32/wide_path.hpp"

namespace {

class FilesWin32 : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folderW_ = std::wstring(temp) + L"cantorel-files-" + std::to_wstring(GetTickCount());
        ASSERT_TRUE(CreateDirectoryW(folderW_.c_str(), nullptr));
        folder_ = std::string(folderW_.begin(), folderW_.end());  // ASCII only
    }
    void TearDown() override {
        for (const GbkText& name : files::listFiles(folder_, "")) {
            const std::wstring path = folderW_ + L"\\" + std::wstring(name.begin(), name.end());
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        }
        RemoveDirectoryW(folderW_.c_str());
    }
    GbkText path(const char* name) const { return files::join(folder_, name); }

    std::wstring folderW_;
    GbkText folder_;
};

TEST_F(FilesWin32, ReadOnlyTargetKeepsItsBytesAndNoTemporaryFileIsLeft) {
    const GbkText ini = path("kvd.ini");
    ASSERT_TRUE(files::writeAtomically(ini, "old"));
    const std::wstring iniW = folderW_ + L"\\kvd.ini";
    ASSERT_TRUE(SetFileAttributesW(iniW.c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_FALSE(files::writeAtomically(ini, "new"));
    EXPECT_EQ(files::readAll(ini), "old");
    EXPECT_EQ(files::listFiles(folder_, ""), (std::vector<GbkText>{"kvd.ini"}));

    SetFileAttributesW(iniW.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(files::writeAtomically(ini, "new"));
    EXPECT_EQ(files::readAll(ini), "new");
    EXPECT_FALSE(files::writeAtomically(path("missing\\kvd.ini"), "x"));
    EXPECT_EQ(files::readAll(path("missing.ini")), std::nullopt);
}

TEST_F(FilesWin32, AWriteProbeLeavesNothingAndFailsWhereNoFileCanBeMade) {
    EXPECT_TRUE(files::canWriteIn(folder_));
    EXPECT_TRUE(files::listFiles(folder_, "").empty());
    EXPECT_FALSE(files::canWriteIn(path("missing")));
}

TEST_F(FilesWin32, ListHoldsOnlyNamesEndingInTheSuffix) {
    for (const char* name : {"b.lrc", "A.LRC", "c.lrcx", "d.lrc.bak", "elrc"}) {
        ASSERT_TRUE(files::writeAtomically(path(name), "x")) << name;
    }
    ASSERT_TRUE(CreateDirectoryW((folderW_ + L"\\dir.lrc").c_str(), nullptr));
    EXPECT_EQ(files::listFiles(folder_, ".lrc"), (std::vector<GbkText>{"A.LRC", "b.lrc"}));
    RemoveDirectoryW((folderW_ + L"\\dir.lrc").c_str());
}

TEST_F(FilesWin32, LeftoverTemporariesOfTheTargetGoAndOtherFilesStay) {
    const std::vector<const char*> leftovers = {"kvd.ini.tmp1234", "KVD.INI.TMP7"};
    const std::vector<const char*> others = {"kvd.ini",         "kvd.ini.tmp",  "kvd.ini.tmp12x",
                                             "kvd.ini.tmp.bak", "qz.zbb.tmp55", "xkvd.ini.tmp1"};
    for (const char* name : leftovers) ASSERT_TRUE(files::writeAtomically(path(name), "x"));
    for (const char* name : others) ASSERT_TRUE(files::writeAtomically(path(name), "x"));

    // Another copy's save in progress: its process still runs (held suspended here).
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring cmd = std::wstring(system) + L"\\cmd.exe";
    std::wstring line = L"cmd";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION writer{};
    ASSERT_TRUE(CreateProcessW(cmd.c_str(), line.data(), nullptr, nullptr, FALSE,
                               CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                               &writer));
    const std::string running = "kvd.ini.tmp" + std::to_string(writer.dwProcessId);
    ASSERT_TRUE(files::writeAtomically(path(running.c_str()), "x"));

    EXPECT_EQ(files::removeLeftoverTemporaries(path("kvd.ini")), 2);
    for (const char* name : leftovers) EXPECT_FALSE(files::exists(path(name))) << name;
    for (const char* name : others) EXPECT_TRUE(files::exists(path(name))) << name;
    EXPECT_TRUE(files::exists(path(running.c_str())));
    TerminateProcess(writer.hProcess, 0);
    WaitForSingleObject(writer.hProcess, 5000);
    CloseHandle(writer.hThread);
    CloseHandle(writer.hProcess);
    EXPECT_EQ(files::removeLeftoverTemporaries(path("kvd.ini")), 1);
}

}  // namespace

// Names GBK cannot hold, in a folder whose own name GBK cannot hold either (a program folder
// under a Korean user name): each file is listed under a name of its own, read and written
// through it, and "・" (which a best-fit conversion would turn into "·") never reaches the
// file that really is called "a·b.lrc".
TEST(FilesWin32Names, NamesOutsideGbkAreListedReadAndWrittenAsThemselves) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folderW =
        std::wstring(temp) + L"cantorel-\xAC00\xC0AC-" + std::to_wstring(GetTickCount());
    ASSERT_TRUE(CreateDirectoryW(folderW.c_str(), nullptr));
    const std::vector<std::pair<std::wstring, std::string>> real = {
        {L"\xC0AC\xB791\xD574.lrc", "ko"},  // 사랑해.lrc
        {L"\xD589\xBCF5.lrc", "ko2"},       // 행복.lrc: the same stand-in length
        {L"a\x30FB"
         L"b.lrc",
         "katakana dot"},  // a・b.lrc
        {L"a\x00B7"
         L"b.lrc",
         "middle dot"},                        // a·b.lrc, which GBK holds
        {L"\xD83C\xDFB5\x266A.lrc", "emoji"},  // 🎵♪.lrc
    };
    for (const auto& [name, bytes] : real) {
        HANDLE file = CreateFileW((folderW + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD wrote = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
        CloseHandle(file);
    }
    // What the folder browser or the program's own path hands the program.
    const GbkText folder = win32::pathText(folderW);
    EXPECT_NE(folder.find('?'), GbkText::npos);

    const std::vector<GbkText> names = files::listFiles(folder, ".lrc");
    ASSERT_EQ(names.size(), real.size());
    std::set<std::string> contents;
    for (const GbkText& name : names) {
        const auto bytes = files::readAll(files::join(folder, name));
        ASSERT_TRUE(bytes) << name;
        contents.insert(*bytes);
        EXPECT_TRUE(files::exists(files::join(folder, name))) << name;
    }
    EXPECT_EQ(contents.size(), real.size());  // every file read, none twice
    EXPECT_EQ(*files::readAll(files::join(folder,
                                          "a\xA1\xA4"
                                          "b.lrc")),
              "middle dot");
    EXPECT_EQ(files::listFiles(folder, ".lrc"), names);  // the same names every time

    // Settings beside the program: written, read back, and really in the real folder.
    ASSERT_TRUE(files::writeAtomically(files::join(folder, "kvd.ini"), "saved"));
    EXPECT_EQ(files::readAll(files::join(folder, "kvd.ini")), "saved");
    EXPECT_NE(GetFileAttributesW((folderW + L"\\kvd.ini").c_str()), INVALID_FILE_ATTRIBUTES);

    for (const auto& [name, bytes] : real) DeleteFileW((folderW + L"\\" + name).c_str());
    DeleteFileW((folderW + L"\\kvd.ini").c_str());
    RemoveDirectoryW(folderW.c_str());
}
