#include "cli/arguments.hpp"

#include <gtest/gtest.h>

namespace {

TEST(FileNameStart, CutsAfterTheLastSeparatorThatIsACharacterOfItsOwn) {
    struct Case {
        const char* path;
        std::size_t start;
    };
    const Case cases[] = {
        {"song.lrc", 0},
        {"samples/song.lrc", 8},
        {"C:\\lyrics\\song.lrc", 10},
        {"a/b\\c.lrc", 4},
        {"dir/", 4},
        // 0x81 0x5C is one GBK character whose second byte looks like a backslash.
        {"dir/\x81\x5C.lrc", 4},
        {"\x81\x5C\\x.lrc", 3},
    };
    for (const Case& c : cases) EXPECT_EQ(cli::fileNameStart(c.path), c.start) << c.path;
}

TEST(ArgumentText, UnicodeArgumentsBecomeGbkAndGbkOnesPassUnchanged) {
    EXPECT_EQ(cli::argumentText(reinterpret_cast<const char*>(u8"中文.lrc")),
              "\xD6\xD0\xCE\xC4.lrc");
    EXPECT_EQ(cli::argumentText("\xD6\xD0\xCE\xC4.lrc"), "\xD6\xD0\xCE\xC4.lrc");
    EXPECT_EQ(cli::argumentText("plain"), "plain");
}

}  // namespace
