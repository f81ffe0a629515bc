// The dialog that shows an item's file beside another file (picture, name, type, created,
// modified) and asks what to do: accept a file found for a missing item (mode 0), or settle a
// name conflict while copying (mode 1) or moving (mode 2). It answers one of four choices.
#pragma once

#include "catalog/file/CatalogRecords.h"
#include "foundation/ui/CLyrexDialog.h"
#include "output/fileactions/ConflictTexts.h"
#include "platform/imaging/Picture.h"

class CResetPathsDlg : public CLyrexDialog {
public:
    explicit CResetPathsDlg(wxWindow* parent);
    ~CResetPathsDlg() override;

    // What the dialog shows: the texts of the mode, the item's file as its record knows it
    // (record may be null: the file is read instead) and the other file as the disk knows it.
    // The pictures (either may be null) become the dialog's, which disposes of them.
    void SetFileInfo(int mode, const FSSpec& source, const ItemRec* sourceRecord, PicHandle sourcePicture,
                     const FSSpec& destination, PicHandle destinationPicture);
    // After DoModal: 1 for button 1, 2 for button 2 (and Escape), 3 for "... All" (1086), 4 for
    // the fourth button (1087), 0 otherwise.
    int GetChoice() const { return choice_; }

protected:
    bool OnInitDialog() override;

private:
    void BindEvents();
    void OnButton(wxCommandEvent& event);
    void SetText(int id, const std::string& utf8);

    int mode_ = -1;
    ConflictFileRows source_, destination_;
    PicHandle pictures_[2] = {nullptr, nullptr};
    int choice_ = 0;
};
