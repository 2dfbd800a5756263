#include "playback/audio_arming.hpp"

#include <cmath>
#include <cstdio>

AudioArming::AudioArming(PlaybackEngine& engine, AudioListener& listener, MainUnits& units,
                         std::function<bool()> wanted)
    : engine_(engine), listener_(listener), units_(units), wanted_(std::move(wanted)) {
    engine_.setStartGate(
        {[this] { return wanted_ && wanted_(); }, [this] { arm(); }, [this] { disarm(); }});
}

AudioArming::~AudioArming() {
    engine_.setStartGate({});
    disarm();
}

void AudioArming::arm() {
    armed_ = true;
    const std::uint64_t session = ++session_;
    units_.状态条1.setPart(StatusBar::kMessage, "正在监听电脑播放的声音，伴奏一响就开始字幕");
    listener_.start([this, session](const HeardOnset& onset) { onOnset(session, onset); },
                    [this, session](const GbkText& reason) { onFailure(session, reason); });
}

void AudioArming::disarm() {
    if (!armed_) return;
    armed_ = false;
    ++session_;
    listener_.stop();
}

void AudioArming::onOnset(std::uint64_t session, const HeardOnset& onset) {
    if (session != session_ || !armed_) return;
    disarm();
    engine_.startAt(onset.clockMicros);
    // A start nudge shows instead: the singer set it on purpose.
    if (engine_.nudgeMs() == 0) units_.状态条1.setPart(StatusBar::kMessage, onsetStatus(onset));
}

void AudioArming::onFailure(std::uint64_t session, const GbkText& reason) {
    if (session != session_ || !armed_) return;
    disarm();
    engine_.halt(reason);
}

GbkText onsetStatus(const HeardOnset& onset) {
    char text[160];
    std::snprintf(text, sizeof text, "伴奏在监听 %.2f 秒时响起（电平 %.0f dB），字幕开始",
                  onset.listenedSeconds, std::round(onset.levelDb));
    return text;
}
