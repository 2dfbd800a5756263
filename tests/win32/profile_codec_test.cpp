// Our profile codec against Wine's (or Windows') own profile functions: each side must read what
// the other writes, and the same writes must give the same bytes where the file starts clean.
#include "app/profile_codec.hpp"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/settings_store.hpp"
#include "platform/files.hpp"
#include "ui/memory_units.hpp"

namespace {

// A fresh folder under the user's temp folder. Every case writes its own file name: the
// system's profile cache keys on name and write time, and a rewrite within one clock tick
// could otherwise be read from the cache.
class ProfileFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
        folderW_ = std::wstring(temp) + L"cantorel-profile-" +
                   std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
        ASSERT_TRUE(CreateDirectoryW(folderW_.c_str(), nullptr));
        char narrow[MAX_PATH * 2];
        ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, folderW_.c_str(), -1, narrow, sizeof narrow,
                                      nullptr, nullptr),
                  0);
        folder_ = narrow;
    }
    void TearDown() override {
        for (const std::string& file : made_) DeleteFileA(file.c_str());
        RemoveDirectoryW(folderW_.c_str());
    }

    std::string newFile() {
        made_.push_back(folder_ + "\\case" + std::to_string(made_.size()) + ".ini");
        return made_.back();
    }

    static std::string systemGet(const std::string& file, const std::string& section,
                                 const std::string& key, DWORD size = profile::kReadBufferSize) {
        std::vector<char> buffer(size + 1, '\0');
        const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                                                 size, file.c_str());
        return std::string(buffer.data(), n);
    }

    static void systemSet(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& value) {
        ASSERT_TRUE(
            WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()));
    }

    static bool gbkCodePage() { return GetACP() == 936; }

    std::string folder_;
    std::wstring folderW_;
    std::vector<std::string> made_;
};

struct Entry {
    std::string section;
    std::string key;
    std::string value;
};

const char kSection[] = "\xB1\xE0\xBC\xAD\xBF\xF2";  // 编辑框

std::vector<Entry> awkwardEntries(bool gbk) {
    std::vector<Entry> entries = {
        {"Main", "plain", "value"},
        {"Main", "double", "\"quoted\""},
        {"Main", "single", "'quoted'"},
        {"Main", "inner", "\" blanks inside \""},
        {"Main", "mixed", "\"open'"},
        {"Main", "trailing", "text   "},
        {"Main", "equals", "a=b=c"},
        {"Main", "empty", ""},
        {"Other", "long", std::string(12000, 'L')},
        {"other", "LONG2", std::string(300, 'M')},
    };
    if (gbk) {
        entries.push_back({kSection, "\xB9\xFD\xC2\xCB", "\xD6\xD0\xCE\xC4 \xA1\xA1"});
        entries.push_back({kSection, "\xCC\xEE\xB3\xE4", "\"\xC7\xEB\xC2\xF3\""});
        // One ASCII byte first, so the 10239-byte cut falls between two characters.
        std::string longGbk = "x";
        for (int i = 0; i < 6000; ++i) longGbk += "\xD6\xD0";
        entries.push_back({kSection, "\xB3\xA4", longGbk});
        entries.push_back({kSection, "\x81\x41", "trail byte A"});
        entries.push_back({kSection, "\x81\x61", "trail byte a"});
    }
    return entries;
}

TEST_F(ProfileFiles, SystemReadsWhatTheCodecWrites) {
    const std::vector<Entry> entries = awkwardEntries(gbkCodePage());
    std::string content = "; kept\r\n";
    for (const Entry& e : entries) profile::setString(content, e.section, e.key, e.value);
    profile::setString(content, "MAIN", "PLAIN", "replaced");
    const std::string file = newFile();
    ASSERT_TRUE(files::writeAtomically(file, content));

    for (const Entry& e : entries) {
        SCOPED_TRACE(e.key);
        EXPECT_EQ(systemGet(file, e.section, e.key),
                  profile::getString(content, e.section, e.key, ""));
    }
    EXPECT_EQ(systemGet(file, "Main", "plain"), "replaced");
    EXPECT_EQ(systemGet(file, "Main", "double"), "quoted");
    EXPECT_EQ(systemGet(file, "Main", "trailing"), "text");
    EXPECT_EQ(systemGet(file, "Other", "long").size(), 10239u);
    EXPECT_EQ(systemGet(file, "Other", "long", 50), std::string(49, 'L'));
}

TEST_F(ProfileFiles, CodecReadsWhatTheSystemWrites) {
    const std::vector<Entry> entries = awkwardEntries(gbkCodePage());
    const std::string file = newFile();
    for (const Entry& e : entries) systemSet(file, e.section, e.key, e.value);
    systemSet(file, "main", "Plain", "replaced");
    const std::string content = files::readAll(file).value_or("");
    ASSERT_FALSE(content.empty());

    for (const Entry& e : entries) {
        SCOPED_TRACE(e.key);
        EXPECT_EQ(profile::getString(content, e.section, e.key, ""),
                  systemGet(file, e.section, e.key));
    }
    EXPECT_EQ(profile::getString(content, "Main", "plain", ""), "replaced");
    EXPECT_EQ(profile::getString(content, "Main", "inner", ""), " blanks inside ");
}

TEST_F(ProfileFiles, HandMadeFileReadsTheSameOnBothSides) {
    std::string content =
        "  [Main]  \r\n"
        "  padded  =  \t spaced \t \r\n"
        "cr=before\rafter=1\r\n"
        "lf=first\nsecond=2\n"
        "dup=first\r\n"
        "dup=second\r\n"
        "\r\n"
        "[Next]\r\n"
        "k=v";
    if (gbkCodePage()) content += "\r\n[\xB1\xE0\xBC\xAD\xBF\xF2]\r\nfw=\xA1\xA1x\xA1\xA1\r\n";
    const std::string file = newFile();
    ASSERT_TRUE(files::writeAtomically(file, content));
    const std::vector<std::pair<std::string, std::string>> keys = {
        {"main", "PADDED"}, {"Main", "cr"}, {"Main", "after"}, {"Main", "lf"}, {"Main", "second"},
        {"Main", "dup"},    {"Next", "k"},  {"Main", "k"},     {"Nope", "k"},  {kSection, "fw"}};
    for (const auto& [section, key] : keys) {
        SCOPED_TRACE(key);
        EXPECT_EQ(profile::getString(content, section, key, ""), systemGet(file, section, key));
    }
}

TEST_F(ProfileFiles, SameWritesGiveTheSameBytes) {
    struct Step {
        const char* section;
        const char* key;
        std::string value;
    };
    std::vector<Step> steps = {
        {"S1", "a", "1"},           {"S1", "b", "2"},         {"S2", "c", "3"},
        {"s1", "A", "11"},          {"S2", "d", "x = \"y\""}, {"S1", "e", std::string(400, 'e')},
        {"S1", "e", "short again"}, {"S3", "f", ""},
    };
    if (gbkCodePage()) {
        steps.push_back({kSection, "\xB9\xFD\xC2\xCB", "\xD6\xD0><br><\xCE\xC4"});
        steps.push_back({kSection, "\xCC\xEE\xB3\xE4", "\xC7\xEB"});
        steps.push_back({kSection, "\xB9\xFD\xC2\xCB", "\xD6\xD0"});
    }
    // Values carry no outer blanks here: Wine rewrites every line it loaded and drops them, while
    // the codec (like Windows) leaves lines it does not set untouched. Either way they are lost
    // on reading, which the other cases compare.
    const std::string file = newFile();
    std::string ours;
    for (const Step& s : steps) {
        systemSet(file, s.section, s.key, s.value);
        profile::setString(ours, s.section, s.key, s.value);
        ASSERT_EQ(ours, files::readAll(file).value_or("")) << s.section << " " << s.key;
    }

    // An existing clean file: a new key lands at the end of its own section.
    const std::string seeded = newFile();
    std::string before = "[S1]\r\na=1\r\n[S2]\r\nc=3\r\n";
    ASSERT_TRUE(files::writeAtomically(seeded, before));
    systemSet(seeded, "S1", "b", "2");
    profile::setString(before, "S1", "b", "2");
    EXPECT_EQ(before, files::readAll(seeded).value_or(""));
}

TEST_F(ProfileFiles, SavedSettingsReadBackThroughTheSystem) {
    if (!gbkCodePage()) GTEST_SKIP() << "GBK keys need code page 936 (LC_ALL=zh_CN.UTF-8)";
    MemoryUnits memory;
    MainUnits units(memory);
    units.过滤.setText("QQ\r\nwww");
    units.填充.setText("\"\xC7\xEB\"");
    SettingsStore store(units, folder_);
    ASSERT_TRUE(store.save());
    const std::string ini = store.iniPath();
    made_.push_back(ini);
    made_.push_back(store.prefixPath());
    made_.push_back(store.suffixPath());
    EXPECT_EQ(systemGet(ini, "编辑框", "过滤"), "QQ><br><www");
    EXPECT_EQ(systemGet(ini, "编辑框", "填充"), "\xC7\xEB");
    EXPECT_EQ(systemGet(ini, "编辑框", "编辑框_鼠标位置_Y"), "");
}

}  // namespace
