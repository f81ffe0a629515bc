// Drawing an item through the view's presenter: the Media view's picture, the medium played
// in a Thumbnail cell or list row, and pictures printed from their media files. The presenter
// opens the item (or, when it cannot, an error card naming the item and the reason) and draws
// it into a rectangle; for devices finer than the screen it draws into an offscreen at the
// device's resolution first, so a printed picture is as sharp as its file allows.
#pragma once

#include "media/presenters/MediaObject.h"
#include "platform/MacTypes.h"
#include "platform/imaging/Picture.h"

#include <array>
#include <string>

typedef struct _cairo cairo_t;
struct ViewRec;
struct CellDrawArgs;

struct PresenterDrawArgs {
    cairo_t* cr = nullptr;          // where the picture goes
    RGBColor background{0xFFFF, 0xFFFF, 0xFFFF};
    bool screenOnly = false;        // both resolutions are 72
    double resolutionH = 0;         // the device's dots per inch, 0 on screen
    double resolutionV = 0;
    GWorldPtr* keeper = nullptr;    // an offscreen kept across calls, may be null
    bool offscreenWanted = false;
    bool scaleDisplay = false;      // the presenter shows its scale figure
    bool thumbnailOnly = false;     // open the stored thumbnail, not the file
};
PresenterDrawArgs PresenterArgsFrom(const CellDrawArgs& cell, const RGBColor& background);

// How a picture is drawn for a device: the factor from the screen's 72 dpi to the offscreen,
// and the percent the presenter draws at (setPercent false: the presenter keeps its own).
struct HighResolutionPlan {
    double factor = 1;
    bool setPercent = false;
    UInt16 percent = 100;
};
// fitScale: the scale (1.0 = 100 %) at which the image fits the target; showLevel: the
// presenter's; resolution: the device's horizontal dots per inch.
HighResolutionPlan PlanHighResolution(double fitScale, double resolution, UInt8 showLevel);

// Draws item n through the presenter into *target (out: where the picture went); true when
// drawn.
bool ItemDrawWithPresenter(ViewRec* view, SInt32 item, const PresenterDrawArgs& args, Rect* target, MediaObject* presenter,
                           const Rect& visible);
// Opens the item in the presenter: its file, its stored thumbnail (thumbnailOnly), or, on any
// failure, an error card. Answers the failure's code (0 success).
OSErr PresenterOpenItem(MediaObject* presenter, ViewRec* view, SInt32 item, bool thumbnailOnly);

// The four lines of an error card: the item's name, its kind code, the message, "[code]".
std::array<std::string, 4> ErrorCardTexts(OSErr code, const std::string& itemName, OSType kind);
// The error card as a picture (250 x 80), with the thumbnail's picture when there is one.
PicHandle MakeErrorCard(OSErr code, const std::string& itemName, OSType kind, GWorldPtr thumbnail);
inline constexpr SInt16 kErrorCardWidth = 250, kErrorCardHeight = 80;
