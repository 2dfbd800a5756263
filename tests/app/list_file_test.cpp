#include "app/list_file.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Items = std::vector<GbkText>;
using std::string_literals::operator""s;

TEST(ListFile, TwoItemsGiveTheThirteenBytes) {
    const std::string bytes = "\x02\x00\x01\x00\x00\x00\x41\x02\x00\x00\x00\x42\x43"s;
    EXPECT_EQ(lists::encodeListFile({"A", "BC"}), bytes);
    EXPECT_EQ(lists::decodeListFile(bytes), (Items{"A", "BC"}));
}

TEST(ListFile, EmptyListIsTwoZeroBytes) {
    EXPECT_EQ(lists::encodeListFile({}), "\x00\x00"s);
    EXPECT_TRUE(lists::decodeListFile("\x00\x00"s).empty());
}

TEST(ListFile, ThreeHundredItemsKeepTheirOrder) {
    Items items;
    for (int i = 0; i < 300; ++i) items.push_back("\xCF\xEE" + std::to_string(i));  // 项N
    const std::string bytes = lists::encodeListFile(items);
    EXPECT_EQ(bytes.substr(0, 2), "\x2C\x01"s);
    EXPECT_EQ(lists::decodeListFile(bytes), items);
}

TEST(ListFile, EmptyDuplicateAndMultiLineItemsSurvive) {
    const Items items{"", "x", "x", "", "a\r\nb", "\xFF\xFE"};
    EXPECT_EQ(lists::decodeListFile(lists::encodeListFile(items)), items);
}

TEST(ListFile, LongListsUseTheCountEscape) {
    const Items items(70000, "z");
    const std::string bytes = lists::encodeListFile(items);
    EXPECT_EQ(bytes.substr(0, 6), "\xFF\xFF\x70\x11\x01\x00"s);
    EXPECT_EQ(lists::decodeListFile(bytes).size(), 70000u);
}

struct DecodeCase {
    const char* name;
    std::string bytes;
    Items expected;
};

class ListFileDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(ListFileDecode, KeepsWhatParsed) {
    EXPECT_EQ(lists::decodeListFile(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListFileDecode,
    ::testing::Values(
        DecodeCase{"NoBytes", ""s, {}}, DecodeCase{"OneByte", "\x01"s, {}},
        DecodeCase{"EscapedCount", "\xFF\xFF\x01\x00\x00\x00\x01\x00\x00\x00Q"s, {"Q"}},
        DecodeCase{"EscapeCutShort", "\xFF\xFF\x01\x00"s, {}},
        DecodeCase{
            "NegativeLengthIsAnEmptyItem", "\x02\x00\xFF\xFF\xFF\xFF\x01\x00\x00\x00Q"s, {"", "Q"}},
        DecodeCase{
            "FewerItemsThanDeclared", "\x03\x00\x01\x00\x00\x00\x41\x00\x00\x00\x00"s, {"A", ""}},
        DecodeCase{
            "LengthRunsPastTheEnd", "\x02\x00\x01\x00\x00\x00\x41\x05\x00\x00\x00\x42"s, {"A"}},
        DecodeCase{"HugeLengthAllocatesNothing",
                   "\x02\x00\x01\x00\x00\x00\x41\xFF\xFF\xFF\x7F\x42"s,
                   {"A"}},
        DecodeCase{"LengthFieldCutShort", "\x02\x00\x01\x00\x00\x00\x41\x01\x00"s, {"A"}},
        DecodeCase{"HugeEscapedCountWithNothingBehind", "\xFF\xFF\xFF\xFF\xFF\xFF"s, {}},
        DecodeCase{"TrailingBytesAreIgnored", "\x01\x00\x01\x00\x00\x00\x41junk"s, {"A"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
