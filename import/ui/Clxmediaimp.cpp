#include "import/ui/Clxmediaimp.h"

#include "catalog/fields/FieldDef.h"
#include "foundation/ui/UiText.h"
#include "media/kinds/KindTable.h"

#include <wx/artprov.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>

extern "C" {
#include <libavutil/avutil.h>
}

#include <string>
#include <vector>

namespace {

constexpr int kCategoryListId = 2;
constexpr int kFormatListId = 4;
constexpr int kVersionLabelId = 13;
constexpr int kListedCategories = 3;  // Images, Audio files, Animations/Movies

// The kind's non-zero types, four characters each, joined by ","; the list keeps each type
// with its first character in the lowest byte.
wxString TypesText(const KindListEntry& entry) {
    std::string text;
    for (UInt32 type : entry.types) {
        if (!type) continue;
        if (!text.empty()) text += ',';
        for (int shift = 0; shift < 32; shift += 8) text.push_back(char((type >> shift) & 0xFF));
    }
    return WxFromAnsi(text);
}

}  // namespace

Clxmediaimp::Clxmediaimp(wxWindow* parent) : CLyrexDialog(134, parent, IDOK, 0) {
    Bind(wxEVT_LIST_ITEM_SELECTED, &Clxmediaimp::OnCategorySelected, this, kCategoryListId);
}

wxListCtrl* Clxmediaimp::CategoryList() const { return Controls().Get<wxListCtrl>(kCategoryListId); }
wxListCtrl* Clxmediaimp::FormatList() const { return Controls().Get<wxListCtrl>(kFormatListId); }

bool Clxmediaimp::OnInitDialog() {
    if (auto* label = Controls().Get<wxStaticText>(kVersionLabelId))
        label->SetLabel(LoadUiString(61507) + ": " + wxString::FromUTF8(av_version_info()));
    wxListCtrl* categories = CategoryList();
    wxListCtrl* formats = FormatList();
    if (categories && formats) {
        // The described lists have no header and no row lines; these two show both.
        for (wxListCtrl* list : {categories, formats})
            list->SetWindowStyleFlag((list->GetWindowStyleFlag() & ~long(wxLC_NO_HEADER)) | wxLC_HRULES);
        auto* icons = new wxImageList(16, 16);
        const wxArtID art[kListedCategories] = {wxART_NORMAL_FILE, wxART_NORMAL_FILE, wxART_NORMAL_FILE};
        for (const wxArtID& id : art) icons->Add(wxArtProvider::GetBitmap(id, wxART_LIST, wxSize(16, 16)));
        categories->AssignImageList(icons, wxIMAGE_LIST_SMALL);
        categories->InsertColumn(0, LoadUiString(61504));
        for (int category = 0; category < kListedCategories; ++category) {
            Str255 name = {0};
            MediaCategoryName(category, name);
            categories->InsertItem(category, WxFromPStr(name), category);
        }
        categories->SetColumnWidth(0, wxLIST_AUTOSIZE);
        const int half = formats->GetClientSize().x / 2;
        formats->InsertColumn(0, LoadUiString(61505), wxLIST_FORMAT_LEFT, half > 0 ? half : 150);
        formats->InsertColumn(1, LoadUiString(61506), wxLIST_FORMAT_LEFT, half > 0 ? half : 150);
        ShowCategory(0);
        categories->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    }
    return CLyrexDialog::OnInitDialog();
}

void Clxmediaimp::ShowCategory(int category) {
    wxListCtrl* formats = FormatList();
    if (!formats) return;
    formats->DeleteAllItems();
    std::vector<KindListEntry> entries(255);
    UInt32 count = 0;
    KindListByCategory(UInt8(category), entries.data(), &count);
    for (UInt32 i = 0; i < count; ++i) {
        const long row = formats->InsertItem(long(i), WxFromPStr(entries[i].name));
        formats->SetItem(row, 1, TypesText(entries[i]));
    }
    const int rest = formats->GetClientSize().x - formats->GetColumnWidth(0);
    if (rest > 0) formats->SetColumnWidth(1, rest);
}

void Clxmediaimp::OnCategorySelected(wxListEvent& event) { ShowCategory(int(event.GetIndex())); }
