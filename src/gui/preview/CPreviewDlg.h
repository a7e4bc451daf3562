// The prepared text of a conversion, read-only, with its bookmarks: jump to a
// bookmark or to a percentage of the text, add a bookmark at the visible text,
// and explore, rename and delete bookmarks. The window's place and size are
// kept when the user closes it with Close.
#pragma once

#include <core/BookmarkList.h>
#include <core/ConversionSettings.h>
#include <core/TextLines.h>

#include <QDialog>

#include <cstdint>

class CRichEditEx;
class QComboBox;
class QPushButton;

class CPreviewDlg : public QDialog {
public:
    // Shows the prepared text in `filePath` (nothing when it cannot be read);
    // the bookmarks are named for a database of `format`.
    explicit CPreviewDlg(const CString& filePath, QWidget* parent = nullptr,
                         BookmarkList& list = BookmarkList::Instance(),
                         DocumentFormat format = DocumentFormat::PalmDoc);

    // Shows the topmost visible line's percentage on the percent button.
    void UpdatePercent(int firstLine);
    // Brings the line of entry `index` to the top.
    void GoToBookmark(int index);
    // Lists the bookmarks again, keeping the selected row where it still exists.
    void RefreshBookmarkCombo();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LoadText(const CString& filePath);
    void ShowPercent(int percent);
    void AddBookmark();
    void ExploreBookmarks();
    void GoToPercent();
    void SaveAndClose();

    BookmarkList& m_list;
    DocumentFormat m_format;
    folivo::TextLines m_lines;
    std::int32_t m_textLength = 0;
    QComboBox* m_combo;
    QPushButton* m_addButton;
    QPushButton* m_exploreButton;
    CRichEditEx* m_text;
    QPushButton* m_percentButton;
    QPushButton* m_closeButton;
};
