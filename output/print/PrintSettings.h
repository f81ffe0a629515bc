// Everything that shapes a printed catalog, kept in one fixed 1,256-byte record: the user's
// last settings in native order under the settings value "ReportSettings", and the catalog's
// own copy in big-endian order in its 'PRNT' chunk. Margins are lengths in centimetres or
// inches, whichever the user's locale measures in at the moment (the record holds no unit).
#pragma once

#include "catalog/file/CatalogRec.h"
#include "platform/MacTypes.h"

#include <cstddef>

enum PrintLayout : UInt16 { kPrintContentList = 0, kPrintContactSheet = 1, kPrintMediaSheet = 2 };
enum : UInt8 { kPageChoiceDialog = 1, kPageChoiceCurrent = 2, kPageChoiceOdd = 3, kPageChoiceEven = 4 };
enum : UInt8 { kGridDefault = 0, kGridCells = 1, kGridSize = 2 };
enum : UInt8 { kScaleActual = 1, kScaleToFit = 2, kScaleFitWidth = 4, kScaleFitHeight = 5, kScalePinSmaller = 6,
               kScalePinLarger = 7, kScaleTile = 8, kScalePercent = 10 };
enum : int { kBandHeader = 0, kBandFooter = 1, kBandLeft = 2, kBandRight = 3 };

// The grid of one layout.
struct PrintGridBlock {
    UInt8 sizing;      // kGridDefault, kGridCells, kGridSize
    UInt8 unit;        // unit the Grid dialog shows sizes in: 1 pixels .. 5 picas
    UInt8 columns;
    UInt8 rows;
    UInt16 cellWidth;  // points; stays little-endian in the big-endian 'PRNT' copy
    UInt16 cellHeight;
    UInt32 reserved;
};
static_assert(sizeof(PrintGridBlock) == 12);

// One text band of the page: header, footer, left or right side.
struct HeaderFooterBlock {
    UInt8 text[256];       // length-prefixed, Windows-1252, with the codes &d &t &p &n &c &i &&
    UInt16 reserved;
    UInt16 fontNumber;
    UInt16 size;           // points
    UInt16 style;          // 1 bold, 2 italic, 4 underline
    UInt16 textColor[3];   // 16 bits a channel
    UInt16 backColor[3];
};
static_assert(sizeof(HeaderFooterBlock) == 276);

struct PrintSettingsRec {
    UInt8 printBox;         // 0/1 full page, n >= 2 template n - 2
    UInt8 pageChoice;
    UInt8 useViewColors;
    UInt8 hiResThumbnails;
    UInt8 printItemIcons;
    UInt8 printLabelRow;
    UInt8 mirrorMargins;
    UInt8 printViewFields;
    UInt8 marginBetween;
    UInt8 scalingCode;
    UInt8 cropMarks;
    UInt8 repeatMedia;
    UInt16 reserved12;
    UInt16 scalePercent;
    UInt32 currentPage;     // 1-based, 0 not chosen yet
    UInt32 reserved20;
    UInt8 reserved24[56];
    double margins[4];      // top, left, bottom, right
    PrintGridBlock grids[3];
    HeaderFooterBlock bands[4];
    UInt16 layout;
    UInt8 padding[2];
};
static_assert(sizeof(PrintSettingsRec) == 1256);
static_assert(offsetof(PrintSettingsRec, reserved12) == 12 && offsetof(PrintSettingsRec, scalePercent) == 14 &&
              offsetof(PrintSettingsRec, currentPage) == 16 && offsetof(PrintSettingsRec, reserved20) == 20 &&
              offsetof(PrintSettingsRec, margins) == 80 && offsetof(PrintSettingsRec, grids) == 112 &&
              offsetof(PrintSettingsRec, bands) == 148 && offsetof(PrintSettingsRec, layout) == 1252);

inline constexpr std::size_t kPrintSettingsSize = sizeof(PrintSettingsRec);
enum { kMarginTop = 0, kMarginLeft = 1, kMarginBottom = 2, kMarginRight = 3 };

void DefaultPrintSettings(PrintSettingsRec* out);

// Native record to its stored big-endian form and back. The margins are written as the
// doubles' big-endian bytes; on reading, a value below 2^20 taken as an integer is a margin
// an older program wrote as a whole number, anything else the double itself.
void PrintSettingsToBigEndian(const PrintSettingsRec& native, UInt8 out[kPrintSettingsSize]);
void PrintSettingsFromBigEndian(const UInt8 stored[kPrintSettingsSize], PrintSettingsRec* out);

// The catalog's copy when it has one (as far as it goes, the defaults beyond), else the user's
// last settings, else the defaults; the scaling code is forced into the list's entries.
void LoadPrintSettings(const CatalogRec* catalog, PrintSettingsRec* out);
// Writes the user's last settings and replaces the catalog's copy, marking the catalog
// modified. False when the settings value could not be written (the catalog copy is made
// anyway).
bool SavePrintSettings(CatalogRec* catalog, const PrintSettingsRec& settings);

// "ReportSettings": read succeeds only for a value of exactly 1,256 bytes (else *out keeps
// what it held).
bool ReadReportSettings(PrintSettingsRec* out);
bool WriteReportSettings(const PrintSettingsRec& settings);

// Whether lengths are in centimetres: the user's locale's measurement system (metric when it
// cannot be read).
bool PrintUnitIsMetric();
// Points per unit of the margins and templates, and back.
double PrintPointsPerUnit(bool metric);
