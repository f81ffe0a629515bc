#include "window/ui/CPaneBase.h"

CPaneBase::CPaneBase(wxWindow* parent, wxWindowID id)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxCLIP_CHILDREN) {
    BindEvents();
}

void CPaneBase::BindEvents() {
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        LayoutChildren(false);
        e.Skip();
    });
    Bind(wxEVT_SHOW, [this](wxShowEvent& e) {
        if (e.IsShown()) RefreshPane(true);
        e.Skip();
    });
}
