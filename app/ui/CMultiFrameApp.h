// The base of the application object: the list of main frames in creation order and which one
// holds the main-window role, closing them all at exit, and the Window menu's tile and cascade.
#pragma once

#include "app/FrameGeometry.h"
#include "app/FrameList.h"

#include <string>
#include <vector>
#include <wx/app.h>

class CMultiFrameWnd;

class CMultiFrameApp : public wxApp {
public:
    static CMultiFrameApp* Get();

    void AddFrame(CMultiFrameWnd* frame);
    void RemoveFrame(CMultiFrameWnd* frame);
    void HandOverMainWindow(CMultiFrameWnd* frame);
    CMultiFrameWnd* GetFrameAt(std::size_t index) const { return frames_.At(index); }
    const FrameList<CMultiFrameWnd>& Frames() const { return frames_; }

    // Asks every frame to close, the main-window frame last, letting each finish (with its
    // save question) before the next; true when none is left.
    bool CloseAllFrames();
    void TileAcross() { Arrange(kTileAcross); }
    void TileDown() { Arrange(kTileDown); }
    void Cascade() { Arrange(kCascade); }

    // Set by File > Close just before the frame closes: the only frame is then emptied.
    bool closeKeepsLast = false;

    // The work area of the display that shows most of the rectangle (for placing frames).
    static std::vector<ScreenRect> WorkAreas();

protected:
    virtual void OnFrameListChanged() {}

private:
    enum ArrangeKind { kTileAcross, kTileDown, kCascade };
    void Arrange(ArrangeKind kind);
    FrameList<CMultiFrameWnd> frames_;
};
