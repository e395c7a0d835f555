// The application object and its handler for errors that escape an event handler.
#pragma once

#include <QApplication>
#include <functional>

namespace lintrel {

// QApplication that catches exceptions escaping event handlers: the message is written as
// one line to standard error and shown in a modal error box titled with the program's title;
// the program goes on.
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

    // The modal error box that the default sink shows.
    void showErrorBox(const QString &message) const;

    // The program's title: the brand's application name, "Lintrel" while it is empty.
    void setProgramTitle(const QString &applicationName);

private:
    ErrorSink errorSink_;
    QString programTitle_;
};

// Sets the program's title of the running LintrelApplication; nothing without one.
void setProgramTitle(const QString &applicationName);

// Runs a command; an error it raises goes to the application's handler for unhandled errors
// (rethrown when there is no LintrelApplication).
void runGuarded(const std::function<void()> &command);

} // namespace lintrel
