#include "preview/CRenBookmark.h"

#include "common/Cp1252Text.h"
#include "preview/Templates.h"

#include <QLineEdit>

CRenBookmark::CRenBookmark(int index, QWidget* parent, BookmarkList& list, DocumentFormat format)
    : NameDialog(QStringLiteral("Rename bookmark"), NameTemplate::kRenameEdit, parent, format), m_index(index),
      m_list(list)
{
    if (const Bookmark* entry = m_list.At(index))
        Edit()->setText(FromCp1252(entry->name));
    Edit()->selectAll();
}

void CRenBookmark::accept()
{
    m_list.Rename(m_index, Name());
    NameDialog::accept();
}
