// The main window's network work: the news requests and the live-update check.
//
// Every request runs on a worker thread while this thread keeps serving the window, so
// other handlers may run in between; after each request the handler checks whether the
// window is closing before it shows anything.
#include "shell/frm_main.h"

#include "net/http_service.h"
#include "news/news_client.h"
#include "shell/window_requests.h"
#include "ui/error_handler.h"
#include "ui/launcher.h"
#include "ui/message_boxes.h"
#include "update/app_info.h"
#include "update/update_check.h"
#include "update/update_messages.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

namespace lintrel {

namespace {

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void TfrmMain::showNewsOutcome(const NewsOutcome &outcome)
{
    if (outcome.message && !requests_->closing())
        msgMain().show(this, toQString(*outcome.message), MessageKind::Warning, MessageButtons::Ok);
}

bool TfrmMain::GetNewsList(const NewsIdentity &who, std::vector<std::string> &list)
{
    if (requests_->closing())
        return false;
    HttpService &client = requests_->http();
    std::vector<std::string> records;
    const NewsOutcome outcome = requests_->run([&] { return getNewsList(client, who, records); });
    list.insert(list.end(), records.begin(), records.end());
    showNewsOutcome(outcome);
    return outcome.ok;
}

bool TfrmMain::GetLastNews(const NewsIdentity &who, std::string &newsId, std::string &title,
                           bool silent)
{
    if (requests_->closing()) {
        newsId.clear();
        return false;
    }
    HttpService &client = requests_->http();
    const NewsOutcome outcome =
        requests_->run([&] { return getLastNews(client, who, newsId, title, silent); });
    showNewsOutcome(outcome);
    return outcome.ok;
}

bool TfrmMain::GetNewsDetails(const NewsIdentity &who, const std::string &newsId, std::string &body)
{
    if (requests_->closing()) {
        body.clear();
        return false;
    }
    HttpService &client = requests_->http();
    const NewsOutcome outcome =
        requests_->run([&] { return getNewsDetails(client, who, newsId, body); });
    showNewsOutcome(outcome);
    return outcome.ok;
}

void TfrmMain::btnUpdateClick()
{
    runGuarded([this] { CheckForUpdates(false); });
}

void TfrmMain::CheckForUpdates(bool silent)
{
    // A check that starts while another is waiting for the server is dropped, and so is
    // one that would start while the window closes.
    if (updateCheckRunning_ || requests_->closing())
        return;
    updateCheckRunning_ = true;
    const struct Reset
    {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{updateCheckRunning_};

    const std::string dir = exeDir().toStdString();
    const std::string base =
        env_.updateBaseUrl.isEmpty() ? updateServerBaseUrl() : env_.updateBaseUrl.toStdString();
    HttpService &client = requests_->http();
    const UpdateCheck check =
        requests_->run([&] { return checkForUpdate(client, dir, base, appVersion()); });
    if (requests_->closing())
        return;
    if (!check.downloaded || !check.offered) {
        if (!silent)
            msgMain().show(this, toQString(kNoUpdate), MessageKind::Information,
                           MessageButtons::Ok);
        return;
    }
    if (msgMain().show(this, toQString(updateOfferMessage(check.version)), MessageKind::Information,
                       MessageButtons::OkCancel) != MessageAnswer::Ok)
        return;
    const QString updater = exeDir() + toQString(kUpdaterFileName);
    if (!QFileInfo::exists(updater)) {
        msgMain().show(this, toQString(kUpdaterMissing), MessageKind::Warning, MessageButtons::Ok);
        return;
    }
    if (msgMain().show(this, toQString(kUpdateConfirm), MessageKind::Information,
                       MessageButtons::OkCancel) != MessageAnswer::Ok)
        return;
    // The updater fetches the new version from the server this check asked.
    QStringList args;
    for (const std::string &arg : updaterArguments(base))
        args << toQString(arg);
    if (!launcher_->startDetached(updater, args)) {
        msgMain().show(this,
                       QStringLiteral("The updater could not be started. "
                                      "The application keeps running."),
                       MessageKind::Warning, MessageButtons::Ok);
        return;
    }
    close();
}

void TfrmMain::FormClose()
{
    // Any request still waiting ends now and fails; its handler shows nothing more.
    requests_->closeAll();
    Timer1->stop();
    QApplication::processEvents();
}

} // namespace lintrel
