// End to end: the real main window on a kit built like scripts/run.sh builds it, talking to
// lintrel-newsd started as a child process on a free port.
#include "gui/window_harness.h"
#include "news/news_identity.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <filesystem>

using namespace lintrel;
using lintrel::testing::WindowHarness;

namespace {

// lintrel-newsd serving a copy of the demo news content on a free loopback port.
class NewsServerProcess
{
public:
    NewsServerProcess()
    {
        std::filesystem::copy(LINTREL_DEMO_KIT "/news-content", content.path().toStdString(),
                              std::filesystem::copy_options::recursive);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(LINTREL_NEWSD), {"--port", "0", "--content", content.path()});
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

    QTemporaryDir content;
    QProcess process;
    int port = 0;
};

// Builds the demo kit into dir with its news address pointing at newsUrl.
bool buildKit(const QString &dir, const QString &newsUrl)
{
    QProcess build;
    build.setProcessChannelMode(QProcess::ForwardedChannels);
    build.start(QStringLiteral("bash"), {LINTREL_DEMO_KIT "/build-kit.sh", "--brand-tool",
                                         LINTREL_BRAND_TOOL, "--news-url", newsUrl, dir});
    return build.waitForFinished(60000) && build.exitStatus() == QProcess::NormalExit &&
           build.exitCode() == 0;
}

} // namespace

TEST(DemoKit, BrandsTheWindowAndItsNewsComeFromTheServer)
{
    NewsServerProcess server;
    ASSERT_GT(server.port, 0);
    WindowHarness h;
    ASSERT_TRUE(buildKit(h.dir.path(), server.url("/news/")));
    TfrmMain &w = h.open();

    EXPECT_EQ(w.windowTitle(), "Lintrel Demo v2.0");
    EXPECT_EQ(h.child<QTabWidget>("pgcPrinc")->currentWidget()->objectName(), "stsWelcome");
    const QString welcome = h.child<QTextBrowser>("prfWelcome")->toPlainText();
    EXPECT_TRUE(welcome.contains("Welcome to Lintrel Demo") ||
                welcome.contains("Good to see you again"))
        << welcome.toStdString();
    EXPECT_TRUE(qApp->styleSheet().contains("#1e5aa8"));
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_FALSE(h.child<QLabel>("lblLink1URL")->text().isEmpty());
    EXPECT_FALSE(h.child<QLabel>("lblLink2URL")->text().isEmpty());
    EXPECT_EQ(h.child<QPushButton>("btnMakeMoney")->text(), "Earn with Lintrel");
    // The banner files are back under their own names after loading.
    EXPECT_TRUE(QFile::exists(h.path("banner1.dat")));
    EXPECT_TRUE(QFile::exists(h.path("banner2.dat")));

    // The window's own requests, as the brand's identity, against the server.
    const auto who = newsIdentityFor(w.brandSettings());
    ASSERT_TRUE(who);
    std::string id, title, body;
    ASSERT_TRUE(w.GetLastNews(*who, id, title, false));
    EXPECT_EQ(id, "4");
    EXPECT_EQ(title, "Lintrel 2.1 is available");
    std::vector<std::string> list;
    ASSERT_TRUE(w.GetNewsList(*who, list));
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list.front(), "4^Lintrel 2.1 is available^2026-12-01");
    EXPECT_EQ(list.back(), "1^Welcome to Lintrel Demo^2026-09-01");
    ASSERT_TRUE(w.GetNewsDetails(*who, "3", body));
    EXPECT_NE(body.find("<h2 style=\"color: #e4572e;\">Autumn offer</h2>"), std::string::npos);
    EXPECT_TRUE(h.messages.shown.empty());
}
