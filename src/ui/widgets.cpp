// Small widgets the windows share.
#include "ui/widgets.h"

#include <QMouseEvent>

namespace lintrel {

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

LinkLabel::LinkLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
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
