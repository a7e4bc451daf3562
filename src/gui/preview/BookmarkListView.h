// The explore dialog's list of bookmarks, which tells when the user has
// clicked in it: only a mouse click updates the dialog's buttons.
#pragma once

#include <QTreeWidget>

class BookmarkListView : public QTreeWidget {
    Q_OBJECT

public:
    using QTreeWidget::QTreeWidget;

signals:
    // A click ended; the selection it made is in place.
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QTreeWidget::mouseReleaseEvent(event);
        emit Clicked();
    }
};
