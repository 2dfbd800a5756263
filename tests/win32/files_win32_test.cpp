// Files on Windows: saves that fail leave the old file and no temporary one; file lists hold
// exactly the names that end in the suffix.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/files.hpp"

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

    EXPECT_EQ(files::removeLeftoverTemporaries(path("kvd.ini")), 2);
    for (const char* name : leftovers) EXPECT_FALSE(files::exists(path(name))) << name;
    for (const char* name : others) EXPECT_TRUE(files::exists(path(name))) << name;
}

}  // namespace
