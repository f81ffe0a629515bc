// The base of the program's property sheets: OK and Cancel fitted to their texts along the
// bottom edge (no Apply button), the sheet coming back where it was last left during this run
// when it is made from a caption string id, and floating above the program's windows while
// the program is active.
#pragma once

#include <wx/propdlg.h>

#include <cstdint>

class CPropertyPage;

class CLyrexPropertySheet : public wxPropertySheetDialog {
public:
    // The caption from a string id, which is also the key of the remembered position.
    CLyrexPropertySheet(std::uint32_t captionId, wxWindow* parent);
    // The caption as text: the sheet never remembers its position.
    CLyrexPropertySheet(const wxString& caption, wxWindow* parent);
    ~CLyrexPropertySheet() override;

    bool Destroy() override;
    // Builds the page on the sheet's book and adds it.
    void AddPage(CPropertyPage* page, const wxString& title = wxString());
    std::uint32_t PositionKey() const { return positionKey_; }
    int DoModal();

protected:
    // For a wizard, which makes its own book and buttons first.
    CLyrexPropertySheet(std::uint32_t positionKey, const wxString& caption, wxWindow* parent, bool deferCreate);
    void CreateSheet(const wxString& caption, wxWindow* parent);
    virtual bool OnInitDialog();
    void BindEvents();

private:
    void OnInitDialogEvent(wxInitDialogEvent& event);
    void OnActivateApp(wxActivateEvent& event);

    std::uint32_t positionKey_;
};
