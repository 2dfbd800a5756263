#pragma once
// The program folder at start: the settings, cantorel.ini and saved lyrics all live beside the
// program, so a folder that cannot keep them is named once, at the start, with what to do,
// instead of every save failing later.

#include "platform/message_box.hpp"
#include "text/gbk_text.hpp"
#include "ui/main_units.hpp"

namespace folder_check {

/// True when `folder` is where a zip viewer unpacks a program it starts from inside the zip
/// (Explorer's "Temp1_NAME.zip", 7-Zip's "7zO..." in the temporary folder): its files are gone
/// once the viewer closes.
bool insideOpenedZip(const GbkText& folder);

/// Says in the status bar, and in one box, what is wrong with `folder` and what to do; says
/// nothing when it is fine. True when something was said.
bool tellAtStart(const GbkText& folder, bool writable, MainUnits& units, MessageBoxes& boxes);

}  // namespace folder_check
