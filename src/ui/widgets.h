// Small widgets the windows share: a clickable picture label, a link label, object naming.
#pragma once

#include <QLabel>

namespace lintrel {

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

} // namespace lintrel
