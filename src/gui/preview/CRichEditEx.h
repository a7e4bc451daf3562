// The preview's read-only text: one line of the prepared text per row, never
// wrapped, scrolled by whole lines. It tells when the user scrolls it with the
// scroll bar or the mouse wheel; moving through it with the keyboard scrolls
// it without telling.
#pragma once

#include <QPlainTextEdit>

class CRichEditEx : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CRichEditEx(QWidget* parent = nullptr);

    // The topmost visible line and the number of lines (at least 1).
    int FirstVisibleLine() const;
    int LineCount() const { return blockCount(); }
    // The line's text without its line break.
    QString LineText(int line) const;
    // Brings `line` to the top, as far as the text can scroll.
    void ScrollToLine(int line);

signals:
    // The user scrolled; `firstLine` is the topmost visible line now.
    void UserScrolled(int firstLine);
};
