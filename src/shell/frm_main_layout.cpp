// Construction of the main window's widgets and layouts.
//
// Bars keep their design heights; inside a bar, controls keep their design offsets from
// the edges they are anchored to. Only the text area grows with the window.
#include "shell/frm_main.h"
#include "ui/html_view.h"
#include "ui/icons.h"
#include "ui/widgets.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

namespace lintrel {

namespace {

constexpr int kButtonBarHeight = 43;
constexpr int kBannerBarHeight = 65;
constexpr int kLinksBarHeight = 36;
constexpr int kWelcomeBarHeight = 39;
constexpr int kEmailTopHeight = 53; // heading and prompt above the text area
constexpr int kEmailSideMargin = 16;

template <class W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton *fixedButton(QWidget *parent, const char *name, const QString &caption, QSize size)
{
    auto *button = named(new QPushButton(caption, parent), name);
    button->setFixedSize(size);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

QLabel *placedLabel(QWidget *parent, const QString &caption, QPoint at, bool bold = false)
{
    auto *label = new QLabel(caption, parent);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->adjustSize();
    label->move(at);
    return label;
}

// The design size of every number field.
constexpr QSize kNumberFieldSize(49, 18);

QLineEdit *numberField(QWidget *parent, const char *name, bool readOnly)
{
    auto *field = named(new QLineEdit(QStringLiteral("0"), parent), name);
    field->setFixedSize(kNumberFieldSize);
    field->setReadOnly(readOnly);
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field->setTextMargins(0, 0, 0, 0);
    if (readOnly)
        field->setFocusPolicy(Qt::ClickFocus);
    return field;
}

QPushButton *iconButton(QWidget *parent, const char *name, ToolIcon icon, const QString &tip)
{
    auto *button = named(new QPushButton(parent), name);
    button->setIcon(toolIcon(icon));
    button->setIconSize(QSize(22, 22));
    button->setFixedSize(41, 34);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
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

    // Opened centred on the screen.
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(2000);
    Timer1->setSingleShot(true);
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
    layout->addWidget(buildEmailPanel(), 1);
    layout->addWidget(buildLinksBar());
    return page;
}

QWidget *TfrmMain::buildButtonBar()
{
    auto *bar = new QWidget;
    bar->setFixedHeight(kButtonBarHeight);
    btnMakeMoney = named(new QPushButton(QStringLiteral("Make Money"), bar), "btnMakeMoney");
    btnAbout = named(new QPushButton(QStringLiteral("About"), bar), "btnAbout");
    for (auto *button : {btnMakeMoney, btnAbout})
        button->setFixedSize(125, 20);
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

QWidget *TfrmMain::buildEmailPanel()
{
    panEmail = named(new QWidget, "panEmail");

    auto *top = new QWidget(panEmail);
    top->setFixedHeight(kEmailTopHeight);
    placedLabel(top, QStringLiteral("Format your Email in Seconds"), {14, 8}, true);
    placedLabel(top, QStringLiteral("Enter your email contents:"), {15, 30});

    memEmail = named(new QPlainTextEdit(panEmail), "memEmail");
    memEmail->setLineWrapMode(QPlainTextEdit::NoWrap);
    memEmail->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memEmail->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memEmail->setTabChangesFocus(false);
    memEmail->installEventFilter(this);

    // Rows below the text area: left-anchored, at the design's row offsets and field sizes;
    // labels take their natural width so no font clips them.
    auto *bottom = new QWidget(panEmail);
    const struct
    {
        const char *caption;
        const char *field;
        QLineEdit *TfrmMain::*member;
    } stats[] = {
        {"Characters:", "edtChars", &TfrmMain::edtChars},
        {" Words:", "edtWords1", &TfrmMain::edtWords1},
        {"Sentences:", "edtSenten1", &TfrmMain::edtSenten1},
        {"Lines:", "edtLines", &TfrmMain::edtLines},
        {"Paragraphs:", "edtParag1", &TfrmMain::edtParag1},
        {"Longest Line:", "edtLong", &TfrmMain::edtLong},
    };
    auto *statsRow = new QHBoxLayout;
    statsRow->setSpacing(0);
    for (const auto &s : stats) {
        if (statsRow->count() > 0)
            statsRow->addSpacing(10);
        statsRow->addWidget(new QLabel(QString::fromLatin1(s.caption)));
        statsRow->addSpacing(4);
        this->*s.member = numberField(bottom, s.field, true);
        statsRow->addWidget(this->*s.member);
    }
    statsRow->addStretch();

    auto *formatRow = new QHBoxLayout;
    formatRow->setSpacing(0);
    formatRow->addWidget(new QLabel(QStringLiteral("Maximum Line Length:")));
    formatRow->addSpacing(4);
    edtMaxLine = numberField(bottom, "edtMaxLine", false);
    edtMaxLine->setText(QStringLiteral("60"));
    formatRow->addWidget(edtMaxLine);
    formatRow->addSpacing(8);
    bsSkinButton5 = fixedButton(bottom, "bsSkinButton5", QStringLiteral("Format"), {97, 20});
    formatRow->addWidget(bsSkinButton5);
    formatRow->addSpacing(2);
    formatRow->addWidget(buildFormatOptions(bottom));
    formatRow->addStretch();

    auto *commandRow = new QHBoxLayout;
    commandRow->setSpacing(2);
    btnSelect = fixedButton(bottom, "btnSelect", QStringLiteral("Select All"), {121, 20});
    btnClear = fixedButton(bottom, "btnClear", QStringLiteral("Clear"), {121, 20});
    btnImport = fixedButton(bottom, "btnImport", QStringLiteral("Import From File"), {121, 20});
    btnCopy = fixedButton(bottom, "btnCopy", QStringLiteral("Copy to Clipboard"), {121, 20});
    btnSave = fixedButton(bottom, "btnSave", QStringLiteral("Save To File"), {121, 20});
    for (auto *button : {btnSelect, btnClear, btnImport, btnCopy, btnSave})
        commandRow->addWidget(button);
    commandRow->addStretch();

    auto *rows = new QVBoxLayout(bottom);
    rows->setContentsMargins(kEmailSideMargin, 28, kEmailSideMargin, 14);
    rows->setSpacing(0);
    rows->addLayout(statsRow);
    rows->addSpacing(13);
    rows->addLayout(formatRow);
    rows->addSpacing(17);
    rows->addLayout(commandRow);

    auto *middle = new QHBoxLayout;
    middle->setContentsMargins(kEmailSideMargin, 0, kEmailSideMargin, 0);
    middle->addWidget(memEmail);
    auto *layout = new QVBoxLayout(panEmail);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addLayout(middle, 1);
    layout->addWidget(bottom);
    return panEmail;
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
