// The running slide show's windows: the stage, a borderless window over the whole display
// that holds the catalog window, showing the stage offscreen and passing keys, clicks and the
// timer to the show; and with it the options window (CSlideOptionsWindow). SlideShowRun
// starts a show, the show ends by itself (Escape, a double-click, the exit button) and the
// windows go.
#pragma once

#include "output/slideshow/SlideShowMachine.h"
#include "output/slideshow/SlideStage.h"

#include <wx/accel.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include <memory>

class CSlideOptionsWindow;

class CSlideStageWindow : public wxFrame {
public:
    CSlideStageWindow(std::unique_ptr<SlideShowMachine> show, std::unique_ptr<SlideStage> stage,
                      const wxRect& display, wxWindow* commandTarget, const wxAcceleratorTable& keys);
    ~CSlideStageWindow() override;

    SlideShowMachine& Show() { return *show_; }
    SlideStage& Stage() { return *stage_; }
    CSlideOptionsWindow* Options() const { return options_; }
    // Moves a transition on and repaints when the stage changed (the timers call it).
    void Step();

private:
    void BindEvents();
    void OnPaint(wxPaintEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnMouse(wxMouseEvent& event);
    void OnTick(wxTimerEvent& event);
    void OnFrameTimer(wxTimerEvent& event);
    void OnMenu(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void ShowOptions(bool visible);
    void UpdateCursor();
    void Finish();

    std::unique_ptr<SlideStage> stage_;
    std::unique_ptr<SlideShowMachine> show_;
    CSlideOptionsWindow* options_ = nullptr;
    wxWindow* commandTarget_ = nullptr;
    wxTimer tick_;
    wxTimer frames_;
    int pendingCommand_ = 0;
    bool finishing_ = false;
};

// Starts a show of args.itemCount items on the display holding frameRect; commands of the
// accelerator table (keys) are handed to commandTarget once the show has ended. False when
// the show refused to start (see SlideShowMachine::Start).
bool SlideShowRun(SlideShowRunArgs args, const wxRect& frameRect, wxWindow* commandTarget,
                  const wxAcceleratorTable& keys);
// The stage of the running show, or null.
CSlideStageWindow* SlideShowStageWindow();
