// Shared pieces of the window tests: a fixture that skips without a display, keeps the
// settings in a sandbox and gives a hidden parent frame; helpers that pump the event loop
// until a condition holds and that answer a modal dialog from inside its own loop.
#pragma once

#include "support/SettingsSandbox.h"
#include "support/WxPump.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <functional>

// The shown top-level window of type T, or null.
template <class T>
T* ShownTop() {
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* t = dynamic_cast<T*>(w); t && t->IsShown()) return t;
    return nullptr;
}

// Presses the button with the id in the dialog, as a click would; fails the test if it is missing.
inline void Press(wxWindow* dialog, int id) {
    auto* button = dynamic_cast<wxButton*>(dialog->FindWindow(id));
    ASSERT_TRUE(button) << id;
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

class WxTest : public testing::Test {
public:
    static bool DisplayAvailable();

protected:
    void SetUp() override {
        if (!DisplayAvailable()) GTEST_SKIP() << "no display";
        // GTK finds its icons and the MIME database (which tells it an image's format) in the
        // system's data folders; without them its own dialogs abort on their first icon.
        settings_.Set("XDG_DATA_DIRS", settings_.Root() + "/common:/usr/local/share:/usr/share");
        frame_ = new wxFrame(nullptr, wxID_ANY, "test parent", wxPoint(50, 50), wxSize(400, 300));
        wxTheApp->SetTopWindow(frame_);
    }
    void TearDown() override {
        // A test skipped for want of a display has no application to pump.
        if (!frame_) return;
        frame_->Destroy();
        Pump();
    }

    // Handles the events waiting now (and those they cause) without blocking.
    static void Pump() { PumpWxEvents(); }
    // Pumps until the condition holds or the time runs out; answers the condition.
    static bool PumpUntil(const std::function<bool()>& condition, long timeoutMs = 3000) {
        return PumpWxUntil(condition, timeoutMs);
    }
    // Runs the action once the next modal loop runs (so it acts on the dialog being shown).
    static void WhenModal(std::function<void()> action) {
        wxTheApp->CallAfter([action = std::move(action)] { action(); });
    }

    // Runs the action once the condition holds, looking again every few milliseconds from
    // whichever event loop runs (for acting on a dialog only after a nested one has closed). A
    // timer, not a re-posted call: the loop drains posted calls before it could end.
    static void WhenTrue(std::function<bool()> condition, std::function<void()> action) {
        auto* timer = new wxTimer;
        timer->Bind(wxEVT_TIMER, [timer, condition = std::move(condition), action = std::move(action)](wxTimerEvent&) {
            if (!condition()) return;
            timer->Stop();
            action();
            wxTheApp->CallAfter([timer] { delete timer; });
        });
        timer->Start(5);
    }

    SettingsSandbox settings_;
    wxFrame* frame_ = nullptr;
};
