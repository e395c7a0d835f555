// The start-up news check with its balloon notice, and the balloon on its own.
#include "support/news_service.h"
#include "ui/balloon_hint.h"
#include "ui/error_handler.h"

#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>

using namespace lintrel;
using namespace lintrel::testing;

namespace {

const QString kUpdateCopy = QStringLiteral("mainappupdate.inf");

QByteArray contents(const WindowHarness &h, const QString &name)
{
    QFile f(h.path(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Fires Timer1 now and returns once its handler, update check included, has finished. The
// update check replaces the local descriptor copy or, when the download fails, removes it:
// a placeholder there shows that it ran.
void runStartupCheck(WindowHarness &h)
{
    h.writeFile(kUpdateCopy, "placeholder");
    auto *timer = h.child<QTimer>("Timer1");
    timer->start(0);
    EXPECT_TRUE(waitUntil([&] { return contents(h, kUpdateCopy) != "placeholder"; }));
    EXPECT_FALSE(timer->isActive());
}

// The start-up request is silent, and so is the update check against a closed port.
bool newsWarningShown(const WindowHarness &h)
{
    return !h.messages.shown.empty();
}

} // namespace

TEST(StartupNewsCheck, ShowsTheNoticeOnlyForNewerNews)
{
    struct Row
    {
        const char *name;
        std::string level;
        std::string marker; // "" : no marker stored
        std::string answer;
        QStringList notice; // empty: no notice
    };
    const QString heading = QStringLiteral("You've Got A Message!");
    const Row rows[] = {
        {"newer by number, not by text",
         "Gold",
         "9",
         "10^Spring news" + kSep + "OK",
         {heading, "Spring news"}},
        {"equal", "Gold", "10", "10^Same again" + kSep + "OK", {}},
        {"older", "Gold", "12", "10^Old" + kSep + "OK", {}},
        {"no marker counts as 0",
         "Gold",
         "",
         "1^First ever" + kSep + "OK",
         {heading, "First ever"}},
        {"a marker that is no number counts as 0",
         "Gold",
         "x7",
         "3^Three" + kSep + "OK",
         {heading, "Three"}},
        {"OK alone: no item", "Gold", "", "OK", {}},
        {"error answer, silently", "Gold", "", "INVALIDUSER", {}},
        {"Free level asks nothing", "Free", "", "10^Never asked" + kSep + "OK", {}},
        {"Master level", "Master", "", "2^Master news" + kSep + "OK", {heading, "Master news"}},
        {"Platinum level", "Platinum", "", "OK", {}},
    };
    struct Level
    {
        const char *path, *publisher, *prodType;
    };
    const std::map<std::string, Level> levels = {
        {"Master", {"/master/getlastnews.php", "11", "BM"}},
        {"Platinum", {"/platinum/getlastnews.php", "22", "BP"}},
        {"Gold", {"/gold/getlastnews.php", "33", "BG"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedNewsService service;
        service.setLast(row.answer);
        WindowHarness h;
        std::string document = newsBrand(row.level, service);
        if (!row.marker.empty())
            document += tagged("LastNewsId", row.marker);
        writeKit(h, document);
        TfrmMain &w = h.open();
        runStartupCheck(h);

        BalloonHint *balloon = BalloonHint::current();
        EXPECT_EQ(balloon != nullptr, !row.notice.isEmpty());
        if (balloon) {
            EXPECT_EQ(balloon->lines(), row.notice);
            EXPECT_TRUE(balloon->isVisible());
            EXPECT_EQ(balloon->parentWidget(), &w);
        }
        EXPECT_FALSE(newsWarningShown(h)) << h.messages.texts().join('|').toStdString();
        // The check only reads the marker.
        EXPECT_EQ(storedMarker(h), row.marker);

        const auto requests = service.requests();
        if (row.level == "Free") {
            EXPECT_TRUE(requests.empty());
            continue;
        }
        ASSERT_EQ(requests.size(), 1u);
        const Level &level = levels.at(row.level);
        EXPECT_EQ(requests[0].path, level.path);
        EXPECT_EQ(requests[0].fields.at("conttype"), "lastcode");
        EXPECT_EQ(requests[0].fields.at("memusername"), level.publisher);
        EXPECT_EQ(requests[0].fields.at("prodtype"), level.prodType);
        EXPECT_EQ(requests[0].fields.at("prodcode"), "NEWSCODE");
    }
}

TEST(StartupNewsCheck, NoSettingsFileMeansNoRequestAndStillAnUpdateCheck)
{
    WindowHarness h;
    h.open();
    runStartupCheck(h);
    EXPECT_EQ(BalloonHint::current(), nullptr);
    EXPECT_FALSE(newsWarningShown(h));
}

TEST(StartupNewsCheck, AFailingSettingsFileIsReportedAndTheUpdateCheckStillRuns)
{
    ErrorRecorder recorder;
    const QStringList &reported = recorder.errors;

    ScriptedNewsService service;
    service.setLast("10^News" + kSep + "OK");
    WindowHarness h;
    writeKit(h, newsBrand("Gold", service));
    h.open();
    // The settings file cannot be opened once a folder stands in its place.
    ASSERT_TRUE(QFile::remove(h.path(QStringLiteral("dbsettings.dat"))));
    ASSERT_TRUE(QDir(h.dir.path()).mkdir(QStringLiteral("dbsettings.dat")));
    runStartupCheck(h);
    ASSERT_EQ(reported.size(), 1);
    EXPECT_TRUE(reported[0].contains(QStringLiteral("dbsettings.dat")))
        << reported[0].toStdString();
    EXPECT_EQ(BalloonHint::current(), nullptr);
}

TEST(BalloonNotice, PointsAtTheNewsButtonFromBelowLeft)
{
    ScriptedNewsService service;
    service.setLast("10^A rather long title for the news of the week" + kSep + "OK");
    WindowHarness h;
    writeKit(h, newsBrand("Gold", service));
    h.open();
    runStartupCheck(h);
    BalloonHint *balloon = BalloonHint::current();
    ASSERT_NE(balloon, nullptr);

    auto *button = h.child<QPushButton>("btnNews");
    const QRect g = button->geometry();
    const QPoint centre = button->parentWidget()->mapToGlobal(
        QPoint(g.left() + g.width() / 2, g.top() + g.height() / 2));
    EXPECT_EQ(balloon->tipPoint(), centre);
    const QRect frame = balloon->geometry();
    EXPECT_EQ(frame.top(), centre.y());
    EXPECT_LT(frame.left(), centre.x() - 100); // the body reaches out to the left
    EXPECT_GT(frame.right(), centre.x());      // the tail sits in its top-right area
    EXPECT_GT(frame.height(), 40);             // two lines below the tail
}

TEST(BalloonNotice, PaintsABubbleWithAShadowOnATransparentGround)
{
    QWidget owner;
    owner.show();
    BalloonHint *balloon = BalloonHint::showAt(QStringLiteral("You've Got A Message!\r\nTitle"),
                                               QPoint(400, 300), &owner);
    const QImage image = balloon->grab().toImage();
    if (qEnvironmentVariableIsSet("LINTREL_SHOTS"))
        image.save(qEnvironmentVariable("LINTREL_SHOTS") + QStringLiteral("/balloon.png"));
    const int w = image.width(), h = image.height();
    const QColor base = balloon->palette().color(QPalette::ToolTipBase);
    // Outside the bubble (left of the tail, above the body) nothing is painted.
    EXPECT_EQ(qAlpha(image.pixel(2, 2)), 0);
    // Inside the body, in the margin left of the text: the tooltip colour.
    EXPECT_EQ(QColor(image.pixel(4, h / 2)).rgb(), base.rgb());
    // Along the bottom edge, below the body, the shadow: dark and partly transparent.
    const QRgb shadow = image.pixel(w / 2, h - 2);
    EXPECT_GT(qAlpha(shadow), 0);
    EXPECT_LT(qAlpha(shadow), 255);
    EXPECT_EQ(qAlpha(image.pixel(2, h - 1)), 0); // the shadow is offset to the right
    delete balloon;
}

TEST(BalloonNotice, WithoutCompositingTheWindowIsShapedAndPaintedOpaque)
{
    QWidget owner;
    owner.show();
    const QString text = QStringLiteral("You've Got A Message!\r\nTitle");
    BalloonHint::setDrawing(BalloonHint::Drawing::Shaped);
    BalloonHint *balloon = BalloonHint::showAt(text, QPoint(400, 300), &owner);
    BalloonHint::setDrawing(BalloonHint::Drawing::Automatic);
    EXPECT_TRUE(balloon->isShaped());
    EXPECT_FALSE(balloon->testAttribute(Qt::WA_TranslucentBackground));

    const QRegion shape = balloon->mask();
    const QImage image = balloon->grab().toImage();
    if (qEnvironmentVariableIsSet("LINTREL_SHOTS"))
        image.save(qEnvironmentVariable("LINTREL_SHOTS") + QStringLiteral("/balloon-shaped.png"));
    const int w = image.width(), h = image.height();
    EXPECT_FALSE(shape.contains(QPoint(2, 2)));     // left of the tail, above the body
    EXPECT_FALSE(shape.contains(QPoint(2, h - 1))); // the shadow is offset to the right
    EXPECT_TRUE(shape.contains(QPoint(4, h / 2)));
    EXPECT_EQ(image.pixel(4, h / 2), balloon->palette().color(QPalette::ToolTipBase).rgb());
    ASSERT_TRUE(shape.contains(QPoint(w / 2, h - 2)));
    EXPECT_EQ(image.pixel(w / 2, h - 2), balloon->palette().color(QPalette::Dark).rgb());
    // Every pixel the window keeps is painted, none shows the window's own ground.
    const QRgb ground = balloon->palette().color(QPalette::Window).rgb();
    int kept = 0, bare = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!shape.contains(QPoint(x, y)))
                continue;
            ++kept;
            bare += image.pixel(x, y) == ground;
        }
    }
    EXPECT_GT(kept, w * h / 2);
    EXPECT_EQ(bare, 0);
    delete balloon;

    // With compositing, as on this platform, and when asked for: translucent and unshaped.
    for (auto drawing : {BalloonHint::Drawing::Automatic, BalloonHint::Drawing::Translucent}) {
        BalloonHint::setDrawing(drawing);
        balloon = BalloonHint::showAt(text, QPoint(400, 300), &owner);
        EXPECT_FALSE(balloon->isShaped());
        EXPECT_TRUE(balloon->testAttribute(Qt::WA_TranslucentBackground));
        EXPECT_TRUE(balloon->mask().isEmpty());
        delete balloon;
    }
    BalloonHint::setDrawing(BalloonHint::Drawing::Automatic);
}

TEST(BalloonNotice, AnEndlessTitleWrapsAndIsCutShort)
{
    QWidget owner;
    const QString title(5000, QLatin1Char('W'));
    BalloonHint *balloon = BalloonHint::showAt(QStringLiteral("You've Got A Message!\r\n") + title,
                                               QPoint(600, 100), &owner);
    EXPECT_LT(balloon->width(), 400);
    EXPECT_LT(balloon->height(), 600);
    EXPECT_GT(balloon->height(), 80); // wrapped onto several lines
    EXPECT_LT(balloon->lines().join(QString()).size(), 1000);
    EXPECT_EQ(balloon->tipPoint(), QPoint(600, 100));
    delete balloon;
}

TEST(BalloonNotice, GoesAwayWhenClickedTimedOutReplacedOrItsWindowMovesOrHides)
{
    struct Row
    {
        const char *name;
        std::function<void(QWidget &owner, BalloonHint &balloon)> act;
    };
    const Row rows[] = {
        {"clicked",
         [](QWidget &, BalloonHint &b) {
             QTest::mouseClick(&b, Qt::LeftButton, {}, {20, 30});
         }},
        {"owner moved",
         [](QWidget &owner, BalloonHint &) { owner.move(owner.pos() + QPoint(7, 3)); }},
        {"owner hidden", [](QWidget &owner, BalloonHint &) { owner.hide(); }},
        {"replaced by a new one",
         [](QWidget &owner, BalloonHint &) {
             BalloonHint::showAt(QStringLiteral("second"), QPoint(200, 200), &owner);
         }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QWidget owner;
        owner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
        QPointer<BalloonHint> balloon =
            BalloonHint::showAt(QStringLiteral("first"), QPoint(300, 300), &owner);
        QTest::qWait(1);
        ASSERT_TRUE(balloon && balloon->isVisible());
        row.act(owner, *balloon);
        EXPECT_TRUE(waitUntil([&] { return balloon.isNull(); }));
        // At most one balloon at a time: a replacement is the only one left.
        const auto left = owner.findChildren<BalloonHint *>();
        EXPECT_LE(left.size(), 1);
        if (!left.isEmpty()) {
            EXPECT_EQ(left[0], BalloonHint::current());
        }
    }

    QWidget owner;
    QPointer<BalloonHint> balloon =
        BalloonHint::showAt(QStringLiteral("brief"), QPoint(10, 10), &owner, 30);
    EXPECT_TRUE(waitUntil([&] { return balloon.isNull(); }));
    EXPECT_EQ(BalloonHint::current(), nullptr);
}
