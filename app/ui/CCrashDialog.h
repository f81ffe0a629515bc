// The import-problem dialog: shown once at start-up when the last run stopped while a media
// reader worked on a file. It names the file and its kind and offers to show the file in the
// file manager or to move it to the trash.
#pragma once

#include "catalog/items/ItemMediaInfo.h"

#include <wx/dialog.h>

class CCrashDialog : public wxDialog {
public:
    enum : int { kShowMediaFile = 1229, kMoveToTrash = 1230 };
    CCrashDialog(const MediaFileRec& file, wxWindow* parent);
    // 1 (OK), kShowMediaFile or kMoveToTrash; the chosen action has been carried out.
    int DoModal();

    // The problem sentence: the template cut after its first ':' with the kind's name put in.
    static wxString ProblemText(const wxString& templ, const wxString& category);

private:
    MediaFileRec file_;
};
