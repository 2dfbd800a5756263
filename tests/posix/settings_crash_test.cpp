// A process that saves the settings over and over is killed at random moments: every settings
// file is always the whole file of one save, and the next start clears what a killed save left.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/settings_store.hpp"
#include "platform/files.hpp"
#include "tests/support/temp_folder.hpp"
#include "ui/memory_units.hpp"

namespace {

// Save number `generation`: every box and item carries "#<generation>#" ('#' is never the second
// byte of a GBK character, so the number reads back unambiguously), and the lists are long
// enough that a save takes a while.
void fillGeneration(MainUnits& units, int generation) {
    const std::string tag = "#" + std::to_string(generation) + "#";
    for (const StoredEditBox& box : kStoredEditBoxes)
        box.unit(units).setText(tag + " " + std::string(box.key) + " 歌词");
    units.前缀.clear();
    units.后缀.clear();
    for (int i = 0; i < 200; ++i) {
        units.前缀.addItem(tag + " 前缀 " + std::to_string(i));
        units.后缀.addItem(tag + " 后缀 " + std::to_string(i));
    }
}

std::optional<int> generationOf(const std::string& bytes) {
    const size_t open = bytes.find('#');
    const size_t close = open == std::string::npos ? open : bytes.find('#', open + 1);
    if (close == std::string::npos || close == open + 1) return std::nullopt;
    return std::stoi(bytes.substr(open + 1, close - open - 1));
}

struct Store {
    explicit Store(const GbkText& folder) : store(units, folder) {
        units.退出前自动保存所有配置.setChecked(true);
    }
    MemoryUnits memory;
    MainUnits units{memory};
    SettingsStore store;
};

// The three files as one save of `generation` writes them, made in a folder of their own.
std::array<std::string, 3> filesOfGeneration(int generation) {
    TempFolder scratch("cantorel-crash-ref");
    Store s(scratch.gbk());
    fillGeneration(s.units, generation);
    EXPECT_TRUE(s.store.save());
    return {files::readAll(s.store.iniPath()).value_or(""),
            files::readAll(s.store.prefixPath()).value_or(""),
            files::readAll(s.store.suffixPath()).value_or("")};
}

// A new process that starts the way the program does (loading the settings) and then saves
// generation after generation from `first` on; it tells `ready` once it is saving.
pid_t startSaver(const GbkText& folder, int first, bool saveForever) {
    int ready[2];
    if (::pipe(ready) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        Store s(folder);
        s.store.load();
        s.store.loadLists();
        (void)!::write(ready[1], "r", 1);
        for (int generation = first; saveForever; ++generation) {
            fillGeneration(s.units, generation);
            s.store.save();
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    char byte;
    (void)!::read(ready[0], &byte, 1);
    ::close(ready[0]);
    return pid;
}

TEST(SettingsCrash, EveryKillLeavesWholeFilesAndTheNextStartClearsLeftovers) {
    TempFolder temp("cantorel-crash");
    const GbkText folder = temp.gbk();
    Store first(folder);
    fillGeneration(first.units, 0);
    ASSERT_TRUE(first.store.save());
    // Files that only look like leftovers belong to someone else.
    temp.write("kvd.ini.tmp", "keep");
    temp.write("kvd.ini.tmp12.bak", "keep");
    temp.write("other.zbb.tmp34", "keep");

    std::map<int, std::array<std::string, 3>> expected;
    const std::array<GbkText, 3> paths = {first.store.iniPath(), first.store.prefixPath(),
                                          first.store.suffixPath()};
    std::mt19937 random(std::random_device{}());
    int next = 1;
    int killsWithLeftovers = 0;
    for (int kill = 0; kill < 200; ++kill) {
        const pid_t saver = startSaver(folder, next, true);
        ASSERT_GT(saver, 0);
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 4000)(random));
        ::kill(saver, SIGKILL);
        ::waitpid(saver, nullptr, 0);

        for (size_t f = 0; f < paths.size(); ++f) {
            const auto bytes = files::readAll(paths[f]);
            ASSERT_TRUE(bytes && !bytes->empty()) << paths[f] << " after kill " << kill;
            const auto generation = generationOf(*bytes);
            ASSERT_TRUE(generation) << paths[f] << " after kill " << kill;
            if (!expected.count(*generation))
                expected[*generation] = filesOfGeneration(*generation);
            ASSERT_EQ(*bytes, expected[*generation][f]) << paths[f] << " after kill " << kill;
            next = std::max(next, *generation + 1);
        }
        // The start of this saver cleared the leftovers of the one before, so at most one
        // temporary file per settings file is there.
        const size_t all = files::listFiles(folder, "").size();
        EXPECT_LE(all, 9u) << "after kill " << kill;
        if (all > 6) ++killsWithLeftovers;
    }
    // A kill in the middle of a save is likely enough that 200 kills always leave some.
    EXPECT_GT(killsWithLeftovers, 0);

    const pid_t start = startSaver(folder, next, false);
    ASSERT_GT(start, 0);
    ::waitpid(start, nullptr, 0);
    EXPECT_EQ(files::listFiles(folder, ""),
              (std::vector<GbkText>{"hz.zbb", "kvd.ini", "kvd.ini.tmp", "kvd.ini.tmp12.bak",
                                    "other.zbb.tmp34", "qz.zbb"}));
}

}  // namespace
