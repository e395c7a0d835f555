// The update part of the main window: the live-update check and the hand-off to the updater.
#include "shell/update_part.h"

#include "shell/frm_main.h"
#include "shell/window_requests.h"
#include "ui/error_handler.h"
#include "ui/launcher.h"
#include "ui/message_boxes.h"
#include "update/app_info.h"
#include "update/download.h"
#include "update/update_check.h"
#include "update/update_messages.h"

#include <QFileInfo>
#include <QStringList>

namespace lintrel {

namespace {

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

UpdatePart::UpdatePart(TfrmMain &window) : window_(window) {}

MessageAnswer UpdatePart::say(std::string_view text, MessageKind kind, MessageButtons buttons)
{
    return window_.msgMain().show(&window_, toQString(text), kind, buttons);
}

void UpdatePart::btnUpdateClick()
{
    runGuarded([this] { CheckForUpdates(false); });
}

bool UpdatePart::DownloadToFile(const std::string &url, const std::string &path)
{
    WindowRequests &requests = window_.requests();
    HttpService &client = requests.http();
    return requests.run([&] { return downloadToFile(client, url, path, kDescriptorMaxSize); });
}

void UpdatePart::CheckForUpdates(bool silent)
{
    if (updateCheckRunning_ || window_.requests().closing())
        return;
    updateCheckRunning_ = true;
    const struct Reset
    {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{updateCheckRunning_};

    const std::string base = window_.updateBaseUrl();
    const auto download = [this](const std::string &url, const std::string &path) {
        return DownloadToFile(url, path);
    };
    const UpdateCheck check =
        checkForUpdate(download, window_.exeDir().toStdString(), base, appVersion());
    if (window_.requests().closing())
        return;
    if (!check.downloaded || !check.offered) {
        if (!silent)
            say(kNoUpdate, MessageKind::Information, MessageButtons::Ok);
        return;
    }
    if (say(updateOfferMessage(check.version), MessageKind::Information,
            MessageButtons::OkCancel) == MessageAnswer::Ok)
        handOffToUpdater(base);
}

void UpdatePart::handOffToUpdater(const std::string &baseUrl)
{
    const QString updater = window_.exeDir() + toQString(kUpdaterFileName);
    if (!QFileInfo::exists(updater)) {
        say(kUpdaterMissing, MessageKind::Warning, MessageButtons::Ok);
        return;
    }
    if (say(kUpdateConfirm, MessageKind::Information, MessageButtons::OkCancel) !=
        MessageAnswer::Ok)
        return;
    // The updater fetches the new version from the server this check asked.
    QStringList args;
    for (const std::string &arg : updaterArguments(baseUrl))
        args << toQString(arg);
    if (!window_.launcher().startDetached(updater, args)) {
        say("The updater could not be started. The application keeps running.",
            MessageKind::Warning, MessageButtons::Ok);
        return;
    }
    window_.close();
}

} // namespace lintrel
