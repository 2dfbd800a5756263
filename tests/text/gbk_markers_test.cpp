// The byte constants stand for exactly the literals the GBK-compiled program would write.
#include "text/gbk_markers.hpp"

#include <gtest/gtest.h>

TEST(GbkMarkers, EqualTheLiteralsTheyStandFor) {
    EXPECT_EQ(gbk::marker::kNothingFound, "没有找到相关");
    EXPECT_EQ(gbk::marker::kLrcDownload, "LRC歌词下载");
    EXPECT_EQ(gbk::marker::kLyric, "歌词");
}
