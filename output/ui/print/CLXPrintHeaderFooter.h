// Headers & Footers: the texts of the header, footer and the two side bands (at most 255
// characters each), each band's font (face, size, bold, italic, underline) and text colour, and
// the "Special" menu that puts a field code at the caret of the edit used last. The dialog works
// on a copy of the four bands; OK copies it back into the caller's record.
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "output/print/PrintSettings.h"

#include <wx/font.h>

class wxTextCtrl;

class CLXPrintHeaderFooter : public CLyrexDialog {
public:
    CLXPrintHeaderFooter(wxWindow* parent, PrintSettingsRec* settings);

    // The code of the "Special" menu's entry n (1-based): "&&", "&i", "&d", "&t", "&p", "&n", "&c".
    static const char* SpecialCode(int n);
    // Puts entry n's code at the caret of the edit used last (the header's when none was).
    void InsertSpecial(int n);
    // The font a band's block describes, and a chosen font (and colour) stored into a block.
    static wxFont BandFont(const HeaderFooterBlock& band);
    static void StoreFont(const wxFont& font, HeaderFooterBlock* band);

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;

private:
    void BindEvents();
    void OnFont(wxCommandEvent& event);
    void OnColour(wxCommandEvent& event);
    void OnSpecial(wxCommandEvent& event);
    void OnEditFocus(wxFocusEvent& event);

    PrintSettingsRec* settings_;
    HeaderFooterBlock bands_[4];
    wxTextCtrl* lastEdit_ = nullptr;
};

enum : int { kBandEditFirst = 1601, kBandFontFirst = 1611, kBandColourFirst = 1621, kSpecialButton = 1630 };
