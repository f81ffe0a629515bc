#include "app/ui/CMultiFrameApp.h"

#include "app/ui/CMultiFrameWnd.h"

#include <wx/display.h>

CMultiFrameApp* CMultiFrameApp::Get() { return dynamic_cast<CMultiFrameApp*>(wxApp::GetInstance()); }

void CMultiFrameApp::AddFrame(CMultiFrameWnd* frame) {
    frames_.Add(frame);
    SetTopWindow(frames_.Main());
    OnFrameListChanged();
}

void CMultiFrameApp::RemoveFrame(CMultiFrameWnd* frame) {
    frames_.Remove(frame);
    SetTopWindow(frames_.Main());
    OnFrameListChanged();
}

void CMultiFrameApp::HandOverMainWindow(CMultiFrameWnd* frame) {
    frames_.HandOverMainWindow(frame);
    SetTopWindow(frames_.Main());
}

bool CMultiFrameApp::CloseAllFrames() {
    Yield(true);
    const std::vector<CMultiFrameWnd*> all = frames_.All();
    for (CMultiFrameWnd* frame : all) {
        if (frame == frames_.Main() || !frames_.Contains(frame)) continue;
        frame->Close();
        Yield(true);
    }
    if (CMultiFrameWnd* main = frames_.Main()) {
        main->Close();
        Yield(true);
    }
    return frames_.Count() == 0;
}

std::vector<ScreenRect> CMultiFrameApp::WorkAreas() {
    std::vector<ScreenRect> areas;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
        const wxRect r = wxDisplay(i).GetClientArea();
        areas.push_back({r.x, r.y, r.width, r.height});
    }
    return areas;
}

void CMultiFrameApp::Arrange(ArrangeKind kind) {
    std::vector<CMultiFrameWnd*> windows;
    for (CMultiFrameWnd* f : frames_.All()) {
        if (!f->IsIconized() && f->IsShown()) windows.push_back(f);
    }
    if (windows.empty()) return;
    const wxRect area = wxDisplay(unsigned(std::max(0, wxDisplay::GetFromWindow(windows.front())))).GetClientArea();
    const ScreenRect work{area.x, area.y, area.width, area.height};
    const int n = int(windows.size());
    const std::vector<ScreenRect> rects = kind == kCascade ? CascadeRects(work, n, 25) : TileRects(work, n, kind == kTileAcross);
    for (int i = 0; i < n; ++i) windows[i]->SetSize(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
}
