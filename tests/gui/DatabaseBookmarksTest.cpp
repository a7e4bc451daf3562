// The bookmarks of an existing Palm e-book, edited in the preview from the
// main dialog's File menu.
#include "Databases.h"
#include "GuiTestSupport.h"
#include "TestEnvironment.h"

#include "app/CConverterDlg.h"
#include "preview/CAddDlg.h"
#include "preview/CPreviewDlg.h"
#include "preview/Templates.h"

#include <palm/EbookWriters.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

#include <sys/stat.h>

namespace {

using namespace PreviewTemplate;

// The records of a database file, as its record list cuts it.
std::vector<std::string> Records(const std::string& file)
{
    const std::size_t count = (static_cast<unsigned char>(file[76]) << 8) | static_cast<unsigned char>(file[77]);
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t at = 0;
        for (int b = 0; b < 4; ++b)
            at = at << 8 | static_cast<unsigned char>(file[78 + 8 * i + static_cast<std::size_t>(b)]);
        starts.push_back(at);
    }
    starts.push_back(file.size());
    std::vector<std::string> records;
    for (std::size_t i = 0; i < count; ++i)
        records.push_back(file.substr(starts[i], starts[i + 1] - starts[i]));
    return records;
}

class DatabaseBookmarksTest : public GuiTest, protected DocumentSandbox {
protected:
    std::string Book(const std::string& name, bool ztxt, std::uint32_t recordSize)
    {
        palm::BookContent content;
        content.title = "Old Book";
        for (int line = 0; line < 400; ++line)
            m_text += "Line " + std::to_string(line) + " of the old book\n";
        content.text = m_text;
        content.recordSize = recordSize;
        content.bookmarks = {{"Start", 0}, {"Line 200", static_cast<std::uint32_t>(m_text.find("Line 200 "))}};
        std::string database;
        EXPECT_TRUE((ztxt ? palm::BuildZtxt(content, palm::ZtxtMode::RandomAccess, database)
                          : palm::BuildPalmDoc(content, true, database))
                        .Ok());
        return Document(name, database);
    }
    // Chooses "File > Edit bookmarks..." and `name` in its file dialog;
    // `inPreview` runs in the preview that opens, and must close it.
    void Edit(const std::string& name, std::function<void(CPreviewDlg*)> inPreview)
    {
        CConverterDlg dialog(nullptr, m_bookmarks);
        auto* item = dialog.findChild<QAction*>(QString::number(CConverterDlg::kEditBookmarksItem));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), "&Edit bookmarks...");
        const QString file = QString::fromStdString((Docs() / name).string());
        WhenModal<QFileDialog>([file](QFileDialog* chooser) {
            chooser->findChild<QLineEdit*>("fileNameEdit")->setText(file);
            static_cast<QDialog*>(chooser)->accept();
        });
        if (inPreview)
            WhenModal<CPreviewDlg>(inPreview);
        item->trigger();
    }

    std::string m_text;
    BookmarkList m_bookmarks;
};

TEST_F(DatabaseBookmarksTest, AnAddedBookmarkIsSavedAndTheTextRecordsStayAsTheyWere)
{
    const std::string path = Book("old.pdb", true, 4096);
    ::chmod(path.c_str(), 0640);
    const std::string before = ReadBytes(path);
    std::vector<QString> asked;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    SetMessageBoxHandler(
        [&](QWidget*, const QString& text, const QString&, QMessageBox::StandardButtons, QMessageBox::Icon) {
            asked.push_back(text);
            return answer;
        });
    bool closed = false;
    Edit("old.pdb", [&](CPreviewDlg* preview) {
        EXPECT_EQ(preview->windowTitle(), "Bookmarks of old.pdb");
        EXPECT_EQ(ComboRows(Find<QComboBox>(preview, kBookmarkCombo)), (std::vector<std::string>{"Start", "Line 200"}));
        EXPECT_TRUE(Find<QLabel>(preview, kNotice)->isHidden());
        WhenModal<CAddDlg>([](CAddDlg* add) {
            Find<QLineEdit>(add, NameTemplate::kAddEdit)->setText("Mine");
            add->accept();
        });
        QTest::mouseClick(Find<QPushButton>(preview, kAddButton), Qt::LeftButton);
        // Cancel goes back to the preview; Yes saves and closes it.
        QTest::mouseClick(Find<QPushButton>(preview, kCloseButton), Qt::LeftButton);
        EXPECT_TRUE(preview->isVisible());
        answer = QMessageBox::Yes;
        QTest::keyClick(preview, Qt::Key_Escape);
        closed = !preview->isVisible();
    });
    SetMessageBoxHandler({});
    EXPECT_TRUE(closed);
    EXPECT_EQ(asked, (std::vector<QString>{"Save the bookmarks in old.pdb?", "Save the bookmarks in old.pdb?"}));

    const std::string after = ReadBytes(path);
    const palm::EbookInfo info = ReadDatabase(path);
    EXPECT_EQ(info.text, m_text);
    ASSERT_EQ(info.bookmarks.size(), 3u);
    // zTXT keeps them in position order, and the new one is at a line's start.
    EXPECT_EQ(info.bookmarks[2].name, "Line 200");
    EXPECT_EQ(info.bookmarks[1].name, "Mine");
    EXPECT_EQ(m_text[info.bookmarks[1].offset - 1], '\n');
    const std::vector<std::string> old = Records(before), now = Records(after);
    ASSERT_EQ(old.size(), now.size());
    for (std::size_t i = 1; i + 1 < old.size(); ++i)
        EXPECT_EQ(old[i], now[i]) << "text record " << i;
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(DatabaseBookmarksTest, ABookReadersRefuseSaysSoAndNoLeavesItAsItWas)
{
    const std::string path = Book("wide.pdb", false, 8192);
    const std::string before = ReadBytes(path);
    MessageBoxAnswers answers(QMessageBox::No);
    QString notice;
    Edit("wide.pdb", [&](CPreviewDlg* preview) {
        const QLabel* line = Find<QLabel>(preview, kNotice);
        EXPECT_TRUE(line->isVisible());
        notice = SpokenName(const_cast<QLabel*>(line));
        EXPECT_TRUE(line->text().startsWith(notice.left(20))) << line->text().toStdString();
        WhenModal<CAddDlg>([](CAddDlg* add) { add->accept(); });
        QTest::mouseClick(Find<QPushButton>(preview, kAddButton), Qt::LeftButton);
        QTest::mouseClick(Find<QPushButton>(preview, kCloseButton), Qt::LeftButton);
    });
    EXPECT_TRUE(notice.startsWith("Some readers will")) << notice.toStdString();
    EXPECT_TRUE(notice.contains("4096")) << notice.toStdString();
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(ReadBytes(path), before);

    // A file that is no e-book is said, and no preview opens.
    Document("notes.pdb", "just some notes, no database at all\n");
    MessageBoxAnswers told(QMessageBox::Ok);
    Edit("notes.pdb", nullptr);
    ASSERT_EQ(told.Asked().size(), 1u);
    EXPECT_TRUE(told.Asked()[0].text.startsWith("The bookmarks of ")) << told.Asked()[0].text.toStdString();
    EXPECT_TRUE(told.Asked()[0].text.contains("notes.pdb cannot be edited: the file is not a PalmDoc or zTXT database"))
        << told.Asked()[0].text.toStdString();
}

}  // namespace
