// Benchmarks of lintrel-newsd: the cost of answering one request with 20,000 items in memory,
// apart from the network, and of the check for folder changes that precedes each request.
#include "content_store.h"
#include "news_routes.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using namespace lintrel::newsd;

constexpr int kItems = 20000;

const NewsIndex &index20k()
{
    static const NewsIndex built([] {
        NewsContent content;
        content.levels = {{"Gold", "BG", {"demo-gold"}, {"LINTRELDEMO"}}};
        for (int id = 1; id <= kItems; ++id)
            content.items.push_back({static_cast<std::uint64_t>(id), "Item " + std::to_string(id),
                                     "2026-01-01", "<p>Item " + std::to_string(id) + "</p>\n"});
        return content;
    }());
    return built;
}

// The form the program sends, with the given fourth field.
std::string form(const std::string &name, const std::string &value)
{
    std::string body;
    for (const auto &[n, v] : {std::pair<std::string, std::string>{"memusername", "demo-gold"},
                               {"prodcode", "LINTRELDEMO"},
                               {"prodtype", "BG"},
                               {name, value},
                               {"newstarget", "UA"},
                               {"something", ""}})
        body += "--B\r\nContent-Disposition: form-data; name=\"" + n + "\"\r\n\r\n" + v + "\r\n";
    return body + "\r\n--B--\r\n";
}

void answer(benchmark::State &state, const char *script, const std::string &body)
{
    const NewsIndex &index = index20k();
    const std::string target = std::string("/news/") + script;
    for (auto _ : state) {
        HttpReply reply = answerHttpRequest(
            index, "/news/", {"POST", target, "multipart/form-data; boundary=B", body});
        benchmark::DoNotOptimize(reply);
    }
}

void BM_Answer_LastCode(benchmark::State &state)
{
    answer(state, "getlastnews.php", form("conttype", "lastcode"));
}
void BM_Answer_All(benchmark::State &state)
{
    answer(state, "getlastnews.php", form("conttype", "all"));
}
void BM_Answer_Details(benchmark::State &state)
{
    answer(state, "getnewsdetails.php", form("newsid", "12345"));
}

// The content store on a real folder: the work each request does before its answer.
void BM_Store_Current(benchmark::State &state)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "bench-newsd-XXXXXX").string();
    const std::filesystem::path dir = ::mkdtemp(pattern.data());
    std::filesystem::create_directory(dir / "news");
    std::ofstream(dir / "news" / "1.html") << "Title: One\n\n<p>1</p>";
    {
        ContentStore store(dir.string(), [](const std::string &) {});
        for (auto _ : state)
            benchmark::DoNotOptimize(store.current());
    }
    std::filesystem::remove_all(dir);
}

} // namespace

BENCHMARK(BM_Answer_LastCode);
BENCHMARK(BM_Answer_All);
BENCHMARK(BM_Answer_Details);
BENCHMARK(BM_Store_Current);
BENCHMARK_MAIN();
