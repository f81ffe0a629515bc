// The "Importing" window: how many media files an import has scanned and how many it added.
// It is made hidden when an import starts and shows itself only when the import lasts (see
// ImportProgressGate); its Cancel button, Escape and the close box only raise the cancelled
// flag that the import reads between files; the window stays until its owner closes it.
// User-interface thread only.
#pragma once

#include "foundation/ui/CLyrexDialog.h"

class CImportDialog : public CLyrexDialog {
public:
    explicit CImportDialog(wxWindow* owner);

    bool Cancelled() const { return cancelled_; }
    // Puts the two numbers into the window as decimal text.
    void SetCounts(long imported, long scanned);
    wxString ImportedText() const;
    wxString ScannedText() const;

private:
    void BindEvents();
    void OnCancel(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);

    bool cancelled_ = false;
};
