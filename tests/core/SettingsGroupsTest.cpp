#include "TestEnvironment.h"

#include <core/SettingsGroups.h>
#include <core/SettingsStore.h>
#include <core/SettingsValues.h>

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

using namespace folivo;

namespace {

class SettingsGroupsTest : public ::testing::Test {
protected:
    void Store(std::initializer_list<std::pair<const char*, std::uint32_t>> values)
    {
        SettingsKey key;
        unsigned long disposition;
        ASSERT_EQ(OpenSettingsKey(key, disposition, kSettingsKeyPath), SETTINGS_OK);
        for (const auto& [name, value] : values)
            ASSERT_EQ(SetDwordValue(key, name, value), SETTINGS_OK);
    }

    // The value names in the settings file, in file order.
    std::vector<std::string> StoredNames() const
    {
        std::vector<std::string> names;
        std::istringstream lines(ReadBytes(store.File()));
        for (std::string line; std::getline(lines, line);) {
            if (line[0] != '#' && line.find('=') != std::string::npos)
                names.push_back(line.substr(0, line.find('=')));
        }
        return names;
    }

    IsolatedStore store;
};

TEST_F(SettingsGroupsTest, JobTextRulesTakeTheLastValueThatIsExactlyOne)
{
    ConversionSettings s;
    s.tabsToLineBreaks = true;
    ReadTextRules(s);
    EXPECT_EQ(s.lineBreakRemoval, LineBreakRemoval::None);
    EXPECT_FALSE(s.tabsToLineBreaks);

    Store({{"CRLFCR", 1}, {"CRLFLF", 1}, {"CRLFTCR", 2}, {"CRLFTLF", 1}, {"CRLFTNone", 0}, {"Tabs", 2}, {"Single", 1}});
    ReadTextRules(s);
    EXPECT_EQ(s.lineBreakRemoval, LineBreakRemoval::RemoveLF);
    EXPECT_EQ(s.lineBreakTranslation, LineBreakTranslation::LfToCr);
    EXPECT_TRUE(s.tabsToLineBreaks && s.ignoreSingleLineBreaks);
    EXPECT_FALSE(s.removeHtmlTags || s.allowLowAscii);

    // A change between two runs shows in the second.
    Store({{"CRLFLF", 2}, {"CRLFTLF", 0}});
    ReadTextRules(s);
    EXPECT_EQ(s.lineBreakRemoval, LineBreakRemoval::RemoveCR);
    EXPECT_EQ(s.lineBreakTranslation, LineBreakTranslation::None);

    // The page counts a box only when it is exactly checked.
    TextPageState page;
    page.removeCR = page.removeLF = 1;
    page.removeNone = 0;
    page.translateCR = 1;
    page.translateNone = 2;
    page.tabs = 2;
    TextRulesFromPage(page, s);
    EXPECT_EQ(s.lineBreakRemoval, LineBreakRemoval::RemoveLF);
    EXPECT_EQ(s.lineBreakTranslation, LineBreakTranslation::CrToLf);
    EXPECT_FALSE(s.tabsToLineBreaks);
}

TEST_F(SettingsGroupsTest, TextPageShowsStoredValuesAndSavesInOrder)
{
    TextPageState page;
    Store({{"CRLFCR", 1}, {"CRLFNone", 1}, {"ASCII", 3}});  // two 1s in one group show as such
    ASSERT_TRUE(LoadTextPageDefaults(page));
    EXPECT_EQ(page.removeCR, 1u);
    EXPECT_EQ(page.removeNone, 1u);
    EXPECT_EQ(page.translateNone, 1u);
    EXPECT_EQ(page.ascii, 3u);

    std::filesystem::remove(store.File());
    SaveTextDefaults(page);
    EXPECT_EQ(StoredNames(),
              (std::vector<std::string>{"CRLFCR", "CRLFLF", "CRLFNone", "CRLFTCR", "CRLFTLF", "CRLFTNone", "Tabs",
                                        "HTML", "ASCII", "Single", "Charset", "HtmlLayout"}));
}

// The pages show what a run without them reads, so that showing a page
// never changes a conversion.
TEST_F(SettingsGroupsTest, PagesShowWhatARunWithoutThemWouldRead)
{
    const auto buttons = [](const TextPageState& s) {
        return std::vector<std::uint32_t>{s.removeCR,    s.removeLF,      s.removeNone, s.translateCR,
                                          s.translateLF, s.translateNone, s.tabs,       s.html,
                                          s.ascii,       s.single,        s.charset};
    };
    EXPECT_EQ(buttons(StoredTextPageState()), (std::vector<std::uint32_t>{0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1}));

    Store(
        {{"CRLFCR", 1}, {"CRLFLF", 1}, {"CRLFNone", 0}, {"CRLFTCR", 2}, {"CRLFTNone", 0}, {"Tabs", 2}, {"Charset", 0}});
    const TextPageState shown = StoredTextPageState();
    EXPECT_EQ(buttons(shown), (std::vector<std::uint32_t>{0, 1, 0, 0, 0, 1, 1, 0, 0, 0, 0}));
    ConversionSettings fromPage;
    ConversionSettings fromStore;
    TextRulesFromPage(shown, fromPage);
    ReadTextRules(fromStore);
    EXPECT_EQ(fromPage.lineBreakRemoval, fromStore.lineBreakRemoval);
    EXPECT_EQ(fromPage.lineBreakTranslation, fromStore.lineBreakTranslation);
    EXPECT_EQ(fromPage.tabsToLineBreaks, fromStore.tabsToLineBreaks);
    EXPECT_EQ(fromPage.handheldCharset, fromStore.handheldCharset);

    const auto format = [](DocumentFormat f) {
        const FormatPageState s = StoredFormatPageState(f);
        return std::vector<std::uint32_t>{s.blockSizeKB, s.compressFirst, s.compressSecond};
    };
    EXPECT_EQ(format(DocumentFormat::PalmDoc), (std::vector<std::uint32_t>{4, 1, 0}));
    EXPECT_EQ(format(DocumentFormat::zTXT), (std::vector<std::uint32_t>{8, 1, 0}));
    // Out of the arrows' range, and buttons no run of the program stores.
    Store({{"zTxtBlock", 99},
           {"zTxtCompressRandom", 0},
           {"zTxtCompressEntire", 0},
           {"PalmDocBlock", 0},
           {"PalmDocCompressOn", 2},
           {"PalmDocCompressOff", 1}});
    EXPECT_EQ(format(DocumentFormat::zTXT), (std::vector<std::uint32_t>{31, 0, 1}));
    EXPECT_EQ(format(DocumentFormat::PalmDoc), (std::vector<std::uint32_t>{1, 1, 0}));
}

TEST_F(SettingsGroupsTest, PatternTextFitsTheBufferOrKeepsThePreviousText)
{
    CString patterns = "previous";
    ASSERT_TRUE(LoadBookmarkPatterns(patterns));
    EXPECT_EQ(patterns, "previous");
    CString longest(kBookmarksBufferSize - 1, 'x');
    for (const CString& stored : {CString("^Chapter\r\n^Part \"I\""), longest}) {
        SaveBookmarkDefaults(stored);
        LoadBookmarkPatterns(patterns);
        EXPECT_EQ(patterns, stored);
    }
    SaveBookmarkDefaults(longest + "y");
    patterns = "previous";
    LoadBookmarkPatterns(patterns);
    EXPECT_EQ(patterns, "previous");
}

TEST_F(SettingsGroupsTest, FormatDefaultsTouchOnlyTheirOwnFormat)
{
    FormatPageState ztxt = InitialFormatPageState(DocumentFormat::zTXT);
    ASSERT_TRUE(LoadFormatDefaults(DocumentFormat::zTXT, ztxt));
    EXPECT_EQ(ztxt.blockSizeKB, 8u);
    EXPECT_EQ(InitialFormatPageState(DocumentFormat::PalmDoc).blockSizeKB, 4u);

    SaveFormatDefaults(DocumentFormat::PalmDoc, FormatPageState{16, 0, 1});
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"PalmDocBlock", "PalmDocCompressOn", "PalmDocCompressOff"}));
    FormatPageState palm = InitialFormatPageState(DocumentFormat::PalmDoc);
    ASSERT_TRUE(LoadFormatDefaults(DocumentFormat::PalmDoc, palm));
    EXPECT_EQ(palm.blockSizeKB, 16u);
    EXPECT_EQ(palm.compressFirst, 0u);
    EXPECT_EQ(palm.compressSecond, 1u);
    EXPECT_FALSE(LoadFormatDefaults(DocumentFormat::PrepareOnly, palm));
}

TEST_F(SettingsGroupsTest, DirectRunDefaultsAreFourAndEightKilobytesCompressed)
{
    auto direct = [](DocumentFormat format) {
        ConversionSettings s;
        s.format = format;
        ReadDirectRunDefaults(s);
        return std::pair(s.blockSizeKB, s.compress);
    };
    EXPECT_EQ(direct(DocumentFormat::PalmDoc), std::pair(4, true));
    EXPECT_EQ(direct(DocumentFormat::zTXT), std::pair(8, true));
    Store({{"zTxtBlock", 12}, {"zTxtCompressRandom", 0}, {"PalmDocCompressOff", 1}});
    EXPECT_EQ(direct(DocumentFormat::zTXT), std::pair(12, false));
    EXPECT_EQ(direct(DocumentFormat::PalmDoc), std::pair(4, true));
    EXPECT_EQ(direct(static_cast<DocumentFormat>(7)), std::pair(0, false));
}

TEST_F(SettingsGroupsTest, PlacementIsAllFourValuesOrNothing)
{
    SaveWindowPlacement(PlacementWindow::MainDialog, WindowPlacement{-8, 1288, -8, 1032});
    SaveWindowPlacement(PlacementWindow::Preview, WindowPlacement{10, 20, 30, 40});
    EXPECT_EQ(StoredNames(),
              (std::vector<std::string>{"Dleft", "Dright", "Dtop", "Dbottom", "Pleft", "Pright", "Ptop", "Pbottom"}));
    WindowPlacement placement;
    ASSERT_TRUE(ReadWindowPlacement(PlacementWindow::MainDialog, placement));
    EXPECT_EQ(placement.left, -8);
    EXPECT_EQ(placement.bottom, 1032);

    // Without Dbottom the other three stored values are not applied either.
    std::string file = ReadBytes(store.File());
    std::size_t line = file.find("Dbottom=");
    WriteBytes(store.File(), file.erase(line, file.find('\n', line) - line + 1));
    WindowPlacement kept{1, 2, 3, 4};
    EXPECT_FALSE(ReadWindowPlacement(PlacementWindow::MainDialog, kept));
    EXPECT_EQ(kept.left, 1);
    EXPECT_TRUE(ReadWindowPlacement(PlacementWindow::Preview, kept));
    EXPECT_EQ(kept.bottom, 40);
}

}  // namespace
