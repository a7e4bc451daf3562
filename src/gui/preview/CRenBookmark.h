// Renames one entry of the bookmark list; OK renames it at once.
#pragma once

#include "preview/NameDialog.h"

#include <core/BookmarkList.h>

class CRenBookmark : public NameDialog {
public:
    // Shows the current name of entry `index`, all of it selected; the new
    // name is for a database of `format`.
    explicit CRenBookmark(int index, QWidget* parent = nullptr, BookmarkList& list = BookmarkList::Instance(),
                          DocumentFormat format = DocumentFormat::PalmDoc);

    void accept() override;

private:
    int m_index;
    BookmarkList& m_list;
};
