// Launching through QDesktopServices and QProcess.
#include "ui/launcher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace lintrel {

void QtLauncher::openUrl(const QString &url)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

bool QtLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

} // namespace lintrel
