// The News window: the list of news items above the HTML body of the selected one.
//
// Selecting a row asks the owner for that item's body, shows it and stores the item's id as
// the last news read. While a body request waits the window keeps serving events, so the
// list refuses every change until the answer is in: the id stored is always the id of the
// row whose body was requested.
#pragma once

#include "news/news_client.h"

#include <QCursor>
#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QPushButton;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

namespace lintrel {

class HtmlView;

// What the window needs from its owner.
struct NewsWindowServices
{
    // The body request; the owner shows its warnings.
    std::function<bool(const NewsIdentity &who, const std::string &newsId, std::string &body)>
        getNewsDetails;
    // Opens a link clicked in the body (http, https or mailto).
    std::function<void(const QUrl &url)> openLink;
    // The directory of the settings file holding the last-news marker.
    std::string settingsDir;
};

class TfrmNews : public QDialog
{
    Q_OBJECT
public:
    // items: the items of the list answer, shown in this order.
    // who: the brand's news identity; without one no body is requested.
    TfrmNews(std::vector<NewsItem> items, std::optional<NewsIdentity> who,
             NewsWindowServices services, QWidget *parent = nullptr);

    // True while a body request runs.
    bool busy() const { return Busy; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    QWidget *buildListPanel();
    QWidget *buildButtonPanel();

    void FormShow();
    void lvwItemsChange();
    bool lvwItemsChanging(QEvent *event) const;
    void btnExitClick();

    void showBody(const std::string &newsId);
    void setWaitCursors(bool wait);
    void reselect(QTreeWidgetItem *row);

    std::vector<NewsItem> items_;
    std::optional<NewsIdentity> who_;
    NewsWindowServices services_;
    bool Busy = false;
    bool filled_ = false;
    QTreeWidgetItem *requestedRow_ = nullptr;
    QCursor viewCursor_;

    QSplitter *splitter_ = nullptr;
    QTreeWidget *lvwItems = nullptr;
    HtmlView *prfEditorNews = nullptr;
    QPushButton *btnExit = nullptr;
};

} // namespace lintrel
