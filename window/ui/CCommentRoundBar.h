// The Info panel's lower section: the caption of the current item in a multi-line box under
// a round bar titled "Caption", with a revert button in the header that takes back what was
// typed. Typed text is kept in the box until the panel stores it into the catalog's pending
// caption (when the current item changes or the panel goes away).
#pragma once

#include "window/ui/CRoundBar.h"

class CPaneInfoCommentEditBox;
class CRoundBarButton;
struct CatalogRec;

class CCommentRoundBar : public CRoundBar {
public:
    CCommentRoundBar(wxWindow* parent, wxWindowID id);

    // Loads a text: the box shows it, it becomes the unchanged text, the changed flag clears.
    void SetText(const wxString& text);
    // The box's text; true when it was edited since it was loaded.
    bool GetChangedText(wxString* text) const;
    void SetCatalog(CatalogRec* catalog) { catalog_ = catalog; }
    void SetCurrentItem(bool any) { hasItem_ = any; UpdateRevertIcon(); }
    CPaneInfoCommentEditBox* GetEditBox() const { return edit_; }
    CRoundBarButton* GetRevertButton() const { return revert_; }
    void UpdateRevertIcon();
    void Revert();

protected:
    void LayoutBody() override;
    void OnColoursChanged() override;

private:
    void OnCaptionChange();

    CPaneInfoCommentEditBox* edit_;
    CRoundBarButton* revert_;
    CatalogRec* catalog_ = nullptr;
    wxString unchanged_;
    bool changed_ = false;
    bool hasItem_ = false;
};
