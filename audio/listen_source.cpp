#include "audio/listen_source.hpp"

ListenSource chooseListenSource(std::uint32_t windowsBuild, std::uint32_t processId) {
    if (processId == 0 || windowsBuild < kProcessLoopbackBuild) return ListenSource::PlaybackDevice;
    return ListenSource::Player;
}
