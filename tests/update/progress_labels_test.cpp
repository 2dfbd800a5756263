#include "update/progress_labels.hpp"

#include <gtest/gtest.h>

namespace {

TEST(FormatSize, RoundsToTwoDecimalsAndPicksTheUnit) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0"},
        {-5, "-5"},
        {1, "1B"},
        {1000, "1000B"},
        {1023, "1023B"},
        {1024, "1KB"},
        {1536, "1.5KB"},
        {1500, "1.46KB"},
        {1029, "1KB"},
        {1034, "1.01KB"},
        {1048575, "1024KB"},
        {1048576, "1MB"},
        {3145728, "3MB"},
        {1073741824, "1GB"},
        {5368709120, "5GB"},
        {9223372036854775807, "8589934592GB"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(formatSize(bytes), text) << bytes;
}

TEST(ProgressTexts, ShowShareSpeedSizesAndTimes) {
    Elapsed elapsed;
    elapsed.tick();
    ProgressTexts t = progressTexts({1048576, 3145728, 1536}, elapsed);
    EXPECT_EQ(t.progress, "正在下载...已完成：33%");
    EXPECT_EQ(t.bar, 33);
    EXPECT_EQ(t.speed, "下载速度：1.5KB/秒");
    EXPECT_EQ(t.received, "已经下载：1MB/3MB");
    EXPECT_EQ(t.elapsed, "已用时间：0小时0分钟1秒");

    // 3725 seconds left at this speed; a tick without data gives speed 0 and no estimate.
    EXPECT_EQ(progressTexts({0, 3725 * 1000, 1000}, elapsed).remaining, "剩余时间：1时2分5秒");
    t = progressTexts({10, 100, 0}, elapsed);
    EXPECT_EQ(t.speed, "下载速度：0/秒");
    EXPECT_EQ(t.remaining, "剩余时间：0时0分0秒");
    // More than announced keeps the bar at its end.
    EXPECT_EQ(progressTexts({150, 100, 50}, elapsed).bar, 100);
}

TEST(ProgressTexts, BeforeTheSizeIsKnownNothingIsDividedByIt) {
    const Elapsed elapsed;
    ProgressTexts t = progressTexts({0, 0, 0}, elapsed);
    EXPECT_EQ(t.progress, kConnectingText);
    EXPECT_EQ(t.progress, "正在连接服务器....");
    EXPECT_EQ(t.bar, 0);
    EXPECT_EQ(t.remaining, "剩余时间：正在连接服务器....");
    t = progressTexts({2048, 0, 2048}, elapsed);
    EXPECT_EQ(t.progress, "正在下载...");
    EXPECT_EQ(t.received, "已经下载：2KB");
}

TEST(Elapsed, CarriesSecondsIntoMinutesAndHours) {
    Elapsed elapsed;
    for (int i = 0; i < 60; ++i) elapsed.tick();
    EXPECT_EQ(progressTexts({}, elapsed).elapsed, "已用时间：0小时1分钟0秒");
    for (int i = 60; i < 3600; ++i) elapsed.tick();
    EXPECT_EQ(progressTexts({}, elapsed).elapsed, "已用时间：1小时0分钟0秒");
}

}  // namespace
