// The news part of the main window: the news requests, the start-up check and the news button.
#include "shell/news_part.h"

#include "brand/settings_store.h"
#include "news/frm_news.h"
#include "news/news_client.h"
#include "news/news_identity.h"
#include "shell/frm_main.h"
#include "shell/window_requests.h"
#include "ui/balloon_hint.h"
#include "ui/error_handler.h"
#include "ui/message_boxes.h"
#include "ui/widgets.h"

#include <QPushButton>
#include <QTimer>

namespace lintrel {

namespace {

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

NewsPart::NewsPart(TfrmMain &window, QPushButton &btnNews) : window_(window), btnNews_(btnNews)
{
    Timer1 = named(new QTimer(&window), "Timer1");
    Timer1->setInterval(2000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, [this] { runGuarded([this] { Timer1Timer(); }); });
}

void NewsPart::armStartUpCheck()
{
    Timer1->start();
}

void NewsPart::stop()
{
    Timer1->stop();
}

void NewsPart::showNewsOutcome(const NewsOutcome &outcome)
{
    if (outcome.message && !window_.requests().closing())
        window_.msgMain().show(&window_, toQString(*outcome.message), MessageKind::Warning,
                               MessageButtons::Ok);
}

bool NewsPart::GetNewsList(const NewsIdentity &who, std::vector<std::string> &list)
{
    WindowRequests &requests = window_.requests();
    if (requests.closing())
        return false;
    HttpService &client = requests.http();
    std::vector<std::string> records;
    const NewsOutcome outcome = requests.run([&] { return getNewsList(client, who, records); });
    list.insert(list.end(), records.begin(), records.end());
    showNewsOutcome(outcome);
    return outcome.ok;
}

bool NewsPart::GetLastNews(const NewsIdentity &who, std::string &newsId, std::string &title,
                           bool silent)
{
    WindowRequests &requests = window_.requests();
    if (requests.closing()) {
        newsId.clear();
        return false;
    }
    HttpService &client = requests.http();
    const NewsOutcome outcome =
        requests.run([&] { return getLastNews(client, who, newsId, title, silent); });
    showNewsOutcome(outcome);
    return outcome.ok;
}

bool NewsPart::GetNewsDetails(const NewsIdentity &who, const std::string &newsId, std::string &body)
{
    WindowRequests &requests = window_.requests();
    if (requests.closing()) {
        body.clear();
        return false;
    }
    HttpService &client = requests.http();
    const NewsOutcome outcome =
        requests.run([&] { return getNewsDetails(client, who, newsId, body); });
    showNewsOutcome(outcome);
    return outcome.ok;
}

void NewsPart::Timer1Timer()
{
    // Stopped first: the check below keeps the event loop running while it waits.
    Timer1->stop();
    // A failing settings file is reported, but must not keep the update check from running.
    runGuarded([this] { checkNewest(); });
    if (!window_.requests().closing())
        window_.checkForUpdates(true);
}

void NewsPart::checkNewest()
{
    const std::optional<NewsIdentity> who = newsIdentityFor(window_.brandSettings());
    if (!who)
        return;
    std::string newsId, title;
    if (!GetLastNews(*who, newsId, title, true) || window_.requests().closing())
        return;
    const std::string marker = ReadLastNewsId(window_.exeDir().toStdString());
    if (newsIdNumber(newsId) > newsIdNumber(marker))
        ShowNewsNotice(QStringLiteral("You've Got A Message!\r\n") + fromDocumentText(title));
}

void NewsPart::btnNewsClick()
{
    NewsList.clear();
    const std::optional<NewsIdentity> who = newsIdentityFor(window_.brandSettings());
    const bool ok = who && GetNewsList(*who, NewsList);
    if (window_.requests().closing())
        return;
    if (!ok || NewsList.empty()) {
        window_.msgMain().show(&window_, QStringLiteral("There's no news for this application!"),
                               MessageKind::Information, MessageButtons::Ok);
        return;
    }
    openNewsWindow(*who);
}

void NewsPart::openNewsWindow(const NewsIdentity &who)
{
    NewsWindowServices services;
    services.getNewsDetails = [this](const NewsIdentity &id, const std::string &newsId,
                                     std::string &body) {
        return GetNewsDetails(id, newsId, body);
    };
    services.openLink = [this](const QUrl &url) { window_.openLink(url); };
    services.settingsDir = window_.exeDir().toStdString();
    TfrmNews news(readNewsItems(NewsList), who, std::move(services), &window_);
    news.exec();
}

void NewsPart::ShowNewsNotice(const QString &text)
{
    // The centre of the news button, in screen coordinates.
    const QRect button = btnNews_.geometry();
    const QPoint centre(button.left() + button.width() / 2, button.top() + button.height() / 2);
    BalloonHint::showAt(text, btnNews_.parentWidget()->mapToGlobal(centre), &window_);
}

} // namespace lintrel
