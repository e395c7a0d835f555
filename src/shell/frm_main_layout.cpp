// Construction of the main window's widgets and layouts.
//
// Bars keep their design heights; inside a bar, controls keep their design offsets from
// the edges they are anchored to. Only the text area grows with the window.
#include "shell/frm_main.h"

#include "shell/email_panel.h"
#include "ui/html_view.h"
#include "ui/icons.h"
#include "ui/widgets.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lintrel {

namespace {

constexpr int kButtonBarHeight = 43;
constexpr int kBannerBarHeight = 65;
constexpr int kLinksBarHeight = 36;
constexpr int kWelcomeBarHeight = 39;

QPushButton *iconButton(QWidget *parent, const char *name, ToolIcon icon, const QString &tip)
{
    auto *button = named(new QPushButton(parent), name);
    button->setIcon(toolIcon(icon));
    button->setIconSize(QSize(22, 22));
    button->setFixedSize(41, 34);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setFocusPolicy(Qt::TabFocus); // a click leaves the keyboard in the text area
    return button;
}

} // namespace

void TfrmMain::buildWindow()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Lintrel"));
    resize(744, 591);

    pgcPrinc = named(new QTabWidget(this), "pgcPrinc");
    pgcPrinc->tabBar()->hide();
    pgcPrinc->setDocumentMode(true);
    stsWelcome = buildWelcomePage();
    stsMain = buildMainPage();
    pgcPrinc->addTab(stsWelcome, QString());
    pgcPrinc->addTab(stsMain, QString());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pgcPrinc);
}

QWidget *TfrmMain::buildWelcomePage()
{
    auto *page = named(new QWidget, "stsWelcome");
    prfWelcome = named(new HtmlView(page), "prfWelcome");

    auto *bar = new QWidget(page);
    bar->setFixedHeight(kWelcomeBarHeight);
    bsSkinButton1 =
        named(new QPushButton(QStringLiteral("Thanks, just show me the main application"), bar),
              "bsSkinButton1");
    bsSkinButton1->setDefault(true);
    auto *barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(8, 6, 8, 6);
    barLayout->addStretch();
    barLayout->addWidget(bsSkinButton1);
    barLayout->addStretch();

    // Enter presses the welcome button while the welcome page is shown.
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *enter = new QShortcut(QKeySequence(key), page);
        enter->setContext(Qt::WidgetWithChildrenShortcut);
        connect(enter, &QShortcut::activated, bsSkinButton1, &QPushButton::click);
    }

    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(prfWelcome, 1);
    layout->addWidget(bar);
    return page;
}

QWidget *TfrmMain::buildMainPage()
{
    auto *page = named(new QWidget, "stsMain");
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildButtonBar());
    layout->addWidget(buildBannerBar());
    panEmail = new EmailPanel(*this);
    panEmail->addFileShortcuts(page);
    layout->addWidget(panEmail, 1);
    layout->addWidget(buildLinksBar());
    return page;
}

QWidget *TfrmMain::buildButtonBar()
{
    auto *bar = new QWidget;
    bar->setFixedHeight(kButtonBarHeight);
    btnMakeMoney = named(new QPushButton(QStringLiteral("Make Money"), bar), "btnMakeMoney");
    btnAbout = named(new QPushButton(QStringLiteral("About"), bar), "btnAbout");
    for (auto *button : {btnMakeMoney, btnAbout}) {
        button->setFixedSize(125, 20);
        button->setFocusPolicy(Qt::TabFocus);
    }
    btnNews = iconButton(bar, "btnNews", ToolIcon::News, QStringLiteral("Check News"));
    btnUpdate = iconButton(bar, "btnUpdate", ToolIcon::Update, QStringLiteral("Check Updates"));
    btnHelp = iconButton(bar, "btnHelp", ToolIcon::Help, QStringLiteral("Help"));

    // The text buttons sit 6 pixels from the top, the icon buttons 10 from the right edge.
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(8, 6, 10, 3);
    layout->setSpacing(0);
    layout->addWidget(btnMakeMoney, 0, Qt::AlignTop);
    layout->addSpacing(7);
    layout->addWidget(btnAbout, 0, Qt::AlignTop);
    layout->addStretch();
    layout->addWidget(btnNews);
    layout->addSpacing(2);
    layout->addWidget(btnUpdate);
    layout->addSpacing(2);
    layout->addWidget(btnHelp);
    return bar;
}

QWidget *TfrmMain::buildBannerBar()
{
    panBanner = named(new QWidget, "panBanner");
    panBanner->setFixedHeight(kBannerBarHeight);
    imgBanner = named(new ClickableLabel(panBanner), "imgBanner");
    gifBanner = named(new ClickableLabel(panBanner), "gifBanner");
    imgBanner->setGeometry(0, 0, 105, 55);
    gifBanner->hide();
    panBanner->installEventFilter(this);
    return panBanner;
}

QWidget *TfrmMain::buildLinksBar()
{
    panLinks = named(new QWidget, "panLinks");
    panLinks->setFixedHeight(kLinksBarHeight);
    lblLink1URL = named(new LinkLabel(panLinks), "lblLink1URL");
    lblLink2URL = named(new LinkLabel(panLinks), "lblLink2URL");
    lblLink2URL->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QString placeholder = QStringLiteral("https://www.google.com/");
    lblLink1URL->setLink(QStringLiteral("Google"), placeholder);
    lblLink2URL->setLink(QStringLiteral("Google"), placeholder);
    auto *layout = new QHBoxLayout(panLinks);
    layout->setContentsMargins(16, 0, 16, 0);
    layout->addWidget(lblLink1URL);
    layout->addStretch();
    layout->addWidget(lblLink2URL);
    return panLinks;
}

} // namespace lintrel
