// Small helpers for the slide show's windows: a window's background colour from a QuickDraw
// colour, whether a window is visible, showing and hiding it, and the list of displays with
// their rectangles, collected into an array the caller provides.
#pragma once

#include "platform/MacTypes.h"

#include <cstdint>

class wxWindow;

// The window's background colour: each 16-bit channel divided by 257 (callers build them as
// an 8-bit value times 257).
void DcSetBackColor(wxWindow* window, const RGBColor& color);
// True when the window and all its parents are shown (covered or not).
bool WindowIsVisible(wxWindow* window);
// Shows the window when show is above 0, else hides it.
void WindowShow(wxWindow* window, UInt8 show);

// One display: its number (from 1 in the platform's order; never an address) and its
// rectangle in desktop coordinates.
struct MonitorEntry {
    std::uint32_t monitor;
    std::int32_t left, top, right, bottom;
};
static_assert(sizeof(MonitorEntry) == 20);

// Starts a collection into the array of `capacity` entries (count back to 0).
void MonitorEnumStart(MonitorEntry* entries, int capacity);
// The enumeration's callback: while the array has room, the display goes in at the count and
// the count grows; once it is full further displays are ignored. Always true.
bool MonitorEnumCollect(std::uint32_t monitor, const MonitorEntry& rect);
// Entries filled so far.
int MonitorEnumCount();
// Starts a collection and hands every display to MonitorEnumCollect in order; the count.
int EnumDisplayMonitors(MonitorEntry* entries, int capacity);
