#include "app/FrameRules.h"

CloseOutcome DecideClose(const CloseFacts& facts, const std::function<int()>& ask, const std::function<bool()>& save) {
    CloseOutcome out;
    bool mustSave = facts.mode == kCloseSaving;
    if (facts.mode == kCloseAsking && facts.modified && (facts.items > 0 || facts.hasFile)) {
        out.asked = true;
        const int answer = ask();
        if (answer == kAnswerCancel) {
            out.action = CloseOutcome::kStay;
            out.result = 2;
            return out;
        }
        mustSave = answer == kAnswerSave;
    }
    if (mustSave) {
        out.saveTried = true;
        if (!save()) {
            // The changes exist only in this window: it must stay.
            out.action = CloseOutcome::kStay;
            out.result = 2;
            return out;
        }
    }
    out.action = facts.frames < 2 && facts.closeKeepsLast ? CloseOutcome::kStayWithNewCatalog : CloseOutcome::kClose;
    return out;
}

OpenPlace DecideOpenPlace(bool shownInAFrame, bool fileExists, bool thisFrameUntitled, long thisFrameItems) {
    if (shownInAFrame) return OpenPlace::kShowExistingFrame;
    if (!fileExists) return OpenPlace::kNothing;
    if (thisFrameUntitled && thisFrameItems < 1) return OpenPlace::kThisFrame;
    return OpenPlace::kNewFrame;
}
