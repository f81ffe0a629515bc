// Building a gallery: a web site of the catalog's shown items written into a folder the user
// chose. One JPEG preview per item in "preview/", one source per item in "source/image/", one
// media page per item in "source/", index pages "index", "index2", ... with the table of
// previews, and the assets a template set's page refers to in "assets/". Pages are made from
// the built-in templates; every file of the site is written whole, replacing what an earlier
// build left under the same name.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <string>

struct CatalogRec;
struct GalleryBuildState;
struct HtmlSettingsRec;

enum : UInt16 {
    kGalleryDone = 0,
    kGalleryMissingFiles = 1,      // done, but some items' files or assets were missing
    kGalleryCancelled = 2,
    kGalleryInvalidParameter = 3,  // the settings are not usable
    kGalleryFileError = 4,         // a file or folder could not be created or written
    kGalleryTemplateError = 5,     // a template could not be loaded or expanded
};

inline constexpr char kGalleryTemplatesFolder[] = "HTML Templates";

// Builds the site into destination (a folder) with the stored settings, or with settings when
// given (the record the user confirmed, when it could not be stored). firstPage (may be null)
// names index page 1 when it was written, else gets an empty path. now: the date and time the
// pages show (Mac seconds; 0 the clock).
UInt16 BuildHtmlGallery(CatalogRec* catalog, const FSSpec& destination, const std::string& templatesFolder,
                        FSSpec* firstPage, UInt32 now = 0, const HtmlSettingsRec* settings = nullptr);
// Builds the site with the state's settings (the build proper).
UInt16 BuildGallerySite(GalleryBuildState* state, const FSSpec& destination, FSSpec* firstPage,
                        const std::string& templatesFolder);
// The text of index page p (its table and tokens expanded); kGalleryTemplateError on failure.
UInt16 BuildIndexPage(const GalleryBuildState& state, SInt32 page, std::string* text);

// Copies every file a page refers to as "assets/<name>" from the template set's assets folder
// into destination's "assets" folder. Names holding "/" or ".." are refused. False when an
// asset could not be found, was refused or could not be copied.
bool CopyReferencedAssets(const std::string& page, const std::string& destination, const std::string& setName,
                          const std::string& templatesFolder);

// Whether the browser should show the site after a build: the preference is set, the build
// ended with 0 or 1, and the first index page was really written.
bool GalleryShouldOpenBrowser(UInt16 result, const FSSpec& firstPage);
