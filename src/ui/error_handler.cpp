// The application object and its handler for errors that escape an event handler.
#include "ui/error_handler.h"

#include <QMessageBox>
#include <cstdio>
#include <exception>

namespace lintrel {

namespace {

constexpr QLatin1String kUnbrandedTitle("Lintrel");

} // namespace

LintrelApplication::LintrelApplication(int &argc, char **argv)
    : QApplication(argc, argv), programTitle_(QString(kUnbrandedTitle))
{
    errorSink_ = [this](const QString &message) { showErrorBox(message); };
}

void LintrelApplication::showErrorBox(const QString &message) const
{
    QMessageBox box(QMessageBox::Critical, programTitle_, message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void LintrelApplication::setProgramTitle(const QString &applicationName)
{
    programTitle_ = applicationName.isEmpty() ? QString(kUnbrandedTitle) : applicationName;
}

void setProgramTitle(const QString &applicationName)
{
    if (auto *app = dynamic_cast<LintrelApplication *>(QCoreApplication::instance()))
        app->setProgramTitle(applicationName);
}

bool LintrelApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        reportUnhandledError(QString::fromUtf8(e.what()));
    } catch (...) {
        reportUnhandledError(QStringLiteral("Unknown error"));
    }
    return false;
}

void LintrelApplication::setErrorSink(ErrorSink sink)
{
    errorSink_ = std::move(sink);
}

void LintrelApplication::reportUnhandledError(const QString &message)
{
    std::fprintf(stderr, "lintrel: error: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    if (errorSink_)
        errorSink_(message);
}

void runGuarded(const std::function<void()> &command)
{
    try {
        command();
    } catch (const std::exception &e) {
        auto *app = dynamic_cast<LintrelApplication *>(QCoreApplication::instance());
        if (!app)
            throw;
        app->reportUnhandledError(QString::fromUtf8(e.what()));
    }
}

} // namespace lintrel
