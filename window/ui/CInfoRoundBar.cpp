#include "window/ui/CInfoRoundBar.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldFormat.h"
#include "foundation/ui/IconCache.h"
#include "foundation/ui/UiText.h"
#include "window/ui/CPaneInfoList.h"
#include "window/view/ThumbnailCache.h"
#include "window/view/ViewSelection.h"

#include <cairo.h>
#include <cstring>
#include <wx/dc.h>
#include <wx/image.h>
#include <wx/settings.h>

namespace {

constexpr short kIconNoItem = 454;

// The item's stored thumbnail at size x size, from the same decoded pictures the grid draws.
wxBitmap ItemPicture(const CatalogRec* catalog, SInt32 item, int size) {
    const ThumbnailRef picture = ThumbnailCacheGet(catalog, item);
    if (!picture) return wxBitmap();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    DrawThumbnailInRect(cr, *picture, Rect{0, 0, SInt16(size), SInt16(size)});
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    wxImage image(size, size);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            std::uint32_t px;
            std::memcpy(&px, data + y * stride + x * 4, 4);
            image.SetRGB(x, y, (px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
        }
    cairo_surface_destroy(surface);
    return wxBitmap(image);
}

}  // namespace

CInfoRoundBar::CInfoRoundBar(wxWindow* parent, wxWindowID id) : CRoundBar(parent, id, LoadUiString(14701)) {
    SetTitleInsets(25, 76);
    list_ = new CPaneInfoList(this, 87);
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent&) { list_->SetFocus(); });
}

void CInfoRoundBar::LayoutBody() { list_->SetSize(BodyRect()); }

void CInfoRoundBar::Load(ViewRec* view, CatalogRec* catalog, SInt32 item, bool force) {
    list_->Load(force);
    shownItem_ = item;
    wxString title = LoadUiString(14701);
    if (item && view && catalog) {
        if (ViewCountSelected(view) > 1) {
            title = LoadUiString(14702);
        } else {
            FieldValue v;
            const UInt8 type = ItemGetFieldVisible(catalog, item, 1, 2, &v);
            Str255 name;
            FieldValueToText(&v, type, 2, name, true);
            title = WxFromPStr(name);
        }
    }
    picture_ = item && catalog ? ItemPicture(catalog, item, 16) : wxBitmap();
    SetTitle(title);
    RefreshRect(HeaderRect(), false);
}

void CInfoRoundBar::DrawHeaderExtras(wxDC& dc) {
    const wxRect h = HeaderRect();
    const wxRect icon(h.x + 5, h.y + 3, 16, 16);
    if (!shownItem_) {
        DrawIconResource(dc, icon, false, kIconNoItem);
        return;
    }
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(wxRect(icon).Inflate(1));
    if (picture_.IsOk()) dc.DrawBitmap(picture_, icon.x, icon.y, false);
}
