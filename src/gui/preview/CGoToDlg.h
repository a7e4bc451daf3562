// Chooses a place in the text as a whole percentage, 0 to 100, by typing,
// with a scroll bar, or with Top and Bottom.
#pragma once

#include <QDialog>

class CNumEdit;
class QScrollBar;

class CGoToDlg : public QDialog {
public:
    // Starts at `percent`, which Percent() returns until OK takes the new value.
    explicit CGoToDlg(int percent, QWidget* parent = nullptr);

    int Percent() const { return m_percent; }

    void accept() override;

private:
    // Shows `value` both in the edit and on the scroll bar.
    void SetCurrent(int value);
    void OnScrollAction(int action);
    void OnTextChanged(const QString& text);

    int m_percent;
    int m_current;
    CNumEdit* m_edit;
    QScrollBar* m_scrollBar;
};
