#include "preview/CNumEdit.h"

#include <QKeyEvent>

namespace {

// Keys that edit or leave the field rather than type into it.
bool IsEditingKey(int key)
{
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return true;
    default: return false;
    }
}

bool IsDigits(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace

void CNumEdit::keyPressEvent(QKeyEvent* event)
{
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    const bool typesText = !event->text().isEmpty() || shortcut;
    if (typesText && !IsEditingKey(event->key()) && (shortcut || !IsDigits(event->text()))) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
