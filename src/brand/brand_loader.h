// The brand loader as a pure function: document bytes in, settings and window effects out.
#pragma once

#include "brand/brand_document.h"
#include "brand/brand_random.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel {

// What loading a brand document gives the main window.
struct BrandLoadResult
{
    BrandSettings settings;
    std::string caption;            // ApplicationName + " v" + the program version
    bool newsButtonVisible = false; // see newsButtonVisible()
    std::string makeMoneyCaption;   // MakeMoneyButton, or "Make Money" when empty
    // The chosen banner entry (0-based); its picture is banner<index + 1>.dat beside the
    // settings file. Unset when the banner list is empty.
    std::optional<std::size_t> bannerIndex;
    bool bannerIsGif = false;       // shown through the animated control
    std::string bannerFormat;       // image decoder for a still picture: "png", "jpg", ...
    bool bannerHandCursor = false;  // BannerURL is set, so a click opens it
    bool linksPanelVisible = false; // Link1Caption is set
    // The entries as kept by the loader (families end at the first empty or missing number).
    std::vector<std::string> welcomeEntries;
    std::vector<std::string> bannerEntries;
    std::vector<std::string> linkEntries;

    // "banner<N>.dat" for the chosen banner when it names a picture file, else "": the window
    // hides the banner panel when this is empty or the file does not exist.
    std::string bannerDataFileName() const;
};

// Reads every field and entry list of the document, without making any random pick.
BrandLoadResult readBrandDocument(std::string_view documentBytes);

// Reads the document and picks this run's welcome page, banner and two different links, each
// draw preceded by random.reseed() and made only when its list is not empty.
BrandLoadResult loadBrandDocument(std::string_view documentBytes, RandomSource &random);

// The news button shows when the level (compared exactly) has its publisher id and news base
// URL; "Free" uses the Master ones.
bool newsButtonVisible(const BrandSettings &settings);

// What follows the last '\\', '/' or ':' of a banner file name.
std::string bannerFileNamePart(std::string_view bannerFile);

// The lower-cased extension of the banner's file-name part ("gif", "png", "jpg"), or "".
std::string bannerImageFormat(std::string_view bannerFile);

} // namespace lintrel
