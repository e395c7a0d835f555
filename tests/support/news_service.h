// Shared pieces of the news window tests: a scripted news service on 127.0.0.1 and a brand kit.
#pragma once

#include "brand/settings_store.h"
#include "support/window_harness.h"
#include "support/loopback_http_server.h"
#include "brand/settings_file.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace lintrel::testing {

// The byte that separates records in the service's answers.
inline const std::string kSep = "\xAF";

// Answers getlastnews.php (conttype "all" or "lastcode") and getnewsdetails.php (by newsid)
// from scripts the test sets; a body request for the held id waits until release().
class ScriptedNewsService
{
public:
    struct Request
    {
        std::string path;
        std::map<std::string, std::string> fields;
    };

    ScriptedNewsService()
    {
        http_.server().Post(".*", [this](const httplib::Request &req, httplib::Response &res) {
            Request request{req.path, {}};
            for (const auto &[name, part] : req.files)
                request.fields[name] = part.content;
            std::unique_lock lock(mutex_);
            requests_.push_back(request);
            std::string answer;
            if (req.path.ends_with("getnewsdetails.php")) {
                const std::string id = request.fields["newsid"];
                answer = bodies_[id];
                if (id == held_)
                    released_.wait(lock, [this] { return held_.empty(); });
            } else {
                answer = request.fields["conttype"] == "all" ? list_ : last_;
            }
            res.set_content(answer, "text/html");
        });
        http_.start();
    }
    ~ScriptedNewsService() { release(); }

    void setList(std::string answer)
    {
        locked([&] { list_ = std::move(answer); });
    }
    void setLast(std::string answer)
    {
        locked([&] { last_ = std::move(answer); });
    }
    void setBody(const std::string &id, std::string answer)
    {
        locked([&] { bodies_[id] = std::move(answer); });
    }
    void hold(const std::string &id)
    {
        locked([&] { held_ = id; });
    }
    void release()
    {
        locked([&] { held_.clear(); });
        released_.notify_all();
    }
    std::vector<Request> requests()
    {
        std::lock_guard lock(mutex_);
        return requests_;
    }

    // The base URL the brand kit gives a level ("master", "platinum", "gold").
    std::string base(const std::string &level) const { return http_.url("/" + level + "/"); }

private:
    void locked(const std::function<void()> &change)
    {
        std::lock_guard lock(mutex_);
        change();
    }

    test::LoopbackHttpServer http_;
    std::mutex mutex_;
    std::condition_variable released_;
    std::string list_ = "OK", last_ = "OK", held_;
    std::map<std::string, std::string> bodies_;
    std::vector<Request> requests_;
};

inline std::string tagged(const std::string &tag, const std::string &value)
{
    return "<%%" + tag + "%%>" + value + "<%%/" + tag + "%%>\r\n";
}

// A brand document of the given level whose three news base URLs lead to the service; the
// publisher ids are 11, 22 and 33 for Master, Platinum and Gold.
inline std::string newsBrand(const std::string &level, const ScriptedNewsService &service)
{
    return tagged("ApplicationName", "News Test") + tagged("BranderCode", "NEWSCODE") +
           tagged("BranderType", level) + tagged("MasterNewsBaseURL", service.base("master")) +
           tagged("PlatinumNewsBaseURL", service.base("platinum")) +
           tagged("GoldNewsBaseURL", service.base("gold")) + tagged("MasterPublID", "11") +
           tagged("PlatinumPublID", "22") + tagged("GoldPublID", "33");
}

// Writes the settings file into the harness's directory (before the window opens).
inline void writeKit(WindowHarness &h, const std::string &document)
{
    const auto bytes = encryptSettings(document);
    h.writeFile(QStringLiteral("dbsettings.dat"),
                QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())));
}

// Serves events until done() holds or the time is up; tells whether it held.
inline bool waitUntil(const std::function<bool()> &done, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}

inline std::string storedMarker(const WindowHarness &h)
{
    return ReadLastNewsId(h.dir.path().toStdString());
}

// Runs drive on the modal window of type W once it is open, then closes it; the opening
// action (a click) must block in the modal window's own loop. False when no such window
// opened before the action returned.
template <class W>
bool whileModalOpen(const std::function<void()> &open, const std::function<void(W &)> &drive)
{
    struct State
    {
        bool done = false, ran = false;
    };
    auto state = std::make_shared<State>();
    auto poll = std::make_shared<std::function<void()>>();
    const std::weak_ptr<std::function<void()>> again = poll;
    *poll = [state, again, drive] {
        if (state->done)
            return;
        auto *window = qobject_cast<W *>(QApplication::activeModalWidget());
        if (!window) {
            if (auto next = again.lock())
                QTimer::singleShot(5, *next);
            return;
        }
        state->ran = true;
        drive(*window);
        if (window->isVisible())
            window->reject();
    };
    QTimer::singleShot(0, *poll);
    open();
    state->done = true;
    return state->ran;
}

} // namespace lintrel::testing
