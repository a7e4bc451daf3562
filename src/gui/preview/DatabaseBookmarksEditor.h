// Editing the bookmarks of an existing Palm e-book in the preview.
#pragma once

#include <QString>

class QWidget;

// Opens the database at `path` in the preview, with its bookmarks, and a line
// above the text when readers will refuse or misshow it. Closing with changes
// asks whether to save them: Yes rewrites the database's bookmarks (a failure
// is said, and the preview stays), No leaves the file as it was, Cancel goes
// back to the preview. A file that cannot be edited is said in a message.
void EditDatabaseBookmarks(QWidget* parent, const QString& path);
