// The main window: welcome page, email editor with live statistics, brand, news and update.
//
// Input flows one way: the user edits memEmail, its change notification runs
// memEmailChange, which hands the whole text to the core statistics and writes the six
// fields. Commands (Format, Import, Save, ...) read widgets, call one core function and
// write the result back. Side effects (message boxes, dialogs, clipboard, launching) go
// through the interfaces in MainWindowEnv so the window runs headless in tests.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QTimer;

namespace lintrel {

class ClickableLabel;
class Clipboard;
class FileDialogs;
class Launcher;
class LinkLabel;
class MessageBoxes;

// What the window needs from the outside world. Null members get the real implementations.
struct MainWindowEnv
{
    QString exeDir;                   // the executable's directory; empty: the real one
    MessageBoxes *messages = nullptr; // msgMain
    FileDialogs *dialogs = nullptr;
    Clipboard *clipboard = nullptr;
    Launcher *launcher = nullptr;
};

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

    void bsSkinButton1Click();
    void btnMakeMoneyClick();
    void btnHelpClick();
    void btnAboutClick();
    void btnNewsClick();
    void btnUpdateClick();
    void bannerClick();
    void Timer1Timer();

    void memEmailChange();
    void UpdateTextStatistics(const QString &text);

    MainWindowEnv env_;
    std::unique_ptr<MessageBoxes> ownMessages_;
    std::unique_ptr<FileDialogs> ownDialogs_;
    std::unique_ptr<Clipboard> ownClipboard_;
    std::unique_ptr<Launcher> ownLauncher_;
    MessageBoxes *messages_ = nullptr;
    FileDialogs *dialogs_ = nullptr;
    Clipboard *clipboard_ = nullptr;
    Launcher *launcher_ = nullptr;

    bool shown_ = false;
    QString welcomePage_;
    QString bannerUrl_;
    std::vector<std::string> NewsList;

    QTabWidget *pgcPrinc = nullptr;
    QPointer<QWidget> stsWelcome;
    QWidget *stsMain = nullptr;
    QTextBrowser *prfWelcome = nullptr;
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
