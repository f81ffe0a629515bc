// Type a text: one line or several, with a caption of list 141 (save a query as, rename a
// field, a URL...). OK hands the text back cut to the caller's maximum.
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "platform/MacTypes.h"

class wxTextCtrl;

class CTextDialog : public CLyrexDialog {
public:
    CTextDialog(wxWindow* parent, const wxString& text, short lines, short captionIndex);

    wxString Text() const { return text_; }
    wxTextCtrl* Edit() const { return edit_; }

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;

private:
    wxString text_;
    short lines_;
    short captionIndex_;
    wxTextCtrl* edit_;
};

// 1 after OK: the text replaced (Windows-1252, cut to maximum bytes); 2 after Cancel: unchanged.
short AskForText(StringPtr text, short maximum, short lines, short captionIndex);
