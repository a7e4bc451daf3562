// Lists every bookmark with its place as a percentage of the text, in
// creation order, by name or by position, and lets the user jump to one,
// rename one, or delete the selected ones or all. Changes go straight to the
// bookmark list.
#pragma once

#include <core/BookmarkEditing.h>
#include <core/BookmarkList.h>

#include <QDialog>

#include <cstdint>

class BookmarkListView;
class QComboBox;
class QPushButton;

class CExploreDlg : public QDialog {
public:
    // Percentages are taken of `textLength`, the length of the previewed text;
    // names are given for a database of `format`.
    explicit CExploreDlg(std::int32_t textLength, QWidget* parent = nullptr,
                         BookmarkList& list = BookmarkList::Instance(),
                         DocumentFormat format = DocumentFormat::PalmDoc);

    // The list index chosen with Go To, or -1.
    int SelectedIndex() const { return m_selectedIndex; }

private:
    // Lists the bookmarks in the order the order box shows.
    void FillList();
    void UpdateButtons();
    void DisableSelectionButtons();
    // The list index of the row the user last clicked, or -1.
    int CurrentIndex() const;
    void GoTo();
    void Rename();
    void Delete();
    void DeleteAll();

    BookmarkList& m_list;
    std::int32_t m_textLength;
    DocumentFormat m_format;
    int m_selectedIndex = -1;
    BookmarkListView* m_view;
    QComboBox* m_order;
    QPushButton* m_goTo;
    QPushButton* m_rename;
    QPushButton* m_delete;
};
