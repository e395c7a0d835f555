// Modal message boxes of the main window (msgMain), behind an interface for headless tests.
#pragma once

#include <QString>

class QWidget;

namespace lintrel {

enum class MessageKind { Warning, Information };
enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal box and waits for the answer. With OK and Cancel, OK is the default
    // button; Escape or closing the box answers Cancel.
    virtual MessageAnswer show(QWidget *parent, const QString &text, MessageKind kind,
                               MessageButtons buttons) = 0;
};

class QtMessageBoxes : public MessageBoxes
{
public:
    MessageAnswer show(QWidget *parent, const QString &text, MessageKind kind,
                       MessageButtons buttons) override;
};

} // namespace lintrel
