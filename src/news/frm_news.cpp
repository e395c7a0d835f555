// The News window: the list of news items above the HTML body of the selected one.
#include "news/frm_news.h"

#include "brand/settings_store.h"
#include "ui/document_text.h"
#include "ui/error_handler.h"
#include "ui/html_view.h"
#include "ui/widgets.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lintrel {

namespace {

constexpr int kListHeight = 105;
constexpr int kButtonPanelHeight = 41;
constexpr int kSplitterHandle = 10;

// Input that could move the selection or the current row of the list. Escape and Tab only
// leave the list (or the window), so they pass.
bool isSelectingInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride: {
        const int key = static_cast<const QKeyEvent *>(event)->key();
        return key != Qt::Key_Escape && key != Qt::Key_Tab && key != Qt::Key_Backtab;
    }
    default:
        return false;
    }
}

} // namespace

TfrmNews::TfrmNews(std::vector<NewsItem> items, std::optional<NewsIdentity> who,
                   NewsWindowServices services, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      items_(std::move(items)), who_(std::move(who)), services_(std::move(services))
{
    setObjectName(QStringLiteral("frmNews"));
    setWindowTitle(QStringLiteral("News"));
    setModal(true);
    buildWindow();
    resize(682, 411);
    QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TfrmNews::buildWindow()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    prfEditorNews = named(new HtmlView, "prfEditorNews");
    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setHandleWidth(kSplitterHandle);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(buildListPanel());
    splitter_->addWidget(prfEditorNews);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({kListHeight, 411 - kListHeight - kSplitterHandle - kButtonPanelHeight});
    layout->addWidget(splitter_, 1);
    layout->addWidget(buildButtonPanel());

    connect(lvwItems, &QTreeWidget::itemSelectionChanged, this, &TfrmNews::lvwItemsChange);
    connect(prfEditorNews, &HtmlView::linkActivated, this, [this](const QUrl &url) {
        if (services_.openLink)
            services_.openLink(url);
    });
    lvwItems->installEventFilter(this);
    lvwItems->viewport()->installEventFilter(this);
}

QWidget *TfrmNews::buildListPanel()
{
    auto *panel = new QWidget;
    panel->setMinimumHeight(10);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    lvwItems = named(new QTreeWidget(panel), "lvwItems");
    lvwItems->setMinimumHeight(10);
    lvwItems->setColumnCount(2);
    lvwItems->setHeaderLabels({QStringLiteral("News Title"), QStringLiteral("Published")});
    lvwItems->header()->setStretchLastSection(false);
    lvwItems->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lvwItems->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    lvwItems->header()->resizeSection(1, 160);
    lvwItems->setRootIsDecorated(false);
    lvwItems->setItemsExpandable(false);
    lvwItems->setUniformRowHeights(true);
    lvwItems->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwItems->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwItems->setAllColumnsShowFocus(true);
    lvwItems->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont arial = lvwItems->font();
    arial.setFamily(QStringLiteral("Arial"));
    lvwItems->setFont(arial);
    // The selected row stays marked when the focus moves to the body or the button.
    QPalette palette = lvwItems->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    lvwItems->setPalette(palette);
    layout->addWidget(lvwItems);
    return panel;
}

QWidget *TfrmNews::buildButtonPanel()
{
    auto *panel = new QWidget(this);
    panel->setFixedHeight(kButtonPanelHeight);
    auto *layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 7, 0, 0);
    btnExit = named(new QPushButton(QStringLiteral("Close"), panel), "btnExit");
    btnExit->setFixedSize(97, 20);
    layout->addStretch(1);
    layout->addWidget(btnExit, 0, Qt::AlignTop);
    layout->addStretch(1);
    connect(btnExit, &QPushButton::clicked, this, &TfrmNews::btnExitClick);
    return panel;
}

void TfrmNews::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!filled_) {
        filled_ = true;
        FormShow();
    }
}

void TfrmNews::FormShow()
{
    for (const NewsItem &item : items_) {
        auto *row = new QTreeWidgetItem(lvwItems);
        row->setText(0, fromDocumentText(item.title));
        row->setText(1, fromDocumentText(item.published));
        row->setData(0, Qt::UserRole, QByteArray::fromStdString(item.id));
    }
    lvwItems->clearSelection();
}

void TfrmNews::lvwItemsChange()
{
    if (Busy) {
        // A change that got past the input filter (made by code, say) is undone.
        reselect(requestedRow_);
        return;
    }
    const QList<QTreeWidgetItem *> selected = lvwItems->selectedItems();
    if (selected.isEmpty())
        return;
    Busy = true;
    requestedRow_ = selected.first();
    setWaitCursors(true);
    const struct Done
    {
        TfrmNews *window;
        ~Done()
        {
            window->setWaitCursors(false);
            window->requestedRow_ = nullptr;
            window->Busy = false;
        }
    } done{this};
    const std::string newsId = requestedRow_->data(0, Qt::UserRole).toByteArray().toStdString();
    runGuarded([&] { showBody(newsId); });
}

void TfrmNews::showBody(const std::string &newsId)
{
    if (!who_ || !services_.getNewsDetails)
        return;
    std::string body;
    if (!services_.getNewsDetails(*who_, newsId, body))
        return;
    prfEditorNews->showHtml(fromDocumentText(body));
    WriteLastNewsId(services_.settingsDir, newsId);
}

bool TfrmNews::lvwItemsChanging(QEvent *event) const
{
    return Busy && isSelectingInput(event);
}

bool TfrmNews::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == lvwItems || watched == lvwItems->viewport()) && lvwItemsChanging(event)) {
        event->accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmNews::reselect(QTreeWidgetItem *row)
{
    const QSignalBlocker blocker(lvwItems);
    if (row)
        lvwItems->setCurrentItem(row);
    else
        lvwItems->clearSelection();
}

void TfrmNews::setWaitCursors(bool wait)
{
    if (wait) {
        viewCursor_ = prfEditorNews->viewport()->cursor();
        for (QWidget *w : {static_cast<QWidget *>(lvwItems), static_cast<QWidget *>(prfEditorNews),
                           prfEditorNews->viewport(), static_cast<QWidget *>(this)})
            w->setCursor(Qt::WaitCursor);
        return;
    }
    lvwItems->unsetCursor();
    unsetCursor();
    prfEditorNews->unsetCursor();
    prfEditorNews->viewport()->setCursor(viewCursor_);
}

void TfrmNews::btnExitClick()
{
    accept();
}

} // namespace lintrel
