#include "preview/CAddDlg.h"

#include "common/Cp1252Text.h"
#include "preview/Templates.h"

#include <QLineEdit>

CAddDlg::CAddDlg(std::int32_t position, const CString& defaultName, QWidget* parent, BookmarkList& list,
                 DocumentFormat format)
    : NameDialog(QStringLiteral("Add bookmark"), NameTemplate::kAddEdit, parent, format), m_position(position),
      m_list(list)
{
    Edit()->setToolTip(QStringLiteral("New bookmark name"));
    Edit()->setText(FromCp1252(defaultName));
}

void CAddDlg::accept()
{
    m_list.Add(Name(), m_position, false);
    NameDialog::accept();
}

void CAddDlg::setVisible(bool visible)
{
    NameDialog::setVisible(visible);
    if (visible)
        Edit()->deselect();
}
