#include "window/ui/PortBlit.h"

#include <cairo.h>
#include <memory>
#include <wx/dcclient.h>
#include <wx/graphics.h>
#include <wx/settings.h>
#include <wx/window.h>

void PaintFromPort(wxWindow* window, ViewPort* port, const std::function<void(cairo_t*)>& overlay) {
    wxPaintDC dc(window);
    cairo_surface_t* surface = port && port->world ? GetGWorldSurface(port->world) : nullptr;
    if (!surface) {
        dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_3DFACE)));
        dc.Clear();
        return;
    }
    cairo_surface_flush(surface);
    // On GTK 3 the paint DC is a cairo context: the offscreen goes straight onto it.
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    cairo_t* cr = gc ? static_cast<cairo_t*>(gc->GetNativeContext()) : nullptr;
    if (!cr) return;
    wxRegionIterator it(window->GetUpdateRegion());
    for (; it; ++it) {
        const wxRect r = it.GetRect();
        cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    }
    cairo_clip(cr);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_paint(cr);
    if (overlay) overlay(cr);
}

void RefreshPortDamage(wxWindow* window, ViewPort* port) {
    Rect damage;
    if (!port || !ViewPortTakeDamage(port, &damage)) return;
    window->RefreshRect(wxRect(damage.left, damage.top, damage.right - damage.left, damage.bottom - damage.top), false);
}
