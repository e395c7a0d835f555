// The news button and the News window: the list, the body of the selected row, the marker.
#include "support/news_service.h"
#include "news/frm_news.h"
#include "ui/balloon_hint.h"
#include "ui/error_handler.h"
#include "ui/html_view.h"

#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <sys/inotify.h>
#include <unistd.h>

using namespace lintrel;
using namespace lintrel::testing;

namespace {

const QString kNoNews = QStringLiteral("There's no news for this application!");
const QString kTroubleWithNews =
    QStringLiteral("There is a trouble with this news. Contact your provider.");

// A Gold brand with a stored marker, three items listed and a body for each.
struct NewsFixture
{
    ScriptedNewsService service;
    WindowHarness h;

    explicit NewsFixture(const std::string &level = "Gold", const std::string &marker = "5",
                         const std::function<void(WindowHarness &)> &beforeOpen = {})
    {
        service.setList("7^Seventh item^2024-07-01" + kSep + "3^Third item^2024-03-01^extra" +
                        kSep + "OK" + kSep + "1^First item");
        service.setBody("7", "<p>$3Cb$3ESeven$3C/b$3E <a href=\"mailto:ed@news.example\">mail</a> "
                             "<a href=\"http://news.example/7\">web</a></p>" +
                                 kSep + "OK");
        service.setBody("3", "<p>Three</p>" + kSep + "OK");
        service.setBody("1", "OK" + kSep + "<p>One</p>"); // the marker may lead the body
        writeKit(h, newsBrand(level, service) + tagged("LastNewsId", marker));
        if (beforeOpen)
            beforeOpen(h);
        h.open();
        h.child<QTimer>("Timer1")->stop(); // the start-up check is tested on its own
    }

    // Clicks btnNews and runs drive while the News window is open.
    bool withNewsWindow(const std::function<void(TfrmNews &)> &drive)
    {
        auto *button = h.child<QPushButton>("btnNews");
        return whileModalOpen<TfrmNews>([button] { button->click(); }, drive);
    }

    std::vector<ScriptedNewsService::Request> bodyRequests()
    {
        std::vector<ScriptedNewsService::Request> out;
        for (auto &r : service.requests())
            if (r.path.ends_with("getnewsdetails.php"))
                out.push_back(r);
        return out;
    }
};

QTreeWidget *list(TfrmNews &w)
{
    return w.findChild<QTreeWidget *>(QStringLiteral("lvwItems"));
}

HtmlView *view(TfrmNews &w)
{
    return w.findChild<HtmlView *>(QStringLiteral("prfEditorNews"));
}

void clickRow(TfrmNews &w, int row)
{
    QTreeWidget *lvw = list(w);
    const QRect rect = lvw->visualItemRect(lvw->topLevelItem(row));
    QTest::mouseClick(lvw->viewport(), Qt::LeftButton, {}, rect.center());
}

// What inotify reports about the names in one folder: creations, renames, opens, deletions.
class FolderWatch
{
public:
    explicit FolderWatch(const QString &folder) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        EXPECT_GE(fd_, 0);
        EXPECT_GE(
            ::inotify_add_watch(fd_, folder.toLocal8Bit().constData(),
                                IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM | IN_OPEN | IN_DELETE),
            0);
    }
    ~FolderWatch() { ::close(fd_); }
    FolderWatch(const FolderWatch &) = delete;
    FolderWatch &operator=(const FolderWatch &) = delete;

    struct Event
    {
        std::uint32_t mask;
        std::string name;
    };

    // The events reported since the last call.
    std::vector<Event> take()
    {
        std::vector<Event> out;
        alignas(inotify_event) char buffer[64 * 1024];
        ssize_t n;
        while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < n;) {
                const auto *e = reinterpret_cast<const inotify_event *>(buffer + at);
                out.push_back({e->mask, e->len ? std::string(e->name) : std::string()});
                at += ssize_t(sizeof(inotify_event) + e->len);
            }
        }
        return out;
    }

private:
    int fd_;
};

int selectedRow(TfrmNews &w)
{
    const auto selected = list(w)->selectedItems();
    return selected.size() == 1 ? list(w)->indexOfTopLevelItem(selected[0]) : -1;
}

} // namespace

TEST(NewsButton, ReportsThatThereIsNoNewsWithoutOpeningTheWindow)
{
    struct Row
    {
        const char *name;
        std::string level;
        std::string listAnswer;
        QStringList messages;
        size_t requests;
    };
    const Row rows[] = {
        {"OK without records", "Gold", "OK", {kNoNews}, 1},
        {"records that are all empty", "Gold", kSep + "OK" + kSep, {kNoNews}, 1},
        {"the Free level asks nothing", "Free", "1^Never^2024", {kNoNews}, 0},
        {"an error answer warns first",
         "Gold",
         "INVALIDUSER",
         {QStringLiteral("There is a trouble with the Publisher Id. Contact your provider."),
          kNoNews},
         1},
        {"INVALIDNEWS for a list warns nothing", "Gold", "INVALIDNEWS", {kNoNews}, 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        NewsFixture f(row.level);
        f.service.setList(row.listAnswer);
        EXPECT_FALSE(f.withNewsWindow([](TfrmNews &) {}));
        EXPECT_EQ(f.h.messages.texts(), row.messages);
        ASSERT_FALSE(f.h.messages.shown.empty());
        EXPECT_EQ(f.h.messages.shown.back().kind, MessageKind::Information);
        EXPECT_EQ(f.h.messages.shown.back().buttons, MessageButtons::Ok);
        EXPECT_EQ(f.service.requests().size(), row.requests);
    }
}

TEST(NewsWindow, ListsTheItemsInTheServicesOrder)
{
    NewsFixture f;
    const bool opened = f.withNewsWindow([&](TfrmNews &w) {
        EXPECT_EQ(w.objectName(), "frmNews");
        EXPECT_EQ(w.windowTitle(), "News");
        EXPECT_EQ(w.size(), QSize(682, 411));
        EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
        EXPECT_TRUE(w.windowFlags() & Qt::WindowMaximizeButtonHint);

        QTreeWidget *lvw = list(w);
        ASSERT_NE(lvw, nullptr);
        EXPECT_EQ(lvw->columnCount(), 2);
        EXPECT_EQ(lvw->headerItem()->text(0), "News Title");
        EXPECT_EQ(lvw->headerItem()->text(1), "Published");
        EXPECT_EQ(lvw->header()->sectionSize(1), 160);
        EXPECT_EQ(lvw->header()->sectionSize(0), lvw->viewport()->width() - 160);
        ASSERT_EQ(lvw->topLevelItemCount(), 3);
        const QStringList titles = {"Seventh item", "Third item", "First item"};
        const QStringList dates = {"2024-07-01", "2024-03-01", ""};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(lvw->topLevelItem(i)->text(0), titles[i]);
            EXPECT_EQ(lvw->topLevelItem(i)->text(1), dates[i]);
        }
        EXPECT_TRUE(lvw->selectedItems().isEmpty());
        EXPECT_TRUE(view(w)->toPlainText().isEmpty());
        EXPECT_EQ(lvw->parentWidget()->height(), 105);
        EXPECT_EQ(w.findChild<QSplitter *>()->handleWidth(), 10);

        auto *close = w.findChild<QPushButton *>(QStringLiteral("btnExit"));
        ASSERT_NE(close, nullptr);
        EXPECT_EQ(close->text(), "Close");
        EXPECT_EQ(close->size(), QSize(97, 20));
        EXPECT_EQ(close->parentWidget()->height(), 41);
        EXPECT_NEAR(close->x() + close->width() / 2, w.width() / 2, 1);
    });
    EXPECT_TRUE(opened);
    EXPECT_TRUE(f.bodyRequests().empty()); // nothing selected, nothing fetched
    EXPECT_EQ(f.h.window->newsList().size(), 3u);
    EXPECT_TRUE(f.h.messages.shown.empty());
}

TEST(NewsWindow, TheCloseButtonEndsTheWindowWithOk)
{
    NewsFixture f;
    int result = -1;
    EXPECT_TRUE(f.withNewsWindow([&](TfrmNews &w) {
        QObject::connect(&w, &QDialog::finished, [&](int r) { result = r; });
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("btnExit")), Qt::LeftButton);
    }));
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST(NewsWindow, SelectingARowShowsItsBodyAndStoresItsId)
{
    NewsFixture f("Gold", "5");
    EXPECT_TRUE(f.withNewsWindow([&](TfrmNews &w) {
        clickRow(w, 0);
        EXPECT_EQ(view(w)->toPlainText(), "Seven mail web");
        EXPECT_EQ(storedMarker(f.h), "7");
        if (qEnvironmentVariableIsSet("LINTREL_SHOTS"))
            w.grab().save(qEnvironmentVariable("LINTREL_SHOTS") + QStringLiteral("/news.png"));

        // An older item lowers the marker again.
        QTest::keyClick(list(w), Qt::Key_Down);
        EXPECT_EQ(selectedRow(w), 1);
        EXPECT_EQ(view(w)->toPlainText(), "Three");
        EXPECT_EQ(storedMarker(f.h), "3");

        clickRow(w, 2);
        EXPECT_EQ(view(w)->toPlainText(), "One");
        EXPECT_EQ(storedMarker(f.h), "1");
    }));
    const auto requests = f.bodyRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].path, "/gold/getnewsdetails.php");
    EXPECT_EQ(requests[0].fields.at("newsid"), "7");
    EXPECT_EQ(requests[0].fields.at("memusername"), "33");
    EXPECT_EQ(requests[0].fields.at("prodtype"), "BG");
    EXPECT_EQ(requests[1].fields.at("newsid"), "3");
    EXPECT_EQ(requests[2].fields.at("newsid"), "1");
    EXPECT_TRUE(f.h.messages.shown.empty());
}

TEST(NewsWindow, AFailedBodyRequestKeepsTheDocumentAndTheMarker)
{
    NewsFixture f("Gold", "5");
    f.service.setBody("3", "INVALIDNEWS");
    f.service.setBody("1", "nothing useful");
    EXPECT_TRUE(f.withNewsWindow([&](TfrmNews &w) {
        clickRow(w, 0);
        ASSERT_EQ(storedMarker(f.h), "7");
        for (int row : {1, 2}) {
            SCOPED_TRACE(row);
            clickRow(w, row);
            EXPECT_EQ(view(w)->toPlainText(), "Seven mail web");
            EXPECT_EQ(storedMarker(f.h), "7");
            EXPECT_FALSE(w.busy());
            EXPECT_EQ(list(w)->cursor().shape(), Qt::ArrowCursor);
        }
    }));
    // Only INVALIDNEWS has a message; an unknown answer fails silently.
    EXPECT_EQ(f.h.messages.texts(), QStringList{kTroubleWithNews});
    EXPECT_EQ(f.h.messages.shown[0].kind, MessageKind::Warning);
}

TEST(NewsWindow, TheListRefusesChangesWhileABodyIsOnItsWay)
{
    NewsFixture f("Gold", "5");
    f.service.hold("3");
    struct Seen
    {
        bool busy = false;
        QList<Qt::CursorShape> cursors;
        int rowAfterClick = -1, rowAfterKey = -1, rowAfterCode = -1;
    } seen;

    EXPECT_TRUE(f.withNewsWindow([&](TfrmNews &w) {
        // Runs while the held request waits: every way of changing the row is tried.
        QTimer::singleShot(0, [&] {
            EXPECT_TRUE(waitUntil([&] { return f.bodyRequests().size() == 1; }));
            seen.busy = w.busy();
            seen.cursors = {list(w)->cursor().shape(), view(w)->viewport()->cursor().shape(),
                            w.cursor().shape()};
            clickRow(w, 0);
            seen.rowAfterClick = selectedRow(w);
            QTest::keyClick(list(w), Qt::Key_Down);
            seen.rowAfterKey = selectedRow(w);
            list(w)->setCurrentItem(list(w)->topLevelItem(2));
            seen.rowAfterCode = selectedRow(w);
            f.service.release();
        });
        clickRow(w, 1);

        EXPECT_TRUE(seen.busy);
        EXPECT_EQ(seen.cursors, QList<Qt::CursorShape>(3, Qt::WaitCursor));
        EXPECT_EQ(seen.rowAfterClick, 1);
        EXPECT_EQ(seen.rowAfterKey, 1);
        EXPECT_EQ(seen.rowAfterCode, 1);
        // The stored id and the body are those of the row that was asked for.
        EXPECT_EQ(selectedRow(w), 1);
        EXPECT_EQ(view(w)->toPlainText(), "Three");
        EXPECT_EQ(storedMarker(f.h), "3");
        EXPECT_FALSE(w.busy());
        EXPECT_EQ(list(w)->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);

        // Once the answer is in, the selection moves again.
        clickRow(w, 0);
        EXPECT_EQ(selectedRow(w), 0);
        EXPECT_EQ(storedMarker(f.h), "7");
    }));
    EXPECT_EQ(f.bodyRequests().size(), 2u);
}

TEST(NewsWindow, AMarkerThatCannotBeStoredIsReportedAndTheWindowGoesOn)
{
    ErrorRecorder recorder;
    const QStringList &reported = recorder.errors;
    NewsFixture f("Gold", "5");
    EXPECT_TRUE(f.withNewsWindow([&](TfrmNews &w) {
        // A folder in place of the settings file: it cannot be opened.
        QDir dir(f.h.dir.path());
        ASSERT_TRUE(dir.rename(QStringLiteral("dbsettings.dat"), QStringLiteral("aside")));
        ASSERT_TRUE(dir.mkdir(QStringLiteral("dbsettings.dat")));
        clickRow(w, 0);
        ASSERT_EQ(reported.size(), 1);
        EXPECT_TRUE(reported[0].contains(QStringLiteral("dbsettings.dat")))
            << reported[0].toStdString();
        EXPECT_EQ(view(w)->toPlainText(), "Seven mail web");
        EXPECT_FALSE(w.busy());
        EXPECT_EQ(list(w)->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(view(w)->viewport()->cursor().shape(), Qt::ArrowCursor);

        ASSERT_TRUE(dir.rmdir(QStringLiteral("dbsettings.dat")));
        ASSERT_TRUE(dir.rename(QStringLiteral("aside"), QStringLiteral("dbsettings.dat")));
        clickRow(w, 1);
        EXPECT_EQ(storedMarker(f.h), "3");
    }));
}

TEST(NewsWindow, LinksInTheBodyOpenOutsideTheWindow)
{
    NewsFixture f;
    const QByteArray oldBrowser = qgetenv("BROWSER");
    qputenv("BROWSER", "/bin/true");
    EXPECT_TRUE(f.withNewsWindow([&](TfrmNews &w) {
        clickRow(w, 0);
        emit view(w)->anchorClicked(QUrl(QStringLiteral("mailto:ed@news.example")));
        emit view(w)->anchorClicked(QUrl(QStringLiteral("http://news.example/7")));
        emit view(w)->anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
    }));
    qputenv("BROWSER", oldBrowser);
    EXPECT_EQ(f.h.launcher.openedUrls, QStringList{"mailto:ed@news.example"});
    ASSERT_EQ(f.h.launcher.started.size(), 1u);
    EXPECT_EQ(f.h.launcher.started[0].first, "/bin/true");
    EXPECT_TRUE(f.h.launcher.started[0].second.contains("http://news.example/7"));
}

TEST(NewsWindow, NoPlainCopyOfTheSettingsAtStartUpOrForTheMarker)
{
    std::unique_ptr<FolderWatch> watch;
    NewsFixture f("Gold", "5",
                  [&](WindowHarness &h) { watch = std::make_unique<FolderWatch>(h.dir.path()); });
    // The start-up check reads the marker: 7 is newer than 5, so the notice shows. The update
    // check that follows replaces or removes the placeholder once it has finished.
    f.service.setLast("7^Seventh item" + kSep + "OK");
    const QString updateCopy = f.h.path(QStringLiteral("mainappupdate.inf"));
    f.h.writeFile(QStringLiteral("mainappupdate.inf"), "placeholder");
    f.h.child<QTimer>("Timer1")->start(0);
    EXPECT_TRUE(waitUntil([&] {
        QFile copy(updateCopy);
        return !copy.open(QIODevice::ReadOnly) || copy.readAll() != "placeholder";
    }));
    EXPECT_NE(BalloonHint::current(), nullptr);
    // Opening a row writes the marker.
    EXPECT_TRUE(f.withNewsWindow([&](TfrmNews &w) { clickRow(w, 0); }));

    const std::vector<FolderWatch::Event> events = watch->take();
    int opens = 0, replaced = 0;
    for (const FolderWatch::Event &e : events) {
        EXPECT_FALSE(e.mask & IN_Q_OVERFLOW);
        EXPECT_NE(e.name, "dbsettings.sim") << std::hex << e.mask;
        opens += e.name == "dbsettings.dat" && (e.mask & IN_OPEN);
        replaced += e.name == "dbsettings.dat" && (e.mask & IN_MOVED_TO);
    }
    // The watch saw the load, the marker read and the marker write.
    EXPECT_GE(opens, 3);
    EXPECT_EQ(replaced, 1);
    EXPECT_EQ(storedMarker(f.h), "7");
}
