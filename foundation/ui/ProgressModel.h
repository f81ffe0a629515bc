// The arithmetic and the rules of the progress window, apart from any window: the bar's range
// of 350, the step-to-position rule, the percent shown in the caption (changed only when it
// changes), progress within a step, which keys cancel, and the cancel latch.
#pragma once

#include <optional>
#include <string>

inline constexpr long kProgressBarRange = 350;

class ProgressModel {
public:
    // A new operation: the cancel latch is cleared, so an earlier cancel never ends it.
    void Start(short kind, long total);
    // False when the total is 0 or less: updates then do nothing and never cancel.
    bool Active() const { return total_ > 0; }
    short Kind() const { return kind_; }
    long Total() const { return total_; }
    long Step() const { return step_; }
    // Escape cancels only operations of kind 0; the Cancel button cancels every kind.
    bool EscapeCancels() const { return kind_ == 0; }

    // The bar position of a step: step x 350 / total, truncated.
    long PositionForStep(long step);
    // Within the current step, a fraction 0..1 of it: the label text ("50%") and the position.
    long PositionForFraction(double fraction, std::string* label) const;

    void SetRange(long lower, long upper) { lower_ = lower, upper_ = upper; }
    // Stores the position; answers the new whole percent when it differs from the one shown.
    std::optional<int> SetPos(long pos);
    long Pos() const { return pos_; }

    void Cancel() { cancelled_ = true; }
    bool Cancelled() const { return cancelled_; }

    // "Progress [37%]".
    static std::string Caption(const std::string& caption, int percent);

private:
    short kind_ = 0;
    long total_ = 0;
    long step_ = 0;
    long pos_ = 0;
    long lower_ = 0, upper_ = kProgressBarRange;
    int lastPercent_ = 0;
    bool cancelled_ = false;
};
