// The main window: its parts, creation, showing, closing and the handlers of the shell's buttons.
#include "shell/frm_main.h"

#include "brand/brand_random.h"
#include "browser/browser_command.h"
#include "shell/brand_applier.h"
#include "shell/email_panel.h"
#include "shell/frm_about.h"
#include "shell/news_part.h"
#include "shell/update_part.h"
#include "shell/window_requests.h"
#include "ui/clipboard.h"
#include "ui/error_handler.h"
#include "ui/file_dialogs.h"
#include "ui/html_view.h"
#include "ui/launcher.h"
#include "ui/message_boxes.h"
#include "ui/widgets.h"
#include "update/app_info.h"
#include "util/exe_dir.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>
#include <QTabWidget>

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
    makeParts();
    connectHandlers();
    FormCreate();
}

// The parts go before the widgets they drive; the news list goes with its part.
TfrmMain::~TfrmMain() = default;

void TfrmMain::makeParts()
{
    brand_ = std::make_unique<BrandApplier>(*this, BrandTargets{btnNews, btnMakeMoney, panBanner,
                                                                imgBanner, gifBanner, panLinks,
                                                                lblLink1URL, lblLink2URL});
    news_ = std::make_unique<NewsPart>(*this, *btnNews);
    update_ = std::make_unique<UpdatePart>(*this);
}

QString TfrmMain::exeDir() const
{
    QString dir =
        env_.exeDir.isEmpty() ? QString::fromStdString(executableDirectory()) : env_.exeDir;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

std::string TfrmMain::updateBaseUrl() const
{
    return env_.updateBaseUrl.isEmpty() ? updateServerBaseUrl() : env_.updateBaseUrl.toStdString();
}

const BrandSettings &TfrmMain::brandSettings() const
{
    return brand_->settings();
}

QString TfrmMain::welcomePage() const
{
    return brand_->welcomePage();
}

const std::vector<std::string> &TfrmMain::newsList() const
{
    return news_->newsList();
}

void TfrmMain::checkForUpdates(bool silent)
{
    update_->CheckForUpdates(silent);
}

void TfrmMain::connectHandlers()
{
    connect(bsSkinButton1, &QPushButton::clicked, this, &TfrmMain::bsSkinButton1Click);
    connect(btnMakeMoney, &QPushButton::clicked, this, &TfrmMain::btnMakeMoneyClick);
    connect(btnHelp, &QPushButton::clicked, this, &TfrmMain::btnHelpClick);
    connect(btnAbout, &QPushButton::clicked, this, &TfrmMain::btnAboutClick);
    connect(btnNews, &QPushButton::clicked, this,
            [this] { runGuarded([this] { news_->btnNewsClick(); }); });
    connect(btnUpdate, &QPushButton::clicked, this, [this] { update_->btnUpdateClick(); });
    connect(imgBanner, &ClickableLabel::clicked, this, &TfrmMain::bannerClick);
    connect(gifBanner, &ClickableLabel::clicked, this, &TfrmMain::bannerClick);
    // The browser buttons open no window of ours: the user goes on typing.
    for (auto *button : {btnMakeMoney, btnHelp})
        connect(button, &QPushButton::clicked, panEmail, &EmailPanel::focusText);
    connect(prfWelcome, &HtmlView::linkActivated, this, &TfrmMain::openLink);
    for (auto *link : {lblLink1URL, lblLink2URL})
        connect(link, &LinkLabel::linkClicked, this,
                [this](const QString &url) { launcher_->openUrl(url); });
}

void TfrmMain::FormCreate()
{
    gifBanner->setGeometry(imgBanner->geometry());
    brand_->LoadBrandSettings();
    setProgramTitle(fromDocumentText(brandSettings().ApplicationName));
    if (welcomePage().isEmpty())
        news_->armStartUpCheck();
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!shown_) {
        shown_ = true;
        // Centred once its size is known: the skin and the font may have made it larger.
        centreOnScreen(this);
        FormShow();
    }
}

void TfrmMain::FormShow()
{
    if (!welcomePage().isEmpty()) {
        pgcPrinc->setCurrentIndex(0);
        prfWelcome->showHtml(welcomePage());
        bsSkinButton1->setFocus();
    } else {
        // Without a welcome page the main page is the only page.
        if (stsWelcome) {
            pgcPrinc->removeTab(pgcPrinc->indexOf(stsWelcome));
            delete stsWelcome;
        }
        pgcPrinc->setCurrentIndex(0);
        panEmail->focusText();
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
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    FormClose();
    QWidget::closeEvent(event);
}

void TfrmMain::FormClose()
{
    // Any request still waiting ends now and fails; its handler shows nothing more.
    requests_->closeAll();
    news_->stop();
    QApplication::processEvents();
}

void TfrmMain::openLink(const QUrl &url)
{
    if (url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0)
        launcher_->openUrl(url.toString());
    else
        OpenInBrowser(url.toString());
}

bool TfrmMain::OpenInBrowser(const QString &url)
{
    const auto browser = findBrowser(BrowserEnv::fromProcess());
    if (!browser)
        return false;
    QStringList args;
    for (const auto &arg : browser->argumentsFor(url.toStdString()))
        args << QString::fromStdString(arg);
    launcher_->startDetached(QString::fromStdString(browser->program), args);
    return true;
}

void TfrmMain::bsSkinButton1Click()
{
    pgcPrinc->setCurrentIndex(pgcPrinc->indexOf(stsMain));
    panEmail->focusText();
    if (!welcomePage().isEmpty())
        news_->armStartUpCheck();
}

void TfrmMain::btnMakeMoneyClick()
{
    OpenInBrowser(fromDocumentText(brandSettings().AffiliateURL));
}

void TfrmMain::btnHelpClick()
{
    OpenInBrowser(fromDocumentText(brandSettings().AppHelpURL));
}

void TfrmMain::bannerClick()
{
    if (!brand_->bannerUrl().isEmpty())
        OpenInBrowser(brand_->bannerUrl());
}

void TfrmMain::btnAboutClick()
{
    const BrandSettings &brand = brandSettings();
    const AboutTexts texts{
        fromDocumentText(brand.ApplicationName), fromDocumentText(brand.CopyrightYears),
        fromDocumentText(brand.CopyrightCompany), fromDocumentText(brand.AboutText)};
    TfrmAbout about(texts, this);
    about.exec();
}

} // namespace lintrel
