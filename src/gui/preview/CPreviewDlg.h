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
#include <functional>
#include <string_view>

class CRichEditEx;
class QComboBox;
class QLabel;
class QPushButton;

class CPreviewDlg : public QDialog {
public:
    // Shows the prepared text in `filePath` (nothing when it cannot be read);
    // the bookmarks are named for a database of `format`.
    explicit CPreviewDlg(const CString& filePath, QWidget* parent = nullptr,
                         BookmarkList& list = BookmarkList::Instance(),
                         DocumentFormat format = DocumentFormat::PalmDoc);
    // Shows `text` itself: a database's, whose bookmarks are edited in place.
    CPreviewDlg(std::string_view text, BookmarkList& list, DocumentFormat format, QWidget* parent = nullptr);

    // A line about the book above the text, with `details` as its tooltip;
    // an empty one hides it.
    void SetNotice(const QString& notice, const QString& details = {});
    // Asked before the window closes, whichever way: false keeps it open.
    void SetCloseCheck(std::function<bool()> mayClose) { m_mayClose = std::move(mayClose); }

    // Shows the topmost visible line's percentage on the percent button.
    void UpdatePercent(int firstLine);
    // Brings the line of entry `index` to the top.
    void GoToBookmark(int index);
    // Lists the bookmarks again, keeping the selected row where it still exists.
    void RefreshBookmarkCombo();

    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CPreviewDlg(QWidget* parent, BookmarkList& list, DocumentFormat format);
    void LoadText(const CString& filePath);
    void ShowText(std::string_view text);
    bool MayClose() const { return !m_mayClose || m_mayClose(); }
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
    QLabel* m_notice = nullptr;
    QString m_noticeText;
    std::function<bool()> m_mayClose;
};
