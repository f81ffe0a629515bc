#include "foundation/ui/WxUiHooks.h"

#include "foundation/ui/AppProgress.h"
#include "foundation/ui/UiText.h"

#include <wx/app.h>
#include <wx/cursor.h>
#include <wx/display.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

namespace {

wxStockCursor StockCursor(int kind) {
    switch (kind) {
        case kCursorIBeam: return wxCURSOR_IBEAM;
        case kCursorCross: case 6: return wxCURSOR_CROSS;
        case kCursorWait: return wxCURSOR_WAIT;
        case kCursorHand: case 9: return wxCURSOR_HAND;
        case kCursorResizeWE: return wxCURSOR_SIZEWE;
        default: return wxCURSOR_ARROW;
    }
}

}  // namespace

WxUiHooks::~WxUiHooks() {
    if (busy_) wxEndBusyCursor();
}

void WxUiHooks::SetCursor(int kind) {
    // The wait cursor covers every window of the program until the arrow comes back.
    if (kind == kCursorWait) {
        if (!busy_) wxBeginBusyCursor();
        busy_ = true;
        return;
    }
    if (busy_) {
        wxEndBusyCursor();
        busy_ = false;
    }
    wxSetCursor(wxCursor(StockCursor(kind)));
}

void WxUiHooks::ShowCursor(bool show) {
    if (show == !hidden_) return;
    hidden_ = !show;
    const wxCursor cursor = show ? wxNullCursor : wxCursor(wxCURSOR_BLANK);
    for (wxWindow* w : wxTopLevelWindows) w->SetCursor(cursor);
}

void WxUiHooks::Beep() {
    ++beeps_;
    wxBell();
}

std::uint32_t WxUiHooks::ModifierKeys() { return KeyboardState::ModifierKeys(); }

bool WxUiHooks::EscapeKeyDown() { return keyboard_.TakeEscape(); }

bool WxUiHooks::MouseButtonDown() { return wxGetMouseState().LeftIsDown(); }

OSErr WxUiHooks::ProgressStart(const std::string& titleUtf8, long total) {
    ProgressOpen(0, total, titleUtf8);
    return noErr;
}

OSErr WxUiHooks::ProgressStep(long current, long) { return ProgressUpdate(&current, nullptr, nullptr, nullptr); }

void WxUiHooks::ProgressEnd() {
    if (progress_) progress_->EndProgress();
}

void WxUiHooks::ProgressOpen(short kind, long total, const std::string& titleUtf8) {
    keyboard_.ClearEscape();
    if (progress_) progress_->StartProgress(kind, total, WxFromUtf8(titleUtf8));
}

OSErr WxUiHooks::ProgressUpdate(const long* step, const std::string* line1, const std::string* line2,
                                const std::string* label) {
    if (!progress_) return noErr;
    wxString a, b, c;
    if (line1) a = WxFromUtf8(*line1);
    if (line2) b = WxFromUtf8(*line2);
    if (label) c = WxFromUtf8(*label);
    return progress_->UpdateProgress(step, line1 ? &a : nullptr, line2 ? &b : nullptr, label ? &c : nullptr);
}

OSErr WxUiHooks::ProgressFraction(short message, double fraction) {
    return progress_ ? progress_->StepProgress(message, fraction) : OSErr(noErr);
}

int WxUiHooks::SystemMetric(int index) {
    if (wxDisplay::GetCount() == 0) return 0;
    const wxRect area = wxDisplay(0u).GetClientArea();
    if (index == SM_CXFULLSCREEN) return area.width;
    if (index == SM_CYFULLSCREEN) return area.height;
    return 0;
}
