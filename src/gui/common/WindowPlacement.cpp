#include "common/WindowPlacement.h"

#include <QWidget>

void SaveWindowPlacement(const QWidget* window, folivo::PlacementWindow which)
{
    const QRect r = window->geometry();
    folivo::WindowPlacement placement;
    placement.left = r.left();
    placement.top = r.top();
    placement.right = r.left() + r.width();
    placement.bottom = r.top() + r.height();
    folivo::SaveWindowPlacement(which, placement);
}

bool RestoreWindowPlacement(QWidget* window, folivo::PlacementWindow which)
{
    folivo::WindowPlacement placement;
    if (!folivo::ReadWindowPlacement(which, placement))
        return false;
    window->setGeometry(placement.left, placement.top, placement.right - placement.left,
                        placement.bottom - placement.top);
    return true;
}
