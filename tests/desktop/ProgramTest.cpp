// folivo-converter started as a desktop launcher, a file manager or a script
// starts it: each way of naming a document gives the database expected.
#include "Databases.h"
#include "DesktopRun.h"

#include <core/SettingsGroups.h>
#include <palm/EbookReader.h>

namespace {

namespace fs = std::filesystem;

constexpr char kStory[] = "CHAPTER I\nIt was a dark night.\nCHAPTER II\nThe morning came.\n";

// The program inherits the sandbox's folders and settings store with the
// environment, taken once they are in place.
class ProgramTest : public testing::Test, protected DocumentSandbox {
protected:
    ProgramTest()
    {
        fs::create_directory(Runtime());
        fs::permissions(Runtime(), fs::perms::owner_all);
        Document("My Story.txt", kStory);
        m_environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(Runtime().string()));
        m_environment.insert("QT_QPA_PLATFORM", "offscreen");
    }

    fs::path Runtime() const { return Root() / "runtime"; }
    QString Story() const { return QString::fromStdString((Docs() / "My Story.txt").string()); }

    ProgramRun Run(const QStringList& arguments)
    {
        const ProgramRun run = RunProgram(FOLIVO_CONVERTER, arguments, m_environment, Docs());
        EXPECT_EQ(run.status, 0) << run.err;
        return run;
    }

    IsolatedStore m_store;
    QProcessEnvironment m_environment = QProcessEnvironment::systemEnvironment();
};

TEST_F(ProgramTest, TheQuotedCommandLineConvertsWithTheStoredDefaults)
{
    folivo::SaveFormatDefaults(DocumentFormat::zTXT, {3, 1, 0});
    Run({'"' + Story() + "\" 1"});
    const palm::EbookInfo book = ReadDatabase(Docs() / "My Story.pdb");
    EXPECT_EQ(book.format, palm::EbookFormat::Ztxt);
    EXPECT_EQ(book.title, "My Story");
    EXPECT_EQ(book.recordSize, 3072u);
    EXPECT_EQ(book.text, kStory);
    EXPECT_TRUE(fs::is_empty(Tmp()));
}

TEST_F(ProgramTest, PathAndNumberAsTwoArgumentsAfterQtsOwnOptions)
{
    m_environment.remove("QT_QPA_PLATFORM");
    Run({"-platform", "offscreen", Story(), "0"});
    const palm::EbookInfo book = ReadDatabase(Docs() / "My Story.pdb");
    EXPECT_EQ(book.format, palm::EbookFormat::PalmDoc);
    EXPECT_EQ(book.recordSize, 4096u);
    EXPECT_EQ(book.text, kStory);
}

TEST_F(ProgramTest, AnotherNumberPreparesTheTextOnlyAndLeavesNothing)
{
    Run({Story(), "7"});
    Run({'"' + Story() + "\" 12"});
    EXPECT_EQ(FileNamesIn(Docs()).size(), 1u);
    EXPECT_TRUE(fs::is_empty(Tmp()));
}

TEST_F(ProgramTest, ADocumentWithoutAFolderIsOneOfTheCurrentFolder)
{
    Run({"My Story.txt", "0"});
    EXPECT_EQ(ReadDatabase(Docs() / "My Story.pdb").title, "My Story");
}

TEST_F(ProgramTest, TellsItsVersionWithoutAWindowSystem)
{
    m_environment.remove("QT_QPA_PLATFORM");
    m_environment.remove("DISPLAY");
    m_environment.remove("WAYLAND_DISPLAY");
    EXPECT_EQ(Run({"--version"}).out, "folivo-converter " FOLIVO_VERSION "\n");
}

}  // namespace
