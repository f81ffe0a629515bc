#include "foundation/ui/IconCache.h"

#include <wx/artprov.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

#include <memory>

namespace {

std::unique_ptr<CIconCache>& Cache() {
    static std::unique_ptr<CIconCache> cache;
    return cache;
}

// A disclosure triangle, drawn by us: it must read the same on every theme.
wxBitmap DrawTriangle(bool open) {
    wxImage image(16, 16);
    image.InitAlpha();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) image.SetAlpha(x, y, 0);
    wxBitmap bitmap(image);
    {
        wxMemoryDC dc(bitmap);
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(wxColour(0x55, 0x55, 0x55)));
        const wxPoint right[] = {{5, 3}, {11, 8}, {5, 13}};
        const wxPoint down[] = {{3, 5}, {13, 5}, {8, 11}};
        dc.DrawPolygon(3, open ? down : right);
    }
    return bitmap;
}

wxBitmap Load(short id) {
    const wxSize size(16, 16);
    switch (id) {
        case kIconPopupArrow: return wxArtProvider::GetBitmap("pan-down-symbolic", wxART_BUTTON, size);
        case kIconFolder: return wxArtProvider::GetBitmap(wxART_FOLDER, wxART_BUTTON, size);
        case kIconWebLink: return wxArtProvider::GetBitmap("applications-internet", wxART_OTHER, size);
        case kIconDisclosureOpen: return DrawTriangle(true);
        case kIconDisclosureClosed: return DrawTriangle(false);
        default: return wxBitmap();
    }
}

}  // namespace

wxBitmap CIconCache::Get(short id) {
    auto it = icons_.find(id);
    if (it != icons_.end()) return it->second;
    wxBitmap icon = Load(id);
    if (!icon.IsOk() && (id == kIconPopupArrow || id == kIconWebLink))
        icon = wxArtProvider::GetBitmap(id == kIconPopupArrow ? wxART_GO_DOWN : wxART_GO_FORWARD, wxART_OTHER,
                                        wxSize(16, 16));
    if (icon.IsOk()) icons_[id] = icon;
    return icon;
}

CIconCache& GetIconCache() {
    if (!Cache()) Cache() = std::make_unique<CIconCache>();
    return *Cache();
}

wxBitmap GetIconCached(CIconCache& cache, short id) { return cache.Get(id); }

void FreeIconCache() { Cache().reset(); }

void DrawIconResource(wxDC& dc, const wxRect& rect, bool masked, short id) {
    wxBitmap icon = GetIconCache().Get(id);
    if (!icon.IsOk() || rect.width <= 0 || rect.height <= 0) return;
    wxImage image = icon.ConvertToImage();
    if (!image.HasAlpha()) image.InitAlpha();
    if (masked) {
        // The shape alone: every pixel that shows becomes black.
        for (int y = 0; y < image.GetHeight(); ++y)
            for (int x = 0; x < image.GetWidth(); ++x) image.SetRGB(x, y, 0, 0, 0);
    }
    if (image.GetWidth() != rect.width || image.GetHeight() != rect.height)
        image = image.Scale(rect.width, rect.height, wxIMAGE_QUALITY_HIGH);
    dc.DrawBitmap(wxBitmap(image), rect.x, rect.y, true);
}

void DrawIconCentred(wxDC& dc, const wxRect& rect, int size, bool masked, short id) {
    const wxRect square(rect.x + (rect.width - size) / 2, rect.y + (rect.height - size) / 2, size, size);
    DrawIconResource(dc, square, masked, id);
}
