// Renders each window of the desktop program offscreen to FOLDER/<class>.png
// (the wizard's pages as CPage1.png to CPage4.png), with a book of the corpus
// loaded and its chapters bookmarked, for the README and for review:
// folivo-screenshots BOOK FOLDER.
#include "app/CAboutDlg.h"
#include "app/CConverterDlg.h"
#include "preview/CAddDlg.h"
#include "preview/CExploreDlg.h"
#include "preview/CGoToDlg.h"
#include "preview/CPreviewDlg.h"
#include "preview/CRenBookmark.h"
#include "preview/DatabaseBookmarksEditor.h"
#include "preview/Templates.h"
#include "tools/PreparedBook.h"
#include "wizard/CProgressDlg.h"
#include "wizard/CWizardDlg.h"
#include "wizard/Templates.h"

#include <core/SettingsGroups.h>
#include <palm/EbookWriters.h>
#include <platform/Files.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

namespace {

bool Save(QWidget& window, const char* className, const QDir& folder)
{
    window.show();
    QApplication::processEvents();
    const QString path = folder.filePath(QString::fromLatin1(className) + ".png");
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

// A click on a row, as the user makes it, so the dialog's buttons follow.
void ClickRow(QTreeWidget& rows, int row)
{
    const QPointF at = rows.visualItemRect(rows.topLevelItem(row)).center();
    const QPointF global = rows.viewport()->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, at, global, Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(rows.viewport(), &click);
    }
}

// The wizard on the book, with its chapters' pattern stored as the default
// and auto-install on, one picture per page as the user steps through them.
bool SaveWizardPages(const char* book, const QDir& folder)
{
    folivo::SaveBookmarkDefaults("^CHAPTER [IVXLC]+\\.");
    CWizardDlg wizard;
    wizard.SetDocument(book);
    wizard.ResetPageFlags();
    wizard.show();
    auto* next = wizard.findChild<QPushButton*>(QString::number(WizardTemplate::kNextButton));
    wizard.findChild<QAbstractButton*>(QString::number(Page1Template::kAutoInstall))->click();
    bool saved = Save(wizard, "CPage1", folder);
    for (const char* page : {"CPage2", "CPage3", "CPage4"}) {
        next->click();
        saved &= Save(wizard, page, folder);
    }
    wizard.reject();
    wizard.DeleteTextFile();
    return saved;
}

// The preview of an EPUB book, on a chapter its table of contents marks.
bool SaveEpubPreview(const char* epub, const QDir& folder)
{
    BookmarkList list;
    const PreparedBook book(epub, "", list);
    if (book.TextPath().empty() || list.Count() < 3) {
        std::fprintf(stderr, "folivo-screenshots: %s gave no prepared text with chapters\n", epub);
        return false;
    }
    CPreviewDlg preview(book.TextPath(), nullptr, list);
    auto* combo = preview.findChild<QComboBox*>(QString::number(PreviewTemplate::kBookmarkCombo));
    combo->setCurrentIndex(4);
    preview.show();
    preview.GoToBookmark(4);
    return Save(preview, "CPreviewDlg-epub", folder);
}

// An old book opened through "Edit bookmarks...": a PalmDoc of 8 KB records,
// which some readers cannot hold, made from the prepared text.
bool SaveDatabasePreview(const PreparedBook& book, const BookmarkList& list, const QDir& folder)
{
    std::string text;
    if (platform::ReadWholeFile(book.TextPath(), text))
        return false;
    palm::BookContent content;
    content.title = "Alice";
    content.text = text;
    content.recordSize = 8192;
    for (int i = 0; i < list.Count(); ++i)
        content.bookmarks.push_back({list.At(i)->name, static_cast<std::uint32_t>(list.At(i)->position)});
    std::string database;
    const std::string path = platform::TemporaryFolder() + "/alice.pdb";
    if (!palm::BuildPalmDoc(content, true, database).Ok() ||
        platform::ReplaceFile(path, database, 0600, ".screenshot-"))
        return false;
    bool saved = false;
    // The preview is modal: it is taken once it is up, then closed unchanged.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* preview = dynamic_cast<CPreviewDlg*>(QApplication::activeModalWidget());
        if (!preview || !preview->isVisible())
            return;
        poll.stop();
        preview->findChild<QComboBox*>(QString::number(PreviewTemplate::kBookmarkCombo))->setCurrentIndex(2);
        preview->GoToBookmark(2);
        saved = Save(*preview, "CPreviewDlg-database", folder);
        preview->reject();
    });
    poll.start(10);
    EditDatabaseBookmarks(nullptr, QString::fromStdString(path));
    return saved;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: folivo-screenshots BOOK FOLDER [EPUB]\n");
        return 2;
    }
    // Without fonts every letter is drawn as a box and nothing else fails.
    if (!QFontMetrics(QApplication::font()).inFont(u'A')) {
        std::fprintf(stderr, "folivo-screenshots: no usable font; install fonts-dejavu-core\n");
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    BookmarkList& list = BookmarkList::Instance();
    const PreparedBook book(argv[1], "^CHAPTER [IVXLC]+\\.", list);
    if (book.TextPath().empty() || list.Count() < 3) {
        std::fprintf(stderr, "folivo-screenshots: %s gave no prepared text with chapters\n", argv[1]);
        return 1;
    }
    list.Add("My place", list.At(1)->position + 2000, false);

    bool saved = true;
    // The main dialog with the book and its neighbours listed, one selected.
    CConverterDlg converter;
    const QFileInfo bookFile(QString::fromLocal8Bit(argv[1]));
    QStringList documents;
    for (const QFileInfo& document : bookFile.dir().entryInfoList({"*.txt", "*.htm"}, QDir::Files, QDir::Name))
        documents << document.filePath();
    converter.ListDocuments(documents.mid(0, 6));
    converter.show();
    auto* listed = converter.findChild<QTreeWidget*>(QString::number(CConverterDlg::kList));
    if (listed->topLevelItemCount() > 1)
        ClickRow(*listed, 1);
    saved &= Save(converter, "CConverterDlg", folder);
    CAboutDlg about(&converter);
    saved &= Save(about, "CAboutDlg", folder);
    converter.hide();

    CPreviewDlg preview(book.TextPath());
    auto* combo = preview.findChild<QComboBox*>(QString::number(PreviewTemplate::kBookmarkCombo));
    combo->setCurrentIndex(1);
    preview.show();
    preview.GoToBookmark(1);
    saved &= Save(preview, "CPreviewDlg", folder);

    const auto textLength = static_cast<std::int32_t>(book.Report().preparedLength);
    CExploreDlg explore(textLength, &preview);
    explore.show();
    ClickRow(*explore.findChild<QTreeWidget*>(QString::number(ExploreTemplate::kList)), 2);
    saved &= Save(explore, "CExploreDlg", folder);

    saved &= SaveDatabasePreview(book, list, folder);

    CAddDlg add(list.At(3)->position, list.At(3)->name, &preview);
    saved &= Save(add, "CAddDlg", folder);
    CRenBookmark rename(list.Count() - 1, &preview);
    saved &= Save(rename, "CRenBookmark", folder);
    CGoToDlg goTo(37, &preview);
    saved &= Save(goTo, "CGoToDlg", folder);

    CProgressDlg progress;
    progress.Open(folivo::SettingsForSource(argv[1]).sourceFileName, 0, 20, 1);
    for (int i = 0; i < 13; ++i)
        progress.StepIt();
    saved &= Save(progress, "CProgressDlg", folder);
    progress.Close();
    saved &= SaveWizardPages(argv[1], folder);
    if (argc == 4)
        saved &= SaveEpubPreview(argv[3], folder);
    return saved ? 0 : 1;
}
