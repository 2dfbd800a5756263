// The Windows side of the code-page agreement check. tests/posix/gbk_table_test.cpp writes the
// UTF-16 form iconv gives every two-byte GBK code; here MultiByteToWideChar must give the same,
// so a lyric, a path or a posted line reads alike on both systems. CANTOREL_GBK_TABLE names the
// table file; a Unix path (run under Wine) is reached through drive Z:.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "text/codepage.hpp"

namespace {

std::string tablePath() {
    const char* env = std::getenv("CANTOREL_GBK_TABLE");
    if (!env || !*env) return {};
    const std::string path = env;
    return path[0] == '/' ? "Z:" + path : path;
}

std::string utf16Hex(const std::u16string& units) {
    std::string hex;
    char unit[8];
    for (const char16_t u : units) {
        std::snprintf(unit, sizeof unit, " %04X", static_cast<unsigned>(u));
        hex += unit;
    }
    return hex;
}

TEST(CodePageAgreement, WindowsAndLinuxReadEveryTwoByteCodeAlike) {
    const std::string path = tablePath();
    ASSERT_FALSE(path.empty()) << "CANTOREL_GBK_TABLE must name the table written by "
                                  "cantorel_posix_tests (CANTOREL_GBK_TABLE_OUT)";
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << "missing GBK table " << path;

    int codes = 0;
    int disagreements = 0;
    std::string firstOnes;
    std::string line;
    while (std::getline(file, line)) {
        unsigned lead = 0, trail = 0;
        if (std::sscanf(line.c_str(), "%2X%2X", &lead, &trail) != 2) continue;
        ++codes;
        const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
        const std::u16string utf16 = codepage::gbkToUtf16(code);
        const std::string windows = line.substr(0, 4) + utf16Hex(utf16);
        const bool roundTrips = utf16 == u"\xFFFD" || codepage::utf16ToGbk(utf16) == code;
        if (windows == line && roundTrips) continue;
        if (++disagreements <= 20)
            firstOnes += "linux " + line + " / windows " + windows +
                         (roundTrips ? "\n" : " (no round trip)\n");
    }
    EXPECT_EQ(codes, 126 * 191);
    EXPECT_EQ(disagreements, 0) << firstOnes;
}

}  // namespace
