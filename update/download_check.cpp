#include "update/download_check.hpp"

#include <algorithm>

#include "platform/fetch_words.hpp"
#include "text/web_address.hpp"
#include "update/program_name.hpp"
#include "update/update_signature.hpp"

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

InfoVerdict checkUpdateInfo(const FetchOutcome& page, const UpdateTrust& trust) {
    auto refuse = [](std::string_view why) { return InfoVerdict{std::nullopt, failed(why)}; };
    if (!page.ok()) {
        const GbkText words = connectionProblem(page);
        return refuse("无法读取更新信息" + (words.empty() ? GbkText() : "：" + words));
    }
    // Nothing an unsigned page says is looked at: whoever can change the page in transit would
    // otherwise choose the program this one starts.
    if (trust.keys.empty()) return refuse("本程序没有更新密钥");
    UpdateInfo info = readUpdateInfo(page.body);
    if (!info.signature) return refuse("更新信息没有签名");
    const bool signedByMaker =
        std::any_of(trust.keys.begin(), trust.keys.end(), [&](const std::string& key) {
            return trust.verify(key, info.signedText, *info.signature);
        });
    if (!signedByMaker) return refuse("更新信息的签名不符");
    if (info.address.empty()) return refuse("更新信息没有下载地址");
    if (!web_address::parse(info.address)) return refuse("下载地址无效");
    if (!web_address::isSecureOrLoopback(info.address)) return refuse("下载地址不是 https");
    if (!isSafeProgramName(info.programName)) return refuse("程序名字不可用");
    if (!info.checksum) return refuse("更新信息没有校验码");
    if (!isVersion(info.version)) return refuse("更新信息没有版本号");
    // An old signed page replayed must not take the user back to an older program.
    if (!isNewerVersion(info.version, trust.runningVersion))
        return refuse("版本 " + info.version + " 不比 " + trust.runningVersion + " 新");
    return {std::move(info), {}};
}

std::optional<GbkText> refuseDownload(const FetchOutcome& download,
                                      const std::string& expectedSha256,
                                      const std::optional<std::string>& actualSha256) {
    // The client reports a body shorter than its Content-Length as cut.
    if (!download.ok()) return transferReason(download);
    if (!actualSha256) return failed("无法计算校验码");
    if (*actualSha256 != expectedSha256) return failed("校验码不符");
    return std::nullopt;
}

GbkText cancelledReason() { return failed("已取消"); }

GbkText saveFailedReason() { return failed("无法保存新程序"); }

GbkText undoFailedReason(const GbkText& whereNow) {
    return failed("原程序未能放回，它现在是 " + whereNow);
}

GbkText startFailedReason() { return failed("无法启动新程序"); }
