#include "common/DialogBuilder.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

QString WithoutMnemonic(const QString& text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

DialogBuilder::DialogBuilder(QDialog* dialog, const QString& caption, int width, int height, DialogFrame frame)
    : m_dialog(dialog), m_units(DialogFont())
{
    dialog->setFont(DialogFont());
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (frame == DialogFrame::FixedWithWindowMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    dialog->setWindowFlags(flags);
    dialog->setWindowTitle(caption);
    dialog->setSizeGripEnabled(false);
    const QSize client = m_units.Size(width, height);
    if (frame == DialogFrame::Resizable) {
        dialog->setMinimumSize(client);
        dialog->resize(client);
    } else {
        dialog->setFixedSize(client);
    }
}

void DialogBuilder::Place(QWidget* control, int id, const DuRect& rect, const QString& accessibleName) const
{
    control->setParent(m_dialog);
    control->setObjectName(QString::number(id));
    control->setGeometry(m_units.Map(rect));
    if (!accessibleName.isEmpty())
        control->setAccessibleName(accessibleName);
}

QPushButton* DialogBuilder::AddButton(int id, const QString& text, const DuRect& rect) const
{
    auto* button = new QPushButton(text, m_dialog);
    button->setAutoDefault(false);
    Place(button, id, rect, WithoutMnemonic(text));
    return button;
}

QLabel* DialogBuilder::AddLabel(const QString& text, const DuRect& rect, QWidget* buddy) const
{
    auto* label = new QLabel(text, m_dialog);
    label->setGeometry(m_units.Map(rect));
    label->setBuddy(buddy);
    label->setAccessibleName(WithoutMnemonic(text));
    buddy->setAccessibleName(WithoutMnemonic(text).remove(u':'));
    return label;
}
