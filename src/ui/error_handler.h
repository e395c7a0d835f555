// The application object and its handler for errors that escape an event handler.
#pragma once

#include <QApplication>
#include <functional>

namespace lintrel {

// QApplication that catches exceptions escaping event handlers: the message is written as
// one line to standard error and shown in a modal error box; the program goes on.
class LintrelApplication : public QApplication
{
public:
    LintrelApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Replaces the error box (tests record the message instead of showing a box).
    using ErrorSink = std::function<void(const QString &message)>;
    void setErrorSink(ErrorSink sink);

    // Reports one unhandled error through stderr and the sink.
    void reportUnhandledError(const QString &message);

private:
    ErrorSink errorSink_;
};

// Runs a command; an error it raises goes to the application's handler for unhandled errors
// (rethrown when there is no LintrelApplication).
void runGuarded(const std::function<void()> &command);

} // namespace lintrel
