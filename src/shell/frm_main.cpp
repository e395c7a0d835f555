// The main window: creation, showing, closing and the handlers of the shell's buttons.
#include "shell/frm_main.h"

#include "brand/brand_random.h"
#include "shell/window_requests.h"
#include "ui/clipboard.h"
#include "ui/error_handler.h"
#include "ui/file_dialogs.h"
#include "ui/html_view.h"
#include "ui/launcher.h"
#include "ui/message_boxes.h"
#include "ui/widgets.h"
#include "util/exe_dir.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>

namespace lintrel {

namespace {

// Integer halves truncate toward zero, each dimension halved on its own.
int centredOffset(int outer, int inner)
{
    return outer / 2 - inner / 2;
}

// The given implementation, or a real one owned by the window.
template <class Real, class Interface>
Interface *useOrMake(Interface *given, std::unique_ptr<Interface> &owned)
{
    if (given)
        return given;
    owned = std::make_unique<Real>();
    return owned.get();
}

} // namespace

TfrmMain::TfrmMain(MainWindowEnv env, QWidget *parent) : QWidget(parent), env_(std::move(env))
{
    messages_ = useOrMake<QtMessageBoxes>(env_.messages, ownMessages_);
    dialogs_ = useOrMake<QtFileDialogs>(env_.dialogs, ownDialogs_);
    clipboard_ = useOrMake<QtClipboard>(env_.clipboard, ownClipboard_);
    launcher_ = useOrMake<QtLauncher>(env_.launcher, ownLauncher_);
    random_ = useOrMake<ClockRandomSource>(env_.random, ownRandom_);
    requests_ = std::make_unique<WindowRequests>(env_.http);

    buildWindow();
    connectHandlers();
    FormCreate();
}

TfrmMain::~TfrmMain()
{
    // FormDestroy: the news list goes with the window.
    NewsList.clear();
}

QString TfrmMain::exeDir() const
{
    QString dir =
        env_.exeDir.isEmpty() ? QString::fromStdString(executableDirectory()) : env_.exeDir;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

void TfrmMain::connectHandlers()
{
    connect(bsSkinButton1, &QPushButton::clicked, this, &TfrmMain::bsSkinButton1Click);
    connect(btnMakeMoney, &QPushButton::clicked, this, &TfrmMain::btnMakeMoneyClick);
    connect(btnHelp, &QPushButton::clicked, this, &TfrmMain::btnHelpClick);
    connect(btnAbout, &QPushButton::clicked, this, &TfrmMain::btnAboutClick);
    connect(btnNews, &QPushButton::clicked, this,
            [this] { runGuarded([this] { btnNewsClick(); }); });
    connect(btnUpdate, &QPushButton::clicked, this, &TfrmMain::btnUpdateClick);
    connect(imgBanner, &ClickableLabel::clicked, this, &TfrmMain::bannerClick);
    connect(gifBanner, &ClickableLabel::clicked, this, &TfrmMain::bannerClick);
    connect(Timer1, &QTimer::timeout, this, [this] { runGuarded([this] { Timer1Timer(); }); });
    connect(memEmail, &QPlainTextEdit::textChanged, this, &TfrmMain::memEmailChange);
    setUpEditor();
    connect(prfWelcome, &HtmlView::linkActivated, this, &TfrmMain::openLink);
    for (auto *link : {lblLink1URL, lblLink2URL})
        connect(link, &LinkLabel::linkClicked, this,
                [this](const QString &url) { launcher_->openUrl(url); });
}

void TfrmMain::FormCreate()
{
    gifBanner->setGeometry(imgBanner->geometry());
    LoadBrandSettings();
    if (welcomePage_.isEmpty())
        Timer1->start();
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TfrmMain::FormShow()
{
    if (!welcomePage_.isEmpty()) {
        pgcPrinc->setCurrentIndex(0);
        prfWelcome->showHtml(welcomePage_);
        bsSkinButton1->setFocus();
    } else {
        // Without a welcome page the main page is the only page.
        if (stsWelcome) {
            pgcPrinc->removeTab(pgcPrinc->indexOf(stsWelcome));
            delete stsWelcome;
        }
        pgcPrinc->setCurrentIndex(0);
        memEmail->setFocus();
    }
    FormResize();
}

void TfrmMain::FormResize()
{
    for (QWidget *banner : {static_cast<QWidget *>(imgBanner), static_cast<QWidget *>(gifBanner)}) {
        banner->move(centredOffset(panBanner->width(), banner->width()),
                     centredOffset(panBanner->height(), banner->height()));
    }
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == panBanner && event->type() == QEvent::Resize)
        FormResize();
    if (editorEventFilter(watched, event))
        return true;
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    FormClose();
    QWidget::closeEvent(event);
}

void TfrmMain::openLink(const QUrl &url)
{
    // Web addresses go to the default browser, mail addresses to the desktop's handler.
    if (url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0)
        launcher_->openUrl(url.toString());
    else
        OpenInBrowser(url.toString());
}

void TfrmMain::bsSkinButton1Click()
{
    pgcPrinc->setCurrentIndex(pgcPrinc->indexOf(stsMain));
    memEmail->setFocus();
    if (!welcomePage_.isEmpty())
        Timer1->start();
}

} // namespace lintrel
