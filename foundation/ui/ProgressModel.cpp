#include "foundation/ui/ProgressModel.h"

#include <algorithm>
#include <cstdint>

void ProgressModel::Start(short kind, long total) {
    kind_ = kind;
    total_ = total;
    step_ = 0;
    pos_ = 0;
    lower_ = 0;
    upper_ = kProgressBarRange;
    lastPercent_ = 0;
    cancelled_ = false;
}

long ProgressModel::PositionForStep(long step) {
    step_ = step;
    if (total_ <= 0) return 0;
    return long(std::int64_t(step) * kProgressBarRange / total_);
}

long ProgressModel::PositionForFraction(double fraction, std::string* label) const {
    const int p = int(std::clamp(fraction * 100.0, 0.0, 100.0));
    if (label) *label = std::to_string(p) + "%";
    if (total_ <= 0) return 0;
    const std::int64_t pos = (std::int64_t(step_) * 100 + p) * kProgressBarRange / (std::int64_t(total_) * 100);
    return long(std::int16_t(pos));
}

std::optional<int> ProgressModel::SetPos(long pos) {
    pos_ = pos;
    int percent = 0;
    if (upper_ > lower_) percent = int(double(pos - lower_) * 100.0 / double(upper_ - lower_) + 0.5);
    if (percent == lastPercent_) return std::nullopt;
    lastPercent_ = percent;
    return percent;
}

std::string ProgressModel::Caption(const std::string& caption, int percent) {
    return caption + " [" + std::to_string(percent) + "%]";
}
