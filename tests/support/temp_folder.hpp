#pragma once
// A fresh folder for one test, removed with everything in it when the test ends.

#include <filesystem>
#include <string>
#include <string_view>

#include "text/gbk_text.hpp"

class TempFolder {
  public:
    /// Creates the folder under the system's temporary folder; its name is `prefix` and a random
    /// number, ASCII only, so its GBK and native spellings agree.
    explicit TempFolder(const std::string& prefix = "cantorel-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    /// The folder's path as GbkText.
    GbkText gbk() const { return path_.string(); }
    /// The native path of `name` inside the folder.
    std::filesystem::path operator/(const char* name) const { return path_ / name; }
    /// Writes `bytes` to the file `name` in the folder; a failure fails the running test.
    void write(const GbkText& name, std::string_view bytes) const;

  private:
    std::filesystem::path path_;
};
