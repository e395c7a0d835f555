// The live-update check from the window: the decision, every box and the updater hand-off.
#include "support/window_harness.h"
#include "ui/error_handler.h"

#include "support/loopback_http_server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <mutex>

// Readable failure output for texts and lists of texts.
void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

using namespace lintrel;
using namespace lintrel::testing;
using lintrel::test::LoopbackHttpServer;

namespace {

const QString kNoUpdate = "There's no new updates for this application!";
const QString kMissing =
    "The updater module is missing. Please reinstall again the current version!";
const QString kConfirm = "To update your software the application will close to\n\r"
                         "replace some files. Do you want to update now?";
const QString kStartFailed = "The updater could not be started. The application keeps running.";

QString offer(const QString &version)
{
    return "There is a new update: (version " + version +
           ") available for your application!. Do you want download this update now?";
}

QByteArray descriptor(const char *version)
{
    return QByteArray("[APPLICATION]\r\nName=Lintrel\r\nVersion=") + version + "\r\n";
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Serves mainappupdate.inf under /liveupdate/lintrel/ and counts the requests for it.
class UpdateServer
{
public:
    UpdateServer()
    {
        http_.server().Get("/liveupdate/lintrel/mainappupdate.inf",
                           [this](const httplib::Request &, httplib::Response &res) {
                               std::lock_guard guard(mutex_);
                               ++hits_;
                               res.status = status_;
                               res.set_content(body_.toStdString(), "text/plain");
                           });
        http_.start();
    }
    void serve(const QByteArray &body, int status = 200)
    {
        std::lock_guard guard(mutex_);
        body_ = body;
        status_ = status;
    }
    int hits() const { return hits_; }
    QString base() const { return QString::fromStdString(http_.url("/liveupdate/lintrel/")); }

private:
    LoopbackHttpServer http_;
    std::mutex mutex_;
    QByteArray body_;
    int status_ = 200;
    std::atomic<int> hits_{0};
};

class UpdateCheckWindow : public ::testing::Test
{
protected:
    // A shown window of h that asks the test server; launcher null: h's fake launcher.
    TfrmMain &open(WindowHarness &h, Launcher *launcher = nullptr)
    {
        h.updateBaseUrl = server.base();
        h.launcherInUse = launcher;
        h.open();
        // The start-up check would ask the same server two seconds later.
        h.child<QTimer>("Timer1")->stop();
        return *h.window;
    }

    static void clickUpdate(WindowHarness &h)
    {
        QTest::mouseClick(h.child<QPushButton>("btnUpdate"), Qt::LeftButton);
    }

    UpdateServer server;
    ErrorRecorder recorder;
    QStringList &errors = recorder.errors;
};

} // namespace

TEST_F(UpdateCheckWindow, DecidesByTheDescriptorVersion)
{
    struct Row
    {
        const char *name;
        QByteArray body;
        int status;
        bool silent;
        QStringList shown;
    } rows[] = {
        {"same version", descriptor("2.0"), 200, false, {kNoUpdate}},
        {"same version, silent", descriptor("2.0"), 200, true, {}},
        {"newer", descriptor("2.1"), 200, false, {offer("2.1")}},
        {"newer, silent still offers", descriptor("2.1"), 200, true, {offer("2.1")}},
        {"shown as written", descriptor("2.50"), 200, false, {offer("2.50")}},
        {"equal in single precision", descriptor("2.0000001"), 200, false, {kNoUpdate}},
        {"just above in single precision",
         descriptor("2.0000002"),
         200,
         false,
         {offer("2.0000002")}},
        {"older", descriptor("1.5"), 200, false, {kNoUpdate}},
        {"not a number", descriptor("soon"), 200, false, {kNoUpdate}},
        {"no Version key", "[APPLICATION]\r\nName=Lintrel\r\n", 200, false, {kNoUpdate}},
        {"names in any case", "[application]\r\nVERSION=3\r\n", 200, false, {offer("3")}},
        {"not found", "gone", 404, false, {kNoUpdate}},
        {"not found, silent", "gone", 404, true, {}},
    };
    WindowHarness h;
    TfrmMain &w = open(h);
    const QString local = h.path("mainappupdate.inf");
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        server.serve(row.body, row.status);
        h.writeFile("mainappupdate.inf", "stale copy");
        h.messages.shown.clear();
        h.messages.answers = {MessageAnswer::Cancel};
        const int hitsBefore = server.hits();
        if (row.silent)
            w.updatePart().CheckForUpdates(true);
        else
            clickUpdate(h);

        EXPECT_EQ(server.hits(), hitsBefore + 1);
        EXPECT_EQ(h.messages.texts(), row.shown);
        for (const ShownMessage &m : h.messages.shown) {
            EXPECT_EQ(m.kind, MessageKind::Information);
            EXPECT_EQ(m.buttons,
                      m.text == kNoUpdate ? MessageButtons::Ok : MessageButtons::OkCancel);
        }
        // The local copy is replaced by the answer, or gone when the download failed.
        if (row.status == 200)
            EXPECT_EQ(readAll(local), row.body);
        else
            EXPECT_FALSE(QFile::exists(local));
    }
    EXPECT_TRUE(h.launcher.started.empty());
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(UpdateCheckWindow, AnswersAtEachBoxDecideTheHandOff)
{
    struct Row
    {
        const char *name;
        std::deque<MessageAnswer> answers;
        bool updaterPresent;
        bool startSucceeds;
        QStringList shown;
        bool started;
        bool stillOpen;
    } rows[] = {
        {"cancel at the offer", {MessageAnswer::Cancel}, true, true, {offer("2.1")}, false, true},
        {"updater missing",
         {MessageAnswer::Ok},
         false,
         true,
         {offer("2.1"), kMissing},
         false,
         true},
        {"cancel at the confirmation",
         {MessageAnswer::Ok, MessageAnswer::Cancel},
         true,
         true,
         {offer("2.1"), kConfirm},
         false,
         true},
        {"ok at both",
         {MessageAnswer::Ok, MessageAnswer::Ok},
         true,
         true,
         {offer("2.1"), kConfirm},
         true,
         false},
        {"the updater fails to start",
         {MessageAnswer::Ok, MessageAnswer::Ok},
         true,
         false,
         {offer("2.1"), kConfirm, kStartFailed},
         true,
         true},
    };
    server.serve(descriptor("2.1"));
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        WindowHarness h;
        TfrmMain &w = open(h);
        if (row.updaterPresent)
            h.writeFile("Updater.exe", "stub");
        h.messages.answers = row.answers;
        h.launcher.startSucceeds = row.startSucceeds;
        clickUpdate(h);

        EXPECT_EQ(h.messages.texts(), row.shown);
        for (const ShownMessage &m : h.messages.shown) {
            const bool warning = m.text == kMissing || m.text == kStartFailed;
            EXPECT_EQ(m.kind, warning ? MessageKind::Warning : MessageKind::Information);
            EXPECT_EQ(m.buttons, warning ? MessageButtons::Ok : MessageButtons::OkCancel);
        }
        if (row.started) {
            ASSERT_EQ(h.launcher.started.size(), 1u);
            EXPECT_EQ(h.launcher.started[0].first, h.path("Updater.exe"));
            EXPECT_EQ(h.launcher.started[0].second, QStringList({server.base(), "2.0", "A"}));
        } else {
            EXPECT_TRUE(h.launcher.started.empty());
        }
        EXPECT_EQ(w.isVisible(), row.stillOpen);
        // Whatever the answers, the downloaded copy stays on disk.
        EXPECT_EQ(readAll(h.path("mainappupdate.inf")), descriptor("2.1"));
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(UpdateCheckWindow, RealLauncherHandsTheUpdaterThreeWords)
{
    server.serve(descriptor("2.1"));
    WindowHarness h;
    QtLauncher launcher;
    TfrmMain &w = open(h, &launcher);
    // The stub writes one argument per line, then renames, so a half-written list is never read.
    h.writeFile("Updater.exe", "#!/bin/sh\n"
                               "out=\"$(dirname \"$0\")/args.txt\"\n"
                               "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$out.tmp\"\n"
                               "mv \"$out.tmp\" \"$out\"\n");
    QFile::setPermissions(h.path("Updater.exe"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    h.messages.answers = {MessageAnswer::Ok, MessageAnswer::Ok};
    clickUpdate(h);
    EXPECT_FALSE(w.isVisible());

    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(h.path("args.txt")) && waited.elapsed() < 10000)
        QTest::qWait(20);
    EXPECT_EQ(readAll(h.path("args.txt")), (server.base() + "\n2.0\nA\n").toUtf8());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(UpdateCheckWindow, LocalCopyThatCannotBeCreatedGoesToTheErrorHandler)
{
    server.serve(descriptor("2.1"));
    WindowHarness h;
    open(h);
    // A folder in the way of the local copy can be neither deleted nor replaced by a file.
    ASSERT_TRUE(QDir(h.dir.path()).mkdir("mainappupdate.inf"));
    clickUpdate(h);

    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Cannot create file \"" + h.path("mainappupdate.inf") + "\""))
        << errors[0].toStdString();
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_EQ(server.hits(), 0);

    // The next check works once the way is clear.
    ASSERT_TRUE(QDir(h.dir.path()).rmdir("mainappupdate.inf"));
    h.messages.answers = {MessageAnswer::Cancel};
    clickUpdate(h);
    EXPECT_EQ(h.messages.texts(), QStringList({offer("2.1")}));
}
