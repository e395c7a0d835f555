// Tests of runKeepingUiAlive: results and errors come back, and the GUI thread keeps serving
// timers and clicks while a request waits, so a click can disconnect it.
#include "ui/blocking_call.h"

#include "net/http_client.h"
#include "support/raw_socket_server.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

using lintrel::HttpClient;
using lintrel::HttpResult;
using lintrel::runKeepingUiAlive;
using lintrel::test::RawSocketServer;

namespace {

// The shared window test main provides the application object.
class BlockingCallTest : public testing::Test
{
};

} // namespace

TEST_F(BlockingCallTest, ReturnsResultsAndRethrowsErrors)
{
    const std::thread::id gui = std::this_thread::get_id();
    EXPECT_EQ(runKeepingUiAlive([] { return std::string("done"); }), "done");
    EXPECT_NE(runKeepingUiAlive([] { return std::this_thread::get_id(); }), gui);
    int calls = 0;
    runKeepingUiAlive([&calls] { ++calls; });
    EXPECT_EQ(calls, 1);
    EXPECT_THROW(runKeepingUiAlive([]() -> int { throw std::runtime_error("boom"); }),
                 std::runtime_error);
}

TEST_F(BlockingCallTest, WindowServesTimersAndClicksWhileARequestWaits)
{
    RawSocketServer silent([](const std::string &) { return std::nullopt; });
    HttpClient client;
    QPushButton button("Stop");
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ++clicks;
        client.disconnect(); // what closing the window does
    });
    int ticks = 0;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        // Click once the request is held by the server and the timer has ticked a few times.
        if (++ticks == 3 && silent.waitForRequests(1, std::chrono::seconds(10)))
            QTest::mouseClick(&button, Qt::LeftButton);
    });
    timer.start();

    // Should the GUI thread stop serving events, the watchdog ends the request so the test
    // fails instead of hanging.
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!finished.wait_for(lock, std::chrono::seconds(20), [&] { return done; }))
            client.disconnect();
    });
    const HttpResult result =
        runKeepingUiAlive([&] { return client.get(silent.url("/slow"), 1024); });
    timer.stop();
    {
        std::lock_guard guard(mutex);
        done = true;
    }
    finished.notify_all();
    watchdog.join();
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("disconnect"), std::string::npos) << result.error;
}
