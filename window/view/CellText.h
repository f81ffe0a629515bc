// Field texts in cells: one field of one item written into a rectangle (a List column, a
// caption line under a picture), and the caption block of Thumbnail and Media cells with its
// bold field names. Texts are stored in Windows-1252 (or UTF-8 where a field says so) and
// become UTF-8 only here, when pango lays them out. A single line ends in an ellipsis; the
// file's path keeps its last component and loses the middle; more lines wrap at words.
#pragma once

#include "catalog/file/CatalogRecords.h"
#include "catalog/fields/FieldIds.h"
#include "platform/MacTypes.h"

#include <functional>
#include <string>

typedef struct _cairo cairo_t;
struct CatalogRec;
struct ViewRec;
struct ViewCellPartRects;

// Justifications.
enum : SInt16 { kJustLeft = -2, kJustRight = -1, kJustCentre = 1 };
// How a text that does not fit is cut.
enum class TextFit { EndEllipsis, PathEllipsis, Wrap };

struct CellColors {
    RGBColor text{0, 0, 0};
    RGBColor background{0xFFFF, 0xFFFF, 0xFFFF};
};

// Writes a UTF-8 text into the rectangle (top-aligned) in the colour.
void CellDrawTextUtf8(cairo_t* cr, const std::string& utf8, const Rect& rect, const CatalogFontEntry* font, UInt8 style,
                      SInt16 justification, TextFit fit, const RGBColor& color);
// Pixel width of a UTF-8 text in the font and style.
int CellTextWidthUtf8(const std::string& utf8, const CatalogFontEntry* font, UInt8 style);
// A path shortened to fit: the start, an ellipsis, and the whole last component; when even
// that is too wide, the last component with an ellipsis at its end (the caller lays it out
// that way). Components end at '\\', '/' or ':'.
std::string PathEllipsis(const std::string& utf8, int maxWidth, const std::function<int(const std::string&)>& width);

// The text a cell shows for a field of item n (Windows-1252 turned into UTF-8); item 0 gives
// the field's name. Empty when the field has no value. Captions in single lines show each
// line break as "¬".
std::string CellFieldText(const CatalogRec* catalog, SInt32 item, FieldId id, bool singleLine);

// Draws one field's value (or, for item 0, its name) into the rectangle inset by 2, after
// filling the rectangle with the background: "-" for an empty value unless blank; nothing but
// the fill when the inset rectangle is narrower than 20 pixels. Sample colours are a 30-pixel
// swatch, left or centred by the justification.
void CellDrawFieldValue(cairo_t* cr, ViewRec* view, SInt32 item, SInt16 justification, const Rect& rect,
                        const ViewFieldEntry& entry, bool blank, bool singleLine, const CatalogFontEntry* font,
                        const CellColors& colors);
// The same in the font of the entry's text style; item 0 in bold.
void CellDrawFieldText(cairo_t* cr, ViewRec* view, const Rect& rect, SInt16 justification, const ViewFieldEntry& entry,
                       const CatalogFontEntry* font, bool blank, bool singleLine, SInt32 item, const CellColors& colors);
// The field of the current item an in-place edit opens on: with a click point, the file name
// or caption line under it; without one, the field asked for (0: the file name) when the
// mode's field list shows it. Answers its id, value rectangle and line count (1 in List
// view). Outside the Media view a field below the view scrolls the item into view first;
// false when the item is not on screen, or the field not shown or still below.
bool ViewFindEditField(ViewRec* view, const Point* click, SInt32* item, Rect* rect, SInt16* lines, UInt32* fieldId);

// The caption block of a Thumbnail or Media cell: a line per field of the list, with the
// field's bold name to its left when the settings show labels.
void CellDrawCaptions(cairo_t* cr, ViewRec* view, SInt32 item, const ViewCellPartRects& parts, const ViewFieldList* fields,
                      const ViewModeSettings* settings, const ViewColors* colors, const CatalogFontEntry* font,
                      const RGBColor& textColor);
