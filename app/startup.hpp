#pragma once
// The main window's creation handler: the steps that run once, in a fixed order, before the
// window is first shown. Each outside step is a callback so the shell (and tests) decide what
// runs behind it.

#include <functional>

#include "text/gbk_text.hpp"
#include "ui/main_units.hpp"

struct CreationSteps {
    std::function<void()> loadSettings;    // edit-box texts from kvd.ini
    std::function<void()> useThemedStyle;  // themed look for every control of the GUI thread
    std::function<void()> checkForUpdate;  // may block until the user closed what it shows
    std::function<void()> loadLists;       // suffix list, then prefix list
};

/// Runs the creation steps in order; 编辑框1 gets `programFolder` after the update check.
/// A missing callback is skipped.
void runCreationSteps(MainUnits& units, const GbkText& programFolder, const CreationSteps& steps);
