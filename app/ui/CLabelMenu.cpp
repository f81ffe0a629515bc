#include "app/ui/CLabelMenu.h"

#include "app/ui/CMainFrame.h"
#include "app/ui/CQuantaroApp.h"
#include "catalog/tables/Labels.h"
#include "foundation/ui/CommandIds.h"
#include "foundation/ui/UiText.h"

#include <wx/artprov.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

namespace {

constexpr int kIconSize = 16;

// Menu texts take "&" as the mnemonic sign; a name's own "&" stays a character.
wxString MenuText(const LabelMenuItem& item) {
    wxString text = WxFromUtf8(item.text);
    if (item.kind == LabelMenuItem::kLabel || item.kind == LabelMenuItem::kHelper) text.Replace("&", "&&");
    return text;
}

wxMenuItem* MakeItem(wxMenu* menu, const LabelMenuItem& item) {
    if (item.kind == LabelMenuItem::kSeparator) return new wxMenuItem(menu, wxID_SEPARATOR);
    auto* made = new wxMenuItem(menu, WxIdOf(item.id), MenuText(item));
    // The bitmap goes on before the item joins its menu: GTK makes an image item only then.
    if (item.kind == LabelMenuItem::kLabel) made->SetBitmap(LabelSwatch(item.label));
    if (item.kind == LabelMenuItem::kHelper) {
        if (const HelperEntry* helper = Helpers().At(std::size_t(item.helper))) {
            const wxBitmap icon = HelperIcon(*helper);
            if (icon.IsOk()) made->SetBitmap(icon);
        }
    }
    return made;
}

void AppendItems(wxMenu* menu, const std::vector<LabelMenuItem>& items) {
    for (const LabelMenuItem& item : items) {
        wxMenuItem* made = menu->Append(MakeItem(menu, item));
        if (!item.enabled) made->Enable(false);
    }
}

}  // namespace

bool CLabelMenu::Build(int kind) {
    AppendItems(this, BuildLabelMenuItems(kind, Helpers()));
    built_ = true;
    return true;
}

wxBitmap LabelSwatch(int label) {
    RGBColor color{0, 0, 0};
    LabelGetInfo(label, nullptr, &color);
    wxBitmap bitmap(kIconSize, kIconSize, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetPen(wxPen(wxColour(64, 64, 64)));
    dc.SetBrush(wxBrush(wxColour(color.red >> 8, color.green >> 8, color.blue >> 8)));
    dc.DrawRectangle(2, 2, kIconSize - 4, kIconSize - 4);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

wxBitmap HelperIcon(const HelperEntry& helper) {
    if (helper.icon.empty()) return wxBitmap();
    if (helper.icon.front() == '/') {
        wxImage image;
        if (!wxFileExists(WxFromUtf8(helper.icon)) || !image.LoadFile(WxFromUtf8(helper.icon))) return wxBitmap();
        return wxBitmap(image.Rescale(kIconSize, kIconSize, wxIMAGE_QUALITY_HIGH));
    }
    return wxArtProvider::GetBitmap(WxFromUtf8(helper.icon), wxART_MENU, wxSize(kIconSize, kIconSize));
}

void DecorateLabelItems(wxMenu* menu) {
    if (!menu) return;
    const std::vector<wxMenuItem*> items(menu->GetMenuItems().begin(), menu->GetMenuItems().end());
    for (std::size_t pos = 0; pos < items.size(); ++pos) {
        wxMenuItem* old = items[pos];
        if (old->IsSubMenu()) {
            DecorateLabelItems(old->GetSubMenu());
            continue;
        }
        const int label = LabelOfCommand(CommandOf(old->GetId()));
        if (!label) continue;
        LabelMenuItem model;
        model.kind = LabelMenuItem::kLabel;
        model.id = CommandOf(old->GetId());
        model.label = label;
        model.text = LabelItemText(label);
        const bool enabled = old->IsEnabled();
        menu->Remove(old);
        delete old;
        wxMenuItem* made = menu->Insert(pos, MakeItem(menu, model));
        if (!enabled) made->Enable(false);
    }
}

void FillOpenWithMenu(wxMenu* menu) {
    if (!menu) return;
    wxMenu* found = nullptr;
    if (!menu->FindItem(WxIdOf(kOpenDefaultCommand), &found) || !found) return;
    while (found->GetMenuItemCount() > 0) found->Destroy(found->FindItemByPosition(0));
    AppendItems(found, BuildLabelMenuItems(kLabelMenuOpenWith, Helpers()));
}

void FillOpenWithMenus(wxMenuBar* bar) {
    if (!bar) return;
    for (std::size_t m = 0; m < bar->GetMenuCount(); ++m) FillOpenWithMenu(bar->GetMenu(m));
}

void DressMenuBar(wxMenuBar* bar) {
    if (!bar) return;
    for (std::size_t m = 0; m < bar->GetMenuCount(); ++m) DecorateLabelItems(bar->GetMenu(m));
    FillOpenWithMenus(bar);
}

void RebuildAllOpenWithMenus() {
    for (CMultiFrameWnd* f : GetApp().Frames().All())
        if (auto* frame = dynamic_cast<CMainFrame*>(f)) FillOpenWithMenus(frame->GetMenuBar());
}
