#include "platform/ui/WindowHelpers.h"

#include <wx/colour.h>
#include <wx/display.h>
#include <wx/window.h>

namespace {

MonitorEntry* gEntries = nullptr;
int gCapacity = 0;
int gCount = 0;

}  // namespace

void DcSetBackColor(wxWindow* window, const RGBColor& color) {
    if (!window) return;
    window->SetBackgroundColour(wxColour(color.red / 257, color.green / 257, color.blue / 257));
}

bool WindowIsVisible(wxWindow* window) {
    return window && window->IsShownOnScreen();
}

void WindowShow(wxWindow* window, UInt8 show) {
    if (window) window->Show(show > 0);
}

void MonitorEnumStart(MonitorEntry* entries, int capacity) {
    gEntries = entries;
    gCapacity = entries ? capacity : 0;
    gCount = 0;
}

bool MonitorEnumCollect(std::uint32_t monitor, const MonitorEntry& rect) {
    if (gEntries && gCount < gCapacity) {
        gEntries[gCount] = rect;
        gEntries[gCount].monitor = monitor;
        ++gCount;
    }
    return true;
}

int MonitorEnumCount() {
    return gCount;
}

int EnumDisplayMonitors(MonitorEntry* entries, int capacity) {
    MonitorEnumStart(entries, capacity);
    const unsigned displays = wxDisplay::GetCount();
    for (unsigned i = 0; i < displays; ++i) {
        const wxRect r = wxDisplay(i).GetGeometry();
        MonitorEnumCollect(i + 1, MonitorEntry{0, r.GetLeft(), r.GetTop(), r.GetRight() + 1, r.GetBottom() + 1});
    }
    return gCount;
}
