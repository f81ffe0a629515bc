#include "output/ui/slideshow/CSlideStageWindow.h"

#include "foundation/ui/OffscreenBitmap.h"
#include "foundation/ui/UiText.h"
#include "output/ui/slideshow/CSlideOptionsWindow.h"
#include "output/ui/slideshow/SlideShowKeys.h"

#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/utils.h>

namespace {

CSlideStageWindow* gStage = nullptr;

constexpr int kTickMs = 500;
constexpr int kFrameMs = 30;   // transitions and movie frames
constexpr UInt16 kStageTitle = 8405;

}  // namespace

CSlideStageWindow* SlideShowStageWindow() { return gStage; }

bool SlideShowRun(SlideShowRunArgs args, const wxRect& frameRect, wxWindow* commandTarget,
                  const wxAcceleratorTable& keys) {
    if (gStage || SlideShowIsRunning()) return false;
    int index = wxDisplay::GetFromPoint(frameRect.GetPosition() + frameRect.GetSize() / 2);
    if (index == wxNOT_FOUND) index = 0;
    const wxRect display = wxDisplay(unsigned(index)).GetGeometry();
    auto stage = std::make_unique<SlideStage>(display.width, display.height);
    if (!stage->Ok()) return false;
    std::unique_ptr<SlideShowMachine> show = SlideShowMachine::Start(std::move(args), stage.get());
    if (!show) return false;
    stage->SetFont(show->Font());
    new CSlideStageWindow(std::move(show), std::move(stage), display, commandTarget, keys);
    return true;
}

CSlideStageWindow::CSlideStageWindow(std::unique_ptr<SlideShowMachine> show, std::unique_ptr<SlideStage> stage,
                                     const wxRect& display, wxWindow* commandTarget, const wxAcceleratorTable& keys)
    : wxFrame(nullptr, wxID_ANY, LoadUiString(kStageTitle), display.GetPosition(), display.GetSize(),
              wxBORDER_NONE | wxFRAME_NO_TASKBAR | wxWANTS_CHARS),
      stage_(std::move(stage)),
      show_(std::move(show)),
      commandTarget_(commandTarget),
      tick_(this),
      frames_(this) {
    gStage = this;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (keys.IsOk()) SetAcceleratorTable(keys);
    stage_->SetOnChanged([this] { Refresh(false); });
    stage_->SetOnBeep([] { wxBell(); });
    options_ = new CSlideOptionsWindow(this, *show_);

    SlideShowMachine::Hooks hooks;
    hooks.stateChanged = [this] {
        if (options_) options_->UpdateFromShow();
    };
    hooks.optionsVisibility = [this](bool visible) { ShowOptions(visible); };
    hooks.beforeSave = [this](SlideShowSettings* settings) {
        if (!options_) return;
        const wxPoint at = options_->GetPosition();
        settings->optionsLeft = SInt16(at.x);
        settings->optionsTop = SInt16(at.y);
    };
    hooks.ended = [this] { Finish(); };
    show_->SetHooks(hooks);
    show_->SetMouseHeld([] { return wxGetMouseState().LeftIsDown(); });
    BindEvents();

    SetSize(display);
    ShowFullScreen(true, wxFULLSCREEN_ALL);
    Show();
    Raise();
    SetFocus();
    show_->Begin(Rect{0, 0, SInt16(display.height), SInt16(display.width)});
    Refresh(false);
    tick_.Start(kTickMs);
    frames_.Start(kFrameMs);
}

CSlideStageWindow::~CSlideStageWindow() {
    if (gStage == this) gStage = nullptr;
    tick_.Stop();
    frames_.Stop();
}

void CSlideStageWindow::BindEvents() {
    Bind(wxEVT_PAINT, &CSlideStageWindow::OnPaint, this);
    Bind(wxEVT_ERASE_BACKGROUND, [](wxEraseEvent&) {});
    Bind(wxEVT_CHAR_HOOK, &CSlideStageWindow::OnCharHook, this);
    Bind(wxEVT_LEFT_DOWN, &CSlideStageWindow::OnMouse, this);
    Bind(wxEVT_LEFT_DCLICK, &CSlideStageWindow::OnMouse, this);
    Bind(wxEVT_MOTION, &CSlideStageWindow::OnMouse, this);
    Bind(wxEVT_MOUSEWHEEL, &CSlideStageWindow::OnMouse, this);
    Bind(wxEVT_TIMER, &CSlideStageWindow::OnTick, this, tick_.GetId());
    Bind(wxEVT_TIMER, &CSlideStageWindow::OnFrameTimer, this, frames_.GetId());
    Bind(wxEVT_MENU, &CSlideStageWindow::OnMenu, this);
    Bind(wxEVT_CLOSE_WINDOW, &CSlideStageWindow::OnClose, this);
    Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& event) {
        if (event.GetActive() && !finishing_) SetFocus();
        event.Skip();
    });
}

void CSlideStageWindow::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxBitmap picture = BitmapFromGWorld(stage_->Screen());
    if (picture.IsOk()) dc.DrawBitmap(picture, 0, 0);
}

void CSlideStageWindow::Step() {
    if (finishing_) return;
    if (stage_->Advance(show_->Now())) Refresh(false);
}

void CSlideStageWindow::OnCharHook(wxKeyEvent& event) {
    if (finishing_ || !SlideShowHandleKey(*show_, event)) event.Skip();
}

void CSlideStageWindow::OnMouse(wxMouseEvent& event) {
    if (finishing_) return;
    if (event.GetEventType() == wxEVT_LEFT_DCLICK) {
        show_->DoubleClick();
    } else if (event.GetEventType() == wxEVT_LEFT_DOWN) {
        show_->Click(Point{SInt16(event.GetY()), SInt16(event.GetX())}, event.AltDown(), event.ShiftDown());
    } else if (event.GetEventType() == wxEVT_MOUSEWHEEL) {
        show_->Key(event.GetWheelRotation() > 0 ? SlideKey::Previous : SlideKey::Next);
    } else {
        SetCursor(wxNullCursor);   // the pointer shows while it moves
    }
}

void CSlideStageWindow::UpdateCursor() {
    const bool optionsShown = options_ && options_->IsShown();
    const bool inside = GetScreenRect().Contains(wxGetMousePosition());
    SetCursor(optionsShown || !inside ? wxNullCursor : wxCursor(wxCURSOR_BLANK));
}

void CSlideStageWindow::OnTick(wxTimerEvent&) {
    if (finishing_) return;
    show_->Tick();
    if (!finishing_ && !show_->Settings().optionsVisible) UpdateCursor();
}

void CSlideStageWindow::OnFrameTimer(wxTimerEvent&) { Step(); }

void CSlideStageWindow::OnMenu(wxCommandEvent& event) {
    // A command of the program (leaving it) ends the show first and reaches the catalog
    // window once the show has handed everything back.
    pendingCommand_ = event.GetId();
    show_->RequestEnd();
}

void CSlideStageWindow::OnClose(wxCloseEvent& event) {
    if (finishing_ || !event.CanVeto()) {
        event.Skip();
        return;
    }
    event.Veto();
    show_->RequestEnd();
}

void CSlideStageWindow::ShowOptions(bool visible) {
    if (!options_) return;
    options_->Show(visible);
    if (visible) options_->Raise();
    UpdateCursor();
}

void CSlideStageWindow::Finish() {
    finishing_ = true;
    tick_.Stop();
    frames_.Stop();
    if (gStage == this) gStage = nullptr;
    if (options_) {
        options_->Destroy();
        options_ = nullptr;
    }
    SetCursor(wxNullCursor);
    Hide();
    Destroy();
    if (pendingCommand_ && commandTarget_) {
        wxWindow* target = commandTarget_;
        const int command = pendingCommand_;
        target->CallAfter([target, command] {
            wxCommandEvent menu(wxEVT_MENU, command);
            target->GetEventHandler()->ProcessEvent(menu);
        });
    }
}
