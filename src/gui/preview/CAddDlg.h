// Names a new bookmark at a position the preview chose. OK adds it to the
// bookmark list as the user's own (not generated) entry.
#pragma once

#include "preview/NameDialog.h"

#include <core/BookmarkList.h>

#include <cstdint>

class CAddDlg : public NameDialog {
public:
    // `defaultName` is proposed in the edit, not selected; the name is for a
    // database of `format`.
    CAddDlg(std::int32_t position, const CString& defaultName, QWidget* parent = nullptr,
            BookmarkList& list = BookmarkList::Instance(), DocumentFormat format = DocumentFormat::PalmDoc);

    void accept() override;
    // Showing a dialog selects its focused edit; the proposed name stays
    // unselected, ready to be lengthened.
    void setVisible(bool visible) override;

private:
    std::int32_t m_position;
    BookmarkList& m_list;
};
