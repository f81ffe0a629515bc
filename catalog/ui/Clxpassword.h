// The catalog password: set mode shows and changes the password of an open catalog (an empty
// one removes the protection); check mode asks for it when a protected catalog opens, offering
// Retry after a wrong one. CatalogPasswordPrompt is the password procedure CatalogOpen calls.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "foundation/ui/CLyrexDialog.h"

#include <string>

class wxTextCtrl;

enum PasswordMode : int { kPasswordSet = 0, kPasswordCheck = 1 };

class Clxpassword : public CLyrexDialog {
public:
    // result (check mode) receives 0 or kWrongPasswordErr; output (set mode), when given,
    // receives the typed password and the catalog is left unchanged.
    Clxpassword(CatalogRec* catalog, int mode, OSErr* result, Str255 output, wxWindow* parent);

    wxTextCtrl* Edit() const { return edit_; }

protected:
    bool OnInitDialog() override;
    bool Validate() override;
    bool TransferDataFromWindow() override;

private:
    CatalogRec* catalog_;
    int mode_;
    OSErr* result_;
    unsigned char* output_;
    wxTextCtrl* edit_;
};

// The password procedure of CatalogOpen: asks for the password of the catalog being opened.
// 0 when it was typed right; kWrongPasswordErr when the user gave up after a wrong one;
// userCanceledErr when the dialog was cancelled.
OSErr CatalogPasswordPrompt(CatalogRec* catalog);
