#include "update/update_pages.hpp"

#include <gtest/gtest.h>

#include "text/gbk_markers.hpp"
#include "update/program_name.hpp"

namespace {

GbkText page(const GbkText& entries) {
    return "<html><p>////开始</p>" + entries + "////结束</html>";
}

TEST(UpdateMarkers, AreTheGbkBytesOfTheKeys) {
    namespace um = gbk::marker::update;
    EXPECT_EQ(um::kBlockStart, "////开始");
    EXPECT_EQ(um::kBlockEnd, "////结束");
    EXPECT_EQ(um::kForced, "是否强制更新=");
    EXPECT_EQ(um::kPrompt, "是否提示更新=");
    EXPECT_EQ(um::kAddress, "自动更新地址=");
    EXPECT_EQ(um::kProgramName, "程序名字=");
    EXPECT_EQ(um::kChecksum, "校验码=");
    EXPECT_EQ(um::kYes, "是");
}

TEST(UpdateNotice, OnlyExactlyYesInsideTheFirstBlockCounts) {
    struct Case {
        GbkText page;
        bool forced, prompt;
    };
    const Case cases[] = {
        {page("<p>是否强制更新=否</p><p>是否提示更新=是</p>"), false, true},
        {page("<p>是否强制更新=是</p><p>是否提示更新=是</p>"), true, true},
        {page("<p>是否强制更新=是 </p><p>是否提示更新=是否</p>"), false, false},
        {page("<p>是否强制更新=</p><p>是否提示更新= 是</p>"), false, false},
        // Keys outside the block, a second block, no start marker, no end marker.
        {"<p>是否强制更新=是</p>" + page("") + "<p>是否提示更新=是</p>", false, false},
        {page("<p>是否提示更新=否</p>") + page("<p>是否提示更新=是</p>"), false, false},
        {"<p>是否强制更新=是</p>////结束", false, false},
        {"////开始<p>是否强制更新=是</p>", false, false},
        // A value runs to its "</p>"; the text ends at the first NUL byte.
        {page("<p>是否强制更新=是<br></p>"), false, false},
        {GbkText("////开始是否强制更新=是</p>\0////结束", 36), false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        const UpdateNotice notice = readNotice(c.page);
        EXPECT_EQ(notice.forced, c.forced) << c.page;
        EXPECT_EQ(notice.prompt, c.prompt) << c.page;
        const UpdateSteps steps = stepsFor(notice);
        EXPECT_EQ(steps.openWindow, c.forced);
        EXPECT_EQ(steps.ask, c.prompt);
    }
}

TEST(UpdateInfo, TrimsTheAddressKeepsTheNameAndReadsOnlyWholeChecksums) {
    const GbkText digest(64, 'a');
    UpdateInfo info =
        readUpdateInfo(page("<p>自动更新地址=　 http://127.0.0.1/new.exe </p><p>程序名字= a.exe</p>"
                            "<p>校验码=" +
                            GbkText(32, 'A') + GbkText(32, '9') + "</p>"));
    EXPECT_EQ(info.address, "http://127.0.0.1/new.exe");
    EXPECT_EQ(info.programName, " a.exe");
    EXPECT_EQ(info.checksum, GbkText(32, 'a') + GbkText(32, '9'));

    for (const GbkText& bad :
         {GbkText(63, 'a'), GbkText(65, 'a'), GbkText(63, 'a') + "g", " " + digest, GbkText()}) {
        EXPECT_FALSE(readUpdateInfo(page("<p>校验码=" + bad + "</p>")).checksum) << bad;
    }
}

TEST(ProgramName, OnlyBareExeNamesPass) {
    for (const char* good :
         {"Cantorel.exe", "new.EXE", "字幕工具v5.exe", "a b.exe", "x.y.exe", " a.exe"}) {
        EXPECT_TRUE(isSafeProgramName(good)) << good;
    }
    const GbkText tooLong = GbkText(97, 'a') + ".exe";
    for (const GbkText& bad :
         {GbkText("..\\evil.exe"), GbkText("C:\\x.exe"),   GbkText("C:x.exe"),  GbkText("a/b.exe"),
          GbkText("CON.exe"),      GbkText("con.txt.exe"), GbkText("COM1.exe"), GbkText("lpt9.exe"),
          GbkText("NUL .exe"),     GbkText("a.bat"),       GbkText("a.exe "),   GbkText("a.exe:s"),
          GbkText(".exe"),         GbkText("a..exe"),      GbkText("a?.exe"),   GbkText("a\t.exe"),
          GbkText("\xD6.exe"),     GbkText("\xDA\\k.exe"), GbkText(),           tooLong}) {
        EXPECT_FALSE(isSafeProgramName(bad)) << bad;
    }
    EXPECT_TRUE(isSafeProgramName(GbkText(96, 'a') + ".exe"));
    EXPECT_TRUE(isSafeProgramName("COM0.exe"));
}

}  // namespace
