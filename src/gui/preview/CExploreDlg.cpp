#include "preview/CExploreDlg.h"

#include "common/Cp1252Text.h"
#include "common/DialogBuilder.h"
#include "common/MessageBox.h"
#include "preview/BookmarkListView.h"
#include "preview/CRenBookmark.h"
#include "preview/Templates.h"

#include <core/PreviewPercent.h>

#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>

using namespace ExploreTemplate;

CExploreDlg::CExploreDlg(std::int32_t textLength, QWidget* parent, BookmarkList& list, DocumentFormat format)
    : QDialog(parent), m_list(list), m_textLength(textLength), m_format(format), m_view(new BookmarkListView(this)),
      m_order(new QComboBox(this))
{
    const DialogBuilder builder(this, QStringLiteral("Explore bookmarks"), kWidth, kHeight, DialogFrame::Fixed);
    builder.Place(m_view, kList, kListRect, QStringLiteral("Bookmarks"));
    m_goTo = builder.AddButton(kGoToButton, QStringLiteral("&Go To"), kGoToRect);
    m_rename = builder.AddButton(kRenameButton, QStringLiteral("&Rename..."), kRenameRect);
    m_delete = builder.AddButton(kDeleteButton, QStringLiteral("&Delete"), kDeleteRect);
    QPushButton* deleteAll = builder.AddButton(kDeleteAllButton, QStringLiteral("Delete &all"), kDeleteAllRect);
    builder.Place(m_order, kOrderCombo, kOrderRect);
    m_order->resize(m_order->width(), m_order->sizeHint().height());
    builder.AddLabel(QStringLiteral("Order by:"), kOrderLabelRect, m_order);
    QPushButton* close = builder.AddButton(kCloseButton, QStringLiteral("&Close"), kCloseRect);
    close->setDefault(true);

    m_order->setToolTip(QStringLiteral("Bookmarks list order"));
    m_delete->setToolTip(QStringLiteral("Delete selected bookmark(s)"));
    deleteAll->setToolTip(QStringLiteral("Delete all bookmarks"));
    m_rename->setToolTip(QStringLiteral("Rename selected bookmark"));
    m_goTo->setToolTip(QStringLiteral("Go to selected bookmark"));

    m_view->setHeaderLabels({QStringLiteral("Bookmark"), QStringLiteral("Position")});
    m_view->setColumnWidth(0, builder.Units().X(kColumnWidth));
    m_view->setColumnWidth(1, builder.Units().X(kColumnWidth));
    m_view->header()->setSectionsMovable(false);
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_view->setAllColumnsShowFocus(true);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_order->addItems({QStringLiteral("Creation Order"), QStringLiteral("Name"), QStringLiteral("Position")});
    DisableSelectionButtons();
    FillList();

    connect(m_view, &BookmarkListView::Clicked, this, &CExploreDlg::UpdateButtons);
    connect(m_order, &QComboBox::currentIndexChanged, this, &CExploreDlg::FillList);
    connect(m_goTo, &QPushButton::clicked, this, &CExploreDlg::GoTo);
    connect(m_rename, &QPushButton::clicked, this, &CExploreDlg::Rename);
    connect(m_delete, &QPushButton::clicked, this, &CExploreDlg::Delete);
    connect(deleteAll, &QPushButton::clicked, this, &CExploreDlg::DeleteAll);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CExploreDlg::FillList()
{
    m_view->clear();
    const auto order = static_cast<folivo::BookmarkOrder>(std::max(m_order->currentIndex(), 0));
    QList<QTreeWidgetItem*> rows;
    for (int index : folivo::OrderBookmarks(m_list, order)) {
        const Bookmark& entry = *m_list.At(index);
        auto* row = new QTreeWidgetItem(
            {FromCp1252(entry.name), QString::number(folivo::PositionPercent(entry.position, m_textLength)) + u'%'});
        row->setData(0, Qt::UserRole, index);
        rows.append(row);
    }
    m_view->addTopLevelItems(rows);
}

void CExploreDlg::UpdateButtons()
{
    const auto selected = m_view->selectedItems().size();
    m_goTo->setEnabled(selected == 1);
    m_rename->setEnabled(selected == 1);
    m_delete->setEnabled(selected >= 1);
}

void CExploreDlg::DisableSelectionButtons()
{
    m_goTo->setEnabled(false);
    m_rename->setEnabled(false);
    m_delete->setEnabled(false);
}

int CExploreDlg::CurrentIndex() const
{
    const QTreeWidgetItem* row = m_view->currentItem();
    return row ? row->data(0, Qt::UserRole).toInt() : -1;
}

void CExploreDlg::GoTo()
{
    m_selectedIndex = CurrentIndex();
    if (m_selectedIndex != -1)
        done(QDialog::Accepted);
}

void CExploreDlg::Rename()
{
    const int index = CurrentIndex();
    if (index != -1) {
        CRenBookmark dialog(index, this, m_list, m_format);
        dialog.exec();
        FillList();
    }
    DisableSelectionButtons();
}

void CExploreDlg::Delete()
{
    DisableSelectionButtons();
    if (!AskYesNo(this, QStringLiteral("Are you sure you want to delete selected bookmark(s)?")))
        return;
    std::vector<int> indices;
    for (const QTreeWidgetItem* row : m_view->selectedItems())
        indices.push_back(row->data(0, Qt::UserRole).toInt());
    folivo::RemoveEntries(m_list, std::move(indices));
    FillList();
}

void CExploreDlg::DeleteAll()
{
    if (!AskYesNo(this, QStringLiteral("Are you sure you want to delete all bookmarks?")))
        return;
    m_list.Clear();
    FillList();
    DisableSelectionButtons();
}
