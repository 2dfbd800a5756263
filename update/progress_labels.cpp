#include "update/progress_labels.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

const char* const kConnectingText = "正在连接服务器....";

namespace {

// Half away from zero; a value a hair below .5 through floating-point error counts as .5.
double roundHalfUp(double value) {
    const double shifted = value + 1e-12;
    double whole = std::floor(shifted);
    if (shifted - whole >= 0.5) whole += 1;
    return whole;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.13g", value);
    return text;
}

GbkText integer(std::int64_t value) { return std::to_string(value); }

}  // namespace

GbkText formatSize(std::int64_t bytes) {
    if (bytes <= 0) return integer(bytes);
    struct Unit {
        std::int64_t size;
        const char* name;
    };
    static constexpr Unit kUnits[] = {{1073741824, "GB"}, {1048576, "MB"}, {1024, "KB"}, {1, "B"}};
    for (const Unit& unit : kUnits) {
        if (bytes < unit.size) continue;
        const double scaled = static_cast<double>(bytes) / static_cast<double>(unit.size);
        return number(roundHalfUp(scaled * 100) / 100) + unit.name;
    }
    return integer(bytes);
}

void Elapsed::tick() {
    if (++seconds == 60) {
        seconds = 0;
        if (++minutes == 60) {
            minutes = 0;
            ++hours;
        }
    }
}

ProgressTexts progressTexts(const ProgressSample& sample, const Elapsed& elapsed) {
    ProgressTexts texts;
    texts.speed = "下载速度：" + formatSize(sample.sinceLast) + "/秒";
    texts.elapsed = "已用时间：" + integer(elapsed.hours) + "小时" + integer(elapsed.minutes) +
                    "分钟" + integer(elapsed.seconds) + "秒";
    if (sample.total <= 0) {
        // No size yet: a share of an unknown whole means nothing, and there is nothing to
        // divide by.
        texts.progress = sample.received > 0 ? GbkText("正在下载...") : GbkText(kConnectingText);
        texts.received = "已经下载：" + formatSize(sample.received);
        texts.remaining = "剩余时间：" + GbkText(kConnectingText);
        return texts;
    }
    const double share = static_cast<double>(sample.received) / static_cast<double>(sample.total);
    // A server that sends more than it announced must not push the bar past its end.
    const int percent = static_cast<int>(std::min(100.0, std::max(0.0, roundHalfUp(share * 100))));
    texts.progress = "正在下载...已完成：" + integer(percent) + "%";
    texts.bar = percent;
    texts.received = "已经下载：" + formatSize(sample.received) + "/" + formatSize(sample.total);
    std::int64_t left = 0;
    if (sample.sinceLast > 0 && sample.total > sample.received) {
        const double quotient = static_cast<double>(sample.total - sample.received) /
                                static_cast<double>(sample.sinceLast);
        left = static_cast<std::int64_t>(std::floor(quotient + 1e-12));
    }
    texts.remaining = "剩余时间：" + integer(left / 3600) + "时" + integer(left / 60 % 60) + "分" +
                      integer(left % 60) + "秒";
    return texts;
}
