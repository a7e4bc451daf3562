// The layout the add and rename dialogs share: one name edit and OK, which
// can be pressed only while the edit holds a name.
#pragma once

#include <core/ConversionSettings.h>
#include <framework/CString.h>

#include <QDialog>

class QLineEdit;
class QPushButton;

class NameDialog : public QDialog {
protected:
    // The edit takes as many characters as a database of `format` keeps.
    NameDialog(const QString& caption, int editId, QWidget* parent, DocumentFormat format);

    QLineEdit* Edit() const { return m_edit; }
    // The edit's text in the program's code page.
    CString Name() const;

private:
    QLineEdit* m_edit;
    QPushButton* m_ok;
};
