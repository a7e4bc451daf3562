// The GUI suites share one application object, which draws offscreen.
#include <QApplication>

#include <gtest/gtest.h>

namespace {

QtMessageHandler g_standardHandler = nullptr;

// The offscreen platform cannot raise a combo box's list or grab the keyboard
// for it, and says so at every list opened; the rest is worth seeing.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        g_standardHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_standardHandler = qInstallMessageHandler(QuietHandler);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
