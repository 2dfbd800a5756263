#pragma once
// What the music-start detector listens to. The followed player's own sound keeps voices in
// the room (a microphone played back by the chat client) from starting a song; it needs the
// player's process and a system that can capture one process's sound.

#include <cstdint>

enum class ListenSource {
    PlaybackDevice,  // everything the default playback device plays
    Player,          // the player's process and its children alone
};

/// The first Windows build that captures one process's sound (Windows 10 2004).
constexpr std::uint32_t kProcessLoopbackBuild = 19041;

/// Which to listen to, given the Windows build (0 off Windows or when unknown) and the player's
/// process id (0 when unknown).
ListenSource chooseListenSource(std::uint32_t windowsBuild, std::uint32_t processId);
