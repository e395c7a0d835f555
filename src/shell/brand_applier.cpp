// The brand applier: reads the settings file at creation and applies the brand to the window.
#include "shell/brand_applier.h"

#include "brand/brand_loader.h"
#include "brand/brand_skin.h"
#include "brand/settings_store.h"
#include "shell/frm_main.h"
#include "ui/error_handler.h"
#include "ui/widgets.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMovie>
#include <QPushButton>
#include <cstdio>
#include <optional>

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

BrandApplier::BrandApplier(TfrmMain &window, BrandTargets targets)
    : window_(window), targets_(targets)
{}

void BrandApplier::LoadBrandSettings()
{
    // A file error is reported like any unhandled error; the window then stays as designed.
    std::optional<SettingsDocument> doc;
    runGuarded([&] { doc = readSettingsDocument(window_.exeDir().toStdString()); });
    if (!doc)
        return;
    const BrandLoadResult brand =
        loadBrandDocument(joinDocumentLines(doc->lines), window_.random());
    brand_ = brand.settings;
    window_.setWindowTitle(fromDocumentText(brand.caption));
    targets_.btnNews->setVisible(brand.newsButtonVisible);
    targets_.btnMakeMoney->setText(fromDocumentText(brand.makeMoneyCaption));
    welcomePage_ = fromDocumentText(brand_.WelcomePage);
    bannerUrl_ = fromDocumentText(brand_.BannerURL);
    applyBanner(brand);
    targets_.panLinks->setVisible(brand.linksPanelVisible);
    targets_.lblLink1URL->setLink(fromDocumentText(brand_.Link1Caption),
                                  fromDocumentText(brand_.Link1URL));
    targets_.lblLink2URL->setLink(fromDocumentText(brand_.Link2Caption),
                                  fromDocumentText(brand_.Link2URL));
    applySkinAndIcon();
}

void BrandApplier::applyBanner(const BrandLoadResult &brand)
{
    if (brand.bannerHandCursor) {
        targets_.imgBanner->setCursor(Qt::PointingHandCursor);
        targets_.gifBanner->setCursor(Qt::PointingHandCursor);
    }
    const std::string dataFile = brand.bannerDataFileName();
    const QString path = window_.exeDir() + QString::fromStdString(dataFile);
    if (dataFile.empty() || !QFileInfo::exists(path)) {
        targets_.panBanner->hide();
        return;
    }
    // The picture is read where it lies; its decoder follows the banner's file name.
    QSize size;
    if (brand.bannerIsGif) {
        auto *movie = new QMovie(path, "gif", targets_.gifBanner);
        if (movie->isValid() && movie->jumpToFrame(0)) {
            size = movie->currentImage().size();
            targets_.gifBanner->setMovie(movie);
            movie->start();
        }
        targets_.imgBanner->hide();
        targets_.gifBanner->show();
        targets_.gifBanner->resize(size);
    } else {
        QImageReader reader(path, QByteArray::fromStdString(brand.bannerFormat));
        const QImage image = reader.read();
        if (!image.isNull()) {
            size = image.size();
            targets_.imgBanner->setPixmap(QPixmap::fromImage(image));
        }
        targets_.gifBanner->hide();
        targets_.imgBanner->show();
        targets_.imgBanner->resize(size);
    }
    if (size.isEmpty()) {
        std::fprintf(stderr, "lintrel: the banner picture %s cannot be shown\n",
                     path.toLocal8Bit().constData());
        targets_.panBanner->hide();
        return;
    }
    targets_.panBanner->setFixedHeight(size.height() + 10);
}

void BrandApplier::applySkinAndIcon()
{
    const QString skinPath = window_.exeDir() + QStringLiteral("mainskin.dat");
    if (QFileInfo::exists(skinPath)) {
        const auto bytes = readSmallFile(skinPath);
        const auto sheet = bytes ? decompressSkin(*bytes) : std::nullopt;
        if (sheet)
            qApp->setStyleSheet(QString::fromUtf8(sheet->data(), qsizetype(sheet->size())));
        else
            std::fprintf(stderr, "lintrel: the skin %s cannot be read and is ignored\n",
                         skinPath.toLocal8Bit().constData());
    }
    const QString iconPath = window_.exeDir() + QStringLiteral("main.ico");
    if (QFileInfo::exists(iconPath)) {
        const QIcon icon(iconPath);
        window_.setWindowIcon(icon);
        QApplication::setWindowIcon(icon);
    }
}

} // namespace lintrel
