#include "ScratchFolder.h"

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
    EXPECT_EQ(posix.sourceFileName, "my.old.book.html");
    EXPECT_EQ(posix.title, "my.old.book");
    EXPECT_EQ(posix.outputPath, "/home/ann/my.old.book.pdb");
    EXPECT_EQ(FolderOf(posix.sourcePath), "/home/ann");

    // The last separator counts, whichever kind it is.
    EXPECT_EQ(SourceFileNameOf("a/b\\c.txt"), "c.txt");
    EXPECT_EQ(SourceFileNameOf("a\\b/c.txt"), "c.txt");
}

TEST(ConversionSettingsTest, ADotInAFolderIsNoExtension)
{
    ConversionSettings s = SettingsForSource("/srv/v1.2/README");
    EXPECT_EQ(s.title, "README");
    EXPECT_EQ(s.outputPath, "/srv/v1.2/README.pdb");
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

class FakePages : public WizardPages {
public:
    bool textPageShown() const override { return textShown; }
    TextPageState textPageState() const override { return text; }
    bool bookmarkPageShown() const override { return bookmarkShown; }
    CString bookmarkPatternText() const override { return patterns; }
    bool documentPageExists() const override { return documentExists; }
    bool autoInstallChecked() const override { return autoInstall; }
    CString installUserText() const override { return user; }

    bool textShown = false;
    TextPageState text;
    bool bookmarkShown = false;
    CString patterns;
    bool documentExists = false;
    bool autoInstall = false;
    CString user;
};

class RunSettingsTest : public ::testing::Test {
protected:
    IsolatedStore store;
    FakePages pages;
    ConversionSettings settings = SettingsForSource("/books/story.txt");
};

TEST_F(RunSettingsTest, ShownPagesGiveTheirControlsElseTheStoreDecides)
{
    TextPageState stored;
    stored.removeNone = 0;
    stored.removeCR = 1;
    stored.tabs = 1;
    SaveTextDefaults(stored);
    SaveBookmarkDefaults("^Stored");
    pages.text.translateNone = 0;
    pages.text.translateLF = 1;
    pages.patterns = "^Page";

    ResolveRunSettings(settings, &pages, "^Previous");
    EXPECT_EQ(settings.lineBreakRemoval, LineBreakRemoval::RemoveCR);
    EXPECT_TRUE(settings.tabsToLineBreaks);
    EXPECT_EQ(settings.bookmarkPatterns, "^Stored");

    pages.textShown = true;
    pages.bookmarkShown = true;
    ResolveRunSettings(settings, &pages, "^Previous");
    EXPECT_EQ(settings.lineBreakRemoval, LineBreakRemoval::None);
    EXPECT_EQ(settings.lineBreakTranslation, LineBreakTranslation::LfToCr);
    EXPECT_FALSE(settings.tabsToLineBreaks);
    EXPECT_EQ(settings.bookmarkPatterns, "^Page");
}

TEST_F(RunSettingsTest, WithoutAWizardEverythingComesFromTheStore)
{
    ResolveRunSettings(settings, nullptr, "^Previous");
    EXPECT_EQ(settings.lineBreakRemoval, LineBreakRemoval::None);
    EXPECT_EQ(settings.bookmarkPatterns, "^Previous");  // nothing stored yet
    EXPECT_FALSE(settings.autoInstall);

    SaveBookmarkDefaults("");
    ResolveRunSettings(settings, nullptr, "^Previous");
    EXPECT_EQ(settings.bookmarkPatterns, "");
}

TEST_F(RunSettingsTest, OnlyARunWithTheDocumentPageInstalls)
{
    pages.autoInstall = true;
    pages.user = "Ann";
    ResolveInstall(settings, &pages);
    EXPECT_FALSE(settings.autoInstall);
    EXPECT_EQ(settings.installUser, "");

    pages.documentExists = true;
    ResolveInstall(settings, &pages);
    EXPECT_TRUE(settings.autoInstall);
    EXPECT_EQ(settings.installUser, "Ann");
}

}  // namespace
