#include "update/update_checker.hpp"

#include <gtest/gtest.h>

#include "platform/sha256.hpp"
#include "tests/support/fake_message_boxes.hpp"
#include "tests/support/fake_web_fetcher.hpp"
#include "update/download_check.hpp"

namespace {

GbkText notice(const char* forced, const char* prompt) {
    return GbkText("////开始<p>是否强制更新=") + forced + "</p><p>是否提示更新=" + prompt +
           "</p>////结束";
}

struct Checker {
    FakeWebFetcher fetcher;
    FakeMessageBoxes boxes;
    std::vector<GbkText> events;
    std::function<void()> closeWindow;
    UpdateChecker checker{fetcher, boxes, "http://127.0.0.1/notice", FetchLimits{},
                          [this](std::function<void()> closed) {
                              events.push_back("window");
                              closeWindow = std::move(closed);
                          }};
};

TEST(UpdateChecker, AsksOnceAndOnlyWithAnAddress) {
    FakeWebFetcher fetcher;
    FakeMessageBoxes boxes;
    UpdateChecker none(fetcher, boxes, "", FetchLimits{}, [](auto) { FAIL(); });
    none.run();
    EXPECT_TRUE(fetcher.requests().empty());

    Checker c;
    c.checker.run();
    c.checker.run();
    ASSERT_EQ(c.fetcher.requests().size(), 1u);
    EXPECT_EQ(c.fetcher.requests()[0].url, "http://127.0.0.1/notice");
    EXPECT_TRUE(c.events.empty());  // nothing happens before the answer
}

TEST(UpdateChecker, ForcedWindowFirstThenTheQuestion) {
    Checker c;
    c.boxes.answerNext(mb::kIdYes);
    c.checker.run();
    c.fetcher.answerLast(FakeWebFetcher::ok(notice("是", "是")));
    ASSERT_EQ(c.events, std::vector<GbkText>{"window"});
    EXPECT_TRUE(c.boxes.shown().empty());
    c.closeWindow();  // the forced update failed or was closed: now the question
    ASSERT_EQ(c.boxes.shown().size(), 1u);
    EXPECT_EQ(c.boxes.shown()[0],
              (FakeMessageBoxes::Shown{"当前程序已经有更新版本,是否更新", "字幕工具版本更新提示：",
                                       mb::kYesNo | mb::kTaskModal}));
    EXPECT_EQ(c.events.size(), 2u);  // Yes opened the window again
}

TEST(UpdateChecker, QuestionAloneNoAnswerAndErrorPagesOpenNothing) {
    Checker yes;
    yes.boxes.answerNext(mb::kIdYes);
    yes.checker.run();
    yes.fetcher.answerLast(FakeWebFetcher::ok(notice("否", "是")));
    EXPECT_EQ(yes.events, std::vector<GbkText>{"window"});

    Checker no;
    no.boxes.answerNext(mb::kIdNo);
    no.checker.run();
    no.fetcher.answerLast(FakeWebFetcher::ok(notice("否", "是")));
    EXPECT_TRUE(no.events.empty());

    Checker error;
    error.checker.run();
    error.fetcher.answerLast({notice("是", "是"), 404, FetchFailure::None});
    EXPECT_TRUE(error.events.empty());
    EXPECT_TRUE(error.boxes.shown().empty());
}

TEST(Sha256, ThePlatformDigestMatchesKnownValues) {
    EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(UpdateDecision, OnlyACompleteBodyWithTheAnnouncedDigestPasses) {
    const std::string digest = *sha256Hex("MZ new program");
    const FetchOutcome whole = FakeWebFetcher::ok("");
    EXPECT_EQ(refuseDownload(whole, digest, digest), std::nullopt);
    EXPECT_EQ(refuseDownload(whole, digest, sha256Hex("MZ new programx")), "更新失败：校验码不符");
    EXPECT_EQ(refuseDownload({"", 200, FetchFailure::Cut}, digest, digest), "更新失败：下载不完整");
    EXPECT_EQ(refuseDownload({"", 404, FetchFailure::None}, digest, digest),
              "更新失败：服务器返回错误 404");
    EXPECT_EQ(refuseDownload(FakeWebFetcher::failed(FetchFailure::Cancelled), digest, digest),
              "更新失败：已取消");
    EXPECT_EQ(refuseDownload(whole, digest, std::nullopt), "更新失败：无法计算校验码");
    // Failures of the connection itself read in words.
    EXPECT_EQ(refuseDownload(FakeWebFetcher::failed(FetchFailure::Offline), digest, digest),
              "更新失败：电脑没有连接网络");
    EXPECT_EQ(refuseDownload({"", 407, FetchFailure::None}, digest, digest),
              "更新失败：代理服务器要求登录，请在系统的代理设置中登录");
}

TEST(UpdateChecker, ANoticeOverPlainHttpIsNeverAsked) {
    FakeWebFetcher fetcher;
    FakeMessageBoxes boxes;
    UpdateChecker plain(fetcher, boxes, "http://example.com/notice", FetchLimits{},
                        [](auto) { FAIL(); });
    plain.run();
    EXPECT_TRUE(fetcher.requests().empty());
    UpdateChecker secure(fetcher, boxes, "https://example.com/notice", FetchLimits{}, [](auto) {});
    secure.run();
    EXPECT_EQ(fetcher.requests().size(), 1u);
}

}  // namespace
