// Linux has no system media sessions the follower could read; the recorded timelines of
// `cantorel-cli follow` stand in for them.
#include "platform/media_sessions.hpp"

namespace {

class NoMediaSessions final : public MediaSessionReader {
  public:
    void start(std::function<void()> changed) override { changed(); }
    void stop() override {}
    State latest() override {
        return {true, "此系统没有媒体会话（需要 Windows 10 或更新）", {}, 1};
    }
};

}  // namespace

std::unique_ptr<MediaSessionReader> makeMediaSessionReader(Clock&) {
    return std::make_unique<NoMediaSessions>();
}
