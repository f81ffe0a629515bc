#include "app/ui/prefs/CPrefsMediaFonts.h"

#include "app/PreferencesPages.h"
#include "foundation/ui/UiText.h"

#include <wx/choice.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include <cstdlib>

void CPrefsMediaFonts::ToControls() {
    const FontsPage f = FontsPageFrom(*prefs_);
    auto* size = Controls().Get<wxTextCtrl>(1459);
    size->SetValidator(wxTextValidator(wxFILTER_DIGITS));
    size->ChangeValue(wxString::Format("%d", f.size));
    Controls().Get<wxTextCtrl>(1460)->SetMaxLength(255);
    Controls().Get<wxTextCtrl>(1460)->ChangeValue(WxFromAnsi(f.sampleText));
    Controls().Get<wxTextCtrl>(1461)->ChangeValue(WxFromAnsi(f.sampleChars));
    auto* media = Controls().Get<wxChoice>(1462);
    media->Clear();
    for (UInt16 id : {15, 16, 17}) media->Append(LoadUiString(id));
    media->SetSelection(f.mediaDisplay);
    auto* thumbs = Controls().Get<wxChoice>(1003);
    thumbs->Clear();
    for (UInt16 id : {18, 19}) thumbs->Append(LoadUiString(id));
    thumbs->SetSelection(f.thumbnailDisplay);
    media->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { UpdateSamples(); });
    thumbs->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { UpdateSamples(); });
    UpdateSamples();
}

void CPrefsMediaFonts::UpdateSamples() {
    Controls().Get<wxTextCtrl>(1460)->Enable(Controls().Get<wxChoice>(1462)->GetSelection() == 2);
    Controls().Get<wxTextCtrl>(1461)->Enable(Controls().Get<wxChoice>(1003)->GetSelection() == 1);
}

void CPrefsMediaFonts::OnApply() {
    FontsPage f;
    f.size = int(std::strtol(Controls().Get<wxTextCtrl>(1459)->GetValue().utf8_str(), nullptr, 10));
    f.sampleText = AnsiFromWx(Controls().Get<wxTextCtrl>(1460)->GetValue());
    f.sampleChars = AnsiFromWx(Controls().Get<wxTextCtrl>(1461)->GetValue());
    f.mediaDisplay = Controls().Get<wxChoice>(1462)->GetSelection();
    f.thumbnailDisplay = Controls().Get<wxChoice>(1003)->GetSelection();
    FontsPageInto(f, prefs_);
}
