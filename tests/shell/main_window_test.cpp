// The main window: design state, pages, live statistics, banner centring, error handler.
#include "support/window_harness.h"
#include "ui/error_handler.h"
#include "update/update_messages.h"
#include "util/errors.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

using namespace lintrel;
using namespace lintrel::testing;

namespace {

QStringList statFields(const WindowHarness &h)
{
    QStringList out;
    for (const char *name :
         {"edtWords1", "edtSenten1", "edtParag1", "edtLines", "edtChars", "edtLong"})
        out << h.child<QLineEdit>(name)->text();
    return out;
}

} // namespace

TEST(MainWindow, DesignStateWithoutSettingsFile)
{
    WindowHarness h;
    TfrmMain &w = h.open(false);
    // The timer is armed at creation when there is no welcome page.
    EXPECT_TRUE(h.child<QTimer>("Timer1")->isActive());
    EXPECT_EQ(h.child<QTimer>("Timer1")->interval(), 2000);

    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.windowTitle(), "Lintrel");
    auto *pages = h.child<QTabWidget>("pgcPrinc");
    EXPECT_EQ(pages->count(), 1);
    EXPECT_EQ(pages->currentWidget()->objectName(), "stsMain");
    EXPECT_FALSE(pages->tabBar()->isVisible());
    EXPECT_EQ(h.child<QPushButton>("btnMakeMoney")->text(), "Make Money");
    EXPECT_TRUE(h.child<QPushButton>("btnNews")->isVisible());
    EXPECT_EQ(h.child<QPushButton>("btnNews")->toolTip(), "Check News");
    EXPECT_EQ(h.child<QPushButton>("btnUpdate")->toolTip(), "Check Updates");
    EXPECT_EQ(h.child<QPushButton>("btnHelp")->toolTip(), "Help");
    EXPECT_TRUE(h.child<QWidget>("panBanner")->isVisible());
    EXPECT_EQ(h.child<QWidget>("panBanner")->height(), 65);
    EXPECT_EQ(statFields(h), QStringList({"0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(h.child<QLineEdit>("edtMaxLine")->text(), "60");
    EXPECT_TRUE(h.child<QPlainTextEdit>("memEmail")->hasFocus());
}

TEST(MainWindow, TypingUpdatesTheSixFields)
{
    WindowHarness h;
    h.open();
    auto *mem = h.child<QPlainTextEdit>("memEmail");
    QTest::keyClicks(mem, "Dear John,");
    QTest::keyClick(mem, Qt::Key_Return);
    QTest::keyClick(mem, Qt::Key_Return);
    QTest::keyClicks(mem, "Thanks for the note. See you soon!");
    // Words, sentences, paragraphs, lines, characters, longest line.
    EXPECT_EQ(statFields(h), QStringList({"9", "3", "2", "3", "44", "34"}));

    // Non-ASCII characters are word characters and count as one character each.
    QTest::keyClick(mem, Qt::Key_Return);
    for (QChar ch : QStringLiteral("café"))
        QTest::sendKeyEvent(QTest::Click, mem, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    EXPECT_EQ(statFields(h), QStringList({"10", "4", "3", "4", "48", "34"}));

    // Undo is available in the text area.
    QTest::keyClick(mem, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(h.child<QLineEdit>("edtWords1")->text(), "10");
}

TEST(MainWindow, BannerCentringHalvesEachDimension)
{
    WindowHarness h;
    TfrmMain &w = h.open();
    auto *bar = h.child<QWidget>("panBanner");
    auto *img = h.child<QWidget>("imgBanner");
    auto *gif = h.child<QWidget>("gifBanner");
    struct Case
    {
        QSize bar, banner;
        QPoint expected;
    } cases[] = {
        {{742, 65}, {105, 40}, {319, 12}},   // 371 - 52, not (742 - 105) / 2 = 318
        {{742, 65}, {140, 140}, {301, -38}}, // a banner taller than the bar: 32 - 70
        {{743, 65}, {101, 21}, {321, 22}},
    };
    for (const auto &c : cases) {
        img->resize(c.banner);
        gif->resize(c.banner);
        bar->resize(c.bar);
        w.FormResize();
        EXPECT_EQ(img->pos(), c.expected);
        EXPECT_EQ(gif->pos(), c.expected);
    }
}

namespace {

// An object whose event handler fails.
class FailingHandler : public QObject
{
public:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User)
            throw Error("Cannot open file \"x\". Gone");
        return QObject::event(e);
    }
};

} // namespace

TEST(MainWindow, ErrorFromAHandlerIsReportedAndTheProgramGoesOn)
{
    ErrorRecorder recorder;
    const QStringList &reported = recorder.errors;

    WindowHarness h;
    h.open();
    FailingHandler failing;
    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(reported, QStringList({"Cannot open file \"x\". Gone"}));

    // The window still works afterwards.
    QTest::keyClicks(h.child<QPlainTextEdit>("memEmail"), "still here");
    EXPECT_EQ(h.child<QLineEdit>("edtWords1")->text(), "2");
}

TEST(MainWindow, RequestsGoThroughTheGivenClientAndClosingDisconnectsIt)
{
    FakeHttp http;
    http.getBody = "[APPLICATION]\r\nVersion=2.1\r\n";
    WindowHarness h;
    h.http = &http;
    h.messages.answers = {MessageAnswer::Cancel};
    TfrmMain &w = h.open();
    h.child<QTimer>("Timer1")->stop();

    w.updatePart().CheckForUpdates(true);
    EXPECT_EQ(http.gets,
              std::vector<std::string>{h.updateBaseUrl.toStdString() + "mainappupdate.inf"});
    EXPECT_EQ(h.messages.texts(), QStringList{QString::fromStdString(updateOfferMessage("2.1"))});
    EXPECT_TRUE(http.posts.empty()); // a brand without news asks no news service
    EXPECT_EQ(http.disconnects, 0);

    w.close();
    EXPECT_EQ(http.disconnects, 2);
    w.updatePart().CheckForUpdates(false); // nothing starts once the window is closing
    EXPECT_EQ(http.gets.size(), 1u);
}
