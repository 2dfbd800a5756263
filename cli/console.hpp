#pragma once
// What both commands do on the console in place of the window: message boxes printed to stderr,
// and a lyric file chosen in the file list.

#include <cstdio>
#include <string>

#include "platform/message_box.hpp"
#include "text/gbk_text.hpp"
#include "ui/main_units.hpp"

namespace cli {

/// Message boxes go to stderr as "title: text" in UTF-8 and are answered "OK".
class ConsoleMessageBoxes : public MessageBoxes {
  public:
    int show(const GbkText& text, const GbkText& title, unsigned style) override;
    /// True once any box was shown.
    bool shown() const { return shown_; }

  private:
    bool shown_ = false;
};

/// `text` in UTF-8 with every control byte but the tab (and DEL) shown as "?": text from the
/// network or a file may carry escape sequences that would drive the terminal.
std::string printable(const GbkText& text);

/// `url` as `printable` shows it, with any password inside it hidden.
std::string printableAddress(const GbkText& url);

/// printf of UTF-8 text to stdout or stderr, shown right by a Windows console in any code page
/// (platform/console.hpp). Every command prints through these two.
void say(std::FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));
/// fputs the same way.
void put(const char* text, std::FILE* stream);

/// `text` as a JSON string in UTF-8, quotes included.
std::string jsonString(const GbkText& text);

/// Chooses `path` in the file list as the user would: its folder ("." for a bare name), then
/// its name. Loading is left to the caller.
void chooseFile(MainUnits& units, const GbkText& path);

}  // namespace cli
