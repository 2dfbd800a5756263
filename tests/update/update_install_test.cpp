#include "update/update_install.hpp"

#include <gtest/gtest.h>

#include "platform/files.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

struct Folder {
    TempFolder temp{"cantorel-install"};
    GbkText path(const GbkText& name) const { return files::join(temp.gbk(), name); }
    std::optional<std::string> read(const GbkText& name) const {
        return files::readAll(path(name));
    }
    /// A finished download of `bytes`, under the name the update gives it.
    GbkText download(const GbkText& program, std::string_view bytes) const {
        GbkText name;
        auto file = files::createUnique(temp.gbk(), program + ".", kDownloadSuffix, name);
        EXPECT_TRUE(file && file->write(bytes) && file->close());
        return name;
    }
};

TEST(UpdateInstall, DownloadsGetFreshUnguessableNamesAndNeverOpenAnExistingFile) {
    Folder f;
    const GbkText a = f.download("Cantorel.exe", "one");
    const GbkText b = f.download("Cantorel.exe", "two");
    EXPECT_NE(a, b);
    const GbkText name = a.substr(gbk::fileNameStart(a));
    EXPECT_TRUE(isLeftoverDownload(name)) << a;
    EXPECT_EQ(f.read(name), "one");
    for (const char* other : {"Cantorel.exe.download", "x.exe.0123456789abcdeg.download",
                              "notes.0123456789abcdef.download", "a.exe.0123456789abcdef.tmp"})
        EXPECT_FALSE(isLeftoverDownload(other)) << other;
}

TEST(UpdateInstall, AnEarlierProgramOfTheNameIsKeptAsOldAndComesBackOnUndo) {
    Folder f;
    f.temp.write("mark.exe", "earlier");
    InstallResult placed = putInPlace(f.download("mark.exe", "new"), f.path("mark.exe"));
    ASSERT_TRUE(placed.ok) << placed.reason;
    EXPECT_TRUE(placed.movedAside);
    EXPECT_EQ(f.read("mark.exe"), "new");
    EXPECT_EQ(f.read("mark.exe.old"), "earlier");
    // The new program did not start: the earlier one takes its name back.
    EXPECT_EQ(undoInstall(f.path("mark.exe"), placed.movedAside), std::nullopt);
    EXPECT_EQ(f.read("mark.exe"), "earlier");
    EXPECT_FALSE(files::exists(f.path("mark.exe.old")));

    // A name nobody used: nothing moves aside.
    placed = putInPlace(f.download("fresh.exe", "new"), f.path("fresh.exe"));
    EXPECT_TRUE(placed.ok && !placed.movedAside);
    EXPECT_EQ(f.read("fresh.exe"), "new");
}

TEST(UpdateInstall, AFailedSwapPutsTheEarlierProgramBackOrSaysWhereItIs) {
    Folder f;
    f.temp.write("mark.exe", "earlier");
    // The download vanished before it could take the name.
    InstallResult placed = putInPlace(f.path("gone.download"), f.path("mark.exe"));
    EXPECT_FALSE(placed.ok);
    EXPECT_EQ(placed.reason, "更新失败：无法保存新程序");
    EXPECT_EQ(f.read("mark.exe"), "earlier");
    EXPECT_FALSE(files::exists(f.path("mark.exe.old")));

    // The earlier program cannot come back: the reason names where it is.
    InstallResult moved = putInPlace(f.download("mark.exe", "new"), f.path("mark.exe"));
    ASSERT_TRUE(moved.ok);
    ASSERT_TRUE(files::remove(f.path("mark.exe.old")));
    EXPECT_EQ(undoInstall(f.path("mark.exe"), true),
              "更新失败：原程序未能放回，它现在是 " + f.path("mark.exe.old"));
}

TEST(UpdateInstall, WhatACrashLeftIsPutRightAtTheNextStart) {
    Folder f;
    // Killed between the two renames: the program is only there as ".old", with its download.
    f.temp.write("mark.exe.old", "earlier");
    const GbkText leftover = f.download("mark.exe", "half");
    // A finished update: the earlier program beside the new one.
    f.temp.write("Cantorel.exe", "new");
    f.temp.write("Cantorel.exe.old", "earlier");
    // A program of another name that an update kept aside stays, as do files that only look
    // alike.
    f.temp.write("other.exe", "new");
    f.temp.write("other.exe.old", "someone else's");
    f.temp.write("notes.old", "mine");
    f.temp.write("song.download", "mine");

    EXPECT_EQ(repairInterruptedUpdate(f.temp.gbk(), "cantorel.EXE"), 3);
    EXPECT_EQ(f.read("mark.exe"), "earlier");
    EXPECT_FALSE(files::exists(leftover));
    EXPECT_FALSE(files::exists(f.path("mark.exe.old")));
    EXPECT_FALSE(files::exists(f.path("Cantorel.exe.old")));
    EXPECT_EQ(f.read("Cantorel.exe"), "new");
    EXPECT_EQ(f.read("other.exe.old"), "someone else's");
    EXPECT_EQ(f.read("notes.old"), "mine");
    EXPECT_EQ(f.read("song.download"), "mine");
    EXPECT_EQ(repairInterruptedUpdate(f.temp.gbk(), "Cantorel.exe"), 0);
}

}  // namespace
