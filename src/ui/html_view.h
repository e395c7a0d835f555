// A read-only HTML view that shows given markup and never loads anything itself.
#pragma once

#include <QTextBrowser>

namespace lintrel {

// Links are reported through linkActivated; images and style sheets the markup refers to
// are not fetched, from the network or from disk.
class HtmlView : public QTextBrowser
{
    Q_OBJECT
public:
    explicit HtmlView(QWidget *parent = nullptr);

    // Replaces the whole document with the given markup.
    void showHtml(const QString &html);

    // True for the addresses a click may hand to the browser: http, https and mailto.
    static bool isOpenableLink(const QUrl &url);

    QVariant loadResource(int type, const QUrl &name) override;

signals:
    void linkActivated(const QUrl &url);
};

} // namespace lintrel
