// Recording fakes for the window's side effects: message boxes, dialogs, clipboard, launcher, HTTP.
#pragma once

#include "net/http_service.h"
#include "ui/clipboard.h"
#include "ui/file_dialogs.h"
#include "ui/launcher.h"
#include "ui/message_boxes.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <deque>
#include <optional>
#include <vector>

namespace lintrel::testing {

struct ShownMessage
{
    QString text;
    MessageKind kind;
    MessageButtons buttons;
};

class FakeMessageBoxes : public MessageBoxes
{
public:
    MessageAnswer show(QWidget *, const QString &text, MessageKind kind,
                       MessageButtons buttons) override
    {
        shown.push_back({text, kind, buttons});
        if (answers.empty())
            return MessageAnswer::Ok;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QStringList texts() const
    {
        QStringList out;
        for (const auto &m : shown)
            out << m.text;
        return out;
    }

    std::vector<ShownMessage> shown;
    std::deque<MessageAnswer> answers; // scripted answers, OK once they run out
};

class FakeFileDialogs : public FileDialogs
{
public:
    std::optional<FileDialogChoice> openFile(QWidget *, const FileDialogRequest &request) override
    {
        openRequests.push_back(request);
        return next(openChoices);
    }
    std::optional<FileDialogChoice> saveFile(QWidget *, const FileDialogRequest &request) override
    {
        saveRequests.push_back(request);
        return next(saveChoices);
    }

    std::vector<FileDialogRequest> openRequests, saveRequests;
    std::deque<std::optional<FileDialogChoice>> openChoices, saveChoices; // nullopt: cancel

private:
    static std::optional<FileDialogChoice> next(std::deque<std::optional<FileDialogChoice>> &q)
    {
        if (q.empty())
            return std::nullopt;
        auto choice = q.front();
        q.pop_front();
        return choice;
    }
};

class FakeClipboard : public Clipboard
{
public:
    void setText(const QString &value) override
    {
        text = value;
        ++calls;
    }
    QString text;
    int calls = 0;
};

class FakeLauncher : public Launcher
{
public:
    void openUrl(const QString &url) override { openedUrls << url; }
    bool startDetached(const QString &program, const QStringList &arguments) override
    {
        started.push_back({program, arguments});
        return startSucceeds;
    }

    QStringList openedUrls;
    std::vector<std::pair<QString, QStringList>> started;
    bool startSucceeds = true;
};

// Answers every POST with postAnswer and every GET with getBody, status 200.
class FakeHttp : public HttpService
{
public:
    HttpResult post(const std::string &url, const std::string &, const std::string &,
                    std::size_t) override
    {
        posts.push_back(url);
        return {true, 200, postAnswer, {}};
    }
    HttpResult get(const std::string &url, std::size_t, const HttpSink &sink) override
    {
        gets.push_back(url);
        if (!sink(getBody))
            return {false, 200, {}, "the body was refused"};
        return {true, 200, {}, {}};
    }
    void disconnect() override { ++disconnects; }
    void closeIdleConnections() override {}

    std::vector<std::string> posts, gets;
    std::string postAnswer = "OK", getBody;
    std::atomic<int> disconnects{0};
};

} // namespace lintrel::testing
