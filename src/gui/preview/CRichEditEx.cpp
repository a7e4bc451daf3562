#include "preview/CRichEditEx.h"

#include <QScrollBar>
#include <QTextBlock>

CRichEditEx::CRichEditEx(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The bar's actions cover its arrows, its track, its thumb and the wheel
    // (over the text as over the bar); the bar has already moved to the new
    // place, the text not yet.
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { emit UserScrolled(verticalScrollBar()->sliderPosition()); });
}

int CRichEditEx::FirstVisibleLine() const
{
    return firstVisibleBlock().blockNumber();
}

QString CRichEditEx::LineText(int line) const
{
    return document()->findBlockByNumber(line).text();
}

void CRichEditEx::ScrollToLine(int line)
{
    verticalScrollBar()->setValue(line);
}
