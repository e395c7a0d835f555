// The news part of the main window: the news requests, the start-up check and the news button.
//
// Timer1 fires once, 2000 ms after it is armed; Timer1Timer then asks for the newest item,
// shows a notice at the news button when it is newer than the stored marker, and has the
// window run the silent update check.
#pragma once

#include <QObject>
#include <QString>
#include <string>
#include <vector>

class QPushButton;
class QTimer;

namespace lintrel {

class TfrmMain;
struct NewsIdentity;
struct NewsOutcome;

class NewsPart : public QObject
{
    Q_OBJECT
public:
    // btnNews: the button the notice points at.
    NewsPart(TfrmMain &window, QPushButton &btnNews);

    // The three requests through the window's client; warnings go through msgMain.
    bool GetNewsList(const NewsIdentity &who, std::vector<std::string> &list);
    bool GetLastNews(const NewsIdentity &who, std::string &newsId, std::string &title, bool silent);
    bool GetNewsDetails(const NewsIdentity &who, const std::string &newsId, std::string &body);

    void btnNewsClick();
    void Timer1Timer();
    void ShowNewsNotice(const QString &text);

    // Arms Timer1 for the start-up check; stop() disarms it.
    void armStartUpCheck();
    void stop();

    // The records of the last list answer.
    const std::vector<std::string> &newsList() const { return NewsList; }

private:
    void showNewsOutcome(const NewsOutcome &outcome);
    void checkNewest();
    void openNewsWindow(const NewsIdentity &who);

    TfrmMain &window_;
    QPushButton &btnNews_;
    QTimer *Timer1 = nullptr;
    std::vector<std::string> NewsList;
};

} // namespace lintrel
