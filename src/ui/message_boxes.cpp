// Modal message boxes shown with QMessageBox.
#include "ui/message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace lintrel {

MessageAnswer QtMessageBoxes::show(QWidget *parent, const QString &text, MessageKind kind,
                                   MessageButtons buttons)
{
    const auto icon =
        kind == MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Information;
    const QString title =
        parent ? parent->window()->windowTitle() : QApplication::applicationDisplayName();
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    if (buttons == MessageButtons::OkCancel) {
        box.addButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    }
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

} // namespace lintrel
