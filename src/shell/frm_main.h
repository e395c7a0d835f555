// The main window: the welcome and main pages, the shell's buttons, and the parts it owns.
//
// The window builds its pages and bars, wires every signal, and keeps creation, showing and
// closing. The work is done by its parts, each in its own files: the email panel (panEmail),
// the news part, the update part and the brand applier. Parts never include one another;
// they reach each other and the outside world through the window. Side effects (message
// boxes, dialogs, clipboard, launching, HTTP) go through the services in MainWindowEnv so
// the window runs headless in tests.
#pragma once

#include "brand/brand_document.h"
#include "ui/document_text.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

class QPushButton;
class QTabWidget;
class QUrl;

namespace lintrel {

class BrandApplier;
class ClickableLabel;
class Clipboard;
class EmailPanel;
class FileDialogs;
class HtmlView;
class HttpService;
class Launcher;
class LinkLabel;
class MessageBoxes;
class NewsPart;
class RandomSource;
class UpdatePart;
class WindowRequests;

// What the window needs from the outside world. Null members get the real implementations.
struct MainWindowEnv
{
    QString exeDir;                   // the executable's directory; empty: the real one
    MessageBoxes *messages = nullptr; // msgMain
    FileDialogs *dialogs = nullptr;
    Clipboard *clipboard = nullptr;
    Launcher *launcher = nullptr;
    RandomSource *random = nullptr; // the random picks of the brand loader
    HttpService *http = nullptr;    // IdHTTP1; null: the real client, made on first use
    QString updateBaseUrl;          // the live-update server; empty: the compiled-in one
};

class TfrmMain : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmMain(MainWindowEnv env = {}, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The executable's directory with a trailing '/'.
    QString exeDir() const;
    // The live-update server's base URL.
    std::string updateBaseUrl() const;

    // The services the parts use.
    MessageBoxes &msgMain() const { return *messages_; }
    FileDialogs &dialogs() const { return *dialogs_; }
    Clipboard &clipboard() const { return *clipboard_; }
    Launcher &launcher() const { return *launcher_; }
    RandomSource &random() const { return *random_; }
    WindowRequests &requests() const { return *requests_; }

    // The parts.
    EmailPanel &emailPanel() const { return *panEmail; }
    NewsPart &newsPart() const { return *news_; }
    UpdatePart &updatePart() const { return *update_; }

    // The brand loaded at creation, and the text of the welcome page chosen for this run
    // (empty when none).
    const BrandSettings &brandSettings() const;
    QString welcomePage() const;
    const std::vector<std::string> &newsList() const;

    // Opens an address in the default browser with the address as its one argument.
    // False when no browser was found.
    bool OpenInBrowser(const QString &url);
    // A link of an HTML view: mail addresses to the desktop's handler, the rest to the browser.
    void openLink(const QUrl &url);
    // The update check, for the parts that run one.
    void checkForUpdates(bool silent);

    // Centres both banner pictures in the banner bar (integer halves of each dimension).
    void FormResize();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    QWidget *buildWelcomePage();
    QWidget *buildMainPage();
    QWidget *buildButtonBar();
    QWidget *buildBannerBar();
    QWidget *buildLinksBar();
    void makeParts();
    void connectHandlers();

    void FormCreate();
    void FormShow();
    void FormClose();

    void bsSkinButton1Click();
    void btnMakeMoneyClick();
    void btnHelpClick();
    void btnAboutClick();
    void bannerClick();

    MainWindowEnv env_;
    std::unique_ptr<MessageBoxes> ownMessages_;
    std::unique_ptr<FileDialogs> ownDialogs_;
    std::unique_ptr<Clipboard> ownClipboard_;
    std::unique_ptr<Launcher> ownLauncher_;
    std::unique_ptr<RandomSource> ownRandom_;
    MessageBoxes *messages_ = nullptr;
    FileDialogs *dialogs_ = nullptr;
    Clipboard *clipboard_ = nullptr;
    Launcher *launcher_ = nullptr;
    RandomSource *random_ = nullptr;
    std::unique_ptr<WindowRequests> requests_;

    std::unique_ptr<BrandApplier> brand_;
    std::unique_ptr<NewsPart> news_;
    std::unique_ptr<UpdatePart> update_;
    bool shown_ = false;

    QTabWidget *pgcPrinc = nullptr;
    QPointer<QWidget> stsWelcome;
    QWidget *stsMain = nullptr;
    HtmlView *prfWelcome = nullptr;
    QPushButton *bsSkinButton1 = nullptr;

    QPushButton *btnMakeMoney = nullptr;
    QPushButton *btnAbout = nullptr;
    QPushButton *btnNews = nullptr;
    QPushButton *btnUpdate = nullptr;
    QPushButton *btnHelp = nullptr;

    QWidget *panBanner = nullptr;
    ClickableLabel *imgBanner = nullptr;
    ClickableLabel *gifBanner = nullptr;

    EmailPanel *panEmail = nullptr;

    QWidget *panLinks = nullptr;
    LinkLabel *lblLink1URL = nullptr;
    LinkLabel *lblLink2URL = nullptr;
};

} // namespace lintrel
