// The picture of an item in a cell: its stored thumbnail fitted into a rectangle (never
// enlarged on screen, scaled up in print), or the icon of its media category; the corner badge
// that marks sounds and movies. Items whose media information is still pending have no stored
// thumbnail yet: their pictures are read from their files one a tick after the paint that met
// them, which draws the category icon meanwhile and the picture when it is there.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

typedef struct _cairo cairo_t;
struct ViewRec;

// Badge icons: large and small, of sounds and of movies.
enum : int { kIconBadgeAudioLarge = 4010, kIconBadgeAudioSmall = 4011, kIconBadgeVideoLarge = 4012, kIconBadgeVideoSmall = 4013 };

struct ItemPictureArgs {
    bool draw = true;            // false: only compute where the picture would go
    RGBColor background{0xFFFF, 0xFFFF, 0xFFFF};
    bool forPrint = false;
    bool tryThumbnail = true;    // false: the category icon whatever the item holds
    bool largeIcon = true;       // 32-pixel icons, else 16
};

// Draws item n's picture into *rect and answers, in *rect, the rectangle the picture or icon
// took; true when a thumbnail (stored or read from a pending item's file) was found.
bool ItemDrawPicture(ViewRec* view, SInt32 item, UInt8 category, const ItemPictureArgs& args, cairo_t* cr, Rect* rect);
// Draws a 32-bit world scaled onto the rectangle.
void DrawWorldInRect(cairo_t* cr, GWorldPtr world, const Rect& rect);
// Draws the badge of kind and category at the picture rectangle's bottom-right corner: large
// 18 pixels in from it, small 11; with icon false a white box with a black frame. *badge gets
// the area from the corner to (right - 2, bottom - 2), or all zeros when no badge applies
// (categories other than Audio and Video, GIF kinds). Badges never print.
void ItemDrawBadge(cairo_t* cr, OSType kind, UInt8 category, const Rect& picture, Rect* badge, bool large, bool icon,
                   bool forPrint);
// Whether the kind and category get a badge.
bool ItemHasBadge(OSType kind, UInt8 category);

// Reads the next waiting pending picture (the view's picture timer calls it); false when none
// was waiting.
bool ViewReadOnePendingPicture(ViewRec* view);
