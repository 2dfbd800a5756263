#pragma once
// The practice client's log: one JSON object a line, flushed as written, each with "t_us", the
// performance counter in microseconds (system-wide, so it compares with other processes).
//   {"t_us":1,"window":"main","msg":"char","wparam":20013,"lparam":0,"gbk_hex":"d6d0"}
//   {"t_us":2,"event":"public","nickname":"...","text_hex":"6162d6d0","text":"ab中"}

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

class ClientLog {
  public:
    ~ClientLog();
    /// Opens `path` for appending; false when it cannot be opened (the client then logs nothing).
    bool open(const std::wstring& path);

    /// One message received by `window` ("main" or "card").
    void message(std::string_view window, unsigned message, std::uintptr_t wParam,
                 std::intptr_t lParam);

    /// An event; `fields` is the JSON members after "t_us" and "event", without braces
    /// (empty for none), e.g. "\"field\":\"chat\"".
    void event(std::string_view name, std::string_view fields = {});

  private:
    void write(const std::string& line);
    std::FILE* file_ = nullptr;
};

namespace json {
/// A JSON string literal (quotes included) of UTF-8 text.
std::string quote(std::string_view utf8);
/// Lower-case hex of the bytes.
std::string hex(std::string_view bytes);
/// "name_hex":"..","name":".." for UTF-16 text: its GBK bytes and its UTF-8 form.
std::string textFields(std::string_view name, const std::wstring& text);
}  // namespace json
