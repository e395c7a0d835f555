// The editor's email commands: Email-aware Format, Reflow, and format=flowed copy and save.
//
// The part owns its command widgets; the window places them and hands over the editor's
// text and the Format options through EmailEditor. Format and Reflow return the new text, and the
// part remembers what they made so that a flowed copy marks exactly their breaks as soft.
#pragma once

#include "formatter/unicode_text.h"

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QPushButton;
class QWidget;

namespace lintrel {

class Clipboard;

// What the commands need of the window.
struct EmailEditor
{
    std::function<QString()> text;                // the text, lines separated by '\n'
    std::function<void(const QString &)> replace; // one undo step; the counts follow
    std::function<int()> maxLength; // M, or 0 after telling the user that it cannot be used
    std::function<void(const QString &)> saveAs; // asks for a file and saves the given text
    std::function<bool()> emailAware;            // the "Email-aware Format" option
    std::function<Measure()> measure;            // what lengths are counted in
    Clipboard *clipboard = nullptr;
};

class EmailCommands : public QObject
{
public:
    EmailCommands(EmailEditor editor, QWidget *parent);

    QAction *copyFlowed() const { return copyFlowed_; }
    QAction *saveFlowed() const { return saveFlowed_; }
    QPushButton *btnReflow() const { return reflow_; }

    // What Format makes of the text at M >= 1: the described wrapper, or the email rules
    // when "Email-aware Format" is on.
    QString format(const QString &text, int maxLength);
    // The described Format changed before into after (done in place by the panel).
    void noteFormat(const QString &before, const QString &after, int maxLength);

    // The text as format=flowed, lines separated by '\n': the breaks the last Format or Reflow
    // made are soft while the text is still what it made; every other break is hard.
    QString flowedText() const;

private:
    enum class Made { Nothing, Format, EmailFormat, Reflow };
    void remember(Made made, const QString &before, const QString &after, int maxLength);
    void reflowClick();

    EmailEditor editor_;
    QAction *copyFlowed_ = nullptr;
    QAction *saveFlowed_ = nullptr;
    QPushButton *reflow_ = nullptr;
    Made made_ = Made::Nothing;
    QString before_, after_;
    int madeWith_ = 0; // M of the last Format or Reflow
};

} // namespace lintrel
