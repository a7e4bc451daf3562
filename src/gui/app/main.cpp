// folivo-converter: the desktop program. Without arguments it opens its main
// dialog; with a document and a format number it converts that document.
#include "app/CConverterApp.h"
#include "app/ProgramIcon.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Answered before any window system is needed.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("folivo-converter %s\n", FOLIVO_VERSION);
        return 0;
    }
    // Qt takes its own options (-platform, -style, ...) out of argv.
    QApplication app(argc, argv);
    QApplication::setWindowIcon(ProgramIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("folivo-converter"));
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return CConverterApp().Run(arguments);
}
