// lintrel-brand news / marker: the brand's news requests made as the program makes them, and
// the last-news marker stored in a settings container.
#include "commands.h"

#include "brand/brand_loader.h"
#include "brand/brand_report.h"
#include "brand/settings_store.h"
#include "net/http_client.h"
#include "news/news_client.h"
#include "news/news_identity.h"
#include "util/errors.h"
#include "util/fields.h"
#include "util/file_io.h"

#include <atomic>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

namespace lintrel::brand_tool {

namespace {

constexpr OptionDef TimeoutOpt{"timeout", true};
constexpr int DefaultTimeoutSeconds = 60;
constexpr int MaxTimeoutSeconds = 24 * 3600;

// The program waits for the news service without a time limit (the user can close the
// window); a command line tool must not hang, so this aborts the transfer after a while.
class Watchdog
{
public:
    Watchdog(HttpClient &http, int seconds) : http_(http)
    {
        if (seconds > 0)
            thread_ = std::thread([this, seconds] { watch(std::chrono::seconds(seconds)); });
    }
    ~Watchdog()
    {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        woken_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

    bool fired() const { return fired_; }

private:
    void watch(std::chrono::seconds limit)
    {
        std::unique_lock lock(mutex_);
        if (woken_.wait_for(lock, limit, [this] { return done_; }))
            return;
        fired_ = true;
        http_.disconnect();
    }

    HttpClient &http_;
    std::mutex mutex_;
    std::condition_variable woken_;
    bool done_ = false;
    std::atomic<bool> fired_ = false;
    std::thread thread_;
};

int timeoutFrom(const ParsedArgs &args)
{
    const std::string *given = args.value("timeout");
    if (given == nullptr)
        return DefaultTimeoutSeconds;
    int seconds = -1;
    const auto [end, ec] = std::from_chars(given->data(), given->data() + given->size(), seconds);
    if (ec != std::errc() || end != given->data() + given->size() || seconds < 0 ||
        seconds > MaxTimeoutSeconds)
        throw UsageError("--timeout needs a whole number of seconds from 0 to 86400");
    return seconds;
}

// Why a brand makes no news requests, for a brand without a news identity.
std::string whyNoNews(const BrandSettings &brand)
{
    const std::string &level = brand.BranderType;
    if (level == "Free")
        return "the brand level Free makes no news requests";
    if (level == "Master" || level == "Platinum" || level == "Gold")
        return level + "PublID is empty, so the brand makes no news requests";
    return "BranderType \"" + escapeLineBreaks(level) +
           "\" is not a level with news (Master, Platinum or Gold)";
}

void printRecords(const std::vector<std::string> &records, Output io)
{
    for (const NewsItem &item : readNewsItems(records))
        io.out << escapeLineBreaks(item.id) << '\t' << escapeLineBreaks(item.title) << '\t'
               << escapeLineBreaks(item.published) << '\n';
}

// Makes one request and prints what it brought.
NewsOutcome request(HttpClient &http, const NewsIdentity &who,
                    const std::vector<std::string> &operands, Output io)
{
    const std::string &what = operands[1];
    if (what == "last") {
        std::string id, title;
        NewsOutcome outcome = getLastNews(http, who, id, title, false);
        if (outcome.ok && id.empty())
            io.err << "lintrel-brand: the news service has no item\n";
        else if (outcome.ok)
            io.out << escapeLineBreaks(id) << '\t' << escapeLineBreaks(title) << '\n';
        return outcome;
    }
    if (what == "list") {
        std::vector<std::string> records;
        NewsOutcome outcome = getNewsList(http, who, records);
        printRecords(records, io);
        return outcome;
    }
    std::string body;
    NewsOutcome outcome = getNewsDetails(http, who, operands[2], body);
    io.out.write(body.data(), static_cast<std::streamsize>(body.size()));
    return outcome;
}

void checkNewsOperands(const std::vector<std::string> &operands)
{
    const std::string &what = operands[1];
    if (what != "last" && what != "list" && what != "body")
        throw UsageError("news: unknown request '" + what + "' (last, list or body ID)");
    if (what == "body" && operands.size() < 3)
        throw UsageError("news body: missing news ID");
    if (what != "body" && operands.size() > 2)
        throw UsageError("extra operand '" + operands[2] + "'");
}

int runNews(std::span<const std::string> argv, Output io)
{
    const OptionDef options[] = {PasswordOption, TimeoutOpt};
    const ParsedArgs args = parseArgs(argv, options, 2, 3);
    checkNewsOperands(args.operands);
    const std::string password = passwordOrDefault(args);
    const int seconds = timeoutFrom(args);
    BrandInput input;
    try {
        input = readBrandInput(args.operands[0], password, io);
    } catch (const Error &e) {
        io.err << "lintrel-brand: " << e.what() << "\n";
        return ExitFileError;
    }
    const BrandSettings brand = readBrandDocument(input.document).settings;
    const std::optional<NewsIdentity> who = newsIdentityFor(brand);
    if (!who) {
        io.err << "lintrel-brand: " << args.operands[0] << ": " << whyNoNews(brand) << "\n";
        return ExitFileError;
    }
    HttpClient http;
    NewsOutcome outcome;
    bool timedOut = false;
    {
        Watchdog watchdog(http, seconds);
        outcome = request(http, *who, args.operands, io);
        timedOut = watchdog.fired();
    }
    io.out.flush();
    if (outcome.ok)
        return ExitOk;
    io.err << "lintrel-brand: "
           << outcome.message.value_or("no answer: the news service did not answer with OK")
           << "\n";
    if (timedOut)
        io.err << "lintrel-brand: no answer within " << seconds << " s (see --timeout)\n";
    return ExitFileError;
}

// 0 for a container that opens cleanly; else the reason on io.err and its exit code.
int containerVerdict(DecryptResult result, const std::string &path, bool storing, Output io)
{
    const char *nothing = storing ? "; nothing was stored" : "";
    if (result == DecryptResult::WrongPassword) {
        io.err << "lintrel-brand: " << path
               << ": wrong password, or not a settings container (password verifier mismatch)"
               << nothing << "\n";
        return ExitWrongPassword;
    }
    if (result == DecryptResult::Damaged) {
        io.err << "lintrel-brand: " << path
               << ": damaged container (authentication code mismatch or file cut short)" << nothing
               << "\n";
        return ExitDamaged;
    }
    return ExitOk;
}

int runMarker(std::span<const std::string> argv, Output io)
{
    const ParsedArgs args = parseArgs(argv, {}, 1, 2);
    const std::string &path = args.operands[0];
    try {
        const DecryptResult verdict = verifyFile(path, SettingsPassword);
        if (args.operands.size() == 1) {
            io.out << escapeLineBreaks(readLastNewsIdIn(path)) << "\n";
            return containerVerdict(verdict, path, false, io);
        }
        if (verdict != DecryptResult::Ok)
            return containerVerdict(verdict, path, true, io);
        // The store locks and rewrites the file a symbolic link points to, not the link, so
        // a running program storing its own marker takes turns with this one.
        const std::string target = std::filesystem::canonical(path).string();
        if (writeLastNewsIdIn(target, args.operands[1]) != MarkerWrite::Stored)
            return containerVerdict(DecryptResult::Damaged, path, true, io);
        return ExitOk;
    } catch (const Error &e) {
        io.err << "lintrel-brand: " << e.what() << "\n";
        return ExitFileError;
    } catch (const std::filesystem::filesystem_error &e) {
        io.err << "lintrel-brand: " << path << ": " << e.code().message() << "\n";
        return ExitFileError;
    }
}

constexpr Command Commands[] = {
    {"news", "CONTAINER last|list|body ID", "ask the brand's news service as the program does",
     runNews},
    {"marker", "CONTAINER [ID]", "print or store the id of the last news item read", runMarker},
};

} // namespace

std::span<const Command> newsCommands()
{
    return Commands;
}

} // namespace lintrel::brand_tool
