#include "app/ui/prefs/CPrefsMedia.h"

#include "app/PreferencesPages.h"
#include "app/ui/prefs/CPrefsMediaFonts.h"
#include "app/ui/prefs/CPrefsMediaImages.h"
#include "app/ui/prefs/CPrefsMediaKodak.h"
#include "foundation/ui/UiText.h"

#include <wx/choice.h>
#include <wx/simplebook.h>
#include <wx/sizer.h>

void CPrefsMedia::ToControls() {
    auto* type = Controls().Get<wxChoice>(1002);
    if (!book_) {
        book_ = new wxSimplebook(this, wxID_ANY);
        parts_[0] = new CPrefsMediaImages(prefs_);
        parts_[1] = new CPrefsMediaFonts(prefs_);
        parts_[2] = new CPrefsMediaKodak(prefs_);
        for (PreferencesPage* part : parts_) {
            part->Create(book_);
            book_->AddPage(part, wxString());
        }
        GetSizer()->Add(book_, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
        type->Clear();
        for (UInt16 id : {65517, 65518, 65519}) type->Append(LoadUiString(id));
        type->Bind(wxEVT_CHOICE, [this, type](wxCommandEvent&) { ShowType(type->GetSelection()); });
    }
    for (PreferencesPage* part : parts_) part->ToControls();
    ShowType(MediaTypeFrom(*prefs_));
}

void CPrefsMedia::ShowType(int type) {
    if (type < 0 || type > 2) return;
    Controls().Get<wxChoice>(1002)->SetSelection(type);
    book_->ChangeSelection(size_t(type));
    Layout();
}

void CPrefsMedia::OnApply() {
    MediaTypeInto(Controls().Get<wxChoice>(1002)->GetSelection(), prefs_);
    for (PreferencesPage* part : parts_) part->OnApply();
}
