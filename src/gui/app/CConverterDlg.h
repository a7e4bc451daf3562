// The program's main window: a list of documents to convert, the format to
// convert them to, and Convert, which converts them all at once with the
// stored defaults or, with Advanced checked, opens the conversion wizard on
// each in turn. Documents come from Add... or are dropped from a file manager.
// Its menu switches the desktop integration and opens the help and the about
// box. The window's place and size are kept when it closes.
#pragma once

#include <core/BookmarkList.h>

#include <QDialog>
#include <QStringList>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;

class CConverterDlg : public QDialog {
public:
    enum ControlId {
        kList = 1070,
        kAddButton = 1028,
        kRemoveButton = 1029,
        kGroup = 1084,
        kPalmDocRadio = 1035,
        kZtxtRadio = 1036,
        kAdvancedCheck = 1032,
        kConvertButton = 1033,
    };
    enum MenuId { kEditBookmarksItem = 150, kShellIntegrationItem = 143, kContentsItem = 139, kAboutItem = 140 };

    explicit CConverterDlg(QWidget* parent = nullptr, BookmarkList& bookmarks = BookmarkList::Instance());

    // The listed documents' paths, top to bottom.
    QStringList ListedPaths() const;
    // Appends the documents not listed yet, in order (those listed already
    // are skipped without a word): what the program was opened with.
    void ListDocuments(const QStringList& paths);
    // Whether a direct conversion since the dialog opened failed or was done
    // only in part (the user was told), for the program's exit status.
    bool AnyConversionFailed() const { return m_anyConversionFailed; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void BuildMenu();
    bool IsListed(const QString& path) const;
    void AddFiles();
    void RemoveFiles();
    void Convert();
    void ConvertDirectly(const QStringList& paths);
    void ConvertInWizard(const QStringList& paths);
    // Opens a Palm database chosen by the user to edit its bookmarks in place.
    void EditBookmarks();
    void ToggleShellIntegration();
    void ShowAbout();
    void UpdateRemove();
    void UpdateConvert();
    void KeepColumnWide(int section, int oldSize, int newSize);

    BookmarkList& m_bookmarks;
    QMenuBar* m_menuBar;
    QLabel* m_label = nullptr;
    QAction* m_shellIntegration = nullptr;
    QTreeWidget* m_list;
    QPushButton* m_add;
    QPushButton* m_remove;
    QGroupBox* m_group;
    QRadioButton* m_palmDoc;
    QRadioButton* m_zTxt;
    QCheckBox* m_advanced;
    QPushButton* m_convert;
    bool m_anyConversionFailed = false;
};
