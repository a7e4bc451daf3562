#include "TestEnvironment.h"

#include <core/SettingsStore.h>
#include <core/SettingsValues.h>

#include <gtest/gtest.h>

#include <random>

using namespace folivo;

namespace {

const std::string kHeader = "[Software\\Kavvan Software\\Folivo Converter\\Defaults]\n";

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The folder a user editing the file by hand already has.
        std::filesystem::create_directories(store.Folder());
        ASSERT_EQ(OpenSettingsKey(key, disposition, kSettingsKeyPath), SETTINGS_OK);
    }

    // The raw bytes of a value, or nullopt when the query fails.
    std::optional<std::string> Raw(const char* name, unsigned long size = 8192)
    {
        std::string buffer(size, '?');
        unsigned long written = 0;
        if (QueryValue(key, name, buffer.data(), size, &written) != SETTINGS_OK)
            return std::nullopt;
        return buffer.substr(0, written);
    }

    IsolatedStore store;
    SettingsKey key;
    unsigned long disposition = 0;
};

TEST_F(SettingsStoreTest, ValuesKeepTheirTypeAndExactBytesOnReadableLines)
{
    EXPECT_EQ(disposition, SETTINGS_CREATED_NEW_KEY);
    std::string awkward = "a\r\nb\"c\"=d#e\\f\tg\x01\x7F";
    for (int b = 0x80; b <= 0xFF; ++b)
        awkward += static_cast<char>(b);
    EXPECT_EQ(SetStringValue(key, "Bookmarks", awkward.c_str()), SETTINGS_OK);
    EXPECT_EQ(SetDwordValue(key, "PalmDocBlock", 31), SETTINGS_OK);
    EXPECT_EQ(SetDwordValue(key, "Dleft", static_cast<std::uint32_t>(-8)), SETTINGS_OK);

    // A fresh handle reads what the file holds.
    ASSERT_EQ(OpenSettingsKey(key, disposition, kSettingsKeyPath), SETTINGS_OK);
    EXPECT_EQ(disposition, SETTINGS_OPENED_EXISTING_KEY);
    EXPECT_EQ(Raw("Bookmarks"), awkward + '\0');
    EXPECT_EQ(Raw("PalmDocBlock"), std::string("\x1F\0\0\0", 4));
    EXPECT_EQ(Raw("Dleft"), std::string("\xF8\xFF\xFF\xFF", 4));

    std::string file = ReadBytes(store.File());
    EXPECT_NE(file.find("\n" + kHeader + "Bookmarks=string:\"a\\r\\nb\\\"c\\\"=d#e\\\\f\\tg\\x01\\x7F\\x80\\x81"),
              std::string::npos);
    EXPECT_NE(file.find("\nPalmDocBlock=dword:31\nDleft=dword:-8\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, QueryGivesRawBytesAndFailsWhenMissingOrTooLong)
{
    SetStringValue(key, "Bookmarks", "abc");
    SetDwordValue(key, "Tabs", 1);
    EXPECT_EQ(Raw("Nothing"), std::nullopt);
    EXPECT_EQ(Raw("Tabs", 3), std::nullopt);
    EXPECT_EQ(Raw("Bookmarks", 4), std::string("abc", 4));  // the type is never checked
    EXPECT_EQ(Raw("Bookmarks", 3), std::nullopt);

    std::uint32_t state = 0;
    SettingsKey closed;
    EXPECT_EQ(SetDwordValue(closed, "Tabs", 1), SETTINGS_FAILED);
    EXPECT_EQ(QueryValue(closed, "Tabs", &state, 4), SETTINGS_FAILED);
}

TEST_F(SettingsStoreTest, AValueOfTheOtherTypeReadsAsNotStored)
{
    WriteBytes(store.File(), kHeader + "PalmDocBlock=string:\"\\x05\"\nzTxtBlock=string:\"x\"\n"
                                       "Bookmarks=dword:0x6863\nTabs=dword:1\nHTML=string:\"\"\n");
    const struct {
        const char* name;
        SettingsValueType type;
        bool read;  // and otherwise stored with the other type
    } cases[] = {
        {"PalmDocBlock", SettingsValueType::Dword, false}, {"zTxtBlock", SettingsValueType::Dword, false},
        {"HTML", SettingsValueType::Dword, false},         {"Bookmarks", SettingsValueType::String, false},
        {"Tabs", SettingsValueType::Dword, true},
    };
    for (const auto& [name, type, read] : cases) {
        std::uint32_t number = 77;
        CString text = "default";
        const bool wasRead = type == SettingsValueType::Dword ? ReadDword(key, name, number)
                                                              : ReadString(key, name, text, kBookmarksBufferSize);
        EXPECT_EQ(wasRead, read) << name;
        EXPECT_EQ(StoredWithOtherType(key, name, type), !read) << name;
        if (!read) {
            EXPECT_TRUE(number == 77 && text == "default") << name << ": the default stays";
        }
    }
    EXPECT_FALSE(StoredWithOtherType(key, "CRLFCR", SettingsValueType::Dword)) << "not stored at all";
}

TEST_F(SettingsStoreTest, TheKeyIsFoundInAnyCaseAndPastAByteOrderMark)
{
    const std::string bom = "\xEF\xBB\xBF";
    for (const std::string& header :
         std::vector<std::string>{bom + kHeader, "[software\\kavvan software\\folivo converter\\DEFAULTS]\n",
                                  bom + "  [Software\\Kavvan Software\\Folivo Converter\\defaults]\r\n"}) {
        WriteBytes(store.File(), header + "Tabs=dword:1\n");
        EXPECT_EQ(Raw("Tabs"), std::string("\x01\0\0\0", 4)) << header;
        EXPECT_TRUE(SettingsFileNotices().empty()) << header;
        // A write goes into the section that is there, and keeps the file's own header.
        ASSERT_EQ(SetDwordValue(key, "HTML", 1), SETTINGS_OK);
        EXPECT_EQ(ReadBytes(store.File()), header + "Tabs=dword:1\nHTML=dword:1\n");
    }
}

TEST_F(SettingsStoreTest, LinesNoReaderSeesAreNoticed)
{
    const struct {
        std::string file;
        std::vector<std::string> notices;  // parts of each notice, in order
    } cases[] = {
        {kHeader + "Tabs=dword:1\n# comment\n\n", {}},
        {"Tabs=dword:1\nHTML=dword:1\n",
         {"the values on lines 1 and 2 are outside the section [" + std::string(kSettingsKeyPath) +
          "], so they are not read"}},
        {"[Software\\Other]\nTabs=dword:1\n" + kHeader + "Tabs=dword:\nHTML\n",
         {"the value on line 2 is outside", "lines 4 and 5 cannot be read, so they are ignored"}},
        {kHeader + std::string(8, '\n') + "1\n2\n3\n4\n5\n6\n7\n", {"lines 10, 11, 12, 13, 14 and 2 more cannot"}},
    };
    for (const auto& [file, parts] : cases) {
        WriteBytes(store.File(), file);
        const std::vector<std::string> notices = SettingsFileNotices();
        ASSERT_EQ(notices.size(), parts.size()) << file;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            EXPECT_TRUE(notices[i].starts_with(store.File().string() + ": ")) << notices[i];
            EXPECT_NE(notices[i].find(parts[i]), std::string::npos) << notices[i];
        }
    }
}

TEST_F(SettingsStoreTest, HandEditedFileIsReadAndAWriteKeepsEverythingElse)
{
    WriteBytes(store.File(), "# kept comment\n[Software\\Other]\nTabs=dword:7\n\n" + kHeader +
                                 "tabs=dword:1\r\n  TABS = dword:0x10  \r\nthis line is damaged\n"
                                 "my\\x20name=string:\"\\x43 \xE9\t\"");
    EXPECT_EQ(Raw("Tabs"), std::string("\x10\0\0\0", 4));  // names ignore case; the last line counts
    EXPECT_EQ(Raw("my name"), std::string("C \xE9\t", 5));

    SetDwordValue(key, "Tabs", 5);
    SetDwordValue(key, "HTML", 1);
    EXPECT_EQ(ReadBytes(store.File()), "# kept comment\n[Software\\Other]\nTabs=dword:7\n\n" + kHeader +
                                           "Tabs=dword:5\nthis line is damaged\n"
                                           "my\\x20name=string:\"\\x43 \xE9\t\"\nHTML=dword:1\n");
}

TEST_F(SettingsStoreTest, DamagedLinesReadAsMissingAndNeverCrash)
{
    for (const char* line :
         {"Tabs=dword:", "Tabs=dword:4294967296", "Tabs=dword:-2147483649", "Tabs=dword:12abc", "Tabs=dword:0x",
          "Tabs=word:1", "Tabs", "Tabs=string:\"abc", "Tabs=string:\"a\"b\"", "Tabs=string:abc", "Tabs=string:\"\\q\"",
          "Tabs=string:\"\\x4\"", "Tabs=string:\"a\x01\""}) {
        WriteBytes(store.File(), kHeader + "ASCII=dword:1\n" + line + "\nHTML=dword:1\n");
        EXPECT_EQ(Raw("Tabs"), std::nullopt) << line;
        EXPECT_TRUE(Raw("ASCII") && Raw("HTML")) << line;
    }

    std::mt19937 random(20261208);
    const std::string valid = kHeader + "Tabs=dword:1\nBookmarks=string:\"a\\r\\nb\"\nDleft=dword:-3\n";
    for (int round = 0; round < 200; ++round) {
        std::string bytes = valid;
        for (int i = 0; i < 4; ++i)
            bytes[random() % bytes.size()] = static_cast<char>(random());
        bytes.resize(round % 3 ? bytes.size() : random() % bytes.size());
        WriteBytes(store.File(), bytes);
        for (const char* name : {"Tabs", "Bookmarks", "Dleft"})
            Raw(name, 16);
    }

    // Noise stays in the file, and writing still works.
    std::string noise(4096, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    WriteBytes(store.File(), noise);
    EXPECT_EQ(Raw("Tabs"), std::nullopt);
    EXPECT_EQ(SetDwordValue(key, "Tabs", 3), SETTINGS_OK);
    EXPECT_EQ(Raw("Tabs"), std::string("\x03\0\0\0", 4));
    EXPECT_EQ(ReadBytes(store.File()).substr(0, noise.size()), noise);
}

TEST_F(SettingsStoreTest, OversizedFileIsNeitherReadNorReplaced)
{
    std::string big = kHeader + "Tabs=dword:1\n";
    big.resize(5u << 20, '#');
    WriteBytes(store.File(), big);
    EXPECT_EQ(Raw("Tabs"), std::nullopt);
    EXPECT_EQ(SetDwordValue(key, "HTML", 1), SETTINGS_FAILED);
    EXPECT_EQ(std::filesystem::file_size(store.File()), big.size());
}

TEST(SettingsStoreFiles, ReadingLeavesNoTraceAndOnlyAWriterMakesTheFolder)
{
    IsolatedStore store;
    SettingsKey key;
    unsigned long disposition = 0;
    ASSERT_EQ(OpenSettingsKey(key, disposition, kSettingsKeyPath), SETTINGS_OK);
    EXPECT_EQ(disposition, SETTINGS_CREATED_NEW_KEY);
    std::uint32_t tabs = 7;
    EXPECT_FALSE(ReadDword(key, "Tabs", tabs));
    EXPECT_EQ(tabs, 7u);
    EXPECT_FALSE(std::filesystem::exists(store.Folder()));

    ASSERT_EQ(SetDwordValue(key, "Tabs", 1), SETTINGS_OK);
    ASSERT_EQ(SetDwordValue(key, "HTML", 1), SETTINGS_OK);
    EXPECT_TRUE(std::filesystem::exists(store.File()));
    EXPECT_TRUE(std::filesystem::exists(store.File().string() + ".lock"));

    // Removing a value brings its reader's default back; the others stay.
    EXPECT_EQ(DeleteSettingsValue(key, "tabs"), SETTINGS_OK);
    EXPECT_EQ(DeleteSettingsValue(key, "Tabs"), SETTINGS_OK);
    EXPECT_FALSE(ReadDword(key, "Tabs", tabs));
    std::uint32_t html = 0;
    EXPECT_TRUE(ReadDword(key, "HTML", html));
    EXPECT_EQ(html, 1u);
}

TEST(SettingsValuesTest, TableListsEveryValueWithItsType)
{
    EXPECT_EQ(AllSettingsValues().size(), 29u);
    ASSERT_NE(FindSettingsValue("bookmarks"), nullptr);
    EXPECT_STREQ(FindSettingsValue("bookmarks")->name, "Bookmarks");
    EXPECT_EQ(FindSettingsValue("Bookmarks")->type, SettingsValueType::String);
    EXPECT_EQ(FindSettingsValue("PBOTTOM")->type, SettingsValueType::Dword);
    EXPECT_EQ(FindSettingsValue("Pbottomx"), nullptr);
}

}  // namespace
