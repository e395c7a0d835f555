// A main window on a temporary executable directory with recording fakes.
#pragma once

#include "shell/frm_main.h"
#include "shell/news_part.h"
#include "shell/update_part.h"
#include "support/fakes.h"
#include "support/temp_folder.h"
#include "ui/error_handler.h"

#include <QFile>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace lintrel::testing {

// The tests' temporary folder with the QString paths window code takes.
struct QtTempFolder
{
    test::TempFolder folder{"window"};
    QString path() const { return QString::fromStdString(folder.path().string()); }
    QString filePath(const QString &name) const { return path() + QLatin1Char('/') + name; }
};

struct WindowHarness
{
    QtTempFolder dir;
    FakeMessageBoxes messages;
    FakeFileDialogs dialogs;
    FakeClipboard clipboard;
    FakeLauncher launcher;
    std::unique_ptr<TfrmMain> window;
    // The live-update server the window asks; by default a closed local port, so no test
    // depends on what listens at the compiled-in address.
    QString updateBaseUrl = QStringLiteral("http://127.0.0.1:1/liveupdate/lintrel/");
    Launcher *launcherInUse = nullptr; // null: the fake launcher above
    HttpService *http = nullptr;       // null: the real client

    // Creates the window (runs its creation), optionally shows it and waits until exposed.
    TfrmMain &open(bool show = true)
    {
        MainWindowEnv env;
        env.exeDir = dir.path() + QLatin1Char('/');
        env.messages = &messages;
        env.dialogs = &dialogs;
        env.clipboard = &clipboard;
        env.launcher = launcherInUse ? launcherInUse : &launcher;
        env.updateBaseUrl = updateBaseUrl;
        env.http = http;
        window = std::make_unique<TfrmMain>(env);
        if (show) {
            window->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        }
        return *window;
    }

    template <class W> W *child(const char *name) const
    {
        auto *w = window->findChild<W *>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << "no child named " << name;
        return w;
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    void writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

// Collects what reaches the application's handler for unhandled errors while it lives.
class ErrorRecorder
{
public:
    ErrorRecorder()
    {
        app()->setErrorSink([this](const QString &message) { errors << message; });
    }
    ~ErrorRecorder() { app()->setErrorSink({}); }
    ErrorRecorder(const ErrorRecorder &) = delete;
    ErrorRecorder &operator=(const ErrorRecorder &) = delete;

    static LintrelApplication *app()
    {
        return static_cast<LintrelApplication *>(QCoreApplication::instance());
    }

    QStringList errors;
};

} // namespace lintrel::testing
