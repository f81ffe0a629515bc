// Shared pieces of the window tests: a fixture that skips without a display, keeps the
// settings in a sandbox and gives a hidden parent frame; helpers that pump the event loop
// until a condition holds and that answer a modal dialog from inside its own loop.
#pragma once

#include "support/SettingsSandbox.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include <functional>

class WxTest : public testing::Test {
public:
    static bool DisplayAvailable();

protected:
    void SetUp() override {
        if (!DisplayAvailable()) GTEST_SKIP() << "no display";
        frame_ = new wxFrame(nullptr, wxID_ANY, "test parent", wxPoint(50, 50), wxSize(400, 300));
        wxTheApp->SetTopWindow(frame_);
    }
    void TearDown() override {
        if (frame_) frame_->Destroy();
        Pump();
    }

    // Handles the events waiting now (and those they cause) without blocking.
    static void Pump() {
        for (int i = 0; i < 5; ++i) {
            wxTheApp->ProcessPendingEvents();
            if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) {
                while (loop->Pending()) loop->Dispatch();
            } else {
                wxYield();
            }
            wxTheApp->ProcessIdle();
        }
    }
    // Pumps until the condition holds or the time runs out; answers the condition.
    static bool PumpUntil(const std::function<bool()>& condition, long timeoutMs = 3000) {
        wxStopWatch watch;
        while (!condition()) {
            if (watch.Time() > timeoutMs) return false;
            wxYield();
            wxMilliSleep(5);
        }
        return true;
    }
    // Runs the action once the next modal loop runs (so it acts on the dialog being shown).
    static void WhenModal(std::function<void()> action) {
        wxTheApp->CallAfter([action = std::move(action)] { action(); });
    }

    // Runs the action once the condition holds, looking again whenever the event loop is idle
    // (for acting on a dialog only after a nested one has closed).
    static void WhenTrue(std::function<bool()> condition, std::function<void()> action) {
        wxTheApp->CallAfter([condition = std::move(condition), action = std::move(action)]() mutable {
            if (condition()) {
                action();
                return;
            }
            wxMilliSleep(2);
            WhenTrue(std::move(condition), std::move(action));
        });
    }

    SettingsSandbox settings_;
    wxFrame* frame_ = nullptr;
};
