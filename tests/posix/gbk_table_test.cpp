// The Linux side of the code-page agreement check: the UTF-16 form of every two-byte GBK code
// under iconv. When CANTOREL_GBK_TABLE_OUT names a file, the table is written there for the
// Windows test (tests/win32/codepage_agreement_test.cpp) to compare against
// MultiByteToWideChar.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "text/codepage.hpp"

namespace {

// One line per code: "8140 4E02" (code, then each UTF-16 unit), codes in ascending order.
std::string gbkTable() {
    std::string table;
    char hex[8];
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            std::snprintf(hex, sizeof hex, "%02X%02X", lead, trail);
            table += hex;
            for (const char16_t unit : codepage::gbkToUtf16(code)) {
                std::snprintf(hex, sizeof hex, " %04X", static_cast<unsigned>(unit));
                table += hex;
            }
            table += '\n';
        }
    }
    return table;
}

// As in Windows' code page 936, every code whose trail byte is not 0x7F is a character (the
// user-defined areas and the codes GBK leaves empty are private-use characters), and each
// comes back unchanged from UTF-16.
TEST(GbkTable, EveryCodeButTrail7FRoundTripsThroughUtf16) {
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string utf16 = codepage::gbkToUtf16(code);
            ASSERT_EQ(utf16.size(), 1u) << std::hex << lead << trail;
            if (trail == 0x7F) {
                EXPECT_EQ(utf16[0], 0xFFFD) << std::hex << lead << trail;
                continue;
            }
            ++characters;
            EXPECT_NE(utf16[0], 0xFFFD) << std::hex << lead << trail;
            EXPECT_EQ(codepage::utf16ToGbk(utf16), code) << std::hex << lead << trail;
        }
    }
    EXPECT_EQ(characters, 126 * 190);
}

TEST(GbkTable, PrivateUseCharactersSitWhereWindowsPutsThem) {
    EXPECT_EQ(codepage::gbkToUtf16("\xAA\xA1"), u"\xE000");  // first user-defined area
    EXPECT_EQ(codepage::gbkToUtf16("\xF8\xA1"), u"\xE234");  // second
    EXPECT_EQ(codepage::gbkToUtf16("\xA1\x40"), u"\xE4C6");  // third, before trail 0x7F
    EXPECT_EQ(codepage::gbkToUtf16("\xA1\x80"), u"\xE505");  // and after it
    EXPECT_EQ(codepage::gbkToUtf16("\xA2\xAB"), u"\xE766");  // the first code GBK leaves empty
    EXPECT_EQ(codepage::gbkToUtf16("\xFE\xA0"), u"\xE864");  // and the last
    EXPECT_EQ(codepage::utf16ToGbk(u"a\xE865"
                                   u"b"),
              "a?b");
    EXPECT_EQ(codepage::gbkToUtf16("a\xD6\xD0\xFE\x7F"
                                   "b"),
              u"a\x4E2D\xFFFD"
              "b");
}

TEST(GbkTable, WritesTheTableWhenAsked) {
    const char* out = std::getenv("CANTOREL_GBK_TABLE_OUT");
    if (!out || !*out) GTEST_SKIP() << "CANTOREL_GBK_TABLE_OUT not set";
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    file << gbkTable();
    file.close();
    EXPECT_TRUE(file) << "could not write " << out;
}

}  // namespace
