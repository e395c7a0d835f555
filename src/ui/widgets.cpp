// Small widgets the windows share.
#include "ui/widgets.h"

#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <cmath>

namespace lintrel {

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

NumberField::NumberField(int digits, bool negative, QSize designSize, QWidget *parent)
    : QLineEdit(parent), digits_(digits), negative_(negative), designSize_(designSize)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setTextMargins(0, 0, 0, 0);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize NumberField::sizeHint() const
{
    ensurePolished();
    // The longest number written with the widest digit, measured as a whole: advances are
    // fractional, so a sum of rounded digit widths could come out short.
    const QFontMetricsF metrics(font());
    QChar widest = QLatin1Char('0');
    for (char c = '1'; c <= '9'; ++c) {
        if (metrics.horizontalAdvance(QLatin1Char(c)) > metrics.horizontalAdvance(widest))
            widest = QLatin1Char(c);
    }
    const QString sample = (negative_ ? QStringLiteral("-") : QString()) + QString(digits_, widest);
    const int text = int(std::ceil(metrics.horizontalAdvance(sample)));
    // Measured as QLineEdit lays out its text: 2 pixels each side and 1 above and below inside
    // the frame, the text margins, and the cursor's pixel after the last digit.
    const QMargins margins = textMargins();
    const QSize contents(text + 2 * 2 + 1 + margins.left() + margins.right(),
                         int(std::ceil(metrics.height())) + 2 * 1 + margins.top() +
                             margins.bottom());
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, contents, this)
        .expandedTo(designSize_);
}

void NumberField::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        updateGeometry();
}

} // namespace lintrel
