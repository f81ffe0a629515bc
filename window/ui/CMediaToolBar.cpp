#include "window/ui/CMediaToolBar.h"

#include "foundation/ui/CommandIds.h"
#include "foundation/ui/UiText.h"
#include "window/bars/ToolbarImageFilters.h"

#include <wx/artprov.h>
#include <wx/image.h>

namespace {

struct ButtonRow {
    int command;          // 0: a separator
    const char* art;      // freedesktop icon name
    const char* tip;
    UInt16 textId;        // text shown beside the picture, 0 for none
    bool dropDown;
};

// The buttons in their order; separators are 6 pixels wide.
constexpr ButtonRow kButtons[] = {
    {33272, "go-previous", "Show Previous State", 0, false},
    {33273, "go-next", "Show Next State", 0, false},
    {32857, "edit-select-all", "Show All Items", 0, false},
    {0, nullptr, nullptr, 0, false},
    {202, "dialog-information", "Info Panel", 59555, false},
    {203, "view-list", "Organize Panel", 59556, false},
    {0, nullptr, nullptr, 0, false},
    {32887, "document-open", "Open With", 0, true},
    {32800, "folder-open", "Show Media File", 0, false},
    {32801, "user-trash", "Move to Recycle Bin", 0, false},
    {0, nullptr, nullptr, 0, false},
    {32802, "bookmark-new", "Assign Label", 0, true},
    {33266, "go-top", "Move to", 0, true},
    {32808, "media-playback-start", "Play Media", 0, false},
    {0, nullptr, nullptr, 0, false},
    {32807, "view-sort-ascending", "Sort", 0, true},
    {57607, "document-print", "Print", 0, false},
    {32919, "x-office-presentation", "Run Slide Show", 0, false},
};
constexpr int kPlayCommand = 32808;

wxBitmap Art(const char* name) {
    wxBitmap bitmap = wxArtProvider::GetBitmap(name, wxART_TOOLBAR, wxSize(24, 24));
    if (!bitmap.IsOk()) bitmap = wxArtProvider::GetBitmap(wxART_MISSING_IMAGE, wxART_TOOLBAR, wxSize(24, 24));
    return bitmap;
}

wxBitmap Filtered(const wxBitmap& art, void (*filter)(std::vector<std::uint32_t>*)) {
    if (!art.IsOk()) return art;
    wxImage image = art.ConvertToImage();
    const int n = image.GetWidth() * image.GetHeight();
    unsigned char* rgb = image.GetData();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        pixels[i] = std::uint32_t(rgb[3 * i]) << 16 | std::uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
    filter(&pixels);
    for (int i = 0; i < n; ++i) {
        rgb[3 * i] = std::uint8_t(pixels[i] >> 16);
        rgb[3 * i + 1] = std::uint8_t(pixels[i] >> 8);
        rgb[3 * i + 2] = std::uint8_t(pixels[i]);
    }
    return wxBitmap(image);
}

}  // namespace

wxBitmap ToolbarNormalBitmap(const wxBitmap& art) { return Filtered(art, MakeNormalToolbarPixels); }
wxBitmap ToolbarDisabledBitmap(const wxBitmap& art) { return Filtered(art, MakeDisabledToolbarPixels); }

CMediaToolBar::CMediaToolBar(wxWindow* parent)
    : wxToolBar(parent, WxIdOf(kId), wxDefaultPosition, wxDefaultSize, wxTB_FLAT | wxTB_HORIZONTAL | wxTB_HORZ_TEXT | wxTB_NODIVIDER) {
    SetToolBitmapSize(wxSize(24, 24));
    for (const ButtonRow& row : kButtons) {
        if (!row.command) {
            AddSeparator();
            continue;
        }
        const wxBitmap art = Art(row.art);
        const wxString label = row.textId ? LoadUiString(row.textId) : wxString();
        AddTool(WxIdOf(row.command), label, ToolbarNormalBitmap(art), ToolbarDisabledBitmap(art),
                row.dropDown ? wxITEM_DROPDOWN : wxITEM_NORMAL, row.tip);
    }
    Realize();
}

void CMediaToolBar::SetPlaying(bool playing) {
    if (playing == playing_) return;
    playing_ = playing;
    const wxBitmap art = Art(playing ? "media-playback-pause" : "media-playback-start");
    SetToolNormalBitmap(WxIdOf(kPlayCommand), ToolbarNormalBitmap(art));
    SetToolDisabledBitmap(WxIdOf(kPlayCommand), ToolbarDisabledBitmap(art));
}
