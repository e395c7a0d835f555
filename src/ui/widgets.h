// Small widgets the windows share: a clickable picture label and a link label.
#pragma once

#include <QLabel>

namespace lintrel {

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
