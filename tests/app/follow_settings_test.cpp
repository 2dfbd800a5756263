#include "app/follow_settings.hpp"

#include <gtest/gtest.h>

#include "platform/files.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

TEST(FollowSettings, KeptInCantorelIniBesideOtherSectionsWithOffsetsPerPlayer) {
    TempFolder folder;
    folder.write("cantorel.ini",
                 "[network]\r\ntimeout_ms=5000\r\n[follow_offsets]\r\nold.exe=12x\r\n"
                 "far.exe=9000000\r\n");
    EXPECT_EQ(loadFollowSettings(folder.gbk()), FollowSettings{});
    const FollowSettings chosen{true, "QQMusic.exe"};
    ASSERT_TRUE(saveFollowSettings(folder.gbk(), chosen));
    EXPECT_EQ(loadFollowSettings(folder.gbk()), chosen);

    IniPlayerOffsets offsets(folder.gbk());
    EXPECT_EQ(offsets.offsetMs("old.exe"), 0);  // not a number
    EXPECT_EQ(offsets.offsetMs("far.exe"), 0);  // beyond ten minutes
    offsets.setOffsetMs("QQMusic.exe", -300);
    offsets.setOffsetMs("Odd=Id [x]", 250);
    EXPECT_EQ(IniPlayerOffsets(folder.gbk()).offsetMs("QQMusic.exe"), -300);
    EXPECT_EQ(offsets.offsetMs("Odd=Id [x]"), 250);
    EXPECT_EQ(offsets.offsetMs("Spotify.exe"), 0);
    const std::string content = *files::readAll(folder.gbk() + "/cantorel.ini");
    EXPECT_NE(content.find("timeout_ms=5000"), std::string::npos);
}

}  // namespace
