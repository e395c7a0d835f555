// Benchmarks: how fast a disconnect ends a held request, a news exchange on loopback, and
// decoding a news body.
#include "net/http_client.h"
#include "news/news_client.h"
#include "support/raw_socket_server.h"
#include "util/news_text.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

using namespace lintrel;
using lintrel::test::RawSocketServer;

// Time from disconnect() to the aborted request having returned to its caller.
static void BM_DisconnectEndsHeldRequest(benchmark::State &state)
{
    RawSocketServer silent([](const std::string &) { return std::nullopt; });
    HttpClient client;
    std::size_t held = 0;
    for (auto _ : state) {
        std::thread request([&] { client.get(silent.url("/hold"), 1024); });
        silent.waitForRequests(++held, std::chrono::seconds(10));
        const auto start = std::chrono::steady_clock::now();
        client.disconnect();
        request.join();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
    }
}
BENCHMARK(BM_DisconnectEndsHeldRequest)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(50);

// One newest-item request over loopback: body building, the POST, reading the answer.
static void BM_NewestItemExchange(benchmark::State &state)
{
    RawSocketServer server([](const std::string &) {
        return RawSocketServer::answer("200 OK", "17^Spring sale^2026\xAFOK");
    });
    HttpClient client;
    NewsIdentity who;
    who.publisherId = "pub";
    who.brandCode = "ACME";
    who.prodType = "BM";
    who.masterBaseUrl = server.url("/news/");
    std::string id, title;
    for (auto _ : state)
        benchmark::DoNotOptimize(getLastNews(client, who, id, title, true));
}
BENCHMARK(BM_NewestItemExchange)->Unit(benchmark::kMicrosecond);

static void BM_UnescapeNewsText(benchmark::State &state)
{
    std::string body;
    while (body.size() < 1 << 20)
        body += "$3Cp$3ESome news text with an escaped $24 sign.$3C/p$3E\r\n";
    for (auto _ : state)
        benchmark::DoNotOptimize(UnescapeNewsText(body));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(body.size()));
}
BENCHMARK(BM_UnescapeNewsText)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
