#include "app/ui/find/WxFindHost.h"

#include "app/ui/CMainFrame.h"
#include "app/ui/CQuantaroApp.h"
#include "window/ui/CGridView.h"

UInt32 WxFindHost::FrontFrame() {
    CMainFrame* front = GetApp().GetMainWnd();
    return front ? UInt32(front->Serial()) : 0;
}

std::vector<UInt32> WxFindHost::AllFrames() {
    std::vector<UInt32> out;
    for (CMultiFrameWnd* f : GetApp().Frames().All())
        if (auto* frame = dynamic_cast<CMainFrame*>(f)) out.push_back(UInt32(frame->Serial()));
    return out;
}

std::vector<std::string> WxFindHost::RecentCatalogs() {
    std::vector<std::string> out;
    for (std::size_t i = 0;; ++i) {
        const std::string* path = GetApp().Recent().At(i);
        if (!path) break;
        out.push_back(*path);
    }
    return out;
}

ViewRec* WxFindHost::FrameView(UInt32 frame) {
    CMainFrame* f = CMainFrame::FromSerial(long(frame));
    return f ? f->GetViewRec() : nullptr;
}

UInt32 WxFindHost::FrameForCatalog(const std::string& path) {
    CMainFrame* f = GetApp().FindFrameForCatalog(path);
    return f ? UInt32(f->Serial()) : 0;
}

UInt32 WxFindHost::OpenCatalogFrame(const std::string& path) {
    CMainFrame* frame = GetApp().NewFrame(false);
    if (!frame) return 0;
    if (!frame->LoadCatalog(path)) {
        frame->Destroy();
        return 0;
    }
    return UInt32(frame->Serial());
}

void WxFindHost::CloseFrame(UInt32 frame) {
    if (CMainFrame* f = CMainFrame::FromSerial(long(frame))) f->Close();
}

void WxFindHost::ActivateFrame(UInt32 frame) {
    if (CMainFrame* f = CMainFrame::FromSerial(long(frame))) ::ActivateFrame(f, true);
}

void WxFindHost::ViewChanged(UInt32 frame) {
    if (CMainFrame* f = CMainFrame::FromSerial(long(frame))) {
        f->GetGridView()->RedrawAll();
        f->UpdateTitle();
    }
}
