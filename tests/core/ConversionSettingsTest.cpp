#include "TestEnvironment.h"

#include <core/ConversionSettings.h>
#include <core/WizardPages.h>

#include <gtest/gtest.h>

namespace {

TEST(ConversionSettingsTest, NamesComeFromEitherPathStyle)
{
    ConversionSettings windows = SettingsForSource("C:\\Books\\Story.txt");
    EXPECT_EQ(windows.sourceFileName, "Story.txt");
    EXPECT_EQ(windows.title, "Story");
    EXPECT_EQ(windows.outputPath, "C:\\Books\\Story.pdb");
    EXPECT_EQ(FolderOf(windows.sourcePath), "C:\\Books");

    ConversionSettings posix = SettingsForSource("/home/ann/my.old.book.html");
    EXPECT_EQ(posix.title, "my.old.book");
    EXPECT_EQ(posix.outputPath, "/home/ann/my.old.book.pdb");
    EXPECT_EQ(SourceFileNameOf("a/b\\c.txt"), "c.txt");
    EXPECT_EQ(SourceFileNameOf("a\\b/c.txt"), "c.txt");

    // A dot in a folder name is no extension.
    EXPECT_EQ(SettingsForSource("/srv/v1.2/README").title, "README");
    EXPECT_EQ(OutputPathOf("C:\\dir.d\\file"), "C:\\dir.d\\file.pdb");
}

TEST(ConversionSettingsTest, BareFileNameKeepsItsWholeName)
{
    ConversionSettings s = SettingsForSource("Story.txt");
    EXPECT_EQ(s.sourceFileName, "Story.txt");
    EXPECT_EQ(s.title, "Story");
    EXPECT_EQ(s.outputPath, "Story.pdb");
    EXPECT_EQ(FolderOf("Story.txt"), "");
}

struct FakePages : WizardPages {
    bool textPageShown() const override { return textShown; }
    TextPageState textPageState() const override { return text; }
    bool bookmarkPageShown() const override { return bookmarkShown; }
    CString bookmarkPatternText() const override { return "^Page"; }
    bool documentPageExists() const override { return documentExists; }
    bool autoInstallChecked() const override { return true; }
    CString installUserText() const override { return "Ann"; }
    CString outputPathText() const override { return "out.pdb"; }
    CString titleText() const override { return "Out"; }

    bool textShown = false;
    bool bookmarkShown = false;
    bool documentExists = false;
    TextPageState text;
};

TEST(RunSettingsTest, ShownPagesGiveTheirControlsElseTheStoreDecides)
{
    IsolatedStore store;
    FakePages pages;
    ConversionSettings s;
    ResolveRunSettings(s, nullptr, "^Previous");
    EXPECT_EQ(s.bookmarkPatterns, "^Previous");  // nothing stored yet
    EXPECT_FALSE(s.autoInstall);

    TextPageState stored;
    stored.removeNone = 0;
    stored.removeCR = stored.tabs = 1;
    SaveTextDefaults(stored);
    SaveBookmarkDefaults("^Stored");
    pages.text.translateNone = 0;
    pages.text.translateLF = 1;
    ResolveRunSettings(s, &pages, "^Previous");
    EXPECT_EQ(s.lineBreakRemoval, LineBreakRemoval::RemoveCR);
    EXPECT_TRUE(s.tabsToLineBreaks);
    EXPECT_EQ(s.bookmarkPatterns, "^Stored");
    EXPECT_FALSE(s.autoInstall);  // only a run with the document page installs

    pages.textShown = pages.bookmarkShown = pages.documentExists = true;
    ResolveRunSettings(s, &pages, "^Previous");
    EXPECT_EQ(s.lineBreakRemoval, LineBreakRemoval::None);
    EXPECT_EQ(s.lineBreakTranslation, LineBreakTranslation::LfToCr);
    EXPECT_FALSE(s.tabsToLineBreaks);
    EXPECT_EQ(s.bookmarkPatterns, "^Page");
    EXPECT_TRUE(s.autoInstall);
    EXPECT_EQ(s.installUser, "Ann");
}

}  // namespace
