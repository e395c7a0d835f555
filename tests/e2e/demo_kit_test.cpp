// End to end: the real main window on a kit built like scripts/run.sh builds it, talking to
// lintrel-newsd started as a child process on a free port.
#include "demo_kit_fixture.h"
#include "support/window_harness.h"
#include "news/news_identity.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <cmath>

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

namespace {

// The contrast ratio of two colours as WCAG defines it, from 1 (alike) to 21.
double contrast(QRgb a, QRgb b)
{
    auto luminance = [](QRgb c) {
        auto channel = [](int v) {
            const double s = v / 255.0;
            return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Where the handle is drawn: the positions along a scroll bar's middle line whose colour
// differs from its far end, which shows the groove while the bar is at its start. Also the
// contrast between the handle's middle and the groove.
struct DrawnHandle
{
    int first = -1, last = -1;
    double contrast = 1;
};

DrawnHandle drawnHandle(QScrollBar *bar)
{
    const QImage image = bar->grab().toImage();
    const bool vertical = bar->orientation() == Qt::Vertical;
    const int length = vertical ? image.height() : image.width();
    auto at = [&](int i) {
        return vertical ? image.pixel(image.width() / 2, i) : image.pixel(i, image.height() / 2);
    };
    const QRgb groove = at(length - 1);
    DrawnHandle handle;
    for (int i = 0; i < length; ++i) {
        if (at(i) != groove) {
            if (handle.first < 0)
                handle.first = i;
            handle.last = i;
        }
    }
    if (handle.first >= 0)
        handle.contrast = contrast(at((handle.first + handle.last) / 2), groove);
    return handle;
}

} // namespace

TEST(DemoKit, SkinScrollBarsShowAHandleThatTheMouseMoves)
{
    WindowHarness h;
    ASSERT_TRUE(buildKit(h.dir.path(), QStringLiteral("http://127.0.0.1:1/news/")));
    TfrmMain &w = h.open();
    QTest::mouseClick(h.child<QPushButton>("bsSkinButton1"), Qt::LeftButton); // leave the welcome
    auto &edit = *h.child<QPlainTextEdit>("memEmail");
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QStringLiteral("line %1 ").arg(i).repeated(20);
    edit.setPlainText(lines.join('\n'));
    QApplication::processEvents();
    if (qEnvironmentVariableIsSet("LINTREL_SHOTS"))
        w.grab().save(qEnvironmentVariable("LINTREL_SHOTS") + "/long-text.png");

    for (QScrollBar *bar : {edit.verticalScrollBar(), edit.horizontalScrollBar()}) {
        SCOPED_TRACE(bar->orientation() == Qt::Vertical ? "vertical" : "horizontal");
        const bool vertical = bar->orientation() == Qt::Vertical;
        const int length = vertical ? bar->height() : bar->width();
        if (qEnvironmentVariableIsSet("LINTREL_SHOTS"))
            bar->grab().save(qEnvironmentVariable("LINTREL_SHOTS") +
                             (vertical ? "/vbar.png" : "/hbar.png"));
        const DrawnHandle handle = drawnHandle(bar);
        const int first = handle.first, last = handle.last;
        ASSERT_GE(first, 0) << "no handle drawn";
        EXPECT_GE(last - first, 10);
        EXPECT_LT(last - first, length - 10); // longer text than the view: the handle is shorter
        EXPECT_GE(handle.contrast, 3.0) << "a handle that hardly stands out from its groove";
        EXPECT_EQ(bar->value(), 0);

        // Dragging the handle scrolls the text, and so does a click on the groove.
        auto point = [&](int along) {
            return vertical ? QPoint(bar->width() / 2, along) : QPoint(along, bar->height() / 2);
        };
        const int middle = (first + last) / 2;
        QTest::mousePress(bar, Qt::LeftButton, {}, point(middle));
        QMouseEvent move(QEvent::MouseMove, point(middle + 40),
                         bar->mapToGlobal(point(middle + 40)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(bar, &move);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, point(middle + 40));
        const int dragged = bar->value();
        EXPECT_GT(dragged, 0);
        QTest::mouseClick(bar, Qt::LeftButton, {}, point(length - 3));
        EXPECT_GT(bar->value(), dragged);
    }
    qApp->setStyleSheet(QString());
}
