// Choose entries of a list to remove (fields, queries, option sets): a list of names with
// several chosen at once; "Remove" answers the chosen entries, highest first, so that removing
// them in that order keeps the others' places.
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "platform/Handles.h"

#include <vector>

class wxListBox;

// A result holds a count byte and one byte per entry, so at most this many names are offered.
inline constexpr int kListDialogMaxEntries = 255;

class CListDialog : public CLyrexDialog {
public:
    // names: 256-byte length-prefixed strings back to back; kind: the caption (list 141).
    CListDialog(wxWindow* parent, Handle names, short kind);

    // After "Remove": count, then index + 1 of each chosen entry, highest first.
    const std::vector<unsigned char>& Result() const { return result_; }
    wxListBox* List() const { return list_; }

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;

private:
    Handle names_;
    short kind_;
    wxListBox* list_;
    std::vector<unsigned char> result_;
};

// Runs the dialog over the names; true when "Remove" was pressed with an entry chosen, the
// result (256 bytes) then holding the count and the chosen entries as above.
bool ShowListDialog(Handle names, unsigned char* result, short kind);
