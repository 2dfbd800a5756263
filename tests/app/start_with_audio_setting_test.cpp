#include <gtest/gtest.h>

#include "app/cantorel_ini.hpp"
#include "app/more_settings.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

TEST(StartWithAudioSetting, OffByDefaultAndKeptAcrossRuns) {
    TempFolder folder;
    MoreSettings settings = loadMoreSettings(folder.gbk());
    EXPECT_FALSE(settings.startWithAudio);
    settings.startWithAudio = true;
    ASSERT_TRUE(saveMoreSettings(folder.gbk(), settings));
    EXPECT_EQ(
        cantorel_ini::value(cantorel_ini::read(folder.gbk()), "lyrics", "start_with_audio", ""),
        "1");
    EXPECT_TRUE(loadMoreSettings(folder.gbk()).startWithAudio);
}

}  // namespace
