// lintrel-newsd: a small news and live-update server for Lintrel brands, serving a folder.
#include "news_server.h"

#include "util/errors.h"

#include <atomic>
#include <charconv>
#include <chrono>
#include <csignal>
#include <iostream>
#include <optional>
#include <pthread.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using lintrel::newsd::ServerOptions;

constexpr int kExitUsage = 64;

constexpr const char *kUsage = R"(Usage: lintrel-newsd [OPTIONS]

Serves a Lintrel brand's news items and the live-update descriptor from a folder.

Options:
  --content DIR      the content folder (default: the current folder)
  --address ADDR     the address to listen on (default: 127.0.0.1)
  --port N           the port (default: 8642; 0 picks a free one)
  --news-path PATH   where the news scripts live (default: /news/); the brand's
                     news base URL is http://ADDR:PORT followed by PATH
  -h, --help         show this help

The content folder:
  publishers.ini     [Master], [Platinum] and [Gold] sections, each with
                     PublisherIds=id1, id2 and BrandCodes=CODE1, CODE2
  news/<id>.html     one item each: "Title: ..." and "Published: ..." lines, an
                     empty line, then the HTML body; the largest id is the newest
  mainappupdate.inf  the update descriptor ([APPLICATION] Version=, Name=)
Files are read again as soon as they change. Publish by writing a new file under
a name starting with "." and renaming it into place; a file still being written
is not served (its last complete version is, if any).

Answers:
  POST PATH/getlastnews.php      conttype=all: the list; conttype=lastcode: the newest
  POST PATH/getnewsdetails.php   newsid=N: the item's escaped HTML body
  GET  /liveupdate/lintrel/mainappupdate.inf
Request bodies over 64 KiB are refused (413), headers over 16 KiB too (431). A
request must arrive whole within 10 seconds; an idle connection is closed after
5 seconds. One line per request goes to standard error. Ends at once on SIGINT
or SIGTERM.
)";

struct UsageError
{
    std::string message;
};

int parsePort(const std::string &text)
{
    int port = -1;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (ec != std::errc() || ptr != text.data() + text.size() || port < 0 || port > 65535)
        throw UsageError{"--port needs a number from 0 to 65535, not '" + text + "'"};
    return port;
}

// Returns nullopt when --help was asked for.
std::optional<ServerOptions> parseOptions(const std::vector<std::string> &args)
{
    ServerOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (name == "-h" || name == "--help")
            return std::nullopt;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        if (name != "--content" && name != "--address" && name != "--port" && name != "--news-path")
            throw UsageError{"unknown argument '" + args[i] + "'"};
        if (!value) {
            if (i + 1 >= args.size())
                throw UsageError{name + " needs a value"};
            value = args[++i];
        }
        if (name == "--content")
            options.contentDir = *value;
        else if (name == "--address")
            options.address = *value;
        else if (name == "--port")
            options.port = parsePort(*value);
        else
            options.newsPath = *value;
    }
    return options;
}

// Many clients each hold a connection: allow as many descriptors as the system lets us.
void raiseDescriptorLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// Blocks the signals that end the server in this thread and every thread it starts.
sigset_t blockStopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1); // the listener ended on its own
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signals;
}

std::string serverUrl(const std::string &address, int port)
{
    const bool ipv6 = address.find(':') != std::string::npos;
    return "http://" + (ipv6 ? "[" + address + "]" : address) + ":" + std::to_string(port);
}

// Serves until SIGINT or SIGTERM. The signals are blocked in every thread and taken with
// sigwait here, so stopping the server happens outside a signal handler.
int serve(const ServerOptions &options)
{
    const sigset_t signals = blockStopSignals();
    raiseDescriptorLimit();

    lintrel::newsd::NewsServer server(options);
    const int port = server.bind();
    std::atomic<bool> done = false;
    std::thread listener([&] {
        server.listen();
        done = true;
        kill(getpid(), SIGUSR1);
    });
    std::cout << "listening on " << serverUrl(options.address, port) << std::endl;
    int signal = 0;
    sigwait(&signals, &signal);
    // A signal can come before the listener runs; stop() only takes once it does.
    while (!done) {
        server.stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    listener.join();
    if (signal == SIGUSR1) {
        std::cerr << "lintrel-newsd: the server stopped unexpectedly" << std::endl;
        return 1;
    }
    std::cerr << "lintrel-newsd: stopped" << std::endl;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    try {
        const auto options = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (!options) {
            std::cout << kUsage;
            return 0;
        }
        return serve(*options);
    } catch (const UsageError &e) {
        std::cerr << "lintrel-newsd: " << e.message << "\n\n" << kUsage;
        return kExitUsage;
    } catch (const std::exception &e) {
        std::cerr << "lintrel-newsd: " << e.what() << "\n";
        return 1;
    }
}
