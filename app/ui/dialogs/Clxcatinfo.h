// The Catalog Info dialog: facts about the catalog of a window (item count, the file's dates,
// size and place, the window's scratch folder), its comments to edit and its password to set.
// Nothing reaches the catalog before OK: Cancel drops both the comments and a new password.
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "platform/MacTypes.h"

class CMainFrame;
struct CatalogRec;
class wxTextCtrl;

class Clxcatinfo : public CLyrexDialog {
public:
    explicit Clxcatinfo(CMainFrame* frame);

    wxTextCtrl* Comments() const { return comments_; }
    // "Set Password...": asks for the new password, kept until OK.
    void SetPassword();
    // Tests stand in for the password dialog: the typed password and whether it was confirmed.
    void TakeNewPassword(ConstStr255Param password);
    // OK: the comments (cut to 255 bytes) and a changed password go into the catalog.
    bool TransferDataFromWindow() override;

protected:
    bool OnInitDialog() override;

private:
    CMainFrame* frame_;
    CatalogRec* catalog_;
    wxTextCtrl* comments_;
    Str255 newPassword_ = {};
    bool passwordChanged_ = false;
};
