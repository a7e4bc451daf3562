// The program's icon, at every size it is drawn in, built into the program.
#pragma once

#include <QIcon>

QIcon ProgramIcon();
