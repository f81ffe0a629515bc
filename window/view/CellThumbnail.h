// The Thumbnail view's cell: selection ring, the item's picture (stored thumbnail, category
// icon, or the played medium through the presenter), the mat around the picture (blank, a drop
// shadow, or a frame image), the label frame and the scale figure, the corner badge of sounds
// and movies, and the caption lines. The shadow and frame pictures are typed resources 1001
// and 1000 of the program.
#pragma once

#include "window/view/ViewDrawing.h"

#include <string>

typedef struct _cairo cairo_t;

// Frame styles of the Thumbnail settings.
enum : UInt8 { kFrameNone = 0, kFrameBlank = 1, kFrameShadow = 2, kFrameImage = 3 };

// The side of the shadow image, and the width of the shadow band around a picture.
inline constexpr SInt16 kShadowImageSide = 400;
inline constexpr SInt16 kShadowBand = 6;

// One copy of the shadow image: a source rectangle of the image onto a destination in the cell.
struct ShadowPiece {
    Rect source;
    Rect destination;
};
// The eight pieces of the band around a picture rectangle: halves of the top, left, bottom and
// right bands, each from its own end of the image. Pictures up to 388 pixels take the pieces at
// their own size; larger ones stretch the pieces, which never leave the image nor cross its
// middle (where the far end's corner would show).
void ShadowPieces(const Rect& picture, ShadowPiece out[8]);

// Paints the mat between the frame rectangle and the picture's rectangle.
void DrawPictureMat(cairo_t* cr, const Rect& frame, const Rect& picture, const RGBColor& background, UInt8 style,
                    bool thumbnailDrawn, bool forPrint);
// The scale figure ("25%") at the picture's top right, in textColor on a box of boxColor.
void DrawPercentText(cairo_t* cr, SInt32 percent, const Rect& picture, const CatalogFontEntry* font, const RGBColor& textColor,
                     const RGBColor& boxColor);
// The scale figure of a thumbnail shown shownWidth pixels wide of an image imageWidth pixels
// wide ("25%"); empty when the image's width is not known (0).
std::string ScaleFigureText(SInt32 shownWidth, UInt32 imageWidth);
// The label frame and the scale figure of a drawn thumbnail.
void ItemDrawLabelAndScale(cairo_t* cr, ViewRec* view, SInt32 item, const Rect& picture, bool labelFrame,
                           const RGBColor& scaleColor, bool showScale, const RGBColor& frameColor, const CatalogFontEntry* font);
