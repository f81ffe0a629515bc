// The small floating window over a running show: exit, previous, run or pause and next, the
// pop-up menus of options, transitions and scaling, and a display of the volume, the position
// in the show and the seconds per slide between the volume and seconds spins. Keys typed here
// act on the show as on the stage. It belongs to the stage and goes with it.
#pragma once

#include "output/slideshow/SlideShowMachine.h"

#include <wx/frame.h>

class wxButton;
class wxMenu;
class wxSpinButton;
class wxSpinEvent;

// Control ids of the window (its buttons are found by them in the tests).
enum : int {
    kSlideOptExit = 8201, kSlideOptMenu = 8202, kSlideOptPrevious = 8203, kSlideOptRunPause = 8204,
    kSlideOptNext = 8205, kSlideOptTransition = 8206, kSlideOptScaling = 8207, kSlideOptSeconds = 8209,
    kSlideOptVolume = 8210, kSlideOptDisplay = 8211,
};

// Where the window goes: the stored corner, or 10 pixels inside the screen's corner for a
// coordinate outside the screen.
wxPoint SlideOptionsPosition(int left, int top, const wxRect& screen);

class CSlideOptionsWindow : public wxFrame {
public:
    CSlideOptionsWindow(wxWindow* stage, SlideShowMachine& show);

    // The display, the Run/Pause button and the spins follow the show.
    void UpdateFromShow();
    // The pop-up menus as built now (the tests read their checks); the caller deletes them.
    wxMenu* BuildOptionsMenu() const;
    wxMenu* BuildTransitionMenu() const;
    wxMenu* BuildScalingMenu() const;
    // A choice from one of the menus (menu button id, item 1..n), as a pick would apply it.
    void ApplyChoice(int button, int item);
    int DisplayRedraws() const { return displayRedraws_; }

private:
    class Display;
    void BindEvents();
    void OnButton(wxCommandEvent& event);
    void OnSpin(wxSpinEvent& event);
    void PopUp(int button);

    SlideShowMachine& show_;
    wxButton* runPause_ = nullptr;
    wxSpinButton* volume_ = nullptr;
    wxSpinButton* seconds_ = nullptr;
    Display* display_ = nullptr;
    int displayRedraws_ = 0;
};
