#include "ScratchFolder.h"

#include <core/SettingsStore.h>
#include <core/SettingsValues.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(OpenSettingsKey(key, disposition, kSettingsKeyPath), SETTINGS_OK); }

    // The raw bytes of a value, or nullopt when the query fails.
    std::optional<std::string> Raw(const char* name, unsigned long size = 8192)
    {
        std::string buffer(size, '\x55');
        unsigned long written = 0;
        if (QueryValue(key, name, buffer.data(), size, &written) != SETTINGS_OK)
            return std::nullopt;
        buffer.resize(written);
        return buffer;
    }

    IsolatedStore store;
    SettingsKey key;
    unsigned long disposition = 0;
};

TEST_F(SettingsStoreTest, ValuesComeBackWithTheirTypeAndExactBytes)
{
    std::string awkward = "a\r\nb\"c\"=d#e\\f\tg";
    for (int b = 0x80; b <= 0xFF; ++b)
        awkward += static_cast<char>(b);
    awkward += "\x01\x1F\x7F end ";

    EXPECT_EQ(SetStringValue(key, "Bookmarks", awkward.c_str()), SETTINGS_OK);
    EXPECT_EQ(SetDwordValue(key, "PalmDocBlock", 31), SETTINGS_OK);
    EXPECT_EQ(SetDwordValue(key, "Dleft", static_cast<std::uint32_t>(-8)), SETTINGS_OK);
    EXPECT_EQ(SetDwordValue(key, "Dright", 0x80000000u), SETTINGS_OK);
    EXPECT_EQ(SetStringValue(key, "Empty", ""), SETTINGS_OK);

    // A fresh handle reads what the file holds, not anything remembered.
    SettingsKey other;
    ASSERT_EQ(OpenSettingsKey(other, disposition, kSettingsKeyPath), SETTINGS_OK);
    EXPECT_EQ(disposition, SETTINGS_OPENED_EXISTING_KEY);
    key = std::move(other);

    EXPECT_EQ(Raw("Bookmarks"), awkward + '\0');
    EXPECT_EQ(Raw("PalmDocBlock"), std::string("\x1F\0\0\0", 4));
    EXPECT_EQ(Raw("Dleft"), std::string("\xF8\xFF\xFF\xFF", 4));
    EXPECT_EQ(Raw("Dright"), std::string("\0\0\0\x80", 4));
    EXPECT_EQ(Raw("Empty"), std::string(1, '\0'));

    // Each value is one line of 7-bit text a person can read and edit.
    std::string file = ReadBytes(store.File());
    EXPECT_NE(file.find("\n[Software\\Kavvan Software\\Folivo Converter\\Defaults]\n"), std::string::npos);
    EXPECT_NE(file.find("\nPalmDocBlock=dword:31\n"), std::string::npos);
    EXPECT_NE(file.find("\nDleft=dword:-8\n"), std::string::npos);
    for (char c : file)
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << static_cast<int>(static_cast<unsigned char>(c));
}

TEST_F(SettingsStoreTest, FirstOpenCreatesTheKey)
{
    EXPECT_EQ(disposition, SETTINGS_CREATED_NEW_KEY);
    EXPECT_TRUE(std::filesystem::is_directory(store.Folder()));
    EXPECT_EQ(Raw("PalmDocBlock"), std::nullopt);
}

TEST_F(SettingsStoreTest, QueryFailsWhenMissingOrLongerThanTheBuffer)
{
    SetStringValue(key, "Bookmarks", "abc");
    SetDwordValue(key, "Tabs", 1);

    char buffer[4] = {'w', 'x', 'y', 'z'};
    EXPECT_EQ(QueryValue(key, "Nothing", buffer, sizeof buffer), SETTINGS_FAILED);
    EXPECT_EQ(QueryValue(key, "Tabs", buffer, 3), SETTINGS_FAILED);
    EXPECT_EQ(std::memcmp(buffer, "wxyz", 4), 0);

    // "abc" and its zero fill the 4 bytes exactly; the type is never checked.
    EXPECT_EQ(QueryValue(key, "Bookmarks", buffer, sizeof buffer), SETTINGS_OK);
    EXPECT_EQ(std::memcmp(buffer, "abc", 4), 0);
    SetStringValue(key, "Bookmarks", "abcd");
    EXPECT_EQ(QueryValue(key, "Bookmarks", buffer, sizeof buffer), SETTINGS_FAILED);

    // A string read as a DWORD overwrites only the bytes it has.
    SetStringValue(key, "ShExt", "\x08");
    std::uint32_t state = 0xAAAAAAAA;
    EXPECT_TRUE(ReadDword(key, "ShExt", state));
    EXPECT_EQ(state, 0xAAAA0008u);

    SettingsKey closed;
    EXPECT_EQ(QueryValue(closed, "Tabs", buffer, sizeof buffer), SETTINGS_FAILED);
    EXPECT_EQ(SetDwordValue(closed, "Tabs", 1), SETTINGS_FAILED);
}

TEST_F(SettingsStoreTest, NamesIgnoreCaseAndAWriteKeepsTheRestOfTheFile)
{
    WriteBytes(store.File(),
               "# kept comment\n"
               "[Software\\Other]\n"
               "Tabs=dword:7\n"
               "\n"
               "[Software\\Kavvan Software\\Folivo Converter\\Defaults]\n"
               "tabs=dword:1\n"
               "TABS=dword:2\n"
               "this line is damaged\n");
    EXPECT_EQ(Raw("Tabs"), std::string("\x02\0\0\0", 4));

    SetDwordValue(key, "Tabs", 5);
    SetDwordValue(key, "HTML", 1);
    EXPECT_EQ(ReadBytes(store.File()),
              "# kept comment\n"
              "[Software\\Other]\n"
              "Tabs=dword:7\n"
              "\n"
              "[Software\\Kavvan Software\\Folivo Converter\\Defaults]\n"
              "Tabs=dword:5\n"
              "this line is damaged\n"
              "HTML=dword:1\n");
}

TEST_F(SettingsStoreTest, HandEditedLinesAreRead)
{
    WriteBytes(store.File(),
               "[Software\\Kavvan Software\\Folivo Converter\\Defaults]\r\n"
               "  PalmDocBlock = dword:0x10  \r\n"
               "Dtop=dword:4294967295\r\n"
               "Bookmarks = string:\"\\x43hapter \\\"1\\\"\"\r\n"
               "my\\x20name=string:\"raw \xE9 and tab\t\"");
    EXPECT_EQ(Raw("PalmDocBlock"), std::string("\x10\0\0\0", 4));
    EXPECT_EQ(Raw("Dtop"), std::string("\xFF\xFF\xFF\xFF", 4));
    EXPECT_EQ(Raw("Bookmarks"), std::string("Chapter \"1\"\0", 12));
    EXPECT_EQ(Raw("my name"), std::string("raw \xE9 and tab\t\0", 15));
}

TEST_F(SettingsStoreTest, DamagedLinesReadAsMissing)
{
    const std::string header = "[Software\\Kavvan Software\\Folivo Converter\\Defaults]\n";
    const char* damaged[] = {
        "Tabs=dword:",           "Tabs=dword:4294967296", "Tabs=dword:-2147483649", "Tabs=dword:12abc",
        "Tabs=dword:0x",         "Tabs=word:1",           "Tabs",                    "Tabs=string:\"abc",
        "Tabs=string:\"a\"b\"",  "Tabs=string:abc",       "Tabs=string:\"\\q\"",     "Tabs=string:\"\\x4\"",
        "Tabs=string:\"a\x01\"", "Tabs=string:\"end\\",
    };
    for (const char* line : damaged) {
        WriteBytes(store.File(), header + "ASCII=dword:1\n" + line + "\nHTML=dword:1\n");
        EXPECT_EQ(Raw("Tabs"), std::nullopt) << line;
        EXPECT_TRUE(Raw("ASCII") && Raw("HTML")) << line;
    }

    // A string longer than the pattern buffer reads as missing there.
    SetStringValue(key, "Bookmarks", std::string(kBookmarksBufferSize, 'x').c_str());
    CString patterns = "previous";
    EXPECT_FALSE(ReadString(key, "Bookmarks", patterns, kBookmarksBufferSize));
    EXPECT_EQ(patterns, "previous");
}

TEST_F(SettingsStoreTest, RandomDamageNeverCrashesAndStillAllowsWrites)
{
    std::mt19937 random(20261208);
    const std::string valid = "[Software\\Kavvan Software\\Folivo Converter\\Defaults]\n"
                              "Tabs=dword:1\nBookmarks=string:\"a\\r\\nb\"\nDleft=dword:-3\n";
    for (int round = 0; round < 200; ++round) {
        std::string bytes = valid;
        int changes = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < changes; ++i)
            bytes[random() % bytes.size()] = static_cast<char>(random() % 256);
        if (round % 3 == 0)
            bytes.resize(random() % bytes.size());
        WriteBytes(store.File(), bytes);
        for (const char* name : {"Tabs", "Bookmarks", "Dleft", ""})
            Raw(name, 16);
    }
    std::string noise(4096, '\0');
    for (char& c : noise)
        c = static_cast<char>(random() % 256);
    WriteBytes(store.File(), noise);
    EXPECT_EQ(Raw("Tabs"), std::nullopt);
    EXPECT_EQ(SetDwordValue(key, "Tabs", 3), SETTINGS_OK);
    EXPECT_EQ(Raw("Tabs"), std::string("\x03\0\0\0", 4));
    EXPECT_EQ(ReadBytes(store.File()).substr(0, noise.size()), noise);
}

TEST_F(SettingsStoreTest, OversizedFileIsNeitherReadNorReplaced)
{
    std::string big = "[Software\\Kavvan Software\\Folivo Converter\\Defaults]\nTabs=dword:1\n";
    big.resize(5u << 20, '#');
    WriteBytes(store.File(), big);
    EXPECT_EQ(Raw("Tabs"), std::nullopt);
    EXPECT_EQ(SetDwordValue(key, "HTML", 1), SETTINGS_FAILED);
    EXPECT_EQ(std::filesystem::file_size(store.File()), big.size());
}

TEST(SettingsValuesTest, TableListsEveryValueWithItsType)
{
    EXPECT_EQ(AllSettingsValues().size(), 26u);
    ASSERT_NE(FindSettingsValue("bookmarks"), nullptr);
    EXPECT_STREQ(FindSettingsValue("bookmarks")->name, "Bookmarks");
    EXPECT_EQ(FindSettingsValue("Bookmarks")->type, SettingsValueType::String);
    EXPECT_EQ(FindSettingsValue("PBOTTOM")->type, SettingsValueType::Dword);
    EXPECT_EQ(FindSettingsValue("Pbottomx"), nullptr);
}

}  // namespace
