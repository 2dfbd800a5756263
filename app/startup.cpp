#include "app/startup.hpp"

namespace {

void run(const std::function<void()>& step) {
    if (step) step();
}

}  // namespace

void runCreationSteps(MainUnits& units, const GbkText& programFolder, const CreationSteps& steps) {
    run(steps.loadSettings);
    run(steps.useThemedStyle);
    run(steps.checkForUpdate);
    // The lyric folder always starts at the program's own folder, whatever kvd.ini said: the
    // settings never store it.
    units.编辑框1.setText(programFolder);
    // The file list shows the same folder from the start, so the lyrics beside the program are
    // there to pick without a first click to refresh it.
    units.文件框1.setFolder(programFolder);
    run(steps.loadLists);
}
