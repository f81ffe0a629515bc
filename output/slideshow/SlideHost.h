// What the slide show asks of the program that runs it. The show knows nothing of catalogs:
// everything about its items (numbered 1..count) comes through these nine calls. Results are
// status codes: 0, -50 for a bad item or parameter, -192 when there is no text.
//
// getItemPath is required. getSlideData, saveSettings, getItemInfo and setItemInfo may be left
// empty: without slide data no voice annotation or stored preview is used, without
// saveSettings the settings are not handed back, without getItemInfo every item reads as
// having no overrides and no label, and without setItemInfo label and override changes fail
// with -50.
#pragma once

#include "output/slideshow/SlideShowSettings.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <functional>
#include <string>

enum : OSErr { kSlideNoTextErr = -192 };

struct SlideHost {
    // The item's file; orientation (may be null) receives its stored orientation code.
    std::function<OSErr(SInt32 item, FSSpec* file, UInt16* orientation)> getItemPath;
    // Field lines, stored preview, caption, voice annotation; each output may be null.
    std::function<OSErr(SInt32 item, Handle* info, Handle* preview, Handle* caption, Handle* voice)> getSlideData;
    // One line of overlay text of an info type (0 Title .. 7 Caption).
    std::function<OSErr(SInt32 item, SInt16 infoType, std::string* text)> getItemText;
    // The settings to run with (settings may be null); also where the host makes room for
    // the show (its window hidden, its keys swapped, the screen saver held off).
    std::function<OSErr(SlideShowSettings* settings, SlideShowFontSetting* font)> loadSettings;
    // The settings handed back at the end, with the item shown last (may be null).
    std::function<OSErr(const SlideShowSettings& settings, const SlideShowFontSetting& font, const SInt32* current)>
        saveSettings;
    std::function<OSErr(SInt32 item, SlideItemOverrides* overrides, UInt8* label, RGBColor* color)> getItemInfo;
    std::function<OSErr(SInt32 item, const SlideItemOverrides* overrides, const UInt8* label)> setItemInfo;
    std::function<OSErr(UInt32* visible, UInt32* hidden)> getCounts;
    // Kind 1 Show All; kind 2 by label (1 any, 2 none, 5..13 labels 1..9).
    std::function<OSErr(SInt16 kind, SInt16 value)> filter;
};
