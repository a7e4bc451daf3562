#include "common/WindowPlacement.h"

#include <QWidget>

void SaveWindowPlacement(const QWidget* window, PlacementWindow which)
{
    const QRect r = window->geometry();
    WindowPlacement placement;
    placement.left = r.left();
    placement.top = r.top();
    placement.right = r.left() + r.width();
    placement.bottom = r.top() + r.height();
    SaveWindowPlacement(which, placement);
}

bool RestoreWindowPlacement(QWidget* window, PlacementWindow which)
{
    WindowPlacement placement;
    if (!ReadWindowPlacement(which, placement))
        return false;
    window->setGeometry(placement.left, placement.top, placement.right - placement.left,
                        placement.bottom - placement.top);
    return true;
}
