#include "preview/DatabaseBookmarksEditor.h"

#include "common/Cp1252Text.h"
#include "common/FilePaths.h"
#include "common/MessageBox.h"
#include "preview/CPreviewDlg.h"

#include <core/DatabaseBookmarks.h>

namespace {

const QString kCaption = QStringLiteral("Edit bookmarks");

QString Sentence(const QString& start, const std::string& why)
{
    return start + QStringLiteral(": ") + Reason(why) + u'.';
}

}  // namespace

void EditDatabaseBookmarks(QWidget* parent, const QString& path)
{
    BookmarkList list;
    folivo::EditedDatabase database;
    if (const folivo::Error error = folivo::OpenDatabaseBookmarks(ToPath(path), database, list)) {
        ShowMessageBox(
            parent,
            Sentence(QStringLiteral("The bookmarks of ") + path + QStringLiteral(" cannot be edited"), error.Message()),
            kCaption, QMessageBox::Ok, QMessageBox::Warning);
        return;
    }
    CPreviewDlg preview(database.text, list, database.format, parent);
    const QString name = FromPath(database.fileName);
    preview.setWindowTitle(QStringLiteral("Bookmarks of ") + name);
    QString details;
    for (const palm::Finding& finding : database.findings)
        details += (details.isEmpty() ? QString() : QStringLiteral("\n")) +
                   QString::fromStdString(finding.readers + ": " + finding.reason);
    preview.SetNotice(QString::fromStdString(folivo::FindingsLine(database.findings)), details);
    preview.SetCloseCheck([&] {
        if (!folivo::BookmarksEdited(database, list))
            return true;
        switch (ShowMessageBox(&preview, QStringLiteral("Save the bookmarks in ") + name + u'?', kCaption,
                               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Question)) {
        case QMessageBox::Yes: break;
        case QMessageBox::No: return true;
        default: return false;
        }
        const folivo::Error error = folivo::SaveDatabaseBookmarks(database, list);
        if (error)
            ShowMessageBox(&preview, Sentence(QStringLiteral("The bookmarks could not be saved"), error.Message()),
                           kCaption, QMessageBox::Ok, QMessageBox::Warning);
        return !error;
    });
    preview.exec();
}
