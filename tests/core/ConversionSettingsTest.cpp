#include "TestEnvironment.h"
#include "TestPages.h"

#include <core/ConversionSettings.h>
#include <core/WizardPages.h>

#include <gtest/gtest.h>

using namespace folivo;

namespace {

TEST(ConversionSettingsTest, NamesComeFromEitherPathStyle)
{
    ConversionSettings windows = SettingsForSource("C:\\Books\\Story.txt");
    EXPECT_EQ(windows.sourceFileName, "Story.txt");
    EXPECT_EQ(windows.title, "Story");
    EXPECT_EQ(windows.outputPath, "C:\\Books\\Story.pdb");

    ConversionSettings posix = SettingsForSource("/home/ann/my.old.book.html");
    EXPECT_EQ(posix.title, "my.old.book");
    EXPECT_EQ(posix.outputPath, "/home/ann/my.old.book.pdb");
    EXPECT_EQ(SettingsForSource("a\\b/c.txt").sourceFileName, "c.txt");

    // A dot in a folder name is no extension.
    EXPECT_EQ(SettingsForSource("/srv/v1.2/README").title, "README");
    EXPECT_EQ(OutputPathOf("C:\\dir.d\\file"), "C:\\dir.d\\file.pdb");
    // A database converted again gets a name of its own.
    EXPECT_EQ(OutputPathOf("/books/old.PDB"), "/books/old-converted.pdb");
    EXPECT_EQ(OutputPathOf("/books/old.prc"), "/books/old.pdb");
    EXPECT_EQ(OutputPathOf("/books/.pdb"), "/books/.pdb.pdb");
}

TEST(ConversionSettingsTest, LeadingDotsStartNoExtension)
{
    const struct {
        const char* path;
        const char* title;
        const char* output;
    } cases[] = {
        {"/home/ann/.notes", ".notes", "/home/ann/.notes.pdb"},
        {"C:\\Books\\..notes", "..notes", "C:\\Books\\..notes.pdb"},
        {"/home/ann/.notes.txt", ".notes", "/home/ann/.notes.pdb"},
        {"/srv/.d/.x.y.txt", ".x.y", "/srv/.d/.x.y.pdb"},
        {"/srv/.d/...", "...", "/srv/.d/....pdb"},
    };
    for (const auto& c : cases) {
        const ConversionSettings s = SettingsForSource(c.path);
        EXPECT_EQ(s.title, c.title) << c.path;
        EXPECT_EQ(s.outputPath, c.output) << c.path;
    }
}

TEST(ConversionSettingsTest, BareFileNameKeepsItsWholeName)
{
    ConversionSettings s = SettingsForSource("Story.txt");
    EXPECT_EQ(s.sourceFileName, "Story.txt");
    EXPECT_EQ(s.title, "Story");
    EXPECT_EQ(s.outputPath, "Story.pdb");
}

TEST(RunSettingsTest, ShownPagesGiveTheirControlsElseTheStoreDecides)
{
    IsolatedStore store;
    TestPages pages;
    pages.textShown = pages.bookmarkShown = pages.documentExists = false;
    pages.patterns = "^Page";
    pages.autoInstall = true;
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
