#include "app/ProgramIcon.h"

QIcon ProgramIcon()
{
    // The pictures live in the static library, whose linker keeps them only
    // when something asks for them by name.
    Q_INIT_RESOURCE(folivo_icons);
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/folivo-converter.png").arg(size), QSize(size, size));
    return icon;
}
