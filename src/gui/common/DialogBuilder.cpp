#include "common/DialogBuilder.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

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

void ShowChangingText(QLabel* label, const QString& text, const QString& caption)
{
    label->setText(text);
    label->setAccessibleName(caption.isEmpty() ? text : caption + QStringLiteral(": ") + text);
}

void ShowChangingText(QAbstractButton* button, const QString& text)
{
    button->setText(text);
    button->setAccessibleName(WithoutMnemonic(text));
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

DialogBuilder::DialogBuilder(QWidget* page, int width, int height) : m_dialog(page), m_units(DialogFont())
{
    page->setFont(DialogFont());
    page->setFixedSize(m_units.Size(width, height));
}

QRect DialogBuilder::MapIn(const QWidget* container, const DuRect& rect) const
{
    const QRect r = m_units.Map(rect);
    return container == m_dialog ? r : r.translated(-container->mapTo(m_dialog, QPoint()));
}

void DialogBuilder::Place(QWidget* control, int id, const DuRect& rect, const QString& accessibleName,
                          QWidget* group) const
{
    QWidget* container = group ? group : m_dialog;
    control->setParent(container);
    control->setObjectName(QString::number(id));
    control->setGeometry(MapIn(container, rect));
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

QCheckBox* DialogBuilder::AddCheckBox(int id, const QString& text, const DuRect& rect, QWidget* group) const
{
    auto* box = new QCheckBox(text);
    Place(box, id, rect, WithoutMnemonic(text), group);
    return box;
}

QRadioButton* DialogBuilder::AddRadioButton(int id, const QString& text, const DuRect& rect, QWidget* group) const
{
    auto* button = new QRadioButton(text);
    Place(button, id, rect, WithoutMnemonic(text), group);
    return button;
}

QGroupBox* DialogBuilder::AddGroupBox(const QString& text, const DuRect& rect) const
{
    auto* box = new QGroupBox(text, m_dialog);
    box->setGeometry(m_units.Map(rect));
    box->setAccessibleName(WithoutMnemonic(text));
    return box;
}

QLabel* DialogBuilder::AddLabel(const QString& text, const DuRect& rect, QWidget* buddy) const
{
    QWidget* container = buddy->parentWidget() ? buddy->parentWidget() : m_dialog;
    auto* label = new QLabel(text, container);
    label->setGeometry(MapIn(container, rect));
    label->setBuddy(buddy);
    label->setAccessibleName(WithoutMnemonic(text));
    buddy->setAccessibleName(WithoutMnemonic(text).remove(u':'));
    return label;
}
