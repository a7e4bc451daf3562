#include "app/Help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace {

constexpr char kContentsPage[] = "index.html";

HelpOpener& Opener()
{
    static HelpOpener opener;
    return opener;
}

}  // namespace

QString HelpFolder(const QString& programPath)
{
    const QFileInfo program(programPath);
    const QString beside = program.dir().filePath(program.completeBaseName() + QStringLiteral(".help"));
    const QString installed =
        QDir::cleanPath(program.dir().filePath(QStringLiteral("../share/") + program.completeBaseName() + "/help"));
    return !QFileInfo(beside).isDir() && QFileInfo(installed).isDir() ? installed : beside;
}

QUrl HelpTopicUrl(const QString& programPath, const QString& topic)
{
    const qsizetype hash = topic.indexOf(u'#');
    QString page = hash < 0 ? topic : topic.left(hash);
    if (page.isEmpty())
        page = QString::fromLatin1(kContentsPage);
    const QString path = QDir(HelpFolder(programPath)).filePath(page);
    if (!QFileInfo(path).isFile())
        return {};
    QUrl url = QUrl::fromLocalFile(path);
    if (hash >= 0)
        url.setFragment(topic.mid(hash + 1));
    return url;
}

void OpenHelpTopic(const QString& topic)
{
    const QUrl url = HelpTopicUrl(QCoreApplication::applicationFilePath(), topic);
    if (url.isEmpty())
        return;
    if (Opener())
        Opener()(url);
    else
        QDesktopServices::openUrl(url);
}

void SetHelpOpener(HelpOpener opener)
{
    Opener() = std::move(opener);
}
