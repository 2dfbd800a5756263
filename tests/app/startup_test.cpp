#include "app/startup.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/memory_units.hpp"

namespace {

struct Window {
    MemoryUnits memory;
    MainUnits units{memory};
};

TEST(CreationSteps, RunInOrderAndSetTheLyricFolderAfterTheUpdateCheck) {
    Window w;
    std::vector<std::string> calls;
    auto folderNow = [&] { return w.units.编辑框1.text(); };
    CreationSteps steps;
    steps.loadSettings = [&] {
        calls.push_back("load:" + folderNow());
        // kvd.ini cannot choose the lyric folder: the program folder wins.
        w.units.编辑框1.setText("D:\\old");
    };
    steps.useThemedStyle = [&] { calls.push_back("theme"); };
    steps.checkForUpdate = [&] { calls.push_back("update:" + folderNow()); };
    steps.loadLists = [&] { calls.push_back("lists:" + folderNow()); };

    runCreationSteps(w.units, "C:\\Cantorel", steps);

    EXPECT_EQ(calls,
              (std::vector<std::string>{"load:", "theme", "update:D:\\old", "lists:C:\\Cantorel"}));
    EXPECT_EQ(w.units.编辑框1.text(), "C:\\Cantorel");
}

TEST(CreationSteps, MissingStepsAreSkipped) {
    Window w;
    runCreationSteps(w.units, "C:\\程序", CreationSteps{});
    EXPECT_EQ(w.units.编辑框1.text(), "C:\\程序");
    EXPECT_EQ(w.units.文件框1.folder(), "C:\\程序");
}

}  // namespace
