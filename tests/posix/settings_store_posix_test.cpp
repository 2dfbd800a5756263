// Saves into a folder that refuses new files: the earlier files must stay whole.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "app/list_file.hpp"
#include "app/settings_store.hpp"
#include "platform/files.hpp"
#include "tests/support/temp_folder.hpp"
#include "ui/memory_units.hpp"

namespace {

bool setImmutable(const std::string& folder, bool on) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

// Makes a folder refuse new entries: write permission is enough for an ordinary user, while
// root passes permission checks and needs the immutable attribute.
class LockedFolder {
  public:
    explicit LockedFolder(std::string path) : path_(std::move(path)) {
        if (::geteuid() == 0) {
            immutable_ = setImmutable(path_, true);
            locked_ = immutable_;
        } else {
            locked_ = ::chmod(path_.c_str(), 0500) == 0;
        }
    }
    ~LockedFolder() {
        if (immutable_) setImmutable(path_, false);
        ::chmod(path_.c_str(), 0700);
    }
    bool locked() const { return locked_; }

  private:
    std::string path_;
    bool immutable_ = false;
    bool locked_ = false;
};

// A settings store over a fresh folder of its own.
struct StoreOnDisk {
    TempFolder temp{"cantorel-store"};
    GbkText folder = temp.gbk();
    MemoryUnits memory;
    MainUnits units{memory};
    SettingsStore store{units, folder};
};

TEST(SettingsStoreOnDisk, FailedSaveLeavesEveryEarlierFileWhole) {
    StoreOnDisk disk;
    auto& [temp, folder, memory, units, store] = disk;
    units.填充.setText("first");
    units.前缀.addItem("p1");
    units.后缀.addItem("s1");
    ASSERT_TRUE(store.save());
    const std::string ini = *files::readAll(store.iniPath());
    const std::string prefixes = *files::readAll(store.prefixPath());
    const std::string suffixes = *files::readAll(store.suffixPath());

    units.填充.setText("second");
    units.前缀.addItem("p2");
    units.后缀.clear();
    {
        LockedFolder lock(folder);
        if (!lock.locked()) GTEST_SKIP() << "this file system cannot lock a folder";
        EXPECT_FALSE(store.save());
        EXPECT_EQ(files::readAll(store.iniPath()), ini);
        EXPECT_EQ(files::readAll(store.prefixPath()), prefixes);
        EXPECT_EQ(files::readAll(store.suffixPath()), suffixes);
    }
    // No temporary file is left behind, and the next save goes through.
    EXPECT_EQ(files::listFiles(folder, ""), (std::vector<GbkText>{"hz.zbb", "kvd.ini", "qz.zbb"}));
    EXPECT_TRUE(store.save());
    EXPECT_EQ(lists::readListFile(store.prefixPath()), (std::vector<GbkText>{"p1", "p2"}));
}

TEST(SettingsStoreOnDisk, ReadOnlyFileIsLeftAsItIsAndTheOthersAreSaved) {
    StoreOnDisk disk;
    auto& [temp, folder, memory, units, store] = disk;
    units.填充.setText("first");
    ASSERT_TRUE(store.save());
    const std::string ini = *files::readAll(store.iniPath());
    ASSERT_EQ(::chmod(store.iniPath().c_str(), 0444), 0);

    units.填充.setText("second");
    units.前缀.addItem("p1");
    EXPECT_FALSE(store.save());
    EXPECT_EQ(files::readAll(store.iniPath()), ini);
    EXPECT_EQ(lists::readListFile(store.prefixPath()), (std::vector<GbkText>{"p1"}));
    EXPECT_EQ(files::listFiles(folder, ""), (std::vector<GbkText>{"hz.zbb", "kvd.ini", "qz.zbb"}));
}

TEST(FilesOnDisk, WriteIfChangedTouchesOnlyFilesThatDiffer) {
    TempFolder temp;
    const GbkText path = files::join(temp.gbk(), "a.ini");
    EXPECT_TRUE(files::writeIfChanged(path, "one"));  // a missing file is written
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    // Up to date: nothing is written, so even a read-only file is no failure.
    EXPECT_TRUE(files::writeIfChanged(path, "one"));
    EXPECT_FALSE(files::writeIfChanged(path, "two"));
    EXPECT_EQ(files::readAll(path), "one");
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    EXPECT_TRUE(files::writeIfChanged(path, "two"));
    EXPECT_EQ(files::readAll(path), "two");
}

}  // namespace
