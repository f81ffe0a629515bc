// One page of a property sheet or wizard: a panel built from the description of its template
// id, told when it becomes the shown page, when it is left and when the wizard finishes.
#pragma once

#include "foundation/ui/DialogBuilder.h"

#include <wx/panel.h>

#include <cstdint>

class CPropertyPage : public wxPanel {
public:
    // The page is made on the sheet's book (the parent passed to Create) by the sheet's AddPage.
    explicit CPropertyPage(std::uint32_t templateId);
    bool Create(wxWindow* book);

    std::uint32_t TemplateId() const { return templateId_; }
    // The page becomes the shown one; answers false to refuse.
    virtual bool OnSetActive() { return true; }
    // The page is left; answers false to keep it.
    virtual bool OnKillActive() { return true; }
    // The wizard's Finish; answers false to keep the wizard open.
    virtual bool OnWizardFinish() { return true; }

protected:
    const DialogControls& Controls() const { return controls_; }

private:
    std::uint32_t templateId_;
    DialogControls controls_;
};
