// The main window's news: the start-up check with its notice, and the news button.
#include "shell/frm_main.h"

#include "brand/settings_store.h"
#include "news/frm_news.h"
#include "news/news_identity.h"
#include "shell/window_requests.h"
#include "ui/balloon_hint.h"
#include "ui/error_handler.h"
#include "ui/message_boxes.h"

#include <QPushButton>
#include <QTimer>

namespace lintrel {

void TfrmMain::Timer1Timer()
{
    // Stopped first: the check below keeps the event loop running while it waits.
    Timer1->stop();
    // A failing settings file is reported, but must not keep the update check from running.
    runGuarded([this] {
        const std::optional<NewsIdentity> who = newsIdentityFor(brand_);
        if (!who)
            return;
        std::string newsId, title;
        if (!GetLastNews(*who, newsId, title, true) || requests_->closing())
            return;
        const std::string marker = ReadLastNewsId(exeDir().toStdString());
        if (newsIdNumber(newsId) > newsIdNumber(marker))
            ShowNewsNotice(QStringLiteral("You've Got A Message!\r\n") + fromDocumentText(title));
    });
    if (!requests_->closing())
        CheckForUpdates(true);
}

void TfrmMain::btnNewsClick()
{
    NewsList.clear();
    const std::optional<NewsIdentity> who = newsIdentityFor(brand_);
    const bool ok = who && GetNewsList(*who, NewsList);
    if (requests_->closing())
        return;
    if (ok && !NewsList.empty()) {
        NewsWindowServices services;
        services.getNewsDetails = [this](const NewsIdentity &id, const std::string &newsId,
                                         std::string &body) {
            return GetNewsDetails(id, newsId, body);
        };
        services.openLink = [this](const QUrl &url) { openLink(url); };
        services.settingsDir = exeDir().toStdString();
        TfrmNews news(readNewsItems(NewsList), who, std::move(services), this);
        news.exec();
        return;
    }
    msgMain().show(this, QStringLiteral("There's no news for this application!"),
                   MessageKind::Information, MessageButtons::Ok);
}

void TfrmMain::ShowNewsNotice(const QString &text)
{
    // The centre of the news button, in screen coordinates.
    const QRect button = btnNews->geometry();
    const QPoint centre(button.left() + button.width() / 2, button.top() + button.height() / 2);
    BalloonHint::showAt(text, btnNews->parentWidget()->mapToGlobal(centre), this);
}

} // namespace lintrel
