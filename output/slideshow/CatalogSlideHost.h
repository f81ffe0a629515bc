// The catalog window's side of the slide show: the nine host calls answered from a catalog
// and its view (items are the view's visible items from 1), the settings kept in the catalog
// and in the preferences, and the overlay texts built from the item's fields. What belongs to
// the window itself (hiding it, its keys, holding off the screen saver, the beep) comes in as
// the shell's calls, so this part runs without windows.
#pragma once

#include "output/slideshow/SlideHost.h"

#include <functional>
#include <string>

struct CatalogRec;
struct ViewRec;

struct SlideHostShell {
    std::function<void()> enterShow;   // when the settings go out: hide the window, swap keys
    std::function<void()> leaveShow;   // when they come back: undo the above
    std::function<void()> beep;
};

SlideHost MakeCatalogSlideHost(CatalogRec* catalog, ViewRec* view, SlideHostShell shell);

// The catalog's and the application's copies of the settings and the font.
SlideShowSettings* CatalogSlideSettings(CatalogRec* catalog);
SlideShowSettings* AppSlideSettings();
SlideShowFontSetting* CatalogSlideFont(CatalogRec* catalog);
SlideShowFontSetting* AppSlideFont();

// The overlay text of an info type for the n-th visible item (UTF-8); -192 when empty, -50
// for another type or no such item.
OSErr CatalogSlideItemText(CatalogRec* catalog, SInt32 item, SInt16 infoType, std::string* text);
