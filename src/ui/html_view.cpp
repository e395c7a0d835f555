// A read-only HTML view that shows given markup and never loads anything itself.
#include "ui/html_view.h"

namespace lintrel {

HtmlView::HtmlView(QWidget *parent) : QTextBrowser(parent)
{
    setReadOnly(true);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
        if (isOpenableLink(url))
            emit linkActivated(url);
    });
}

void HtmlView::showHtml(const QString &html)
{
    setHtml(html);
}

bool HtmlView::isOpenableLink(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("mailto");
}

QVariant HtmlView::loadResource(int, const QUrl &)
{
    return {};
}

} // namespace lintrel
