// Small widgets the windows share: a clickable picture label, a link label, a number field,
// object naming and centring on the screen.
#pragma once

#include <QLabel>
#include <QLineEdit>

namespace lintrel {

// Moves a window that is not shown yet to the centre of its screen's work area (the screen of
// its parent window when it has one), whatever its parent's place.
void centreOnScreen(QWidget *window);

// widget with its objectName set to name, the name tests find it by.
template <class W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A label that reports a left click (the banner pictures).
class ClickableLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// A label that shows a caption as a link and carries the address it opens.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(QWidget *parent = nullptr);
    void setLink(const QString &caption, const QString &url);
    QString caption() const { return caption_; }
    QString url() const { return url_; }
signals:
    void linkClicked(const QString &url);

private:
    QString caption_;
    QString url_;
};

// A one-line field for whole numbers, as wide as its longest number needs in its font (digits
// measured at the font's widest digit) and never smaller than its design size. It follows
// font and style changes, so a skin with another font resizes it too.
class NumberField : public QLineEdit
{
    Q_OBJECT
public:
    NumberField(int digits, bool negative, QSize designSize, QWidget *parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void changeEvent(QEvent *event) override;

private:
    int digits_;
    bool negative_;
    QSize designSize_;
};

} // namespace lintrel
