#include "update/download_check.hpp"

#include "platform/fetch_words.hpp"
#include "update/program_name.hpp"

namespace {

GbkText failed(std::string_view why) { return "更新失败：" + GbkText(why); }

GbkText transferReason(const FetchOutcome& outcome) {
    if (GbkText words = connectionProblem(outcome); !words.empty()) return failed(words);
    switch (outcome.failure) {
        case FetchFailure::None:
            return failed("服务器返回错误 " + std::to_string(outcome.status));
        case FetchFailure::BadAddress:
            return failed("下载地址无效");
        case FetchFailure::Resolve:
        case FetchFailure::Connect:
            return failed("无法连接服务器");
        case FetchFailure::Timeout:
            return failed("服务器没有响应");
        case FetchFailure::Cut:
            return failed("下载不完整");
        case FetchFailure::TooLarge:
            return failed("文件太大");
        case FetchFailure::Cancelled:
            return cancelledReason();
        default:
            break;
    }
    return failed("下载出错");
}

}  // namespace

InfoVerdict checkUpdateInfo(const FetchOutcome& page) {
    if (!page.ok()) {
        const GbkText words = connectionProblem(page);
        return {std::nullopt,
                failed("无法读取更新信息" + (words.empty() ? GbkText() : "：" + words))};
    }
    UpdateInfo info = readUpdateInfo(page.body);
    if (info.address.empty()) return {std::nullopt, failed("更新信息没有下载地址")};
    if (!isSafeProgramName(info.programName)) return {std::nullopt, failed("程序名字不可用")};
    if (!info.checksum) return {std::nullopt, failed("更新信息没有校验码")};
    return {std::move(info), {}};
}

std::optional<GbkText> refuseDownload(const FetchOutcome& download,
                                      const std::string& expectedSha256,
                                      std::optional<std::string> (*digest)(std::string_view)) {
    // The client reports a body shorter than its Content-Length as cut.
    if (!download.ok()) return transferReason(download);
    const std::optional<std::string> actual = digest(download.body);
    if (!actual) return failed("无法计算校验码");
    if (*actual != expectedSha256) return failed("校验码不符");
    return std::nullopt;
}

GbkText cancelledReason() { return failed("已取消"); }

GbkText saveFailedReason() { return failed("无法保存新程序"); }

GbkText startFailedReason() { return failed("无法启动新程序"); }
