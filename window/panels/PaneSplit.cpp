#include "window/panels/PaneSplit.h"

#include <algorithm>

int SplitYToPerMille(const PaneRect& client, int y) {
    const int h = client.Height();
    if (h <= 0) return 0;
    return std::clamp(int((long long)(y - client.top) * 1000 / h), 0, 1000);
}

namespace {

int Limit(int p, const SplitLimits& limits) {
    if (p < limits.snapLo) return 0;
    if (p > limits.snapHi) return 1000;
    return std::clamp(p, limits.rangeLo, limits.rangeHi);
}

}  // namespace

int SplitFromY(const PaneRect& client, int y, const SplitLimits& limits) {
    return Limit(SplitYToPerMille(client, y), limits);
}

int SplitFromStoredWord(UInt16 word, int fallback, const SplitLimits& limits) {
    const int v = int(word) - 1000;
    if (v < 0 || v > 1000) return fallback;
    // A stored split at the snap edges themselves folds too.
    if (v <= limits.snapLo) return 0;
    if (v >= limits.snapHi) return 1000;
    return std::clamp(v, limits.rangeLo, limits.rangeHi);
}

void SplitComputeRects(const PaneRect& client, int split, int headerHeight, PaneRect* upper, PaneRect* lower) {
    *upper = *lower = client;
    if (split <= 0) {
        upper->bottom = client.top + headerHeight + kSplitBarHeight;
        lower->top = upper->bottom + kSplitBarHeight;
    } else if (split >= 1000) {
        lower->top = client.bottom - headerHeight - kSplitBarHeight;
        upper->bottom = lower->top - kSplitBarHeight;
    } else {
        upper->bottom = client.top + int((long long)client.Height() * split / 1000);
        lower->top = upper->bottom + kSplitBarHeight;
    }
}

PaneRect SplitHitRect(const PaneRect& client, const PaneRect& upper) {
    return PaneRect{0, upper.bottom - 2, client.Width(), upper.bottom + 7 + 2};
}

PaneRect RoundBarHeaderRect(const PaneRect& client, int headerHeight) {
    return PaneRect{client.left, client.top, client.right, client.top + headerHeight + 6};
}

PaneRect RoundBarBodyRect(const PaneRect& client, int headerHeight) {
    PaneRect r = client;
    r.top += headerHeight + 5;
    r.left += 1;
    r.top += 1;
    r.right -= 1;
    r.bottom -= 1;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

int ListTopForRow(int top, int row, int rowHeight, int clientHeight) {
    if (rowHeight <= 0) return top;
    const int rowTop = (row - top) * rowHeight;
    const int rowBottom = rowTop + rowHeight;
    if (rowBottom > clientHeight) return top + std::max(1, (rowBottom - clientHeight + rowHeight - 1) / rowHeight);
    if (rowTop < 0) return std::max(0, top - std::max(1, -rowTop / rowHeight));
    return top;
}
