// The brand of the main window: settings loader, banner, links, skin, icon, browser buttons.
#include "shell/frm_main.h"

#include "brand/brand_loader.h"
#include "brand/brand_skin.h"
#include "brand/settings_store.h"
#include "browser/browser_command.h"
#include "shell/frm_about.h"
#include "ui/error_handler.h"
#include "ui/launcher.h"
#include "ui/widgets.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMovie>
#include <QPushButton>
#include <cstdio>

namespace lintrel {

namespace {

std::optional<std::string> readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    return bytes.toStdString();
}

} // namespace

void TfrmMain::LoadBrandSettings()
{
    // A file error is reported like any unhandled error; the window then stays as designed.
    std::optional<SettingsDocument> doc;
    runGuarded([&] { doc = readSettingsDocument(exeDir().toStdString()); });
    if (!doc)
        return;
    const BrandLoadResult brand = loadBrandDocument(joinDocumentLines(doc->lines), *random_);
    brand_ = brand.settings;
    setWindowTitle(fromDocumentText(brand.caption));
    btnNews->setVisible(brand.newsButtonVisible);
    btnMakeMoney->setText(fromDocumentText(brand.makeMoneyCaption));
    welcomePage_ = fromDocumentText(brand_.WelcomePage);
    bannerUrl_ = fromDocumentText(brand_.BannerURL);
    applyBanner(brand);
    panLinks->setVisible(brand.linksPanelVisible);
    lblLink1URL->setLink(fromDocumentText(brand_.Link1Caption), fromDocumentText(brand_.Link1URL));
    lblLink2URL->setLink(fromDocumentText(brand_.Link2Caption), fromDocumentText(brand_.Link2URL));
    applySkinAndIcon();
}

void TfrmMain::applyBanner(const BrandLoadResult &brand)
{
    if (brand.bannerHandCursor) {
        imgBanner->setCursor(Qt::PointingHandCursor);
        gifBanner->setCursor(Qt::PointingHandCursor);
    }
    const std::string dataFile = brand.bannerDataFileName();
    const QString path = exeDir() + QString::fromStdString(dataFile);
    if (dataFile.empty() || !QFileInfo::exists(path)) {
        panBanner->hide();
        return;
    }
    // The picture is read where it lies; its decoder follows the banner's file name.
    QSize size;
    if (brand.bannerIsGif) {
        auto *movie = new QMovie(path, "gif", gifBanner);
        if (movie->isValid() && movie->jumpToFrame(0)) {
            size = movie->currentImage().size();
            gifBanner->setMovie(movie);
            movie->start();
        }
        imgBanner->hide();
        gifBanner->show();
        gifBanner->resize(size);
    } else {
        QImageReader reader(path, QByteArray::fromStdString(brand.bannerFormat));
        const QImage image = reader.read();
        if (!image.isNull()) {
            size = image.size();
            imgBanner->setPixmap(QPixmap::fromImage(image));
        }
        gifBanner->hide();
        imgBanner->show();
        imgBanner->resize(size);
    }
    if (size.isEmpty()) {
        std::fprintf(stderr, "lintrel: the banner picture %s cannot be shown\n",
                     path.toLocal8Bit().constData());
        panBanner->hide();
        return;
    }
    panBanner->setFixedHeight(size.height() + 10);
}

void TfrmMain::applySkinAndIcon()
{
    const QString skinPath = exeDir() + QStringLiteral("mainskin.dat");
    if (QFileInfo::exists(skinPath)) {
        const auto bytes = readSmallFile(skinPath);
        const auto sheet = bytes ? decompressSkin(*bytes) : std::nullopt;
        if (sheet)
            qApp->setStyleSheet(QString::fromUtf8(sheet->data(), qsizetype(sheet->size())));
        else
            std::fprintf(stderr, "lintrel: the skin %s cannot be read and is ignored\n",
                         skinPath.toLocal8Bit().constData());
    }
    const QString iconPath = exeDir() + QStringLiteral("main.ico");
    if (QFileInfo::exists(iconPath)) {
        const QIcon icon(iconPath);
        setWindowIcon(icon);
        QApplication::setWindowIcon(icon);
    }
}

bool TfrmMain::OpenInBrowser(const QString &url)
{
    const auto browser = findBrowser(BrowserEnv::fromProcess());
    if (!browser)
        return false;
    QStringList args;
    for (const auto &arg : browser->argumentsFor(url.toStdString()))
        args << QString::fromStdString(arg);
    launcher_->startDetached(QString::fromStdString(browser->program), args);
    return true;
}

void TfrmMain::btnMakeMoneyClick()
{
    OpenInBrowser(fromDocumentText(brand_.AffiliateURL));
}

void TfrmMain::btnHelpClick()
{
    OpenInBrowser(fromDocumentText(brand_.AppHelpURL));
}

void TfrmMain::bannerClick()
{
    if (!bannerUrl_.isEmpty())
        OpenInBrowser(bannerUrl_);
}

void TfrmMain::btnAboutClick()
{
    const AboutTexts texts{
        fromDocumentText(brand_.ApplicationName), fromDocumentText(brand_.CopyrightYears),
        fromDocumentText(brand_.CopyrightCompany), fromDocumentText(brand_.AboutText)};
    TfrmAbout about(texts, this);
    about.exec();
}

} // namespace lintrel
