#include "common/MessageBox.h"

namespace {

MessageBoxHandler& Handler()
{
    static MessageBoxHandler handler;
    return handler;
}

}  // namespace

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const QString& text, const QString& caption,
                                           QMessageBox::StandardButtons buttons, QMessageBox::Icon icon)
{
    if (Handler())
        return Handler()(parent, text, caption, buttons, icon);
    QMessageBox box(icon, caption, text, buttons, parent);
    // File names are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool AskYesNo(QWidget* parent, const QString& question)
{
    return ShowMessageBox(parent, question, QStringLiteral("Question"), QMessageBox::Yes | QMessageBox::No,
                          QMessageBox::Question) == QMessageBox::Yes;
}

void SetMessageBoxHandler(MessageBoxHandler handler)
{
    Handler() = std::move(handler);
}
