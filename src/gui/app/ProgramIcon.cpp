#include "app/ProgramIcon.h"

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/folivo-converter.png").arg(size), QSize(size, size));
    return icon;
}
