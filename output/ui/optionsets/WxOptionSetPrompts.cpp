#include "output/ui/optionsets/WxOptionSetPrompts.h"

#include "foundation/ui/CListDialog.h"
#include "foundation/ui/CTextDialog.h"
#include "foundation/ui/UiText.h"
#include "platform/Handles.h"

#include <wx/app.h>

#include <cstring>

bool WxOptionSetPrompts::AskSetName(const std::string& caption, int maxLength, std::string* name) {
    // Caption 5 of list 141 is "Save As:".
    CTextDialog dialog(wxTheApp->GetTopWindow(), wxString(), 1, 5);
    if (dialog.DoModal() != IDOK) return false;
    std::u32string chars = U32FromWx(dialog.Text());
    if (chars.size() > std::size_t(maxLength)) chars.resize(std::size_t(maxLength));
    *name = Utf8FromWx(WxFromU32(chars));
    return true;
}

std::vector<int> WxOptionSetPrompts::ChooseSets(const std::string& caption, const std::vector<std::string>& names) {
    // The list dialog shows core text; the names are handed back by position only.
    const std::size_t count = std::min<std::size_t>(names.size(), kListDialogMaxEntries);
    Handle list = NewHandleClear(Size(count * 256));
    if (!list) return {};
    for (std::size_t i = 0; i < count; ++i) PStrFromWx(WxFromUtf8(names[i]), reinterpret_cast<StringPtr>(*list + i * 256));
    unsigned char result[256] = {};
    std::vector<int> chosen;
    if (ShowListDialog(list, result, 4))
        for (int i = 0; i < result[0]; ++i) chosen.push_back(result[1 + i]);
    DisposeHandle(list);
    return chosen;
}
