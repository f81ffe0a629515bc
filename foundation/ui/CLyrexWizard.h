// The program's wizards: a property sheet whose pages follow one another with Back, Next and
// Finish, with a header picture painted stretched across the top strip above a separator, a
// white background, and Escape ignored (a wizard is left through its buttons only).
#pragma once

#include "foundation/ui/CLyrexPropertySheet.h"

#include <wx/bitmap.h>

#include <cstdint>

class wxButton;

enum : int {
    ID_WIZBACK = 0x3023,
    ID_WIZNEXT = 0x3024,
    ID_WIZFINISH = 0x3025,
    kWizardSeparatorId = 0x3027,  // the line below the header
};

class CLyrexWizard : public CLyrexPropertySheet {
public:
    // The header picture is the typed resource 'PNG ' of that id; when it cannot be loaded the
    // wizard shows as a plain sheet. headerMode 1 paints it stretched over the top strip.
    CLyrexWizard(std::uint32_t headerBitmapId, int headerMode, const wxString& caption, wxWindow* parent);

    bool HasHeader() const { return headerBitmap_.IsOk(); }
    int ActivePage() const { return active_; }
    // Shows the page, asking the page left and the page shown; false when either refused.
    bool SetActivePage(int index);
    wxButton* WizardButton(int id) const;

protected:
    bool OnInitDialog() override;
    wxBookCtrlBase* CreateBookCtrl() override;
    void AddBookCtrl(wxSizer* sizer) override;

private:
    void BindEvents();
    void OnCharHook(wxKeyEvent& event);
    void OnBack(wxCommandEvent& event);
    void OnNext(wxCommandEvent& event);
    void OnFinish(wxCommandEvent& event);
    void OnPaintHeader(wxPaintEvent& event);
    void UpdateButtons();

    wxBitmap headerBitmap_;
    std::uint32_t headerBitmapId_;
    int headerMode_;
    wxString caption_;
    wxWindow* header_ = nullptr;
    int active_ = -1;
};
