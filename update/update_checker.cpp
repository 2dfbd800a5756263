#include "update/update_checker.hpp"

#include "text/web_address.hpp"
#include "update/update_pages.hpp"

UpdateChecker::UpdateChecker(WebFetcher& fetcher, MessageBoxes& boxes, GbkText noticeAddress,
                             FetchLimits limits, OpenWindow openWindow)
    : fetcher_(fetcher),
      boxes_(boxes),
      noticeAddress_(std::move(noticeAddress)),
      limits_(limits),
      openWindow_(std::move(openWindow)) {}

void UpdateChecker::run() {
    if (asked_ || noticeAddress_.empty()) return;
    // A notice that came over plain http could be anybody's: it is not asked for at all.
    if (!web_address::isSecureOrLoopback(noticeAddress_)) return;
    asked_ = true;
    fetcher_.start(FetchRequest{noticeAddress_, {}, limits_},
                   [this](FetchOutcome outcome) { onNotice(outcome); });
}

void UpdateChecker::onNotice(const FetchOutcome& outcome) {
    // An error page is no notice, whatever it holds.
    if (!outcome.ok()) return;
    const UpdateSteps steps = stepsFor(readNotice(outcome.body));
    if (steps.openWindow) {
        // The question comes only once the forced window is gone and the program still runs.
        openWindow_([this, ask = steps.ask] {
            if (ask) this->ask();
        });
    } else if (steps.ask) {
        ask();
    }
}

void UpdateChecker::ask() {
    const int answer = boxes_.show("当前程序已经有更新版本,是否更新", "字幕工具版本更新提示：",
                                   mb::kYesNo | mb::kTaskModal);
    if (answer == mb::kIdYes) openWindow_([] {});
}
