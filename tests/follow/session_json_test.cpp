#include "follow/session_json.hpp"

#include <gtest/gtest.h>

namespace {

std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(SessionJson, TimelineLinesReadBackWhatSessionsPrint) {
    TimedSessions timed;
    timed.atMs = 1250;
    SessionSnapshot s;
    s.player = "QQMusic.exe";
    s.title = "晚风";
    s.artist = "林远";
    s.lengthMs = 30000;
    s.state = PlayState::Paused;
    s.hasPosition = true;
    s.positionMs = 6000;
    s.stampMicros = 1000 * 1000;
    s.rate = 1.5;
    SessionSnapshot bare;
    bare.player = "KuGou.exe";
    bare.stampMicros = 1250 * 1000;  // what a line without "stamp" reads as
    timed.sessions = {s, bare};
    const std::string line = timelineJson(timed);
    EXPECT_NE(line.find(utf8(u8"\"title\":\"晚风\"")), std::string::npos) << line;
    const TimelineLine back = parseTimelineLine(line);
    ASSERT_TRUE(back.value) << back.error;
    EXPECT_EQ(back.value->atMs, 1250);
    EXPECT_EQ(back.value->sessions, timed.sessions);
}

TEST(SessionJson, CommentsAndBlanksAreSkippedAndBrokenLinesSayWhy) {
    for (const char* skipped : {"", "  \r", "# a note"}) {
        const TimelineLine line = parseTimelineLine(skipped);
        EXPECT_FALSE(line.value);
        EXPECT_EQ(line.error, "");
    }
    for (const char* broken : {"{", "[]", R"({"sessions":[]})", R"({"at":"0"})",
                               R"({"at":0,"sessions":{}})", R"({"at":0,"sessions":[1]})"}) {
        const TimelineLine line = parseTimelineLine(broken);
        EXPECT_FALSE(line.value) << broken;
        EXPECT_NE(line.error, "") << broken;
    }
    // A time no player gives is left out rather than overflowing.
    const TimelineLine huge = parseTimelineLine(R"({"at":0,"sessions":[{"position":1e300}]})");
    ASSERT_TRUE(huge.value);
    EXPECT_FALSE(huge.value->sessions[0].hasPosition);
}

}  // namespace
