// A balloon notice: a small frameless tooltip-coloured bubble whose tail points at a screen point.
#include "ui/balloon_hint.h"

#include "ui/compositing.h"

#include <QBitmap>
#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTextOption>

namespace lintrel {

namespace {

constexpr int kMaxTextWidth = 320;
constexpr qsizetype kMaxTextLength = 400;
constexpr int kMinBodyWidth = 72;
constexpr int kPadX = 9;
constexpr int kPadY = 6;
constexpr int kTailHeight = 16;
constexpr int kTailWidth = 16;
constexpr int kTailInset = 22; // from the body's right edge to the tip
constexpr int kRadius = 6;

QFont balloonFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

QPointer<BalloonHint> BalloonHint::current_;
BalloonHint::Drawing BalloonHint::drawing_ = BalloonHint::Drawing::Automatic;

void BalloonHint::setDrawing(Drawing drawing)
{
    drawing_ = drawing;
}

BalloonHint *BalloonHint::showAt(const QString &text, QPoint globalPoint, QWidget *owner,
                                 int timeoutMs)
{
    delete current_.data();
    auto *balloon = new BalloonHint(text, owner, timeoutMs);
    current_ = balloon;
    balloon->move(globalPoint - balloon->tip_);
    balloon->show();
    return balloon;
}

BalloonHint *BalloonHint::current()
{
    return current_.data();
}

BalloonHint::BalloonHint(const QString &text, QWidget *owner, int timeoutMs)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint), owner_(owner)
{
    setObjectName(QStringLiteral("BalloonHint1"));
    shaped_ = drawing_ == Drawing::Shaped ||
              (drawing_ == Drawing::Automatic && !desktopDrawsTranslucentWindows());
    if (!shaped_)
        setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(balloonFont());
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    // A server-given title could be of any length: the balloon shows the start of it.
    if (plain.size() > kMaxTextLength)
        plain = plain.left(kMaxTextLength) + QChar(0x2026);
    lines_ = plain.split(QLatin1Char('\n'));
    layOut();

    expiry_.setSingleShot(true);
    connect(&expiry_, &QTimer::timeout, this, &BalloonHint::dismiss);
    expiry_.start(timeoutMs);
    if (owner_)
        owner_->installEventFilter(this);
}

void BalloonHint::layOut()
{
    // Each line as wide as it needs up to the limit; longer ones wrap, at a space when there
    // is one. A title without spaces still wraps rather than running off the screen.
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString &line : lines_)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    text_.setText(lines_.join(QChar::LineSeparator));
    text_.setTextFormat(Qt::PlainText);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    text_.setTextOption(option);
    text_.setTextWidth(std::min(widest + 1, kMaxTextWidth));
    text_.prepare(QTransform(), font());
    const QSize size = text_.size().toSize();
    const int bodyWidth = std::max(kMinBodyWidth, size.width() + 2 * kPadX);
    body_ = QRect(0, kTailHeight, bodyWidth, size.height() + 2 * kPadY);
    textRect_ = body_.adjusted(kPadX, kPadY, -kPadX, -kPadY);
    tip_ = QPoint(body_.right() - kTailInset, 0);
    setFixedSize(body_.width() + kShadowDepth, body_.bottom() + 1 + kShadowDepth);
    if (shaped_)
        setMask(shapeMask());
}

QBitmap BalloonHint::shapeMask() const
{
    // Exactly the pixels that painting covers: the same shapes drawn without antialiasing, so
    // no edge pixel shows the window's ground.
    QBitmap mask(size());
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    paintShape(painter, Qt::color1, Qt::color1, QPen(Qt::color1, 1));
    return mask;
}

QPoint BalloonHint::tipPoint() const
{
    return mapToGlobal(tip_);
}

QPainterPath BalloonHint::outline() const
{
    QPainterPath body;
    body.addRoundedRect(QRectF(body_).adjusted(0.5, 0.5, -0.5, -0.5), kRadius, kRadius);
    QPainterPath tail;
    const QPointF tip(tip_.x() + 0.5, tip_.y() + 0.5);
    tail.moveTo(tip);
    tail.lineTo(tip.x(), body_.top() + kRadius);
    tail.lineTo(tip.x() - kTailWidth, body_.top() + kRadius);
    tail.closeSubpath();
    return body.united(tail);
}

void BalloonHint::paintShape(QPainter &painter, const QBrush &shadow, const QBrush &body,
                             const QPen &edge) const
{
    const QPainterPath shape = outline();
    painter.setPen(shaped_ ? QPen(shadow, 1) : QPen(Qt::NoPen));
    painter.setBrush(shadow);
    painter.drawPath(shape.translated(kShadowDepth, kShadowDepth));
    painter.setPen(edge);
    painter.setBrush(body);
    painter.drawPath(shape);
}

void BalloonHint::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPen edge(palette().color(QPalette::ToolTipText), 1);
    const QBrush body = palette().color(QPalette::ToolTipBase);
    if (shaped_) {
        paintShape(painter, palette().color(QPalette::Dark), body, edge);
    } else {
        painter.setRenderHint(QPainter::Antialiasing);
        paintShape(painter, QColor(0, 0, 0, 90), body, edge);
    }
    painter.drawStaticText(textRect_.topLeft(), text_);
}

void BalloonHint::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    dismiss();
}

bool BalloonHint::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == owner_) {
        const QEvent::Type type = event->type();
        const bool minimised = type == QEvent::WindowStateChange && owner_->isMinimized();
        if (type == QEvent::Move || type == QEvent::Hide || type == QEvent::Close || minimised)
            dismiss();
    }
    return QWidget::eventFilter(watched, event);
}

void BalloonHint::dismiss()
{
    expiry_.stop();
    if (owner_)
        owner_->removeEventFilter(this);
    hide();
    if (current_ == this)
        current_ = nullptr;
    deleteLater();
}

} // namespace lintrel
