// The layout the add and rename dialogs share: one name edit and OK, which
// can be pressed only while the edit holds a name.
#pragma once

#include <framework/CString.h>

#include <QDialog>

class QLineEdit;
class QPushButton;

class NameDialog : public QDialog {
protected:
    NameDialog(const QString& caption, int editId, QWidget* parent);

    QLineEdit* Edit() const { return m_edit; }
    // The edit's text in the program's code page.
    CString Name() const;

private:
    QLineEdit* m_edit;
    QPushButton* m_ok;
};
