// Where the view engine's drawing gets its icons: an installable source, so the program can
// back it with the desktop's icon theme while the headless engine never reaches for the user
// interface. Without one installed, the built-in source draws a small set of icons in code.
//
// Icon ids: 4000 + media category (the item icons of list rows and of items without a
// thumbnail), 4010..4013 the badges of time-based media, 5000 the empty-view hint, 2001..2012
// the header bar's buttons.
#pragma once

#include "platform/MacTypes.h"

typedef struct _cairo cairo_t;

enum : int {
    kIconCategoryBase = 4000,
    kIconBadgeFirst = 4010,
    kIconBadgeLast = 4013,
    kIconEmptyHint = 5000,
    kIconHeaderFirstId = 2001,   // the header bar's buttons, 2001..2012 (see ViewHeader.h)
    kIconHeaderLastId = 2012,
};

class IconSource {
public:
    virtual ~IconSource() = default;
    // Draws the icon scaled into the rectangle; false when the source has no such icon.
    virtual bool DrawIcon(cairo_t* cr, int iconId, const Rect& rect) = 0;
};

// Installs a source (null restores the built-in one); the caller keeps ownership.
void SetIconSource(IconSource* source);
IconSource& GetIconSource();
