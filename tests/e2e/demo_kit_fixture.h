// The demo kit built into a folder, and lintrel-newsd serving its news as a child process.
#pragma once

#include "support/window_harness.h"

#include <QProcess>
#include <QString>
#include <filesystem>

namespace lintrel::testing {

// lintrel-newsd serving a copy of the demo news content on a free loopback port.
class NewsServerProcess
{
public:
    NewsServerProcess()
    {
        std::filesystem::copy(LINTREL_DEMO_KIT "/news-content", content.path().toStdString(),
                              std::filesystem::copy_options::recursive);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(LINTREL_NEWSD_TOOL),
                      {"--port", "0", "--content", content.path()});
        const QByteArray prefix = "listening on http://127.0.0.1:";
        while (!process.canReadLine() && process.waitForReadyRead(10000)) {
        }
        const QByteArray line = process.readLine().trimmed();
        if (line.startsWith(prefix))
            port = line.mid(prefix.size()).toInt();
    }
    ~NewsServerProcess()
    {
        process.terminate();
        process.waitForFinished(5000);
    }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path);
    }

    QtTempFolder content;
    QProcess process;
    int port = 0;
};

// Builds the demo kit into dir with its news address pointing at newsUrl.
inline bool buildKit(const QString &dir, const QString &newsUrl)
{
    QProcess build;
    build.setProcessChannelMode(QProcess::ForwardedChannels);
    build.start(QStringLiteral("bash"), {LINTREL_DEMO_KIT "/build-kit.sh", "--brand-tool",
                                         LINTREL_BRAND_TOOL, "--news-url", newsUrl, dir});
    return build.waitForFinished(60000) && build.exitStatus() == QProcess::NormalExit &&
           build.exitCode() == 0;
}

} // namespace lintrel::testing
