// Where a window stood when the user last closed it, kept in the settings
// store. The rectangle kept is the window's client area in screen pixels:
// frame sizes are known only once a window is shown, and a window put back
// by its frame before that would grow by the frame at every opening.
#pragma once

#include <core/SettingsGroups.h>

class QWidget;

void SaveWindowPlacement(const QWidget* window, folivo::PlacementWindow which);
// False, leaving the window as it is, when no whole placement is stored.
bool RestoreWindowPlacement(QWidget* window, folivo::PlacementWindow which);
