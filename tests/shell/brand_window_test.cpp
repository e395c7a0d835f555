// The main window against brand kits in temporary folders: caption, buttons, welcome page,
// banner, links, skin, icon, About window and browser launching.
#include "brand/brand_random.h"
#include "brand/brand_skin.h"
#include "brand/settings_file.h"
#include "support/window_harness.h"
#include "ui/error_handler.h"
#include "ui/widgets.h"
#include "util/errors.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <deque>

using namespace lintrel;
using namespace lintrel::testing;

namespace {

// Draws scripted numbers (0 once the script runs out), counting the reseeds.
class ScriptedRandom : public RandomSource
{
public:
    void reseed() override { ++reseeds; }
    uint32_t below(uint32_t n) override
    {
        const uint32_t v = script.empty() ? 0 : script.front();
        if (!script.empty())
            script.pop_front();
        return v % n;
    }
    std::deque<uint32_t> script;
    int reseeds = 0;
};

std::string tag(const std::string &name, const std::string &value)
{
    return "<%%" + name + "%%>" + value + "<%%/" + name + "%%>\r\n";
}

std::string sampleDocument()
{
    return tag("ApplicationName", "Sample Product") + tag("BranderCode", "SAMPLE") +
           tag("BranderType", "Gold") +
           tag("AffiliateURL", "http://aff.example/?id=%%AFFILIATEID%%") +
           tag("AffiliateID", "A7") + tag("GoldNewsBaseURL", "http://127.0.0.1:9/news/") +
           tag("GoldPublID", "33") + tag("MakeMoneyButton", "Earn") +
           tag("AppHelpURL", "http://help.example/a b?x=1&y=$(id)") +
           tag("CopyrightYears", "2003-2005") + tag("CopyrightCompany", "Sample Ltd.") +
           tag("AboutText", "Line one\r\nline two") +
           tag("Welcome1", "<h1>Welcome</h1><a href=\"http://w.example/\">site</a>"
                           "<a href=\"file:///etc/passwd\">file</a>") +
           tag("Banner1", "C:\\art\\Spring.GIF^") +
           tag("Banner2", "summer.png^http://banner.example/") +
           tag("Link1", "First^http://one.example/") + tag("Link2", "Second^http://two.example/");
}

class BrandWindow : public ::testing::Test
{
protected:
    void TearDown() override { qApp->setStyleSheet(QString()); }

    void writeContainer(const std::string &document, std::string_view password = SettingsPassword)
    {
        const auto bytes = encryptSettings(document, password);
        h.writeFile("dbsettings.dat", QByteArray(reinterpret_cast<const char *>(bytes.data()),
                                                 qsizetype(bytes.size())));
    }
    void writePng(const QString &name, QSize size)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        ASSERT_TRUE(image.save(h.path(name), "PNG"));
    }
    void writeGif(const QString &name)
    {
        QFile gif(QString::fromLocal8Bit(qgetenv("LINTREL_FIXTURES")) + "/brand/anim.gif");
        ASSERT_TRUE(gif.open(QIODevice::ReadOnly));
        h.writeFile(name, gif.readAll());
    }
    TfrmMain &open(bool show = true)
    {
        h.window.reset();
        MainWindowEnv env;
        env.exeDir = h.dir.path() + QLatin1Char('/');
        env.messages = &h.messages;
        env.dialogs = &h.dialogs;
        env.clipboard = &h.clipboard;
        env.launcher = &h.launcher;
        env.random = &random;
        env.updateBaseUrl = h.updateBaseUrl;
        h.window = std::make_unique<TfrmMain>(env);
        if (show) {
            h.window->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(h.window.get()));
        }
        return *h.window;
    }
    QStringList folder() const { return QDir(h.dir.path()).entryList(QDir::Files, QDir::Name); }

    WindowHarness h;
    ScriptedRandom random;
    ErrorRecorder recorder;
    QStringList &errors = recorder.errors;
};

} // namespace

TEST_F(BrandWindow, AppliesTheBrandAndOpensOnTheWelcomePage)
{
    writeContainer(sampleDocument());
    writePng("banner2.dat", {120, 40});
    random.script = {0, 1, 1}; // welcome 1, banner 2, link 2 then link 1
    TfrmMain &w = open(false);
    EXPECT_EQ(random.reseeds, 4);
    EXPECT_FALSE(h.child<QTimer>("Timer1")->isActive());

    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.windowTitle(), "Sample Product v2.0");
    EXPECT_FALSE(h.child<QPushButton>("btnNews")->isHidden());
    EXPECT_EQ(h.child<QPushButton>("btnMakeMoney")->text(), "Earn");
    auto *pages = h.child<QTabWidget>("pgcPrinc");
    EXPECT_EQ(pages->currentWidget()->objectName(), "stsWelcome");
    EXPECT_FALSE(pages->tabBar()->isVisible());
    EXPECT_TRUE(h.child<QTextBrowser>("prfWelcome")->toPlainText().startsWith("Welcome"));

    // Links inside the welcome page: web addresses go to the browser, others nowhere.
    qputenv("BROWSER", "/bin/true");
    emit h.child<QTextBrowser>("prfWelcome")->anchorClicked(QUrl("file:///etc/passwd"));
    EXPECT_TRUE(h.launcher.started.empty());
    emit h.child<QTextBrowser>("prfWelcome")->anchorClicked(QUrl("http://w.example/"));
    ASSERT_EQ(h.launcher.started.size(), 1u);
    EXPECT_EQ(h.launcher.started[0].second, QStringList({"http://w.example/"}));

    // The welcome button leads to the main page and arms the timer.
    QTest::mouseClick(h.child<QPushButton>("bsSkinButton1"), Qt::LeftButton);
    EXPECT_EQ(pages->currentWidget()->objectName(), "stsMain");
    EXPECT_TRUE(h.child<QTimer>("Timer1")->isActive());

    // Banner 2 is a still picture with an address; the bar is 10 pixels taller than it.
    auto *bar = h.child<QWidget>("panBanner");
    auto *img = h.child<QLabel>("imgBanner");
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->height(), 50);
    EXPECT_TRUE(img->isVisible());
    EXPECT_FALSE(h.child<QLabel>("gifBanner")->isVisible());
    EXPECT_EQ(img->size(), QSize(120, 40));
    EXPECT_EQ(img->pos(), QPoint(bar->width() / 2 - 60, 25 - 20));
    EXPECT_EQ(img->cursor().shape(), Qt::PointingHandCursor);

    EXPECT_TRUE(h.child<QWidget>("panLinks")->isVisible());
    EXPECT_EQ(h.child<LinkLabel>("lblLink1URL")->caption(), "Second");
    EXPECT_EQ(h.child<LinkLabel>("lblLink2URL")->url(), "http://one.example/");
    EXPECT_EQ(folder(), QStringList({"banner2.dat", "dbsettings.dat"}));
    qunsetenv("BROWSER");
}

TEST_F(BrandWindow, AnimatedBannerWithoutAddressIsReadInPlace)
{
    writeContainer(sampleDocument());
    writeGif("banner1.dat");
    random.script = {0, 0, 0};
    open();
    EXPECT_FALSE(h.child<QLabel>("gifBanner")->isHidden());
    EXPECT_TRUE(h.child<QLabel>("imgBanner")->isHidden());
    EXPECT_EQ(h.child<QLabel>("gifBanner")->size(), QSize(30, 12));
    EXPECT_EQ(h.child<QWidget>("panBanner")->height(), 22);
    EXPECT_NE(h.child<QLabel>("gifBanner")->cursor().shape(), Qt::PointingHandCursor);
    // Nothing was renamed: no Spring.GIF beside the program.
    EXPECT_EQ(folder(), QStringList({"banner1.dat", "dbsettings.dat"}));

    // A click on a banner without an address does nothing.
    QTest::mouseClick(h.child<QLabel>("gifBanner"), Qt::LeftButton);
    EXPECT_TRUE(h.launcher.started.empty());
}

TEST_F(BrandWindow, MissingOrUndecodableBannerHidesTheBar)
{
    writeContainer(sampleDocument());
    random.script = {0, 1, 0};
    open();
    EXPECT_TRUE(h.child<QWidget>("panBanner")->isHidden());

    h.writeFile("banner2.dat", "not a picture");
    random.script = {0, 1, 0};
    open();
    EXPECT_TRUE(h.child<QWidget>("panBanner")->isHidden());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(BrandWindow, SingleLinkLeavesTheSecondEmptyAndNoWelcomeArmsTheTimer)
{
    writeContainer(tag("ApplicationName", "Solo") + tag("BranderType", "Free") +
                   tag("MasterNewsBaseURL", "http://m.example/") + tag("MasterPublID", "1") +
                   tag("Link1", "Only^http://only.example/"));
    TfrmMain &w = open(false);
    EXPECT_TRUE(h.child<QTimer>("Timer1")->isActive());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(h.child<QTabWidget>("pgcPrinc")->currentWidget()->objectName(), "stsMain");
    EXPECT_TRUE(h.child<QPushButton>("btnNews")->isVisible()); // Free with the Master ids
    EXPECT_FALSE(h.child<QWidget>("panBanner")->isVisible());
    EXPECT_TRUE(h.child<QWidget>("panLinks")->isVisible());
    EXPECT_EQ(h.child<LinkLabel>("lblLink1URL")->caption(), "Only");
    EXPECT_TRUE(h.child<LinkLabel>("lblLink2URL")->caption().isEmpty());
    emit h.child<LinkLabel>("lblLink1URL")->linkClicked("http://only.example/");
    EXPECT_EQ(h.launcher.openedUrls, QStringList({"http://only.example/"}));
}

TEST_F(BrandWindow, WrongPasswordGivesAnEmptyBrandButSkinAndIconStillLoad)
{
    writeContainer(sampleDocument(), "another password");
    h.writeFile("mainskin.dat",
                QByteArray::fromStdString(compressSkin("QPushButton { color: red; }")));
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::blue);
    ASSERT_TRUE(icon.save(h.path("main.ico"), "ICO"));
    TfrmMain &w = open();
    EXPECT_EQ(w.windowTitle(), " v2.0");
    EXPECT_FALSE(h.child<QPushButton>("btnNews")->isVisible());
    EXPECT_EQ(h.child<QPushButton>("btnMakeMoney")->text(), "Make Money");
    EXPECT_FALSE(h.child<QWidget>("panBanner")->isVisible());
    EXPECT_FALSE(h.child<QWidget>("panLinks")->isVisible());
    EXPECT_EQ(h.child<QTabWidget>("pgcPrinc")->currentWidget()->objectName(), "stsMain");
    EXPECT_TRUE(qApp->styleSheet().contains("color: red"));
    EXPECT_FALSE(w.windowIcon().isNull());
    EXPECT_EQ(folder(), QStringList({"dbsettings.dat", "main.ico", "mainskin.dat"}));
}

TEST_F(BrandWindow, DamagedContainerIsStillReadAndABadSkinIsIgnored)
{
    auto bytes = encryptSettings(sampleDocument());
    bytes.back() ^= 0x01; // the authentication code
    h.writeFile("dbsettings.dat",
                QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())));
    h.writeFile("mainskin.dat", "not zlib");
    TfrmMain &w = open();
    EXPECT_EQ(w.windowTitle(), "Sample Product v2.0");
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(BrandWindow, AboutWindowShowsTheBrandOrItsDesignTexts)
{
    for (bool branded : {true, false}) {
        if (branded)
            writeContainer(sampleDocument());
        else
            QFile::remove(h.path("dbsettings.dat"));
        // Away from the middle, so that a window centred on it would not be on the screen's.
        open().move(300, 200);
        QStringList seen;
        QRect aboutPlace;
        QTimer::singleShot(0, [&] {
            QWidget *about = QApplication::activeModalWidget();
            ASSERT_NE(about, nullptr);
            aboutPlace = about->geometry();
            seen << about->windowTitle() << about->findChild<QLabel *>("lblProductName")->text()
                 << about->findChild<QLabel *>("lblProductVersion")->text()
                 << about->findChild<QLabel *>("lblCopyright1")->text()
                 << about->findChild<QPlainTextEdit *>("memAbout")->toPlainText();
            QTest::mouseClick(about->findChild<QPushButton *>("editAbout"), Qt::LeftButton);
        });
        QTest::mouseClick(h.child<QPushButton>("btnAbout"), Qt::LeftButton);
        if (branded)
            EXPECT_EQ(
                seen,
                QStringList({"About Sample Product...", "Sample Product", "Product Version: 2.0",
                             "Copyright (c) 2003-2005 Sample Ltd.", "Line one\nline two"}));
        else
            EXPECT_EQ(seen, QStringList(
                                {"About ...", "", "Product Version: 2.0", "Copyright (c)  ", ""}));
        EXPECT_EQ(aboutPlace.size(), QSize(368, 211));
        const QRect screen = h.window->screen()->availableGeometry();
        // Its place is set before the window manager adds a frame: a few pixels of frame off.
        EXPECT_LE((aboutPlace.center() - screen.center()).manhattanLength(), 8)
            << aboutPlace.x() << "," << aboutPlace.y();
    }
}

TEST_F(BrandWindow, ErrorBoxIsTitledWithTheProgramsName)
{
    LintrelApplication *app = ErrorRecorder::app();
    for (bool branded : {true, false}) {
        if (branded)
            writeContainer(sampleDocument());
        else
            QFile::remove(h.path("dbsettings.dat"));
        open();
        // The real box this time, closed as soon as it shows.
        app->setErrorSink([app](const QString &message) { app->showErrorBox(message); });
        QString title, text;
        QTimer::singleShot(0, [&] {
            QWidget *box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->findChild<QLabel *>("qt_msgbox_label")->text();
            box->close();
        });
        runGuarded([] { throw Error("Stream write error"); });
        EXPECT_EQ(title, branded ? "Sample Product" : "Lintrel");
        EXPECT_EQ(text, "Stream write error");
    }
}

TEST_F(BrandWindow, BrowserGetsTheAddressAsOneArgument)
{
    // A stub browser records its arguments, one per line.
    const QString record = h.path("args.txt");
    const QString stub = h.path("browser.sh");
    h.writeFile(
        "browser.sh",
        QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '%1'\n")
            .arg(record)
            .toUtf8());
    QFile::setPermissions(stub,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    writeContainer(sampleDocument());
    qputenv("BROWSER", stub.toLocal8Bit());

    open();
    // The real launcher this time.
    MainWindowEnv env;
    env.exeDir = h.dir.path() + QLatin1Char('/');
    env.messages = &h.messages;
    env.random = &random;
    h.window = std::make_unique<TfrmMain>(env);
    QTest::mouseClick(h.child<QPushButton>("btnHelp"), Qt::LeftButton);
    const QByteArray expected = "http://help.example/a b?x=1&y=$(id)\n";
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo(record).size() >= expected.size(); }, 5000));
    QFile f(record);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), expected);
    qunsetenv("BROWSER");
}
