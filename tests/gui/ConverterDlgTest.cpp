// The main dialog: its list and the rules for adding and removing documents,
// Convert, the layout, the placement, its menu, the about box, and the start.
#include "GuiTestSupport.h"

#include "Databases.h"
#include "app/CAboutDlg.h"
#include "app/CConverterApp.h"
#include "app/CConverterDlg.h"
#include "app/ConverterLayout.h"
#include "app/Help.h"
#include "app/ShellIntegration.h"
#include "wizard/CWizardDlg.h"

#include <core/SettingsGroups.h>
#include <palm/EbookReader.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include <map>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using Dlg = CConverterDlg;

constexpr char kText[] = "CHAPTER I\r\nIt was a dark night.\r\nCHAPTER II\r\nThe morning came.\r\n";

class ConverterDlgTest : public GuiTest, protected DocumentSandbox {
protected:
    QString Document(const std::string& name, const std::string& bytes = kText) const
    {
        return QString::fromStdString(DocumentSandbox::Document(name, bytes));
    }
    QString Missing(const std::string& name) const { return QString::fromStdString((Docs() / name).string()); }
    static QStringList Listed(const Dlg& dialog) { return dialog.ListedPaths(); }

    // Drops `paths` (as file addresses) on the dialog as a file manager does.
    static bool Drop(Dlg& dialog, const QStringList& paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &drop);
        return true;
    }

    // Answers the next "Add..." with `names` of the scratch folder, or cancels.
    // `filters` gets the dialog's filters, the one it opens on first.
    void WhenAdding(const QStringList& names, QString* title = nullptr, QStringList* filters = nullptr) const
    {
        const QString folder = QString::fromStdString(Docs().string());
        WhenModal<QFileDialog>([=](QFileDialog* dialog) {
            if (title)
                *title = dialog->windowTitle();
            if (filters)
                *filters = QStringList{dialog->selectedNameFilter()} + dialog->nameFilters();
            if (names.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->setDirectory(folder);
            QString selection;
            for (const QString& name : names)
                selection += u'"' + name + QStringLiteral("\" ");
            // Typed into the name box: selectFile leaves the box alone once
            // it has the focus, which a busy machine may have given it by now.
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(selection.trimmed());
            // Open, as the user presses it (accept is the dialog's own).
            static_cast<QDialog*>(dialog)->accept();
        });
    }

    BookmarkList m_bookmarks;
};

QAction* MenuItem(const QWidget& dialog, int id)
{
    auto* item = dialog.findChild<QAction*>(QString::number(id));
    EXPECT_NE(item, nullptr) << "no menu item " << id;
    return item;
}

TEST_F(ConverterDlgTest, ShowsTheTemplatesControlsMenuAndTips)
{
    const Dlg dialog(nullptr, m_bookmarks);
    EXPECT_EQ(dialog.windowTitle(), "Folivo Converter");
    ExpectNamedControls(dialog, {Dlg::kList, Dlg::kAddButton, Dlg::kRemoveButton, Dlg::kGroup, Dlg::kPalmDocRadio,
                                 Dlg::kZtxtRadio, Dlg::kAdvancedCheck, Dlg::kConvertButton});
    ExpectTexts(dialog, {{Dlg::kAddButton, "Add..."},
                         {Dlg::kRemoveButton, "Remove"},
                         {Dlg::kPalmDocRadio, "Palm&Doc"},
                         {Dlg::kZtxtRadio, "&zTXT"},
                         {Dlg::kAdvancedCheck, "&Advanced"},
                         {Dlg::kConvertButton, "&Convert"}});
    EXPECT_EQ(Find<QGroupBox>(&dialog, Dlg::kGroup)->title(), "Convert to:");
    EXPECT_EQ(dialog.findChild<QLabel*>()->text(), "Files to convert:");
    auto* list = Find<QTreeWidget>(&dialog, Dlg::kList);
    EXPECT_EQ(list->columnCount(), 1);
    EXPECT_EQ(list->headerItem()->text(0), "File name");
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);

    // As it opens: PalmDoc chosen, Advanced clear, nothing to remove or convert.
    EXPECT_TRUE(Find<QRadioButton>(&dialog, Dlg::kPalmDocRadio)->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(&dialog, Dlg::kAdvancedCheck)->isChecked());
    EXPECT_FALSE(Find<QPushButton>(&dialog, Dlg::kRemoveButton)->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(&dialog, Dlg::kConvertButton)->isEnabled());

    EXPECT_EQ(Find<QWidget>(&dialog, Dlg::kPalmDocRadio)->toolTip(), "Automatically convert to PalmDOC format");
    EXPECT_EQ(Find<QWidget>(&dialog, Dlg::kZtxtRadio)->toolTip(), "Automatically convert to zTXT format");
    EXPECT_EQ(Find<QWidget>(&dialog, Dlg::kAdvancedCheck)->toolTip(), "Advanced conversion with Convertion Wizard");
    EXPECT_EQ(Find<QWidget>(&dialog, Dlg::kConvertButton)->toolTip(), "Convert using selected options");

    const QList<QAction*> menus = dialog.findChild<QMenuBar*>()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), "&File");
    EXPECT_EQ(menus[1]->text(), "&Options");
    EXPECT_EQ(menus[2]->text(), "&Help");
    EXPECT_EQ(menus[0]->menu()->actions().value(0), MenuItem(dialog, Dlg::kEditBookmarksItem));
    EXPECT_EQ(menus[1]->menu()->actions().value(0), MenuItem(dialog, Dlg::kShellIntegrationItem));
    EXPECT_EQ(MenuItem(dialog, Dlg::kShellIntegrationItem)->text(), "Shell &integration");
    EXPECT_FALSE(MenuItem(dialog, Dlg::kShellIntegrationItem)->isChecked());
    const QList<QAction*> help = menus[2]->menu()->actions();
    ASSERT_EQ(help.size(), 3);
    EXPECT_EQ(help[0]->text(), "&Contents...\tF1");
    EXPECT_TRUE(help[1]->isSeparator());
    EXPECT_EQ(help[2]->text(), "&About Folivo Converter...");
}

TEST_F(ConverterDlgTest, AddAppendsAndReportsOnlyExactDuplicates)
{
    const QString a = Document("A.txt");
    const QString b = Document("b.htm");
    const QString lowerA = Document("a.txt");
    MessageBoxAnswers answers(QMessageBox::Ok);
    Dlg dialog(nullptr, m_bookmarks);
    auto* add = Find<QPushButton>(&dialog, Dlg::kAddButton);
    auto* convert = Find<QPushButton>(&dialog, Dlg::kConvertButton);

    QString title;
    QStringList filters;
    WhenAdding({}, &title, &filters);
    add->click();
    EXPECT_EQ(title, "Open document(s) for conversion");
    // It opens on every kind of document the program converts.
    const QString documents = "Documents (*.htm *.html *.sht *.shtm *.shtml *.txt *.xhtml *.epub *.pdb *.prc)";
    EXPECT_EQ(filters,
              (QStringList{documents, documents, "HTML Files (*.htm *.html *.sht *.shtm *.shtml)", "E-books (*.epub)",
                           "Palm e-books (*.pdb *.prc)", "Text files (*.txt)", "All Files (*)"}));
    EXPECT_TRUE(Listed(dialog).isEmpty());
    EXPECT_FALSE(convert->isEnabled());

    WhenAdding({"A.txt", "b.htm"});
    add->click();
    EXPECT_EQ(Listed(dialog), (QStringList{a, b}));
    EXPECT_TRUE(convert->isEnabled());
    EXPECT_TRUE(answers.Asked().empty());

    // A name in other letters is another file; the same one is refused, by name.
    WhenAdding({"A.txt", "a.txt"});
    add->click();
    EXPECT_EQ(Listed(dialog), (QStringList{a, b, lowerA}));
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(answers.Asked()[0].text, "File " + a + " is already in the list");
    EXPECT_EQ(answers.Asked()[0].caption, "File not added");
    EXPECT_EQ(answers.Asked()[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(answers.Asked()[0].icon, QMessageBox::Information);
}

// Paints the rows as the list does and keeps the text each row shows.
class ShownRows : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem row = option;
        initStyleOption(&row, index);
        const QRect text = row.widget->style()->subElementRect(QStyle::SE_ItemViewItemText, &row, row.widget);
        // The style leaves a margin either side of the text.
        shown[index.row()] = row.fontMetrics.elidedText(row.text, row.textElideMode, text.width() - 6);
        QStyledItemDelegate::paint(painter, option, index);
    }
    mutable std::map<int, QString> shown;
};

// Documents of one deep folder, however they come to the list, can be told
// apart by the file names the rows show, and each row's tip is its whole path.
TEST_F(ConverterDlgTest, RowsShowTheFileNameAndTipTheWholePath)
{
    const std::string deep = "a folder with a rather long name/and another one inside it/and a third/";
    fs::create_directories(Docs() / deep);
    const QString listed = Document(deep + "Chapter one.txt");
    const QString dropped = Document(deep + "Chapter two.txt");
    const QString added = Document(deep + "Chapter three.txt");
    Dlg dialog(nullptr, m_bookmarks);
    dialog.show();
    dialog.ListDocuments({listed});
    ASSERT_TRUE(Drop(dialog, {dropped}));
    WhenAdding({QString::fromStdString(deep) + "Chapter three.txt"});
    Find<QPushButton>(&dialog, Dlg::kAddButton)->click();
    ASSERT_EQ(Listed(dialog), (QStringList{dropped, listed, added}));

    auto* list = Find<QTreeWidget>(&dialog, Dlg::kList);
    auto* rows = new ShownRows(list);
    list->setItemDelegate(rows);
    (void)list->grab();
    ASSERT_EQ(rows->shown.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const QString path = Listed(dialog)[i];
        EXPECT_EQ(list->topLevelItem(i)->toolTip(0), path);
        EXPECT_LT(rows->shown[i].size(), path.size()) << "the list is narrower than the path";
        EXPECT_TRUE(rows->shown[i].endsWith(QFileInfo(path).fileName())) << rows->shown[i].toStdString();
    }
}

TEST_F(ConverterDlgTest, DropsGoOnTopAndSkipOnlyPathsListedAlready)
{
    const QString a = Document("A.txt");
    const QString backup = Document("A.txt.bak");
    const QString lowerA = Document("a.txt");
    const QString b = Document("b.txt");
    MessageBoxAnswers answers(QMessageBox::Ok);
    Dlg dialog(nullptr, m_bookmarks);

    ASSERT_TRUE(Drop(dialog, {backup, b}));
    EXPECT_EQ(Listed(dialog), (QStringList{b, backup}));
    EXPECT_TRUE(Find<QPushButton>(&dialog, Dlg::kConvertButton)->isEnabled());

    // "A.txt" begins "A.txt.bak" and "a.txt" differs from "A.txt" in case
    // only: both are documents of their own. "b.txt" is listed: skipped.
    ASSERT_TRUE(Drop(dialog, {a, b, lowerA}));
    EXPECT_EQ(Listed(dialog), (QStringList{lowerA, a, b, backup}));
    EXPECT_TRUE(answers.Asked().empty());

    // Folders and addresses of other places are no documents.
    ASSERT_TRUE(Drop(dialog, {QString::fromStdString(Docs().string()), Document("c.txt")}));
    EXPECT_EQ(Listed(dialog).size(), 5);
    EXPECT_FALSE(Drop(dialog, {QString::fromStdString(Docs().string())}));
    QMimeData web;
    web.setUrls({QUrl("https://example.org/book.txt")});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(ConverterDlgTest, RemovesTheSelectedRowsOnlyWhenTheUserSaysYes)
{
    Dlg dialog(nullptr, m_bookmarks);
    QStringList paths;
    for (const char* name : {"0.txt", "1.txt", "2.txt", "3.txt", "4.txt"})
        paths << Document(name);
    dialog.ListDocuments(paths);
    dialog.show();
    auto* list = Find<QTreeWidget>(&dialog, Dlg::kList);
    auto* remove = Find<QPushButton>(&dialog, Dlg::kRemoveButton);

    {
        // Nothing selected: nothing asked, and Remove stays off.
        MessageBoxAnswers answers(QMessageBox::Yes);
        QTest::keyClick(list, Qt::Key_Delete);
        EXPECT_TRUE(answers.Asked().empty());
        EXPECT_EQ(Listed(dialog), paths);
    }

    // A click on a row lets Remove on; the click on its own keeps one row.
    ClickRow(list, 1);
    EXPECT_TRUE(remove->isEnabled());
    for (int row : {3, 4})
        list->topLevelItem(row)->setSelected(true);
    {
        MessageBoxAnswers answers(QMessageBox::No);
        QTest::keyClick(list, Qt::Key_Delete);
        ASSERT_EQ(answers.Asked().size(), 1u);
        EXPECT_EQ(answers.Asked()[0].text, "Are you sure you want to remove selected item(s)?");
        EXPECT_EQ(answers.Asked()[0].caption, "Question");
        EXPECT_EQ(Listed(dialog), paths);
        EXPECT_FALSE(remove->isEnabled());
    }
    {
        MessageBoxAnswers answers(QMessageBox::Yes);
        QTest::keyClick(list, Qt::Key_Delete);
        EXPECT_EQ(Listed(dialog), (QStringList{paths[0], paths[2]}));
        EXPECT_TRUE(Find<QPushButton>(&dialog, Dlg::kConvertButton)->isEnabled());

        ClickRow(list, 0);
        ClickRow(list, 1, Qt::ShiftModifier);
        ASSERT_TRUE(remove->isEnabled());
        remove->click();
        EXPECT_TRUE(Listed(dialog).isEmpty());
        EXPECT_FALSE(remove->isEnabled());
        EXPECT_FALSE(Find<QPushButton>(&dialog, Dlg::kConvertButton)->isEnabled());
    }
}

TEST_F(ConverterDlgTest, ConvertWritesEveryListedDocumentWithTheStoredDefaults)
{
    folivo::SaveFormatDefaults(DocumentFormat::zTXT, {2, 1, 0});
    Dlg dialog(nullptr, m_bookmarks);
    const QStringList paths = {Document("one.txt"), Missing("gone.txt"), Document("two.html"), Document("readme")};
    dialog.ListDocuments(paths);
    dialog.show();
    Find<QRadioButton>(&dialog, Dlg::kZtxtRadio)->click();
    const MessageBoxAnswers answers(QMessageBox::Ok);
    Find<QPushButton>(&dialog, Dlg::kConvertButton)->click();

    // A document that cannot be read stops nobody, and is told of afterwards.
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(answers.Asked()[0].text,
              "1 of 4 documents could not be converted:\n" + Missing("gone.txt") + ": No such file or directory");
    EXPECT_EQ(answers.Asked()[0].icon, QMessageBox::Warning);
    for (const auto& [database, title] : {std::pair("one.pdb", "one"), {"two.pdb", "two"}, {"readme.pdb", "readme"}}) {
        const palm::EbookInfo book = ReadDatabase(Docs() / database);
        EXPECT_EQ(book.format, palm::EbookFormat::Ztxt) << database;
        EXPECT_EQ(book.title, title);
        EXPECT_EQ(book.recordSize, 2048u);
    }
    EXPECT_FALSE(fs::exists(Docs() / "gone.pdb"));
    EXPECT_TRUE(dialog.AnyConversionFailed()) << "the program's exit status tells it";
    EXPECT_EQ(Listed(dialog), paths);
    EXPECT_TRUE(fs::is_empty(Tmp()));
    EXPECT_TRUE(dialog.isEnabled());

    Find<QRadioButton>(&dialog, Dlg::kPalmDocRadio)->click();
    Find<QPushButton>(&dialog, Dlg::kConvertButton)->click();
    EXPECT_EQ(answers.Asked().size(), 2u);
    const palm::EbookInfo doc = ReadDatabase(Docs() / "one.pdb");
    EXPECT_EQ(doc.format, palm::EbookFormat::PalmDoc);
    EXPECT_EQ(doc.recordSize, 4096u);
    EXPECT_EQ(doc.compression, 2u);
}

TEST_F(ConverterDlgTest, AdvancedOpensTheWizardOnEachDocumentInTurn)
{
    Dlg dialog(nullptr, m_bookmarks);
    const QStringList paths = {Document("one.txt"), Document("two.htm"), Document("three")};
    dialog.ListDocuments(paths);
    dialog.show();
    Find<QRadioButton>(&dialog, Dlg::kZtxtRadio)->click();
    Find<QCheckBox>(&dialog, Dlg::kAdvancedCheck)->click();

    // Each wizard is cancelled, the second after it prepared the text; the
    // next one opens all the same.
    std::vector<std::string> opened;
    std::vector<bool> tmpEmpty;
    std::function<void(CWizardDlg*)> cancel = [&](CWizardDlg* sheet) {
        opened.push_back(sheet->sourcePath + "|" + sheet->sourceFileName + "|" + sheet->title);
        tmpEmpty.push_back(fs::is_empty(Tmp()));
        if (opened.size() == 2)
            sheet->Job().RunConversion(sheet->sourcePath, "", sheet->title, DocumentFormat::PrepareOnly, 4, 1);
        sheet->reject();
        if (opened.size() < 3)
            WhenModal<CWizardDlg>(cancel);
    };
    WhenModal<CWizardDlg>(cancel);
    Find<QPushButton>(&dialog, Dlg::kConvertButton)->click();

    const std::string folder = Docs().string() + "/";
    EXPECT_EQ(opened, (std::vector<std::string>{folder + "one.txt|one.txt|one", folder + "two.htm|two.htm|two",
                                                folder + "three|three|three"}));
    // The prepared text of one wizard is gone before the next opens.
    EXPECT_EQ(tmpEmpty, (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(fs::is_empty(Tmp()));
    EXPECT_FALSE(fs::exists(Docs() / "one.pdb"));
    EXPECT_EQ(Listed(dialog), paths);
}

TEST_F(ConverterDlgTest, LaysOutByDialogUnitsAndKeepsTheColumnFull)
{
    Dlg dialog(nullptr, m_bookmarks);
    dialog.show();
    const DialogUnits units(dialog.font());
    const int menu = dialog.findChild<QMenuBar*>()->height();
    EXPECT_EQ(dialog.minimumSize(), MinimumConverterClient(units) + QSize(0, menu));

    dialog.resize(dialog.minimumSize() + QSize(300, 200));
    QApplication::processEvents();
    const QRect client(0, menu, dialog.width(), dialog.height() - menu);
    const auto* convert = Find<QWidget>(&dialog, Dlg::kConvertButton);
    EXPECT_EQ(convert->geometry().right() + 1, client.right() + 1 - units.X(3));
    EXPECT_EQ(convert->geometry().bottom() + 1, client.bottom() + 1 - units.Y(2) - 1);
    const auto* add = Find<QWidget>(&dialog, Dlg::kAddButton);
    EXPECT_EQ(add->geometry().left(), client.right() + 1 - units.X(62) - 1);
    EXPECT_EQ(add->geometry().top(), menu + units.Y(16));
    auto* list = Find<QTreeWidget>(&dialog, Dlg::kList);
    EXPECT_EQ(list->geometry().left(), units.X(4));
    EXPECT_EQ(list->geometry().right() + 1, client.right() + 1 - units.X(64) - 1);
    EXPECT_EQ(list->geometry().bottom() + 1, client.bottom() + 1 - units.Y(2) - 1);
    // Neither button column nor group overlaps the list.
    EXPECT_FALSE(list->geometry().intersects(add->geometry()));
    EXPECT_FALSE(list->geometry().intersects(Find<QWidget>(&dialog, Dlg::kGroup)->geometry()));

    // The one column fills the list and cannot be made narrower.
    EXPECT_EQ(list->header()->sectionSize(0), list->width() - 4);
    list->header()->resizeSection(0, 20);
    EXPECT_EQ(list->header()->sectionSize(0), list->width() - 4);
    list->header()->resizeSection(0, list->width() + 50);
    EXPECT_EQ(list->header()->sectionSize(0), list->width() + 50);

    // The format buttons and Advanced lie inside the group's frame, clear of
    // its lines, whatever room the style gives the frame's title.
    const auto* group = Find<QGroupBox>(&dialog, Dlg::kGroup);
    const QRect inside = group->contentsRect().translated(group->pos());
    for (int id : {Dlg::kPalmDocRadio, Dlg::kZtxtRadio, Dlg::kAdvancedCheck}) {
        const QRect button = Find<QWidget>(&dialog, id)->geometry();
        EXPECT_GE(button.top(), inside.top()) << id;
        EXPECT_LE(button.bottom(), inside.bottom()) << id;
    }

    // Smaller than the minimum, the controls keep their places.
    const ConverterGeometry least = LayoutConverter(units, MinimumConverterClient(units));
    EXPECT_EQ(LayoutConverter(units, QSize(10, 10)).convert, least.convert);
    EXPECT_GE(least.list.width(), 1);
}

TEST_F(ConverterDlgTest, ThePlacementIsKeptWhenTheDialogClosesAndRestoredAtStart)
{
    QRect kept;
    {
        Dlg dialog(nullptr, m_bookmarks);
        dialog.show();
        dialog.setGeometry(QRect(QPoint(40, 30), dialog.minimumSize() + QSize(120, 80)));
        kept = dialog.geometry();
        dialog.close();
    }
    folivo::WindowPlacement stored;
    ASSERT_TRUE(folivo::ReadWindowPlacement(folivo::PlacementWindow::MainDialog, stored));
    EXPECT_EQ(stored.right - stored.left, kept.width());
    EXPECT_EQ(stored.bottom - stored.top, kept.height());

    Dlg again(nullptr, m_bookmarks);
    EXPECT_EQ(again.size(), kept.size());
    EXPECT_EQ(again.pos(), kept.topLeft());
}

TEST_F(ConverterDlgTest, ShellIntegrationTogglesStoresAndRunsTheHelper)
{
    folivo::SaveShellIntegration(kShellIntegrationOn);
    std::vector<QString> commands;
    CommandOutcome helperEnds;
    SetCommandRunner([&](const QString& command) {
        commands.push_back(command);
        return helperEnds;
    });
    MessageBoxAnswers answers(QMessageBox::Ok);
    {
        Dlg dialog(nullptr, m_bookmarks);
        QAction* item = MenuItem(dialog, Dlg::kShellIntegrationItem);
        EXPECT_TRUE(item->isChecked());
        item->trigger();
        EXPECT_FALSE(item->isChecked());
        EXPECT_EQ(folivo::ReadShellIntegration(), kShellIntegrationOff);
        item->trigger();
        EXPECT_TRUE(item->isChecked());
        EXPECT_EQ(folivo::ReadShellIntegration(), kShellIntegrationOn);
        item->trigger();
        EXPECT_EQ(folivo::ReadShellIntegration(), kShellIntegrationOff);
        EXPECT_TRUE(answers.Asked().empty());

        // A helper that refuses, or that says nothing but its status: its
        // reason is shown, and neither the mark nor the store moves.
        for (const CommandOutcome& refusal :
             {CommandOutcome{1, "folivo-desktop-integration: /home/u/menu.desktop: not written by this "
                                "integration; left alone\n"},
              CommandOutcome{2, ""}}) {
            helperEnds = refusal;
            item->trigger();
            EXPECT_FALSE(item->isChecked());
            EXPECT_EQ(folivo::ReadShellIntegration(), kShellIntegrationOff);
        }
        ASSERT_EQ(answers.Asked().size(), 2u);
        EXPECT_EQ(answers.Asked()[0].text, "Shell integration could not be switched on.\n\n"
                                           "folivo-desktop-integration: /home/u/menu.desktop: not written by "
                                           "this integration; left alone");
        EXPECT_EQ(answers.Asked()[0].icon, QMessageBox::Warning);
        EXPECT_TRUE(answers.Asked()[1].text.endsWith("exit status 2.")) << answers.Asked()[1].text.toStdString();
        helperEnds = {};
    }
    const QString program = QCoreApplication::applicationFilePath();
    EXPECT_EQ(commands, (std::vector<QString>{
                            ShellIntegrationCommandLine(program, false), ShellIntegrationCommandLine(program, true),
                            ShellIntegrationCommandLine(program, false), ShellIntegrationCommandLine(program, true),
                            ShellIntegrationCommandLine(program, true)}));

    // A store that cannot be written: the helper has run, but the mark stays
    // with what is stored, and a message says why.
    commands.clear();
    fs::remove_all(m_store.Folder());
    WriteBytes(m_store.Folder(), "not a folder");
    Dlg dialog(nullptr, m_bookmarks);
    QAction* item = MenuItem(dialog, Dlg::kShellIntegrationItem);
    EXPECT_FALSE(item->isChecked());
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(commands, std::vector<QString>{ShellIntegrationCommandLine(program, true)});
    ASSERT_EQ(answers.Asked().size(), 3u);
    EXPECT_EQ(answers.Asked()[2].text,
              "Shell integration was switched on, but this could not be saved in the settings.");
    SetCommandRunner({});
}

TEST(ShellIntegrationTest, TheHelpersCommandLineQuotesBothPaths)
{
    EXPECT_EQ(ShellIntegrationCommandLine("/opt/My Apps/folivo-converter", true),
              "\"/opt/My Apps/folivo-desktop-integration\" /s \"/opt/My Apps/folivo-converter\"");
    EXPECT_EQ(ShellIntegrationCommandLine("/opt/My Apps/folivo-converter", false),
              "\"/opt/My Apps/folivo-desktop-integration\" /s /u \"/opt/My Apps/folivo-converter\"");
    // A stored value other than 8 shows no mark.
    IsolatedStore store;
    folivo::SaveShellIntegration(1);
    BookmarkList list;
    const CConverterDlg dialog(nullptr, list);
    EXPECT_FALSE(MenuItem(dialog, CConverterDlg::kShellIntegrationItem)->isChecked());
}

TEST(ShellIntegrationTest, TheHelperGetsEachPathWholeWhateverItHolds)
{
    const ScratchFolder scratch;
    const fs::path folder = scratch.Path() / "My \"Apps\" $HOME";
    fs::create_directory(folder);
    const fs::path record = scratch.Path() / "arguments";
    WriteBytes(folder / "folivo-desktop-integration", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                                          record.string() + "'\necho 'no room' >&2\nexit 3\n");
    fs::permissions(folder / "folivo-desktop-integration", fs::perms::owner_all);
    const QString program = QString::fromStdString((folder / "folivo-converter").string());

    const CommandOutcome ran = RunAndWait(ShellIntegrationCommandLine(program, false));
    EXPECT_EQ(ReadBytes(record), "/s\n/u\n" + program.toStdString() + "\n");
    EXPECT_EQ(ran.status, 3);
    EXPECT_EQ(ran.errors, "no room\n");
    // A helper that is missing is a failure that names it.
    const CommandOutcome missing = RunAndWait(
        ShellIntegrationCommandLine(QString::fromStdString((scratch.Path() / "folivo-converter").string()), true));
    EXPECT_NE(missing.status, 0);
    EXPECT_TRUE(
        missing.errors.contains(QString::fromStdString((scratch.Path() / "folivo-desktop-integration").string())))
        << missing.errors.toStdString();
}

TEST_F(ConverterDlgTest, TheMenuOpensTheHelpAndTheAboutBox)
{
    Dlg dialog(nullptr, m_bookmarks);
    std::vector<QUrl> opened;
    SetHelpOpener([&opened](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    MenuItem(dialog, Dlg::kContentsItem)->trigger();
    dialog.findChild<QShortcut*>()->activated();
    SetHelpOpener({});
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_TRUE(opened[0].toLocalFile().endsWith("gui_tests.help/index.html"));
    EXPECT_EQ(opened[1], opened[0]);

    bool about = false;
    WhenModal<CAboutDlg>([&about](CAboutDlg* box) {
        about = true;
        box->accept();
    });
    MenuItem(dialog, Dlg::kAboutItem)->trigger();
    EXPECT_TRUE(about);
}

TEST(AboutDlgTest, ShowsTheProgramsVersionIconAndCopyright)
{
    const CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), "About Folivo Desktop");
    EXPECT_EQ(about.size(), DialogUnits(about.font()).Size(235, 55));
    EXPECT_EQ(Find<QLabel>(&about, CAboutDlg::kVersionLine)->text(), "Folivo Converter version " FOLIVO_SHORT_VERSION);
    auto* ok = Find<QPushButton>(&about, CAboutDlg::kOk);
    EXPECT_TRUE(ok->isDefault());
    int pictures = 0;
    bool copyright = false;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        pictures += !label->pixmap().isNull();
        copyright = copyright || label->text().startsWith(QString::fromUtf8("Copyright \u00a9"));
        EXPECT_FALSE(label->accessibleName().isEmpty() && label->text().isEmpty());
    }
    EXPECT_EQ(pictures, 1);
    EXPECT_TRUE(copyright);
}

TEST(AboutDlgTest, TheShortVersionKeepsThreeNumbersAndDropsSpaces)
{
    EXPECT_EQ(ShortVersion(ProgramFileVersion()), FOLIVO_SHORT_VERSION);
    EXPECT_EQ(ShortVersion("2, 10, 0, 7"), "2.10.0");
    EXPECT_EQ(ShortVersion("1, 0"), "1.0");
    EXPECT_EQ(ShortVersion("7 beta 3"), "7beta3");
    EXPECT_EQ(ShortVersion(""), "");
}

TEST(HelpTest, AnInstalledProgramFindsItsPagesAmongItsData)
{
    const ScratchFolder prefix;
    fs::create_directories(prefix.Path() / "bin");
    fs::create_directories(prefix.Path() / "share/folivo-converter/help");
    WriteBytes(prefix.Path() / "share/folivo-converter/help/index.html", "<html></html>");
    const QString program = QString::fromStdString(prefix / "bin/folivo-converter");
    EXPECT_EQ(HelpTopicUrl(program, "").toLocalFile(),
              QString::fromStdString(prefix / "share/folivo-converter/help/index.html"));
    // Pages beside the program come first.
    fs::create_directories(prefix.Path() / "bin/folivo-converter.help");
    EXPECT_TRUE(HelpTopicUrl(program, "").isEmpty());
}

TEST_F(ConverterDlgTest, ADirectRunThatFailsSaysWhyAndExitsWithOne)
{
    const QString notes = Document("notes.txt", "my notes\n");
    fs::create_symlink("notes.txt", Docs() / "notes.pdb");
    const std::string database = (Docs() / "notes.pdb").string();
    fs::create_directory(Docs() / "folder");
    const std::string folder = (Docs() / "folder").string();
    Document("empty.txt", "");
    const std::string empty = (Docs() / "empty.txt").string();
    const std::string missing = Missing("nothere.txt").toStdString();
    for (const auto& [document, format, reason] :
         {std::tuple(notes.toStdString(), "0", ": its database would replace the document itself ('" + database + "')"),
          {missing, "1", ": No such file or directory"},
          {folder, "0", ": Is a directory"},
          {empty, "1", ": There is no text to write"}}) {
        const MessageBoxAnswers answers(QMessageBox::Ok);
        EXPECT_EQ(CConverterApp().Run({document, format}), 1) << document;
        ASSERT_EQ(answers.Asked().size(), 1u) << document;
        EXPECT_TRUE(answers.Asked()[0].text.startsWith(
            QString::fromStdString("The document could not be converted:\n" + document + reason)))
            << answers.Asked()[0].text.toStdString();
    }
    EXPECT_EQ(ReadBytes(Docs() / "notes.txt"), "my notes\n");
    EXPECT_TRUE(fs::is_empty(Tmp()));

    // A database without all the bookmarks asked for is a partial result.
    std::string chapters;
    for (int chapter = 1; chapter <= 2730; ++chapter)
        chapters += "Chapter " + std::to_string(chapter) + "\n";
    const std::string book = Document("long.txt", chapters).toStdString();
    ASSERT_TRUE(folivo::SaveBookmarkDefaults("^chapter"));
    const MessageBoxAnswers answers(QMessageBox::Ok);
    EXPECT_EQ(CConverterApp().Run({book, "1"}), 1);
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(answers.Asked()[0].text.toStdString(),
              "The database was written, but:\n" + book +
                  ": Database written, but some bookmarks were skipped. 1 bookmark was dropped: no room was left in "
                  "the database (only 2729 fit).");
    EXPECT_EQ(ReadDatabase(Docs() / "long.pdb").bookmarks.size(), 2729u);
}

TEST_F(ConverterDlgTest, TheStartConvertsOneDocumentOrOpensTheListedOnes)
{
    const QString story = Document("Story.txt");
    EXPECT_EQ(CConverterApp().Run({story.toStdString(), "1"}), 0);
    EXPECT_EQ(ReadDatabase(Docs() / "Story.pdb").format, palm::EbookFormat::Ztxt);
    EXPECT_TRUE(fs::is_empty(Tmp()));

    // Format 2: the wizard on the document, and no prepared text left after it.
    std::string opened;
    WhenModal<CWizardDlg>([&opened](CWizardDlg* sheet) {
        opened = sheet->sourcePath + "|" + sheet->title;
        sheet->Job().RunConversion(sheet->sourcePath, "", sheet->title, DocumentFormat::PrepareOnly, 4, 1);
        sheet->reject();
    });
    EXPECT_EQ(CConverterApp().Run({'"' + story.toStdString() + "\" 2"}), 0);
    EXPECT_EQ(opened, story.toStdString() + "|Story");
    EXPECT_TRUE(fs::is_empty(Tmp()));

    QStringList listed;
    WhenModal<CConverterDlg>([&listed](CConverterDlg* dialog) {
        listed = dialog->ListedPaths();
        dialog->reject();
    });
    const fs::path before = fs::current_path();
    fs::current_path(Docs());
    EXPECT_EQ(CConverterApp().Run({"Story.txt", story.toStdString(), "Other.txt"}), 0);
    fs::current_path(before);
    EXPECT_EQ(listed, (QStringList{story, Missing("Other.txt")}));
}

}  // namespace
