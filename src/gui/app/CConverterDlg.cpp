#include "app/CConverterDlg.h"

#include "app/CAboutDlg.h"
#include "app/CConverterApp.h"
#include "app/ConverterLayout.h"
#include "app/Help.h"
#include "app/ProgramIcon.h"
#include "app/ShellIntegration.h"
#include "common/DialogBuilder.h"
#include "common/FilePaths.h"
#include "common/MessageBox.h"
#include "common/WindowPlacement.h"
#include "preview/DatabaseBookmarksEditor.h"
#include "wizard/CWizardDlg.h"

#include <core/SettingsGroups.h>

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr int kInitialColumnWidth = 200;
constexpr DuRect kLabelRect{4, 5, 60, 8};

// The first filter shows every kind of document the program converts, so
// that a folder's books are listed whichever kind they are.
const QStringList& DocumentFilters()
{
    static const QStringList filters = {
        QStringLiteral("Documents (*.htm *.html *.sht *.shtm *.shtml *.txt *.xhtml *.epub *.pdb *.prc)"),
        QStringLiteral("HTML Files (*.htm *.html *.sht *.shtm *.shtml)"),
        QStringLiteral("E-books (*.epub)"),
        QStringLiteral("Palm e-books (*.pdb *.prc)"),
        QStringLiteral("Text files (*.txt)"),
        QStringLiteral("All Files (*)"),
    };
    return filters;
}

// The local files among dropped addresses, in drop order; folders are no documents.
QStringList DroppedFiles(const QMimeData* data)
{
    QStringList files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && !QFileInfo(url.toLocalFile()).isDir())
            files << url.toLocalFile();
    }
    return files;
}

// A row of the list: the document's whole path, shown to the user also when
// the column is too narrow for it.
QTreeWidgetItem* DocumentRow(const QString& path)
{
    auto* row = new QTreeWidgetItem({path});
    row->setToolTip(0, path);
    return row;
}

}  // namespace

CConverterDlg::CConverterDlg(QWidget* parent, BookmarkList& bookmarks)
    : QDialog(parent), m_bookmarks(bookmarks), m_menuBar(new QMenuBar(this)), m_list(new QTreeWidget(this))
{
    const DialogBuilder builder(this, QStringLiteral("Folivo Converter"), 204, 161, DialogFrame::Resizable);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);
    BuildMenu();

    // Below the menu, the template's controls; Layout puts them in place.
    m_label = builder.AddLabel(QStringLiteral("Files to convert:"), kLabelRect, m_list);
    builder.Place(m_list, kList, {});
    m_add = builder.AddButton(kAddButton, QStringLiteral("Add..."), {});
    m_remove = builder.AddButton(kRemoveButton, QStringLiteral("Remove"), {});
    m_group = new QGroupBox(QStringLiteral("Convert to:"), this);
    builder.Place(m_group, kGroup, {}, QStringLiteral("Convert to"));
    m_palmDoc = new QRadioButton(QStringLiteral("Palm&Doc"), this);
    builder.Place(m_palmDoc, kPalmDocRadio, {}, QStringLiteral("PalmDoc"));
    m_zTxt = new QRadioButton(QStringLiteral("&zTXT"), this);
    builder.Place(m_zTxt, kZtxtRadio, {}, QStringLiteral("zTXT"));
    m_advanced = new QCheckBox(QStringLiteral("&Advanced"), this);
    builder.Place(m_advanced, kAdvancedCheck, {}, QStringLiteral("Advanced"));
    m_convert = builder.AddButton(kConvertButton, QStringLiteral("&Convert"), {});

    m_list->setColumnCount(1);
    m_list->setHeaderLabels({QStringLiteral("File name")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setUniformRowHeights(true);
    // Documents of one folder differ at the end of their paths: those ends
    // stay in sight.
    m_list->setTextElideMode(Qt::ElideMiddle);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionsMovable(false);
    m_list->header()->resizeSection(0, kInitialColumnWidth);
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    m_remove->setEnabled(false);
    m_convert->setEnabled(false);

    m_palmDoc->setToolTip(QStringLiteral("Automatically convert to PalmDOC format"));
    m_zTxt->setToolTip(QStringLiteral("Automatically convert to zTXT format"));
    m_advanced->setToolTip(QStringLiteral("Advanced conversion with Convertion Wizard"));
    m_convert->setToolTip(QStringLiteral("Convert using selected options"));

    // The group box's frame lies under the buttons it holds.
    m_group->lower();

    const DialogUnits& units = builder.Units();
    const QSize client = MinimumConverterClient(units);
    setMinimumSize(client.width(), client.height() + m_menuBar->sizeHint().height());
    resize(minimumSize());
    RestoreWindowPlacement(this, folivo::PlacementWindow::MainDialog);
    m_palmDoc->setChecked(true);

    connect(m_add, &QPushButton::clicked, this, &CConverterDlg::AddFiles);
    connect(m_remove, &QPushButton::clicked, this, &CConverterDlg::RemoveFiles);
    connect(m_convert, &QPushButton::clicked, this, &CConverterDlg::Convert);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CConverterDlg::UpdateRemove);
    connect(m_list->header(), &QHeaderView::sectionResized, this, &CConverterDlg::KeepColumnWide);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            [] { OpenHelpTopic(QString()); });
}

void CConverterDlg::BuildMenu()
{
    m_menuBar->setNativeMenuBar(false);
    QMenu* file = m_menuBar->addMenu(QStringLiteral("&File"));
    QAction* editBookmarks = file->addAction(QStringLiteral("&Edit bookmarks..."));
    editBookmarks->setObjectName(QString::number(kEditBookmarksItem));
    connect(editBookmarks, &QAction::triggered, this, &CConverterDlg::EditBookmarks);

    QMenu* options = m_menuBar->addMenu(QStringLiteral("&Options"));
    m_shellIntegration = options->addAction(QStringLiteral("Shell &integration"));
    m_shellIntegration->setObjectName(QString::number(kShellIntegrationItem));
    m_shellIntegration->setCheckable(true);
    m_shellIntegration->setChecked(ShellIntegrationStoredOn());
    connect(m_shellIntegration, &QAction::triggered, this, &CConverterDlg::ToggleShellIntegration);

    QMenu* help = m_menuBar->addMenu(QStringLiteral("&Help"));
    QAction* contents = help->addAction(QStringLiteral("&Contents...\tF1"));
    contents->setObjectName(QString::number(kContentsItem));
    connect(contents, &QAction::triggered, this, [] { OpenHelpTopic(QString()); });
    help->addSeparator();
    QAction* about = help->addAction(QStringLiteral("&About Folivo Converter..."));
    about->setObjectName(QString::number(kAboutItem));
    connect(about, &QAction::triggered, this, &CConverterDlg::ShowAbout);
}

QStringList CConverterDlg::ListedPaths() const
{
    QStringList paths;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        paths << m_list->topLevelItem(i)->text(0);
    return paths;
}

bool CConverterDlg::IsListed(const QString& path) const
{
    return !m_list->findItems(path, Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty();
}

void CConverterDlg::ListDocuments(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (!path.isEmpty() && !IsListed(path))
            m_list->addTopLevelItem(DocumentRow(path));
    }
    UpdateConvert();
}

void CConverterDlg::EditBookmarks()
{
    QFileDialog dialog(this, QStringLiteral("Edit the bookmarks of a Palm e-book"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Palm e-books (*.pdb *.prc)"), QStringLiteral("All Files (*)")});
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        EditDatabaseBookmarks(this, dialog.selectedFiles().front());
}

void CConverterDlg::AddFiles()
{
    QFileDialog dialog(this, QStringLiteral("Open document(s) for conversion"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(DocumentFilters());
    if (dialog.exec() != QDialog::Accepted)
        return;
    for (const QString& path : dialog.selectedFiles()) {
        if (path.isEmpty())
            continue;
        if (IsListed(path)) {
            ShowMessageBox(this, QStringLiteral("File ") + path + QStringLiteral(" is already in the list"),
                           QStringLiteral("File not added"), QMessageBox::Ok, QMessageBox::Information);
            continue;
        }
        m_list->addTopLevelItem(DocumentRow(path));
    }
    UpdateConvert();
}

void CConverterDlg::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CConverterDlg::dropEvent(QDropEvent* event)
{
    // Each new document goes to the top. Only a path listed already is
    // skipped: "a.txt" beside "A.txt" or "a.txt.bak" is another document.
    for (const QString& path : DroppedFiles(event->mimeData())) {
        if (!IsListed(path))
            m_list->insertTopLevelItem(0, DocumentRow(path));
    }
    event->acceptProposedAction();
    UpdateConvert();
}

void CConverterDlg::RemoveFiles()
{
    m_remove->setEnabled(false);
    QList<int> rows;
    for (QTreeWidgetItem* item : m_list->selectedItems())
        rows << m_list->indexOfTopLevelItem(item);
    if (rows.isEmpty() || !AskYesNo(this, QStringLiteral("Are you sure you want to remove selected item(s)?")))
        return;
    std::sort(rows.begin(), rows.end());
    for (qsizetype removed = 0; removed < rows.size(); ++removed)
        delete m_list->takeTopLevelItem(rows[removed] - static_cast<int>(removed));
    UpdateConvert();
}

void CConverterDlg::Convert()
{
    if (m_advanced->isChecked())
        ConvertInWizard(ListedPaths());
    else
        ConvertDirectly(ListedPaths());
}

void CConverterDlg::ConvertInWizard(const QStringList& paths)
{
    // One sheet for the list, one wizard run per document, whether the run
    // before was finished or cancelled. The wizard offers PalmDoc first
    // whichever format is chosen here.
    CWizardDlg sheet(this, m_bookmarks);
    for (const QString& path : paths)
        RunWizard(sheet, ToPath(path));
}

void CConverterDlg::ConvertDirectly(const QStringList& paths)
{
    std::vector<CString> documents;
    for (const QString& path : paths)
        documents.push_back(ToPath(path));
    // What failed is told in a message box, and the program's exit status says it too.
    if (ConvertDocuments(this, m_bookmarks, documents,
                         m_palmDoc->isChecked() ? DocumentFormat::PalmDoc : DocumentFormat::zTXT) != 0)
        m_anyConversionFailed = true;
}

void CConverterDlg::ToggleShellIntegration()
{
    const QString problem = SwitchShellIntegration(m_shellIntegration->isChecked());
    if (problem.isEmpty())
        return;
    // The mark shows what the next start will show.
    m_shellIntegration->setChecked(ShellIntegrationStoredOn());
    ShowMessageBox(this, problem, QStringLiteral("Shell integration"), QMessageBox::Ok, QMessageBox::Warning);
}

void CConverterDlg::ShowAbout()
{
    CAboutDlg about(this);
    about.exec();
}

bool CConverterDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        RemoveFiles();
        return true;
    }
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonRelease)
        UpdateRemove();
    return QDialog::eventFilter(watched, event);
}

void CConverterDlg::UpdateRemove()
{
    m_remove->setEnabled(!m_list->selectedItems().isEmpty());
}

void CConverterDlg::UpdateConvert()
{
    m_convert->setEnabled(m_list->topLevelItemCount() > 0);
}

void CConverterDlg::KeepColumnWide(int section, int, int newSize)
{
    const int least = m_list->width() - 4;
    if (section == 0 && newSize < least)
        m_list->header()->resizeSection(0, least);
}

void CConverterDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int menuHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, width(), menuHeight);
    const DialogUnits units(font());
    ConverterGeometry g = LayoutConverter(units, QSize(width(), height() - menuHeight));
    KeepInsideFrame(g, g.group.marginsRemoved(m_group->contentsMargins()));
    const QPoint below(0, menuHeight);
    m_label->setGeometry(units.Map(kLabelRect).translated(below));
    m_list->setGeometry(g.list.translated(below));
    m_add->setGeometry(g.add.translated(below));
    m_remove->setGeometry(g.remove.translated(below));
    m_group->setGeometry(g.group.translated(below));
    m_palmDoc->setGeometry(g.palmDoc.translated(below));
    m_zTxt->setGeometry(g.zTxt.translated(below));
    m_advanced->setGeometry(g.advanced.translated(below));
    m_convert->setGeometry(g.convert.translated(below));
    m_list->header()->resizeSection(0, m_list->width() - 4);
}

void CConverterDlg::done(int result)
{
    // Every way of closing keeps the window's place, Escape's too.
    SaveWindowPlacement(this, folivo::PlacementWindow::MainDialog);
    QDialog::done(result);
}
