// The main window: design state, pages, live statistics, banner centring, error handler.
#include "support/window_harness.h"
#include "ui/error_handler.h"
#include "update/update_messages.h"
#include "util/errors.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
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

namespace {

// Whether a field shows its whole text: the text's width in the field's font fits the room that
// QLineEdit leaves for it inside the frame (2 pixels each side, 1 for the cursor).
bool showsWholeText(const QLineEdit *field)
{
    QStyleOptionFrame option;
    option.initFrom(field);
    option.rect = field->rect();
    option.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
    option.state |= QStyle::State_Sunken;
    const QRect contents =
        field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
    const int room = contents.marginsRemoved(field->textMargins()).width() - 2 * 2 - 1;
    return QFontMetrics(field->font()).horizontalAdvance(field->text()) <= room;
}

} // namespace

TEST(MainWindow, NumberFieldsShowTheirLongestNumbersInFullInAnyFont)
{
    // The caption and field of each row in order, with their design offsets in the panel.
    const std::vector<std::pair<const char *, int>> rows[] = {
        {{"Characters:", 16},
         {"edtChars", 74},
         {" Words:", 139},
         {"edtWords1", 182},
         {"Sentences:", 247},
         {"edtSenten1", 305},
         {"Lines:", 367},
         {"edtLines", 401},
         {"Paragraphs:", 466},
         {"edtParag1", 529},
         {"Longest Line:", 607},
         {"edtLong", 678}},
        {{"Maximum Line Length:", 16}, {"edtMaxLine", 128}, {"bsSkinButton5", 185}},
    };
    const struct
    {
        const char *skin;
        bool designPlaces; // small enough for every caption and field to sit where designed
    } fonts[] = {{"", false},
                 {"QWidget { font-size: 19px; }", false},
                 {"QWidget { font-size: 6px; }", true}};
    for (const auto &font : fonts) {
        SCOPED_TRACE(font.skin);
        qApp->setStyleSheet(QString::fromLatin1(font.skin));
        WindowHarness h;
        TfrmMain &w = h.open();
        auto *panel = h.child<QWidget>("panEmail");
        for (const char *name :
             {"edtChars", "edtWords1", "edtSenten1", "edtLines", "edtParag1", "edtLong"})
            h.child<QLineEdit>(name)->setText("12390000");
        h.child<QLineEdit>("edtMaxLine")->setText("-2147483648");
        for (const auto &row : rows) {
            int reached = 0;
            for (const auto &[name, designX] : row) {
                QWidget *widget = panel->findChild<QWidget *>(QLatin1String(name));
                for (auto *label : panel->findChildren<QLabel *>())
                    if (label->text() == QLatin1String(name))
                        widget = label;
                ASSERT_NE(widget, nullptr) << name;
                if (auto *field = qobject_cast<QLineEdit *>(widget)) {
                    EXPECT_TRUE(showsWholeText(field)) << name << " is " << field->width();
                }
                const QRect place(widget->mapTo(panel, QPoint(0, 0)), widget->size());
                EXPECT_GE(place.left(), designX) << name;
                EXPECT_GT(place.left(), reached) << name << " overlaps what is before it";
                if (font.designPlaces) {
                    EXPECT_EQ(place.left(), designX) << name;
                }
                EXPECT_LE(widget->mapTo(&w, QPoint(widget->width(), 0)).x(), w.width())
                    << name << " is outside the window";
                reached = place.right();
            }
        }
    }
    qApp->setStyleSheet(QString());
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
