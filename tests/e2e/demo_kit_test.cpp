// End to end: the real main window on a kit built like scripts/run.sh builds it, talking to
// lintrel-newsd started as a child process on a free port.
#include "demo_kit_fixture.h"
#include "support/window_harness.h"
#include "news/news_identity.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>

using namespace lintrel;
using namespace lintrel::testing;

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
    ASSERT_TRUE(w.newsPart().GetLastNews(*who, id, title, false));
    EXPECT_EQ(id, "4");
    EXPECT_EQ(title, "Lintrel 2.1 is available");
    std::vector<std::string> list;
    ASSERT_TRUE(w.newsPart().GetNewsList(*who, list));
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list.front(), "4^Lintrel 2.1 is available^2026-12-01");
    EXPECT_EQ(list.back(), "1^Welcome to Lintrel Demo^2026-09-01");
    ASSERT_TRUE(w.newsPart().GetNewsDetails(*who, "3", body));
    EXPECT_NE(body.find("<h2 style=\"color: #e4572e;\">Autumn offer</h2>"), std::string::npos);
    EXPECT_TRUE(h.messages.shown.empty());
}
