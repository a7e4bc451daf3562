#include "common/MessageBox.h"

#include <algorithm>

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

QString Reason(const std::string& why)
{
    QString reason = QString::fromStdString(why);
    if (reason.endsWith(u'.'))
        reason.chop(1);
    const qsizetype wordEnd = reason.indexOf(u' ');
    const QStringView first = QStringView(reason).left(wordEnd < 0 ? reason.size() : wordEnd);
    if (first.size() > 1 && first[0].isUpper() &&
        std::all_of(first.begin() + 1, first.end(), [](QChar c) { return c.isLower(); }))
        reason[0] = reason[0].toLower();
    return reason;
}
