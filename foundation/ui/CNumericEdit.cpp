#include "foundation/ui/CNumericEdit.h"

#include "foundation/format/LocaleFormats.h"
#include "foundation/text/CodePages.h"
#include "foundation/ui/ControlRules.h"
#include "foundation/ui/UiText.h"

CNumericEdit::CNumericEdit(wxWindow* parent, wxWindowID id, const wxString& text) : wxTextCtrl(parent, id, text) {
    char decimal = '.', thousands = ',';
    LocaleSeparators(&decimal, &thousands);
    separator_ = wxUniChar(static_cast<unsigned>(AnsiToUnicode((unsigned char)decimal)));
    BindEvents();
}

void CNumericEdit::BindEvents() {
    Bind(wxEVT_CHAR, &CNumericEdit::OnChar, this);
    Bind(wxEVT_TEXT, &CNumericEdit::OnText, this);
}

void CNumericEdit::OnChar(wxKeyEvent& event) {
    const int code = event.GetKeyCode();
    // Navigation and editing keys (and shortcuts such as paste) go on as usual.
    if (code == WXK_DELETE || code == WXK_LEFT || code == WXK_RIGHT || code == WXK_HOME || code == WXK_END ||
        code == WXK_TAB || event.ControlDown()) {
        event.Skip();
        return;
    }
    const char32_t ch = code == WXK_BACK ? U'\b' : char32_t(event.GetUnicodeKey());
    std::u32string replaced;
    long caret = 0;
    if (NumericCharPasses(U32FromWx(GetValue()), ch, char32_t(separator_.GetValue()), &replaced, &caret)) {
        event.Skip();
    } else if (!replaced.empty()) {
        ChangeValue(WxFromU32(replaced));
        SetSelection(caret, caret);
    }
}

void CNumericEdit::OnText(wxCommandEvent& event) {
    event.Skip();
    // Pasted text passes no key filter: what is not a number is taken out here.
    const std::u32string now = U32FromWx(GetValue());
    const std::u32string clean = NumericSanitize(now, char32_t(separator_.GetValue()));
    if (clean != now) ChangeValue(WxFromU32(clean));
}
