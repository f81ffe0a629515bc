// The application's side of long operations: the progress state (kind, step, total) and the
// one progress window, created by the first start and destroyed by the end call. The
// application object owns one; the UI hooks (WxUiHooks.h) route the engines' progress calls
// here. While it is busy, callers refuse commands that would close or replace what the
// operation works on (IsBusy).
#pragma once

#include "foundation/ui/ProgressModel.h"

#include <wx/string.h>

#include <string>

class CProgressWnd;
class wxWindow;

class AppProgress {
public:
    explicit AppProgress(wxWindow* mainWindow = nullptr) : main_(mainWindow) {}
    ~AppProgress();
    AppProgress(const AppProgress&) = delete;
    AppProgress& operator=(const AppProgress&) = delete;

    void StartProgress(short kind, long total, const wxString& title);
    // 0, or userCanceledErr once the user cancelled; nothing (0) without a window or total.
    short UpdateProgress(const long* value, const wxString* line1, const wxString* line2, const wxString* label);
    // Progress within the current step (message 1: fraction; 2: the step's end).
    short StepProgress(short message, double fraction);
    void EndProgress();

    // True while a long operation runs: its window is up and it pumps events.
    bool IsBusy() const { return window_ != nullptr; }
    CProgressWnd* Window() const { return window_; }
    // How long an operation runs before its window shows (tests set 0).
    void SetShowDelay(long ms) { showDelayMs_ = ms; }

private:
    wxWindow* main_;
    CProgressWnd* window_ = nullptr;
    ProgressModel model_;
    long showDelayMs_ = 500;
};
