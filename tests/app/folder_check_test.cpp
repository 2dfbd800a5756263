#include "app/folder_check.hpp"

#include <gtest/gtest.h>

#include "tests/support/fake_message_boxes.hpp"
#include "ui/memory_units.hpp"

namespace {

TEST(FolderCheck, FoldersAZipViewerUnpacksIntoAreRecognised) {
    EXPECT_TRUE(folder_check::insideOpenedZip(
        "C:\\Users\\a\\AppData\\Local\\Temp\\Temp1_Cantorel-4.0-win64.zip\\Cantorel"));
    EXPECT_TRUE(folder_check::insideOpenedZip("C:\\Users\\a\\AppData\\Local\\Temp\\7zO4C1A2B3D"));
    EXPECT_TRUE(folder_check::insideOpenedZip("c:\\temp\\temp23_x.ZIP"));
    EXPECT_FALSE(folder_check::insideOpenedZip("D:\\Cantorel"));
    EXPECT_FALSE(folder_check::insideOpenedZip("C:\\Users\\a\\AppData\\Local\\Temp"));
    EXPECT_FALSE(folder_check::insideOpenedZip("D:\\Temp_x.zip\\Cantorel"));      // no number
    EXPECT_FALSE(folder_check::insideOpenedZip("D:\\Temp1_Cantorel\\Cantorel"));  // no .zip
    // "\xB1\x5C" is one character whose second byte is a backslash: no folder starts there.
    EXPECT_FALSE(
        folder_check::insideOpenedZip("D:\\a\xB1\x5C"
                                      "7zOabc"));
}

TEST(FolderCheck, AFolderThatCannotKeepTheSettingsIsNamedOnceWithWhatToDo) {
    MemoryUnits memory;
    MainUnits units{memory};
    FakeMessageBoxes boxes;
    EXPECT_FALSE(folder_check::tellAtStart("D:\\Cantorel", true, units, boxes));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(units.状态条1.part(1), "尚未进行任何操作");

    EXPECT_TRUE(folder_check::tellAtStart("C:\\Program Files\\Cantorel", false, units, boxes));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find("C:\\Program Files\\Cantorel"), GbkText::npos);
    EXPECT_EQ(units.状态条1.part(1), "程序文件夹无法写入：设置不能保存，请解压到可写的文件夹");

    EXPECT_TRUE(folder_check::tellAtStart("C:\\T\\Temp2_c.zip\\Cantorel", true, units, boxes));
    EXPECT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(units.状态条1.part(1), "程序是在压缩包里直接运行的：关闭后设置会丢失，请先解压");
}

}  // namespace
