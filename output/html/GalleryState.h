// What one gallery build knows while it writes pages: the settings, one record per shown item
// (the files made for it and their sizes), the page extension, the table's columns and rows,
// the number of index pages and the side being written (index pages lie one folder above the
// media pages, so their paths differ). Made at the start of a build and dropped at its end;
// nothing of it outlives the build.
#pragma once

#include "output/html/HtmlSettings.h"
#include "platform/MacTypes.h"

#include <string>
#include <vector>

struct CatalogRec;

// Media kinds of an item's source file.
enum : UInt32 {
    kGalleryMediaNone = 0,
    kGalleryMediaImage = 1,       // a JPEG rendition, a GIF copy or a category icon
    kGalleryMediaMovie = 3,       // movies and sounds shown by a movie player
    kGalleryMediaWindows = 4,     // Windows Media and MPEG files
};

struct GalleryItemRec {
    UInt32 previewFileSize = 0;   // 0 when the preview is a category icon
    std::string previewName;      // in "preview/"
    SInt16 previewHeight = 0;
    SInt16 previewWidth = 0;
    UInt32 mediaKind = kGalleryMediaNone;
    UInt32 sourceFileSize = 0;
    std::string sourceName;       // in "source/image/"
    SInt16 sourceHeight = 0;
    SInt16 sourceWidth = 0;
    UInt32 originalFileSize = 0;  // as the catalog recorded it
    std::string originalName;     // always empty: the gallery copies no original files
    SInt16 originalHeight = 0;
    SInt16 originalWidth = 0;
    std::string pageName;         // the item's media page in "source/"
};

enum class GallerySide { Index, Media };

struct GalleryBuildState {
    CatalogRec* catalog = nullptr;
    HtmlSettingsRec settings{};
    std::vector<GalleryItemRec> items;   // one per shown item, item n at n - 1
    std::string extension = ".htm";      // with its dot
    SInt32 columns = 4;
    SInt32 rows = 4;
    SInt32 indexPages = 0;
    GallerySide side = GallerySide::Index;
    UInt32 now = 0;                      // the build's date and time (Mac seconds); 0: the clock

    SInt32 ItemCount() const { return SInt32(items.size()); }
    SInt32 PerPage() const { return columns * rows; }
    bool Japanese() const { return settings.textEncoding == kHtmlEncodingJapanese; }
};
