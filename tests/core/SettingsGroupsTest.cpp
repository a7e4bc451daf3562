#include "ScratchFolder.h"

#include <core/SettingsGroups.h>
#include <core/SettingsStore.h>
#include <core/SettingsValues.h>

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

class SettingsGroupsTest : public ::testing::Test {
protected:
    void Store(const char* name, std::uint32_t value)
    {
        SettingsKey key;
        unsigned long disposition;
        ASSERT_EQ(OpenSettingsKey(key, disposition, kSettingsKeyPath), SETTINGS_OK);
        ASSERT_EQ(SetDwordValue(key, name, value), SETTINGS_OK);
    }

    // The value names of the settings file, in file order.
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
    ReadTextRules(s);
    EXPECT_EQ(s.lineBreakRemoval, LineBreakRemoval::None);
    EXPECT_EQ(s.lineBreakTranslation, LineBreakTranslation::None);
    EXPECT_FALSE(s.tabsToLineBreaks || s.removeHtmlTags || s.allowLowAscii || s.ignoreSingleLineBreaks);

    Store("CRLFCR", 1);
    Store("CRLFLF", 1);
    Store("CRLFTCR", 2);
    Store("CRLFTLF", 1);
    Store("CRLFTNone", 0);
    Store("Tabs", 2);
    Store("HTML", 0);
    Store("Single", 1);
    ReadTextRules(s);
    EXPECT_EQ(s.lineBreakRemoval, LineBreakRemoval::RemoveLF);
    EXPECT_EQ(s.lineBreakTranslation, LineBreakTranslation::LfToCr);
    EXPECT_TRUE(s.tabsToLineBreaks);
    EXPECT_FALSE(s.removeHtmlTags);
    EXPECT_FALSE(s.allowLowAscii);
    EXPECT_TRUE(s.ignoreSingleLineBreaks);

    // A change between two runs shows in the second.
    Store("CRLFLF", 2);
    Store("CRLFTLF", 0);
    ReadTextRules(s);
    EXPECT_EQ(s.lineBreakRemoval, LineBreakRemoval::RemoveCR);
    EXPECT_EQ(s.lineBreakTranslation, LineBreakTranslation::None);
}

TEST_F(SettingsGroupsTest, PageTextRulesCountOnlyExactlyCheckedButtons)
{
    TextPageState page;
    page.removeCR = 1;
    page.removeLF = 1;
    page.removeNone = 0;
    page.translateCR = 1;
    page.translateNone = 2;
    page.tabs = 2;  // indeterminate is not checked
    page.html = 1;
    ConversionSettings s;
    TextRulesFromPage(page, s);
    EXPECT_EQ(s.lineBreakRemoval, LineBreakRemoval::RemoveLF);
    EXPECT_EQ(s.lineBreakTranslation, LineBreakTranslation::CrToLf);
    EXPECT_FALSE(s.tabsToLineBreaks);
    EXPECT_TRUE(s.removeHtmlTags);
}

TEST_F(SettingsGroupsTest, TextPageLoadsEachButtonFromItsValueAndSavesInOrder)
{
    TextPageState page;
    ASSERT_TRUE(LoadTextPageDefaults(page));
    EXPECT_EQ(page.removeNone, 1u);
    EXPECT_EQ(page.translateNone, 1u);

    // A stored group with two 1s shows exactly that.
    Store("CRLFCR", 1);
    Store("CRLFNone", 1);
    Store("ASCII", 3);
    ASSERT_TRUE(LoadTextPageDefaults(page));
    EXPECT_EQ(page.removeCR, 1u);
    EXPECT_EQ(page.removeNone, 1u);
    EXPECT_EQ(page.ascii, 3u);

    std::filesystem::remove(store.File());
    TextPageState saved;
    saved.removeLF = 1;
    saved.removeNone = 0;
    saved.single = 1;
    SaveTextDefaults(saved);
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"CRLFCR", "CRLFLF", "CRLFNone", "CRLFTCR", "CRLFTLF",
                                                        "CRLFTNone", "Tabs", "HTML", "ASCII", "Single"}));
    TextPageState loaded;
    LoadTextPageDefaults(loaded);
    EXPECT_EQ(loaded.removeLF, 1u);
    EXPECT_EQ(loaded.removeNone, 0u);
    EXPECT_EQ(loaded.single, 1u);
}

TEST_F(SettingsGroupsTest, PatternTextFitsTheBufferOrKeepsThePreviousText)
{
    CString patterns = "previous";
    ASSERT_TRUE(LoadBookmarkPatterns(patterns));
    EXPECT_EQ(patterns, "previous");

    SaveBookmarkDefaults("^Chapter\r\n^Part \"I\"");
    ASSERT_TRUE(LoadBookmarkPatterns(patterns));
    EXPECT_EQ(patterns, "^Chapter\r\n^Part \"I\"");

    CString longest(kBookmarksBufferSize - 1, 'x');
    SaveBookmarkDefaults(longest);
    LoadBookmarkPatterns(patterns);
    EXPECT_EQ(patterns, longest);

    SaveBookmarkDefaults(longest + "y");
    patterns = "previous";
    LoadBookmarkPatterns(patterns);
    EXPECT_EQ(patterns, "previous");
}

TEST_F(SettingsGroupsTest, FormatDefaultsTouchOnlyTheirOwnFormat)
{
    FormatPageState palm = InitialFormatPageState(DocumentFormat::PalmDoc);
    FormatPageState ztxt = InitialFormatPageState(DocumentFormat::zTXT);
    ASSERT_TRUE(LoadFormatDefaults(DocumentFormat::zTXT, ztxt));
    EXPECT_EQ(palm.blockSizeKB, 4u);
    EXPECT_EQ(ztxt.blockSizeKB, 8u);
    EXPECT_EQ(ztxt.compressFirst, 1u);
    EXPECT_EQ(ztxt.compressSecond, 0u);

    SaveFormatDefaults(DocumentFormat::PalmDoc, FormatPageState{16, 0, 1});
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"PalmDocBlock", "PalmDocCompressOn", "PalmDocCompressOff"}));
    ASSERT_TRUE(LoadFormatDefaults(DocumentFormat::PalmDoc, palm));
    EXPECT_EQ(palm.blockSizeKB, 16u);
    EXPECT_EQ(palm.compressFirst, 0u);
    EXPECT_EQ(palm.compressSecond, 1u);

    FormatPageState untouched{99, 99, 99};
    EXPECT_FALSE(LoadFormatDefaults(DocumentFormat::PrepareOnly, untouched));
    EXPECT_EQ(untouched.blockSizeKB, 99u);
}

TEST_F(SettingsGroupsTest, DirectRunDefaultsAreFourAndEightKilobytesCompressed)
{
    ConversionSettings palm = SettingsForSource("/books/story.txt");
    palm.format = DocumentFormat::PalmDoc;
    ReadDirectRunDefaults(palm);
    EXPECT_EQ(palm.blockSizeKB, 4);
    EXPECT_TRUE(palm.compress);

    ConversionSettings ztxt = palm;
    ztxt.format = DocumentFormat::zTXT;
    ReadDirectRunDefaults(ztxt);
    EXPECT_EQ(ztxt.blockSizeKB, 8);
    EXPECT_TRUE(ztxt.compress);

    Store("zTxtBlock", 12);
    Store("zTxtCompressRandom", 0);
    Store("PalmDocCompressOff", 1);  // not what a direct run reads
    ReadDirectRunDefaults(ztxt);
    ReadDirectRunDefaults(palm);
    EXPECT_EQ(ztxt.blockSizeKB, 12);
    EXPECT_FALSE(ztxt.compress);
    EXPECT_EQ(palm.blockSizeKB, 4);
    EXPECT_TRUE(palm.compress);

    ConversionSettings other = palm;
    other.format = static_cast<DocumentFormat>(7);
    ReadDirectRunDefaults(other);
    EXPECT_EQ(other.blockSizeKB, 0);
    EXPECT_FALSE(other.compress);
}

TEST_F(SettingsGroupsTest, ShellIntegrationIsStoredAsGiven)
{
    EXPECT_EQ(ReadShellIntegration(), 0u);
    EXPECT_TRUE(SaveShellIntegration(8));
    EXPECT_EQ(ReadShellIntegration(), 8u);
    Store("ShExt", 1);
    EXPECT_EQ(ReadShellIntegration(), 1u);
}

TEST_F(SettingsGroupsTest, PlacementIsAllFourValuesOrNothing)
{
    WindowPlacement placement{-1, -1, -1, -1};
    EXPECT_FALSE(ReadWindowPlacement(PlacementWindow::MainDialog, placement));

    SaveWindowPlacement(PlacementWindow::MainDialog, WindowPlacement{-8, 1288, -8, 1032});
    SaveWindowPlacement(PlacementWindow::Preview, WindowPlacement{10, 20, 30, 40});
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"Dleft", "Dright", "Dtop", "Dbottom", "Pleft", "Pright",
                                                        "Ptop", "Pbottom"}));
    ASSERT_TRUE(ReadWindowPlacement(PlacementWindow::MainDialog, placement));
    EXPECT_EQ(placement.left, -8);
    EXPECT_EQ(placement.right, 1288);
    EXPECT_EQ(placement.top, -8);
    EXPECT_EQ(placement.bottom, 1032);

    // Without Dbottom the other three stored values are not applied either.
    std::string file = ReadBytes(store.File());
    file.erase(file.find("Dbottom="), file.find('\n', file.find("Dbottom=")) - file.find("Dbottom=") + 1);
    WriteBytes(store.File(), file);
    WindowPlacement kept{1, 2, 3, 4};
    EXPECT_FALSE(ReadWindowPlacement(PlacementWindow::MainDialog, kept));
    EXPECT_EQ(kept.left, 1);
    EXPECT_EQ(kept.bottom, 4);
    EXPECT_TRUE(ReadWindowPlacement(PlacementWindow::Preview, kept));
    EXPECT_EQ(kept.bottom, 40);
}

}  // namespace
