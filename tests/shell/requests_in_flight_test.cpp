// Requests in flight: the window stays usable, a second check is dropped, closing ends them.
#include "support/window_harness.h"
#include "news/news_client.h"
#include "ui/error_handler.h"

#include "support/loopback_http_server.h"
#include "support/raw_socket_server.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

// Readable failure output for texts and lists of texts.
void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

using namespace lintrel;
using namespace lintrel::testing;
using lintrel::test::LoopbackHttpServer;
using lintrel::test::RawSocketServer;

namespace {

const QString kNoUpdate = "There's no new updates for this application!";

// Serves a descriptor of version 2.0, but holds every answer until release().
class HeldUpdateServer
{
public:
    HeldUpdateServer()
    {
        http_.server().Get("/liveupdate/lintrel/mainappupdate.inf",
                           [this](const httplib::Request &, httplib::Response &res) {
                               std::unique_lock lock(mutex_);
                               ++hits_;
                               released_.wait(lock, [this] { return open_; });
                               res.set_content("[APPLICATION]\r\nVersion=2.0\r\n", "text/plain");
                           });
        http_.start();
    }
    ~HeldUpdateServer()
    {
        release();
        http_.stop();
    }
    void release()
    {
        std::lock_guard guard(mutex_);
        open_ = true;
        released_.notify_all();
    }
    int hits()
    {
        std::lock_guard guard(mutex_);
        return hits_;
    }
    QString base() const { return QString::fromStdString(http_.url("/liveupdate/lintrel/")); }

private:
    LoopbackHttpServer http_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool open_ = false;
    int hits_ = 0;
};

class RequestsInFlight : public ::testing::Test
{
protected:
    // A shown window whose update check asks base.
    static TfrmMain &open(WindowHarness &h, const QString &base)
    {
        h.updateBaseUrl = base;
        h.open();
        h.child<QTimer>("Timer1")->stop(); // only the test starts checks
        return *h.window;
    }

    // Runs step every few milliseconds while the window waits inside start(); step returns
    // true when it is done. Ten seconds after the start, rescue ends a wait that is still on;
    // it has a timer of its own, since Qt does not re-enter a timer whose slot is still busy.
    static void whileWaiting(const std::function<void()> &start, const std::function<bool()> &step,
                             const std::function<void()> &rescue)
    {
        QTimer stepper;
        stepper.setInterval(5);
        QObject::connect(&stepper, &QTimer::timeout, [&] {
            if (step())
                stepper.stop();
        });
        QTimer rescuer;
        rescuer.setSingleShot(true);
        rescuer.setInterval(10000);
        QObject::connect(&rescuer, &QTimer::timeout, [&] {
            stepper.stop();
            rescue();
        });
        stepper.start();
        rescuer.start();
        start();
        stepper.stop();
        rescuer.stop();
    }

    // Closing once more, also when the window is already hidden, disconnects again.
    static void closeAgain(TfrmMain &w)
    {
        QCloseEvent close;
        QCoreApplication::sendEvent(&w, &close);
    }

    ErrorRecorder recorder;
    QStringList &errors = recorder.errors;
};

} // namespace

TEST_F(RequestsInFlight, SecondCheckWhileOneWaitsIsDropped)
{
    struct Row
    {
        const char *name;
        std::function<void(WindowHarness &)> second;
    } rows[] = {
        {"button pressed again",
         [](WindowHarness &h) {
             QTest::mouseClick(h.child<QPushButton>("btnUpdate"), Qt::LeftButton);
         }},
        {"start-up check fires", [](WindowHarness &h) { h.window->updatePart().CheckForUpdates(true); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        HeldUpdateServer server;
        WindowHarness h;
        open(h, server.base());
        bool triggered = false, secondReturned = false;
        whileWaiting([&] { QTest::mouseClick(h.child<QPushButton>("btnUpdate"), Qt::LeftButton); },
                     [&] {
                         // Only once, even should a second check wait and this step run again
                         // inside it.
                         if (triggered || server.hits() < 1)
                             return false;
                         triggered = true;
                         row.second(h);
                         secondReturned = true;
                         server.release();
                         return true;
                     },
                     [&] { server.release(); });
        EXPECT_TRUE(secondReturned);
        QTest::qWait(50); // room for a stray second request to arrive
        EXPECT_EQ(server.hits(), 1);
        // Only the first check reports, once.
        EXPECT_EQ(h.messages.texts(), QStringList({kNoUpdate}));
        EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    }
}

TEST_F(RequestsInFlight, ClosingEndsAWaitingRequestAtOnce)
{
    // The server takes every request and never answers.
    RawSocketServer silent([](const std::string &) { return std::nullopt; });
    NewsIdentity who;
    who.publisherId = "pub";
    who.brandCode = "code";
    who.prodType = "BG";
    who.goldBaseUrl = silent.url("/news/");
    struct Row
    {
        const char *name;
        std::function<bool(WindowHarness &)> request; // true: it reported success
    } rows[] = {
        {"update check",
         [](WindowHarness &h) {
             h.child<QPushButton>("btnUpdate")->click(); // also once the window is hidden
             return false;
         }},
        {"news list",
         [&who](WindowHarness &h) {
             std::vector<std::string> list{"kept"};
             const bool ok = h.window->newsPart().GetNewsList(who, list);
             EXPECT_EQ(list, std::vector<std::string>{"kept"});
             return ok;
         }},
        {"newest item",
         [&who](WindowHarness &h) {
             std::string id = "9", title;
             const bool ok = h.window->newsPart().GetLastNews(who, id, title, false);
             EXPECT_EQ(id, "");
             return ok;
         }},
        {"news body",
         [&who](WindowHarness &h) {
             std::string body = "old";
             const bool ok = h.window->newsPart().GetNewsDetails(who, "7", body);
             EXPECT_EQ(body, "");
             return ok;
         }},
    };
    std::size_t requestsSeen = 0;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        WindowHarness h;
        TfrmMain &w = open(h, QString::fromStdString(silent.url("/liveupdate/lintrel/")));
        QElapsedTimer sinceClose;
        bool ok = true;
        whileWaiting([&] { ok = row.request(h); },
                     [&] {
                         if (silent.requests().size() <= requestsSeen)
                             return false;
                         sinceClose.start();
                         w.close();
                         return true;
                     },
                     [&] { closeAgain(w); });
        ASSERT_TRUE(sinceClose.isValid()) << "the request never reached the server";
        // A disconnect wakes the transfer; it does not wait for the next poll (a second).
        EXPECT_LT(sinceClose.elapsed(), 500);
        EXPECT_FALSE(ok);
        EXPECT_FALSE(w.isVisible());
        QTest::qWait(30); // nothing may still be on its way
        EXPECT_TRUE(h.messages.shown.empty()) << h.messages.texts().join('\n').toStdString();
        // A request made after closing does not start (should it wait, closing again ends it).
        requestsSeen = silent.requests().size();
        bool okAfter = true;
        whileWaiting([&] { okAfter = row.request(h); }, [] { return false; },
                     [&] { closeAgain(w); });
        EXPECT_FALSE(okAfter);
        EXPECT_EQ(silent.requests().size(), requestsSeen);
        EXPECT_TRUE(h.messages.shown.empty());
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(RequestsInFlight, WindowRepaintsAndTakesInputWhileACheckWaits)
{
    HeldUpdateServer server;
    WindowHarness h;
    open(h, server.base());
    auto *mem = h.child<QPlainTextEdit>("memEmail");
    auto *words = h.child<QLineEdit>("edtWords1");

    // Counts the text area's paint events.
    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++paints;
            return false;
        }
    } counter;
    mem->viewport()->installEventFilter(&counter);

    enum class Phase { WaitForRequest, Repaint, Done } phase = Phase::WaitForRequest;
    QString wordsDuring, selectedDuring;
    int paintsAtInput = 0;
    bool repainted = false;
    bool reportedEarly = false;
    whileWaiting([&] { QTest::mouseClick(h.child<QPushButton>("btnUpdate"), Qt::LeftButton); },
                 [&] {
                     if (phase == Phase::WaitForRequest && server.hits() == 1) {
                         QTest::keyClicks(mem, "hello there world");
                         wordsDuring = words->text();
                         QTest::mouseClick(h.child<QPushButton>("btnSelect"), Qt::LeftButton);
                         selectedDuring = mem->textCursor().selectedText();
                         paintsAtInput = counter.paints;
                         reportedEarly = !h.messages.shown.empty();
                         phase = Phase::Repaint;
                     } else if (phase == Phase::Repaint && counter.paints > paintsAtInput) {
                         // The typed text reached the screen through the event loop.
                         repainted = true;
                         phase = Phase::Done;
                         server.release();
                     }
                     return phase == Phase::Done;
                 },
                 [&] { server.release(); });
    EXPECT_EQ(wordsDuring, "3");
    EXPECT_EQ(selectedDuring, "hello there world");
    EXPECT_TRUE(repainted);
    EXPECT_FALSE(reportedEarly);
    // The check finished after the input, and the text is untouched by it.
    EXPECT_EQ(h.messages.texts(), QStringList({kNoUpdate}));
    EXPECT_EQ(mem->toPlainText(), "hello there world");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}
