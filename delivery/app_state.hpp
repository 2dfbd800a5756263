#pragma once
// Program-wide values, owned by the main window's logic and passed by reference.

#include "lyrics/lyric_table.hpp"
#include "platform/window_system.hpp"

struct AppState {
    WindowHandle targetWindow = 0;  // TargetWindow: the chosen client window; written by capture
    WindowHandle cardDialog = 0;    // CardDialog: set only by a successful card-dialog search
    LyricTable lyrics;              // the loaded lyric
};
