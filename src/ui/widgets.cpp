// Small widgets the windows share.
#include "ui/widgets.h"

#include <QAbstractButton>
#include <QMouseEvent>
#include <QScreen>

namespace lintrel {

void returnFocusAfterClick(QAbstractButton *button, QWidget *target)
{
    // Connected after the handlers, so it runs once the command is done; with target as the
    // context the connection ends with it.
    QObject::connect(button, &QAbstractButton::clicked, target,
                     [target] { target->setFocus(Qt::OtherFocusReason); });
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void centreOnScreen(QWidget *window)
{
    const QWidget *parent = window->parentWidget();
    const QScreen *screen = parent ? parent->window()->screen() : window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // Moving it also keeps a dialog from centring itself on its parent when shown.
    window->move(area.x() + (area.width() - window->width()) / 2,
                 area.y() + (area.height() - window->height()) / 2);
}

LinkLabel::LinkLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    // Reached with Tab; a click opens the link without taking the keyboard from the editor.
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    // The address is carried here, not in the markup, so any characters are safe in it.
    connect(this, &QLabel::linkActivated, this, [this] { emit linkClicked(url_); });
}

void LinkLabel::setLink(const QString &caption, const QString &url)
{
    caption_ = caption;
    url_ = url;
    setText(caption.isEmpty()
                ? QString()
                : QStringLiteral("<a href=\"#\">%1</a>").arg(caption.toHtmlEscaped()));
    setToolTip(url);
}

} // namespace lintrel
