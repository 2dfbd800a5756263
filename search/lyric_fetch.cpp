#include "search/lyric_fetch.hpp"

#include <string>

bool searchFailed(const FetchOutcome& outcome) {
    return outcome.failure != FetchFailure::None || outcome.status == 0 || outcome.status >= 400;
}

GbkText fetchProblem(const FetchOutcome& outcome) {
    if (GbkText words = connectionProblem(outcome); !words.empty()) return words;
    switch (outcome.failure) {
        case FetchFailure::None:
            break;
        case FetchFailure::BadAddress:
            return "歌词地址无效";
        case FetchFailure::Resolve:
            return "找不到服务器";
        case FetchFailure::Connect:
            return "无法连接服务器";
        case FetchFailure::Timeout:
            return "连接超时";
        case FetchFailure::Cut:
            return "传输中断";
        case FetchFailure::TooLarge:
            return "内容过大";
        case FetchFailure::Cancelled:
            return "已取消";
        default:
            return "网络错误";
    }
    if (outcome.status < 200 || outcome.status >= 300) {
        return "服务器回答 " + std::to_string(outcome.status);
    }
    if (outcome.body.empty()) return "内容为空";
    return "";
}

LyricBytes takeLyric(const LyricSource& source, const FetchOutcome& outcome) {
    LyricBytes lyric;
    lyric.problem = fetchProblem(outcome);
    if (!lyric.problem.empty()) return lyric;
    std::optional<std::string> bytes = source.lyricBytes(outcome.body);
    if (!bytes || bytes->empty()) {
        lyric.problem = "没有歌词内容";
        return lyric;
    }
    lyric.bytes = std::move(*bytes);
    return lyric;
}
