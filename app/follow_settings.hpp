#pragma once
// The settings of following the playing song, kept in cantorel.ini: [follow] enabled = 0|1
// (跟随播放器 in 更多设置) and pinned_player (an app id; empty follows whichever plays), and
// [follow_offsets] with one key per player: the milliseconds its lines come later, set by the
// live nudge while following.

#include "follow/follower.hpp"
#include "text/gbk_text.hpp"

struct FollowSettings {
    bool enabled = false;
    GbkText pinnedPlayer;
    bool operator==(const FollowSettings&) const = default;
};

/// [follow] of cantorel.ini in `folder`; defaults for what is missing.
FollowSettings loadFollowSettings(const GbkText& folder);
/// Writes [follow], keeping everything else in the file.
bool saveFollowSettings(const GbkText& folder, const FollowSettings& settings);

/// The per-player offsets in [follow_offsets] of cantorel.ini in `folder`, read and written at
/// each use. A value that is no whole number, or beyond ten minutes, reads as 0.
class IniPlayerOffsets : public PlayerOffsets {
  public:
    explicit IniPlayerOffsets(GbkText folder) : folder_(std::move(folder)) {}
    int offsetMs(const GbkText& player) override;
    void setOffsetMs(const GbkText& player, int ms) override;

  private:
    GbkText folder_;
};
