// The application object and its handler for errors that escape an event handler.
#include "ui/error_handler.h"

#include <QMessageBox>
#include <cstdio>
#include <exception>

namespace lintrel {

LintrelApplication::LintrelApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    errorSink_ = [](const QString &message) {
        QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), message,
                        QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    };
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
