// The main window: welcome page, email editor with live statistics, brand, news and update.
//
// Input flows one way: the user edits memEmail, its change notification runs
// memEmailChange, which hands the whole text to the core statistics and writes the six
// fields. Commands (Format, Import, Save, ...) read widgets, call one core function and
// write the result back. Side effects (message boxes, dialogs, clipboard, launching) go
// through the interfaces in MainWindowEnv so the window runs headless in tests.
#pragma once

#include "brand/brand_document.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class QUrl;

namespace lintrel {

class ClickableLabel;
class HttpClient;
struct NewsIdentity;
struct NewsOutcome;
struct TextStats;
class HtmlView;
class RandomSource;
struct BrandLoadResult;
class Clipboard;
class DocumentStatistics;
class FileDialogs;
class Launcher;
class LinkLabel;
class MessageBoxes;
struct FileDialogChoice;
struct FileDialogRequest;

// What the window needs from the outside world. Null members get the real implementations.
struct MainWindowEnv
{
    QString exeDir;                   // the executable's directory; empty: the real one
    MessageBoxes *messages = nullptr; // msgMain
    FileDialogs *dialogs = nullptr;
    Clipboard *clipboard = nullptr;
    Launcher *launcher = nullptr;
    RandomSource *random = nullptr; // the random picks of the brand loader
    QString updateBaseUrl;          // the live-update server; empty: the compiled-in one
};

// Bytes of the brand document or a news answer as text: UTF-8 when valid, else Windows-1252.
QString fromDocumentText(const std::string &bytes);

class TfrmMain : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmMain(MainWindowEnv env = {}, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The executable's directory with a trailing '/'.
    QString exeDir() const;
    MessageBoxes &msgMain() const { return *messages_; }

    // The text of the brand's welcome page chosen for this run; empty when none.
    QString welcomePage() const { return welcomePage_; }
    const std::vector<std::string> &newsList() const { return NewsList; }
    const BrandSettings &brandSettings() const { return brand_; }

    // News requests through the window's HTTP client; warnings go through msgMain.
    bool GetNewsList(const NewsIdentity &who, std::vector<std::string> &list);
    bool GetLastNews(const NewsIdentity &who, std::string &newsId, std::string &title, bool silent);
    bool GetNewsDetails(const NewsIdentity &who, const std::string &newsId, std::string &body);

    // The live-update check; silent leaves out only the "no new updates" message.
    void CheckForUpdates(bool silent);

    // Opens an address in the default browser with the address as its one argument.
    // False when no browser was found.
    bool OpenInBrowser(const QString &url);

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
    QWidget *buildEmailPanel();
    QWidget *buildLinksBar();
    void connectHandlers();

    void FormCreate();
    void FormShow();
    void FormClose();
    void LoadBrandSettings();
    void applyBanner(const BrandLoadResult &brand);
    void applySkinAndIcon();
    void openLink(const QUrl &url);

    void bsSkinButton1Click();
    void btnMakeMoneyClick();
    void btnHelpClick();
    void btnAboutClick();
    void btnNewsClick();
    void btnUpdateClick();
    void bannerClick();
    void Timer1Timer();
    void ShowNewsNotice(const QString &text);

    HttpClient &http();
    void showNewsOutcome(const NewsOutcome &outcome);

    // The email editor.
    struct DialogMemory
    {
        QString directory; // empty: the executable's directory
        QString fileName;
        int filterIndex = 0;
    };
    void setUpEditor();
    bool editorEventFilter(QObject *watched, QEvent *event);
    QString editorText() const;
    void replaceEditorText(const QString &text);
    void memEmailChange();
    void UpdateTextStatistics(const TextStats &stats);
    void edtMaxLineChange();
    void bsSkinButton5Click();
    void btnSelectClick();
    void btnClearClick();
    void btnImportClick();
    void btnCopyClick();
    void btnSaveClick();
    void importFile(const QString &path);
    void saveTextTo(const QString &path);
    FileDialogRequest dialogRequest(const QString &title, const DialogMemory &memory) const;
    static void remember(DialogMemory &memory, const FileDialogChoice &choice, const QString &path);

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

    BrandSettings brand_;

    std::unique_ptr<HttpClient> IdHTTP1;
    std::atomic<int> requestsInFlight_{0}; // counted down by the worker that runs each one
    bool closing_ = false;
    bool updateCheckRunning_ = false;
    bool shown_ = false;
    int maxLineLength_ = 60;
    DialogMemory openMemory_;
    DialogMemory saveMemory_;
    QString welcomePage_;
    QString bannerUrl_;
    std::vector<std::string> NewsList;

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

    QWidget *panEmail = nullptr;
    QPlainTextEdit *memEmail = nullptr;
    DocumentStatistics *statistics_ = nullptr; // the counts of memEmail
    QLineEdit *edtChars = nullptr;
    QLineEdit *edtWords1 = nullptr;
    QLineEdit *edtSenten1 = nullptr;
    QLineEdit *edtLines = nullptr;
    QLineEdit *edtParag1 = nullptr;
    QLineEdit *edtLong = nullptr;
    QLineEdit *edtMaxLine = nullptr;
    QPushButton *bsSkinButton5 = nullptr;
    QPushButton *btnSelect = nullptr;
    QPushButton *btnClear = nullptr;
    QPushButton *btnImport = nullptr;
    QPushButton *btnCopy = nullptr;
    QPushButton *btnSave = nullptr;

    QWidget *panLinks = nullptr;
    LinkLabel *lblLink1URL = nullptr;
    LinkLabel *lblLink2URL = nullptr;

    QTimer *Timer1 = nullptr;
};

} // namespace lintrel
