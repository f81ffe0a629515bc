// The Go To dialog: the item with a number, the next item that contains a text, or the next
// labelled item. It proposes the run's last request; "OK" is enabled only for a request that
// can run in this catalog, and makes the request the remembered one before going there.
#pragma once

#include "app/GoToRequest.h"
#include "foundation/ui/CLyrexDialog.h"

#include <wx/string.h>

class CMainFrame;
class wxChoice;
class wxTextCtrl;

// A length-prefixed Windows-1252 text as a wide string.
void AssignPStrToCString(ConstStr255Param pstr, wxString& out);

class CGoToDlg : public CLyrexDialog {
public:
    // request: the run's remembered request, read when the dialog opens and set on OK.
    CGoToDlg(CMainFrame* frame, GoToRequest* request);

    wxChoice* Kind() const { return kind_; }
    wxTextCtrl* NumberEdit() const { return numberEdit_; }
    wxTextCtrl* TextEdit() const { return textEdit_; }
    // Shows the edit of the chosen kind and enables OK for a valid request.
    void UpdateControls();
    bool CanGo() const;
    // OK: the request is remembered and the frame's view goes to the item.
    bool TransferDataFromWindow() override;

protected:
    bool OnInitDialog() override;

private:
    void ReadFields(UInt8* kind, SInt32* number, Str255 text) const;

    wxChoice* kind_;
    wxTextCtrl* numberEdit_;
    wxTextCtrl* textEdit_;
    CMainFrame* frame_;
    GoToRequest* request_;
};

// Go Again: the remembered request in the frame's view; false when it cannot run there.
bool GoAgain(CMainFrame* frame, const GoToRequest& request);
bool GoAgainEnabled(CMainFrame* frame, const GoToRequest& request);
