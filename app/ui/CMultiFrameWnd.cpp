#include "app/ui/CMultiFrameWnd.h"

#include "app/ui/CMultiFrameApp.h"

CMultiFrameWnd::CMultiFrameWnd() = default;

CMultiFrameWnd::~CMultiFrameWnd() {
    if (CMultiFrameApp* app = CMultiFrameApp::Get()) app->RemoveFrame(this);
}

bool CMultiFrameWnd::CreateFrame(const wxString& title) {
    if (!Create(nullptr, wxID_ANY, title, wxDefaultPosition, wxSize(900, 650), wxDEFAULT_FRAME_STYLE)) return false;
    if (CMultiFrameApp* app = CMultiFrameApp::Get()) app->AddFrame(this);
    return true;
}
