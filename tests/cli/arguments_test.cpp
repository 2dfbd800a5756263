#include "cli/arguments.hpp"

#include <gtest/gtest.h>

namespace {

TEST(ArgumentText, UnicodeArgumentsBecomeGbkAndGbkOnesPassUnchanged) {
    EXPECT_EQ(cli::argumentText(reinterpret_cast<const char*>(u8"中文.lrc")),
              "\xD6\xD0\xCE\xC4.lrc");
    EXPECT_EQ(cli::argumentText("\xD6\xD0\xCE\xC4.lrc"), "\xD6\xD0\xCE\xC4.lrc");
    EXPECT_EQ(cli::argumentText("plain"), "plain");
}

}  // namespace
