// End to end: the demo kit's start-up notice and News window, served by lintrel-newsd.
#include "demo_kit_fixture.h"
#include "support/news_service.h"
#include "news/frm_news.h"
#include "ui/balloon_hint.h"

#include <QPushButton>
#include <QTextBrowser>
#include <QTreeWidget>

using namespace lintrel;
using namespace lintrel::testing;

TEST(DemoKitNews, NoticeAtStartThenTheNewsWindowListsAndShowsTheItems)
{
    NewsServerProcess server;
    ASSERT_GT(server.port, 0);
    WindowHarness h;
    ASSERT_TRUE(buildKit(h.dir.path(), server.url("/news/")));
    h.updateBaseUrl = server.url("/liveupdate/lintrel/");
    h.messages.answers = {MessageAnswer::Cancel}; // not now, at the update offer
    h.open();

    // Leaving the welcome page arms the start-up check, which announces the newest item.
    h.child<QPushButton>("bsSkinButton1")->click();
    ASSERT_TRUE(waitUntil([] { return BalloonHint::current() != nullptr; }));
    EXPECT_EQ(BalloonHint::current()->lines(),
              QStringList({"You've Got A Message!", "Lintrel 2.1 is available"}));
    // Then the silent update check finds the demo descriptor's version 2.1.
    ASSERT_TRUE(waitUntil([&] { return !h.messages.shown.empty(); }));
    EXPECT_EQ(h.messages.texts(),
              QStringList({"There is a new update: (version 2.1) available for your "
                           "application!. Do you want download this update now?"}));
    h.messages.shown.clear();

    const bool opened = whileModalOpen<TfrmNews>(
        [&] { h.child<QPushButton>("btnNews")->click(); },
        [&](TfrmNews &w) {
            auto *lvw = w.findChild<QTreeWidget *>(QStringLiteral("lvwItems"));
            ASSERT_NE(lvw, nullptr);
            ASSERT_EQ(lvw->topLevelItemCount(), 4);
            EXPECT_EQ(lvw->topLevelItem(0)->text(0), "Lintrel 2.1 is available");
            EXPECT_EQ(lvw->topLevelItem(0)->text(1), "2026-12-01");
            EXPECT_EQ(lvw->topLevelItem(3)->text(0), "Welcome to Lintrel Demo");

            const QRect row = lvw->visualItemRect(lvw->topLevelItem(1));
            QTest::mouseClick(lvw->viewport(), Qt::LeftButton, {}, row.center());
            auto *body = w.findChild<QTextBrowser *>(QStringLiteral("prfEditorNews"));
            ASSERT_NE(body, nullptr);
            EXPECT_TRUE(waitUntil([body] { return body->toPlainText().contains("30% less"); }))
                << body->toPlainText().toStdString();
            EXPECT_EQ(storedMarker(h), "3");
        });
    EXPECT_TRUE(opened);
    EXPECT_FALSE(h.messages.texts().join('|').contains("There is a trouble"))
        << h.messages.texts().join('|').toStdString();
}
