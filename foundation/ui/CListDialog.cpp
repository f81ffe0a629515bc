#include "foundation/ui/CListDialog.h"

#include "foundation/ui/UiText.h"

#include <wx/app.h>
#include <wx/listbox.h>

#include <algorithm>
#include <cstring>

CListDialog::CListDialog(wxWindow* parent, Handle names, short kind)
    : CLyrexDialog(113, parent, IDOK, IDCANCEL, 0, true),
      names_(names),
      kind_(kind),
      list_(Controls().Get<wxListBox>(1162)) {}

bool CListDialog::OnInitDialog() {
    SetTitle(LoadIndexedUiString(141, kind_));
    if (list_ && names_) {
        const long count = std::min<long>(GetHandleSize(names_) / 256, kListDialogMaxEntries);
        for (long i = 0; i < count; ++i) list_->Append(WxFromPStr(reinterpret_cast<ConstStr255Param>(*names_ + i * 256)));
    }
    return CLyrexDialog::OnInitDialog();
}

bool CListDialog::TransferDataFromWindow() {
    result_.clear();
    if (!list_) return true;
    wxArrayInt chosen;
    list_->GetSelections(chosen);
    std::vector<int> indexes(chosen.begin(), chosen.end());
    std::sort(indexes.rbegin(), indexes.rend());
    result_.push_back((unsigned char)indexes.size());
    for (int i : indexes) result_.push_back((unsigned char)(i + 1));
    return true;
}

bool ShowListDialog(Handle names, unsigned char* result, short kind) {
    CListDialog dialog(wxTheApp ? wxTheApp->GetTopWindow() : nullptr, names, kind);
    if (dialog.DoModal() != IDOK) return false;
    const auto& r = dialog.Result();
    if (r.empty() || r[0] == 0) return false;
    if (result) std::memcpy(result, r.data(), std::min<size_t>(r.size(), 256));
    return true;
}
