// An edit that takes digits from the keyboard and nothing else: other
// characters, the clipboard shortcuts among them, are dropped. Text pasted
// from its context menu and text the program sets are not filtered.
#pragma once

#include <QLineEdit>

class CNumEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
