#include "output/ui/slideshow/CSlideOptionsWindow.h"

#include "foundation/ui/UiText.h"
#include "output/ui/slideshow/SlideShowKeys.h"

#include <wx/button.h>
#include <wx/colordlg.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/spinbutt.h>

#include <functional>

namespace {

constexpr UInt16 kTitle = 8405;
constexpr UInt16 kOptionsStrings = 8100, kTransitionStrings = 8120, kScalingStrings = 8140;
constexpr int kMenuIdBase = 8300;   // menu item n has id kMenuIdBase + n
// Tooltips of the buttons 8201..8208.
constexpr UInt16 kTooltips[8] = {8411, 8412, 8413, 8414, 8415, 8416, 8417, 8418};

// The menu from a run of strings: "&..." a greyed heading, "-" a separator; item n is the
// n-th string and the one equal to checked gets a check mark.
wxMenu* MenuFromStrings(UInt16 first, int count, const std::function<bool(int)>& checked) {
    auto* menu = new wxMenu;
    for (int n = 1; n <= count; ++n) {
        const wxString text = LoadUiString(UInt16(first + n - 1));
        if (text.StartsWith("-")) {
            menu->AppendSeparator();
        } else if (text.StartsWith("&")) {
            menu->Append(kMenuIdBase + n, text.Mid(1))->Enable(false);
        } else {
            menu->AppendCheckItem(kMenuIdBase + n, text.Strip(wxString::leading))->Check(checked(n));
        }
    }
    return menu;
}

// The module's sixteen custom colours, kept while the program runs.
wxColourData& CustomColours() {
    static wxColourData data;
    return data;
}

}  // namespace

wxPoint SlideOptionsPosition(int left, int top, const wxRect& screen) {
    const int x = (left < screen.GetLeft() || left > screen.GetRight()) ? screen.GetLeft() + 10 : left;
    const int y = (top < screen.GetTop() || top > screen.GetBottom()) ? screen.GetTop() + 10 : top;
    return {x, y};
}

// The black display of the volume, the position and the seconds, in lit green over unlit grey.
class CSlideOptionsWindow::Display : public wxPanel {
public:
    Display(wxWindow* parent, CSlideOptionsWindow* owner) : wxPanel(parent, kSlideOptDisplay, wxDefaultPosition, wxSize(150, 22)), owner_(owner) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, &Display::OnPaint, this);
    }

private:
    void OnPaint(wxPaintEvent&) {
        ++owner_->displayRedraws_;
        wxPaintDC dc(this);
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
        wxFont font(wxFontInfo(8).FaceName("Verdana"));
        dc.SetFont(font);
        const SlideShowSettings& s = owner_->show_.Settings();
        int x = 4;
        const int y = (GetClientSize().y - dc.GetCharHeight()) / 2;
        auto field = [&](const wxString& unlit, const wxString& lit) {
            const wxSize full = dc.GetTextExtent(unlit);
            dc.SetTextForeground(wxColour(0x66, 0x66, 0x66));
            dc.DrawText(unlit, x, y);
            dc.SetTextForeground(wxColour(0x33, 0xFF, 0x33));
            dc.DrawText(lit, x + full.x - dc.GetTextExtent(lit).x, y);
            x += full.x + 6;
        };
        field("0", wxString::Format("%d", s.volume));
        field("000000|000000", wxString::Format("%ld|%ld", long(owner_->show_.Current()), long(owner_->show_.Count())));
        field("00\"", wxString::Format("%d\"", s.slideSeconds));
        // The state: a triangle while running, two bars while paused.
        dc.SetBrush(wxBrush(wxColour(0x33, 0xFF, 0x33)));
        dc.SetPen(*wxTRANSPARENT_PEN);
        const int top = (GetClientSize().y - 16) / 2;
        if (s.playState & kSlideRunning) {
            const wxPoint triangle[3] = {{x, top + 2}, {x + 12, top + 8}, {x, top + 14}};
            dc.DrawPolygon(3, triangle);
        } else {
            dc.DrawRectangle(x + 1, top + 2, 4, 12);
            dc.DrawRectangle(x + 8, top + 2, 4, 12);
        }
    }
    CSlideOptionsWindow* owner_;
};

CSlideOptionsWindow::CSlideOptionsWindow(wxWindow* stage, SlideShowMachine& show)
    : wxFrame(stage, wxID_ANY, LoadUiString(kTitle), wxDefaultPosition, wxDefaultSize,
              wxCAPTION | wxCLOSE_BOX | wxFRAME_TOOL_WINDOW | wxSTAY_ON_TOP | wxFRAME_FLOAT_ON_PARENT),
      show_(show) {
    auto* panel = new wxPanel(this);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    const struct {
        int id;
        const char* text;
    } kButtons[] = {{kSlideOptExit, "\u2715"},       {kSlideOptMenu, "\u2630"},   {kSlideOptPrevious, "\u25C0"},
                    {kSlideOptRunPause, "\u25B6"},   {kSlideOptNext, "\u25B6\u25B6"}, {kSlideOptTransition, "\u25E7"},
                    {kSlideOptScaling, "\u2922"}};
    for (const auto& b : kButtons) {
        auto* button = new wxButton(panel, b.id, wxString::FromUTF8(b.text), wxDefaultPosition, wxSize(30, -1),
                                    wxBU_EXACTFIT);
        button->SetToolTip(LoadUiString(kTooltips[b.id - kSlideOptExit]));
        if (b.id == kSlideOptRunPause) runPause_ = button;
        buttons->Add(button, 0, wxRIGHT, 2);
    }
    auto* strip = new wxBoxSizer(wxHORIZONTAL);
    volume_ = new wxSpinButton(panel, kSlideOptVolume, wxDefaultPosition, wxDefaultSize, wxSP_VERTICAL);
    volume_->SetRange(0, 7);
    display_ = new Display(panel, this);
    seconds_ = new wxSpinButton(panel, kSlideOptSeconds, wxDefaultPosition, wxDefaultSize, wxSP_VERTICAL);
    seconds_->SetRange(0, 60);
    strip->Add(volume_, 0, wxEXPAND);
    strip->Add(display_, 1, wxEXPAND | wxLEFT | wxRIGHT, 2);
    strip->Add(seconds_, 0, wxEXPAND);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(buttons, 0, wxALL, 2);
    column->Add(strip, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 2);
    panel->SetSizer(column);
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(panel, 1, wxEXPAND);
    SetSizerAndFit(outer);

    const SlideShowSettings& s = show_.Settings();
    int index = wxDisplay::GetFromWindow(stage);
    const wxRect screen = wxDisplay(unsigned(index == wxNOT_FOUND ? 0 : index)).GetGeometry();
    Move(SlideOptionsPosition(s.optionsLeft, s.optionsTop, screen));
    BindEvents();
    UpdateFromShow();
}

void CSlideOptionsWindow::BindEvents() {
    Bind(wxEVT_BUTTON, &CSlideOptionsWindow::OnButton, this);
    Bind(wxEVT_SPIN, &CSlideOptionsWindow::OnSpin, this);
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (!SlideShowHandleKey(show_, event)) event.Skip();
    });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        if (!event.CanVeto()) {
            event.Skip();
            return;
        }
        event.Veto();
        show_.SetOptionsVisible(false);
    });
}

void CSlideOptionsWindow::UpdateFromShow() {
    const SlideShowSettings& s = show_.Settings();
    if (runPause_) runPause_->SetLabel(wxString::FromUTF8((s.playState & kSlideRunning) ? "\u275A\u275A" : "\u25B6"));
    if (volume_) volume_->SetValue(s.volume);
    if (seconds_) seconds_->SetValue(s.slideSeconds);
    if (display_) display_->Refresh(false);
}

void CSlideOptionsWindow::OnButton(wxCommandEvent& event) {
    switch (event.GetId()) {
    case kSlideOptExit: show_.RequestEnd(); break;
    case kSlideOptPrevious: show_.PreviousItem(); break;
    case kSlideOptRunPause: show_.RunOrPause(); break;
    case kSlideOptNext: show_.NextItem(); break;
    case kSlideOptMenu:
    case kSlideOptTransition:
    case kSlideOptScaling: PopUp(event.GetId()); break;
    default: event.Skip(); break;
    }
}

void CSlideOptionsWindow::OnSpin(wxSpinEvent& event) {
    if (event.GetId() == kSlideOptVolume)
        show_.SetVolume(event.GetPosition());
    else if (event.GetId() == kSlideOptSeconds)
        show_.SetSeconds(event.GetPosition());
    UpdateFromShow();
}

wxMenu* CSlideOptionsWindow::BuildOptionsMenu() const {
    const SlideShowSettings& s = show_.Settings();
    return MenuFromStrings(kOptionsStrings, 13, [&s](int n) {
        switch (n) {
        case 2: return (s.playState & 2) != 0;
        case 3: return s.continuous != 0;
        case 4: return s.random != 0;
        case 7: return s.voiceAnnotations != 0;
        case 8: return s.soundFromAllMovies != 0;
        case 12: return s.margin != 0;
        case 13: return (s.textItems & kSlideTextTitle) != 0;
        default: return false;
        }
    });
}

wxMenu* CSlideOptionsWindow::BuildTransitionMenu() const {
    const UInt8 current = show_.Settings().transition;
    return MenuFromStrings(kTransitionStrings, 13, [current](int n) { return n == current; });
}

wxMenu* CSlideOptionsWindow::BuildScalingMenu() const {
    const UInt8 current = show_.Settings().scaling;
    return MenuFromStrings(kScalingStrings, 16, [current](int n) { return n == current; });
}

void CSlideOptionsWindow::PopUp(int button) {
    wxMenu* menu = button == kSlideOptMenu         ? BuildOptionsMenu()
                   : button == kSlideOptTransition ? BuildTransitionMenu()
                                                   : BuildScalingMenu();
    wxWindow* anchor = FindWindow(button);
    const wxPoint at = anchor ? anchor->GetPosition() + wxPoint(0, anchor->GetSize().y) : wxDefaultPosition;
    // The show's timer waits while the menu is open.
    show_.SetMenuOpen(true);
    const int picked = anchor ? anchor->GetParent()->GetPopupMenuSelectionFromUser(*menu, at) : wxID_NONE;
    show_.SetMenuOpen(false);
    delete menu;
    if (picked != wxID_NONE && picked > kMenuIdBase) ApplyChoice(button, picked - kMenuIdBase);
}

void CSlideOptionsWindow::ApplyChoice(int button, int item) {
    if (button == kSlideOptTransition) {
        show_.SetTransition(UInt8(item));
        return;
    }
    if (button == kSlideOptScaling) {
        show_.SetScaling(UInt8(item));
        return;
    }
    switch (item) {
    case 2: show_.ToggleInteractive(); break;
    case 3: show_.ToggleContinuous(); break;
    case 4: show_.ToggleRandom(); break;
    case 7: show_.ToggleVoice(); break;
    case 8: show_.ToggleSoundFromAllMovies(); break;
    case 11: {
        const UInt8* b = show_.Settings().background;
        CustomColours().SetChooseFull(true);
        CustomColours().SetColour(wxColour(b[0], b[1], b[2]));
        wxColourDialog chooser(this, &CustomColours());
        show_.SetMenuOpen(true);
        const bool chosen = chooser.ShowModal() == wxID_OK;
        show_.SetMenuOpen(false);
        if (chosen) {
            CustomColours() = chooser.GetColourData();
            const wxColour c = CustomColours().GetColour();
            show_.SetBackground(c.Red(), c.Green(), c.Blue());
        }
        break;
    }
    case 12: show_.ToggleMargin(); break;
    case 13: show_.ToggleTitle(); break;
    default: break;
    }
    UpdateFromShow();
}
