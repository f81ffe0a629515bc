// The one progress window of long operations. It appears only when an operation lasts (after
// a short delay), shows a caption with the percent done, two lines of text, a label and a bar,
// and a Cancel button. While it is up every other window of the program takes no input, so it
// is modal in effect although the operation keeps running on the user-interface thread and
// pumps events through PeekAndPump. Cancel (the button, or Escape for operations that allow it)
// hides the window and latches; the window is destroyed only when the operation ends.
#pragma once

#include "foundation/ui/ProgressModel.h"

#include <wx/dialog.h>

#include <memory>

class wxButton;
class wxGauge;
class wxStaticText;
class wxWindowDisabler;

class CProgressWnd : public wxDialog {
public:
    CProgressWnd(wxWindow* parent, const wxString& caption, const wxString& cancelText, bool smooth);
    ~CProgressWnd() override;

    // Disables every other top-level window and makes this one the only one taking input.
    bool GoModal(const wxString& title);
    bool IsModalInEffect() const { return disabler_ != nullptr; }
    void SetRange(long lower, long upper);
    // Moves the bar (showing the window once the delay has passed) and the caption's percent.
    long SetPos(long pos);
    long Pos() const { return model_.Pos(); }
    // Replaces the texts given (null: unchanged).
    void SetText(const wxString* line1, const wxString* line2, const wxString* label);
    // Handles the events waiting (keys and clicks reach this window only); does nothing when
    // called again from inside a pump or after a cancel.
    void PeekAndPump(bool escCancels);
    void Cancel();
    bool Cancelled() const { return model_.Cancelled(); }
    // Re-enables the windows and saves the position; the caller then destroys the window.
    void EndModalInEffect();

    // How long an operation runs before the window shows (tests set 0).
    void SetShowDelay(long ms) { showDelayMs_ = ms; }
    wxStaticText* Line1() const { return line1_; }
    wxStaticText* Line2() const { return line2_; }
    wxStaticText* Label() const { return label_; }
    wxGauge* Bar() const { return bar_; }
    wxButton* CancelButton() const { return cancel_; }

private:
    void BuildControls(const wxString& cancelText, bool smooth);
    void PlaceWindow();
    void SavePosition();
    void ShowIfDue();
    void BindEvents();
    void OnCancelButton(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnClose(wxCloseEvent& event);

    ProgressModel model_;
    wxString caption_;
    wxStaticText* line1_ = nullptr;
    wxStaticText* line2_ = nullptr;
    wxStaticText* label_ = nullptr;
    wxGauge* bar_ = nullptr;
    wxButton* cancel_ = nullptr;
    std::unique_ptr<wxWindowDisabler> disabler_;
    long showDelayMs_ = 500;
    long long startedAt_ = 0;
    bool escCancels_ = false;
    bool pumping_ = false;
    bool savePosition_ = true;
};
