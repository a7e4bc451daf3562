#include "preview/NameDialog.h"

#include "common/Cp1252Text.h"
#include "common/DialogBuilder.h"
#include "preview/Templates.h"

#include <core/BookmarkEditing.h>

#include <QLineEdit>
#include <QPushButton>

using namespace NameTemplate;

NameDialog::NameDialog(const QString& caption, int editId, QWidget* parent, DocumentFormat format)
    : QDialog(parent), m_edit(new QLineEdit(this))
{
    const DialogBuilder builder(this, caption, kWidth, kHeight, DialogFrame::FixedWithWindowMenu);
    builder.Place(m_edit, editId, kEditRect);
    builder.AddLabel(QStringLiteral("Name:"), kLabelRect, m_edit);
    m_ok = builder.AddButton(kOk, QStringLiteral("OK"), kOkRect);
    QPushButton* cancel = builder.AddButton(kCancel, QStringLiteral("Cancel"), kCancelRect);
    m_ok->setDefault(true);
    m_ok->setEnabled(false);
    // One byte of the code page per character: a longer name would be cut
    // when the database is written, without a word.
    m_edit->setMaxLength(static_cast<int>(folivo::StoredNameLength(format)));
    m_edit->setValidator(new Cp1252Validator(m_edit));
    m_edit->setFocus();
    connect(m_edit, &QLineEdit::textChanged, m_ok, [this](const QString& text) { m_ok->setEnabled(!text.isEmpty()); });
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

CString NameDialog::Name() const
{
    return ToCp1252(m_edit->text());
}
