// A balloon notice: a small frameless tooltip-coloured bubble whose tail points at a screen point.
#pragma once

#include <QBitmap>
#include <QPainterPath>
#include <QPointer>
#include <QStaticText>
#include <QStringList>
#include <QTimer>
#include <QWidget>

namespace lintrel {

// The body lies below and to the left of the point, the tail rising from its top-right area to
// touch it. Only one balloon exists at a time: showing a new one removes the old. A balloon
// goes away when clicked, after its timeout, or when its owner window moves, is hidden or
// minimised.
//
// Where the desktop draws translucent windows, the balloon is one with soft edges and a
// see-through shadow. Elsewhere transparent pixels would show black, so the window is shaped
// to the bubble and its shadow (a mask) and every pixel it keeps is painted opaque.
class BalloonHint : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kShadowDepth = 4;
    static constexpr int kDefaultTimeoutMs = 15000;

    enum class Drawing {
        Automatic, // translucent where the desktop draws it, else shaped
        Translucent,
        Shaped,
    };
    // How balloons shown from now on are drawn (Automatic unless set).
    static void setDrawing(Drawing drawing);
    bool isShaped() const { return shaped_; }

    // Shows text (lines separated by CR LF or LF) pointing at globalPoint and returns the
    // balloon. owner is the window it belongs to and watches; it is deleted with it.
    static BalloonHint *showAt(const QString &text, QPoint globalPoint, QWidget *owner,
                               int timeoutMs = kDefaultTimeoutMs);

    // The balloon showing now, or null.
    static BalloonHint *current();

    QStringList lines() const { return lines_; }
    // The tip of the tail, in screen coordinates.
    QPoint tipPoint() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    BalloonHint(const QString &text, QWidget *owner, int timeoutMs);
    void layOut();
    QPainterPath outline() const;
    QBitmap shapeMask() const;
    void paintShape(QPainter &painter, const QBrush &shadow, const QBrush &body,
                    const QPen &edge) const;
    void dismiss();

    QStringList lines_;
    QStaticText text_;
    QRect textRect_; // where the text goes, in widget coordinates
    QRect body_;     // the rounded body, in widget coordinates
    QPoint tip_;     // the tail's tip, in widget coordinates
    QTimer expiry_;
    QPointer<QWidget> owner_;
    bool shaped_ = false;

    static QPointer<BalloonHint> current_;
    static Drawing drawing_;
};

} // namespace lintrel
