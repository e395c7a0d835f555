// The real main window under the offscreen platform: from a keystroke to the six fields
// updated, Format and Reflow on a large text, and process start to the window shown.
//
// Run: build/bench/bench_window  (sets QT_QPA_PLATFORM=offscreen itself)
#include "corpus.h"
#include "shell/frm_main.h"
#include "ui/error_handler.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <memory>

extern char **environ;

namespace {

int64_t monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

QString emailText(size_t bytes)
{
    QString text = QString::fromStdString(lintrel::makeEmailCorpus(bytes, false));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

struct Window
{
    lintrel::TfrmMain window;
    QPlainTextEdit *mem = window.findChild<QPlainTextEdit *>("memEmail");
    Window()
    {
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }
};

void BM_KeystrokeToFields(benchmark::State &state)
{
    Window w;
    w.mem->setPlainText(emailText(size_t(state.range(0))));
    w.mem->moveCursor(QTextCursor::End);
    auto *words = w.window.findChild<QLineEdit *>("edtWords1");
    for (auto _ : state) {
        QTest::keyClick(w.mem, Qt::Key_A);
        benchmark::DoNotOptimize(words->text());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_KeystrokeToFields)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_FormatInWindow(benchmark::State &state)
{
    Window w;
    const QString text = emailText(size_t(state.range(0)));
    auto *format = w.window.findChild<QPushButton *>("bsSkinButton5");
    for (auto _ : state) {
        state.PauseTiming();
        w.mem->setPlainText(text);
        state.ResumeTiming();
        QTest::mouseClick(format, Qt::LeftButton);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_FormatInWindow)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// Reflow of a reply thread: joins and re-wraps every paragraph, one edit of the text area.
void BM_ReflowInWindow(benchmark::State &state)
{
    Window w;
    QString text =
        QString::fromStdString(lintrel::makeEmailThreadCorpus(size_t(state.range(0)), false));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    auto *reflow = w.window.findChild<QPushButton *>("btnReflow");
    for (auto _ : state) {
        state.PauseTiming();
        w.mem->setPlainText(text);
        state.ResumeTiming();
        QTest::mouseClick(reflow, Qt::LeftButton);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ReflowInWindow)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// Spawns this program in child mode and takes the time until the child's window is shown.
void BM_StartUpToWindowShown(benchmark::State &state)
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) {
        state.SkipWithError("cannot find this program");
        return;
    }
    self[n] = '\0';
    for (auto _ : state) {
        int out[2];
        if (pipe(out) != 0) {
            state.SkipWithError("pipe failed");
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        char arg[] = "--startup-child";
        char *argv[] = {self, arg, nullptr};
        const int64_t start = monotonicNs();
        pid_t pid = 0;
        posix_spawn(&pid, self, &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        char buf[64] = {};
        const ssize_t got = read(out[0], buf, sizeof buf - 1);
        close(out[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        if (got <= 0) {
            state.SkipWithError("the child reported nothing");
            return;
        }
        state.SetIterationTime(double(std::strtoll(buf, nullptr, 10) - start) / 1e9);
    }
}
BENCHMARK(BM_StartUpToWindowShown)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// Child mode: what main() does, then the time the window was shown, then exit.
int startUpChild(int argc, char **argv)
{
    lintrel::LintrelApplication app(argc, argv);
    lintrel::TfrmMain window;
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    std::printf("%lld\n", static_cast<long long>(monotonicNs()));
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && std::string_view(argv[1]) == "--startup-child")
        return startUpChild(argc, argv);
    lintrel::LintrelApplication app(argc, argv);
    // The window's options as a new user has them, whatever this user chose.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
