// The brand applier: reads the settings file at creation and applies the brand to the window.
#pragma once

#include "brand/brand_document.h"

#include <QString>

class QPushButton;
class QWidget;

namespace lintrel {

class ClickableLabel;
class LinkLabel;
class TfrmMain;
struct BrandLoadResult;

// The widgets of the window that the brand changes.
struct BrandTargets
{
    QPushButton *btnNews = nullptr;
    QPushButton *btnMakeMoney = nullptr;
    QWidget *panBanner = nullptr;
    ClickableLabel *imgBanner = nullptr;
    ClickableLabel *gifBanner = nullptr;
    QWidget *panLinks = nullptr;
    LinkLabel *lblLink1URL = nullptr;
    LinkLabel *lblLink2URL = nullptr;
};

class BrandApplier
{
public:
    BrandApplier(TfrmMain &window, BrandTargets targets);

    // Reads dbsettings.dat from the executable's directory and applies it: caption, news
    // button, Make Money caption, banner, links, skin and icon, and this run's welcome page.
    // Without a readable file the window stays as designed.
    void LoadBrandSettings();

    const BrandSettings &settings() const { return brand_; }
    QString welcomePage() const { return welcomePage_; }
    QString bannerUrl() const { return bannerUrl_; }

private:
    void applyBanner(const BrandLoadResult &brand);
    void applySkinAndIcon();

    TfrmMain &window_;
    BrandTargets targets_;
    BrandSettings brand_;
    QString welcomePage_;
    QString bannerUrl_;
};

} // namespace lintrel
