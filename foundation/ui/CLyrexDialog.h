// The base of every dialog of the program. It builds the dialog's controls from the
// description of its template id (resources/dialogs), fits the push buttons along the bottom
// edge to their texts, brings the dialog back where the user left it during this run, and,
// when asked, keeps it above the program's other windows while the program is active (and
// only then, so it never covers another program's windows).
//
// A derived dialog takes a plain record in its constructor, moves it into the controls in
// OnInitDialog and out again when it closes with OK; callers apply the record to the core.
#pragma once

#include "foundation/ui/DialogBuilder.h"

#include <wx/dialog.h>

#include <cstdint>

class CLyrexDialog : public wxDialog {
public:
    // first, second and third are control ids of push buttons (IDOK 1, IDCANCEL 2; 0 = none).
    CLyrexDialog(std::uint32_t templateId, wxWindow* parent, std::uint32_t first = IDOK,
                 std::uint32_t second = IDCANCEL, std::uint32_t third = 0, bool topmost = false);
    ~CLyrexDialog() override;

    bool Destroy() override;
    std::uint32_t TemplateId() const { return templateId_; }
    // The result of ShowModal in the control ids the callers know (IDOK, IDCANCEL, ...).
    int DoModal();

protected:
    // Derived dialogs call the base first: the controls get their data, the buttons are fitted,
    // the position is restored. Answers true.
    virtual bool OnInitDialog();
    const DialogControls& Controls() const { return controls_; }

private:
    void BindEvents();
    void OnInitDialogEvent(wxInitDialogEvent& event);
    void OnActivateApp(wxActivateEvent& event);

    std::uint32_t templateId_;
    std::uint32_t buttons_[3];
    bool topmost_;
    DialogControls controls_;
};
