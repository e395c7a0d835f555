// The main window: creation, showing, closing and the handlers of the shell's buttons.
#include "shell/frm_main.h"

#include "formatter/text_stats.h"
#include "ui/clipboard.h"
#include "ui/file_dialogs.h"
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
    connect(btnNews, &QPushButton::clicked, this, &TfrmMain::btnNewsClick);
    connect(btnUpdate, &QPushButton::clicked, this, &TfrmMain::btnUpdateClick);
    connect(imgBanner, &ClickableLabel::clicked, this, &TfrmMain::bannerClick);
    connect(gifBanner, &ClickableLabel::clicked, this, &TfrmMain::bannerClick);
    connect(Timer1, &QTimer::timeout, this, &TfrmMain::Timer1Timer);
    connect(memEmail, &QPlainTextEdit::textChanged, this, &TfrmMain::memEmailChange);
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
        prfWelcome->setHtml(welcomePage_);
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
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    FormClose();
    QWidget::closeEvent(event);
}

void TfrmMain::FormClose()
{
    Timer1->stop();
    QApplication::processEvents();
}

void TfrmMain::LoadBrandSettings()
{
    // Without brand settings the window keeps its design state.
}

void TfrmMain::bsSkinButton1Click()
{
    pgcPrinc->setCurrentIndex(pgcPrinc->indexOf(stsMain));
    memEmail->setFocus();
    if (!welcomePage_.isEmpty())
        Timer1->start();
}

void TfrmMain::btnMakeMoneyClick() {}

void TfrmMain::btnHelpClick() {}

void TfrmMain::btnAboutClick() {}

void TfrmMain::btnNewsClick() {}

void TfrmMain::btnUpdateClick() {}

void TfrmMain::bannerClick() {}

void TfrmMain::Timer1Timer()
{
    Timer1->stop();
}

void TfrmMain::memEmailChange()
{
    UpdateTextStatistics(memEmail->document()->toRawText());
}

void TfrmMain::UpdateTextStatistics(const QString &text)
{
    // Blocks are separated by U+2029 in the raw text; the statistics expect line feeds.
    QString plain = text;
    plain.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    const TextStats stats = computeTextStats(std::u16string_view(
        reinterpret_cast<const char16_t *>(plain.utf16()), static_cast<size_t>(plain.size())));
    edtWords1->setText(QString::number(stats.words));
    edtSenten1->setText(QString::number(stats.sentences));
    edtParag1->setText(QString::number(stats.paragraphs));
    edtLines->setText(QString::number(stats.lines));
    edtChars->setText(QString::number(stats.characters));
    edtLong->setText(QString::number(stats.longestLine));
}

} // namespace lintrel
