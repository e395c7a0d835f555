// Starting programs and opening addresses, behind an interface for headless tests.
#pragma once

#include <QString>
#include <QStringList>

namespace lintrel {

class Launcher
{
public:
    virtual ~Launcher() = default;
    // Opens an address with the desktop's handler for it; the outcome is not reported.
    virtual void openUrl(const QString &url) = 0;
    // Starts a program detached with the given arguments, never through a shell.
    // Returns false when the program could not be started.
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
};

class QtLauncher : public Launcher
{
public:
    void openUrl(const QString &url) override;
    bool startDetached(const QString &program, const QStringList &arguments) override;
};

} // namespace lintrel
