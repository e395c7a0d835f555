// The system clipboard through QGuiApplication.
#include "ui/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace lintrel {

void QtClipboard::setText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

} // namespace lintrel
