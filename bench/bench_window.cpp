// The real main window under the offscreen platform: from a keystroke to the six fields
// updated, Format, Reflow and Import on large texts, the peak memory with a 16 MiB text, and
// process start to the window shown.
//
// Run: build/bench/bench_window  (sets QT_QPA_PLATFORM=offscreen itself)
#include "corpus.h"
#include "shell/frm_main.h"
#include "ui/error_handler.h"
#include "ui/file_dialogs.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <string_view>

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

// The open dialog confirms one fixed file.
class OneFileDialogs : public lintrel::FileDialogs
{
public:
    QString path;
    std::optional<lintrel::FileDialogChoice> openFile(QWidget *,
                                                      const lintrel::FileDialogRequest &) override
    {
        return lintrel::FileDialogChoice{path, 1};
    }
    std::optional<lintrel::FileDialogChoice> saveFile(QWidget *,
                                                      const lintrel::FileDialogRequest &) override
    {
        return std::nullopt;
    }
};

lintrel::MainWindowEnv env(lintrel::FileDialogs *dialogs)
{
    lintrel::MainWindowEnv env;
    env.dialogs = dialogs;
    return env;
}

struct Window
{
    OneFileDialogs dialogs;
    lintrel::TfrmMain window{env(&dialogs)};
    QPlainTextEdit *mem = window.findChild<QPlainTextEdit *>("memEmail");
    Window()
    {
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }
    void click(const char *button)
    {
        QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);
    }
    // Writes the corpus to a file that the open dialog will confirm.
    void writeCorpus(const QTemporaryDir &dir, size_t bytes)
    {
        dialogs.path = dir.filePath("corpus.txt");
        QFile file(dialogs.path);
        const std::string corpus = lintrel::makeEmailCorpus(bytes, false);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(corpus.data(), qint64(corpus.size())) != qint64(corpus.size()))
            std::abort();
    }
};

// The sizes of the text: 1, 4 and 16 MiB (the most the text area takes).
void textSizes(benchmark::internal::Benchmark *b)
{
    b->Arg(1 << 20)->Arg(4 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);
}

// One letter typed in the middle of the text, until the six fields show the new counts.
void BM_KeystrokeToFields(benchmark::State &state)
{
    Window w;
    w.mem->setPlainText(emailText(size_t(state.range(0))));
    QTextCursor cursor(w.mem->document()->findBlockByNumber(w.mem->blockCount() / 2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    w.mem->setTextCursor(cursor);
    auto *words = w.window.findChild<QLineEdit *>("edtWords1");
    for (auto _ : state) {
        QTest::keyClick(w.mem, Qt::Key_A);
        benchmark::DoNotOptimize(words->text());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_KeystrokeToFields)->Apply(textSizes);

void BM_FormatInWindow(benchmark::State &state)
{
    Window w;
    const QString text = emailText(size_t(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.mem->setPlainText(text);
        state.ResumeTiming();
        w.click("bsSkinButton5");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_FormatInWindow)->Apply(textSizes);

// Import From File of the corpus (CR LF breaks) into an empty text area.
void BM_ImportInWindow(benchmark::State &state)
{
    Window w;
    QTemporaryDir dir;
    w.writeCorpus(dir, size_t(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.mem->setPlainText(QString());
        state.ResumeTiming();
        w.click("btnImport");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ImportInWindow)->Apply(textSizes);

// The text area's own cost of taking a text (no undo step, no file): what Import cannot beat.
void BM_SetPlainTextReference(benchmark::State &state)
{
    Window w;
    const QString text = emailText(size_t(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.mem->setPlainText(QString());
        state.ResumeTiming();
        w.mem->setPlainText(text);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_SetPlainTextReference)->Apply(textSizes);

// Runs this program in a child mode and returns what the child printed ("" on failure);
// `started` receives the monotonic time just before the child was spawned.
std::string runChild(const char *mode, int64_t &started)
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    int out[2];
    if (n <= 0 || pipe(out) != 0)
        return {};
    self[n] = '\0';
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string arg = mode;
    char *argv[] = {self, arg.data(), nullptr};
    started = monotonicNs();
    pid_t pid = 0;
    const bool spawned = posix_spawn(&pid, self, &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string printed;
    char buf[256];
    for (ssize_t got; spawned && (got = read(out[0], buf, sizeof buf)) > 0;)
        printed.append(buf, size_t(got));
    close(out[0]);
    int status = 0;
    if (spawned)
        waitpid(pid, &status, 0);
    return printed;
}

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
    for (auto _ : state) {
        int64_t start = 0;
        const std::string printed = runChild("--startup-child", start);
        if (printed.empty()) {
            state.SkipWithError("the child reported nothing");
            return;
        }
        state.SetIterationTime(double(std::strtoll(printed.c_str(), nullptr, 10) - start) / 1e9);
    }
}
BENCHMARK(BM_StartUpToWindowShown)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// The peak resident memory of a fresh process holding a 16 MiB text: after Import and one
// keystroke, and after Format on top of that (counters in MB).
void BM_PeakMemory16MiB(benchmark::State &state)
{
    for (auto _ : state) {
        int64_t start = 0;
        const std::string printed = runChild("--memory-child", start);
        long long afterImport = 0, afterFormat = 0;
        if (std::sscanf(printed.c_str(), "%lld %lld", &afterImport, &afterFormat) != 2) {
            state.SkipWithError("the child reported nothing");
            return;
        }
        state.counters["import_MB"] = double(afterImport) / 1024;
        state.counters["format_MB"] = double(afterFormat) / 1024;
    }
}
BENCHMARK(BM_PeakMemory16MiB)->Iterations(1)->Unit(benchmark::kMillisecond);

long long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int memoryChild(int argc, char **argv)
{
    lintrel::LintrelApplication app(argc, argv);
    QTemporaryDir dir;
    Window w;
    w.writeCorpus(dir, 16 << 20);
    w.click("btnImport");
    QTest::keyClick(w.mem, Qt::Key_A);
    std::printf("%lld ", peakKiB());
    w.click("bsSkinButton5");
    std::printf("%lld\n", peakKiB());
    std::fflush(stdout);
    return 0;
}

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
    if (argc > 1 && std::string_view(argv[1]) == "--memory-child")
        return memoryChild(argc, argv);
    lintrel::LintrelApplication app(argc, argv);
    // The window's options as a new user has them, whatever this user chose.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
