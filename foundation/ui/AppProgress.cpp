#include "foundation/ui/AppProgress.h"

#include "foundation/ui/CProgressWnd.h"
#include "foundation/ui/UiText.h"
#include "platform/MacTypes.h"

#include <wx/app.h>

AppProgress::~AppProgress() { EndProgress(); }

void AppProgress::StartProgress(short kind, long total, const wxString& title) {
    model_.Start(kind, total);
    if (!window_) {
        wxWindow* parent = main_ ? main_ : (wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
        window_ = new CProgressWnd(parent, LoadUiString(110), LoadUiString(12902), true);
    }
    window_->SetShowDelay(showDelayMs_);
    window_->GoModal(title);
    window_->SetRange(0, kProgressBarRange);
    const wxString empty;
    window_->SetText(&title, &empty, &empty);
}

short AppProgress::UpdateProgress(const long* value, const wxString* line1, const wxString* line2,
                                  const wxString* label) {
    if (!window_ || !model_.Active()) return noErr;
    if (value) window_->SetPos(model_.PositionForStep(*value));
    window_->SetText(line1, line2, label);
    window_->PeekAndPump(model_.EscapeCancels());
    return window_->Cancelled() ? short(userCanceledErr) : short(noErr);
}

short AppProgress::StepProgress(short message, double fraction) {
    if (!window_ || !model_.Active()) return noErr;
    if (message == 1) {
        std::string label;
        const long pos = model_.PositionForFraction(fraction, &label);
        if (pos != window_->Pos()) window_->SetPos(pos);
        const wxString text = WxFromUtf8(label);
        return UpdateProgress(nullptr, nullptr, nullptr, &text);
    }
    if (message == 2) {
        const wxString empty;
        return UpdateProgress(nullptr, nullptr, nullptr, &empty);
    }
    return noErr;
}

void AppProgress::EndProgress() {
    if (!window_) return;
    CProgressWnd* w = window_;
    window_ = nullptr;
    w->EndModalInEffect();
    w->Destroy();
}
