#include "window/grid/GridGestures.h"

#include "window/view/ViewRec.h"
#include "window/view/ViewSelection.h"

#include <algorithm>
#include <cstdlib>

PressDecision DecidePress(UInt8 viewMode, UInt32 modifiers, bool onCell, bool onName, bool current) {
    PressDecision d;
    const UInt32 m = modifiers & kClickModifierMask;
    if (!onCell) {
        if (m == 0) d.clickKind = kClickDeselectAll;
        return d;
    }
    if (m == kClickShift) {
        d.selectKind = kSelectExtend;
        return d;
    }
    if (m == kClickControl) {
        d.clickKind = kClickToggle;
        return d;
    }
    if (m != 0 && m != kClickAlt) return d;
    if (onName) {
        if (viewMode == kViewList) d.clickKind = current ? kClickEditField : kClickSelectIfNew;
        else if (viewMode == kViewThumbnail) d.clickKind = kClickSelectThenEdit;
        return d;
    }
    // Off the name the item becomes the only selection at once.
    d.selectKind = kSelectAlone;
    d.clickKind = viewMode == kViewList ? kClickNone : kClickEditField;
    return d;
}

bool IsDragDistance(Point press, Point now) {
    return std::abs(now.h - press.h) >= kDragDistance || std::abs(now.v - press.v) >= kDragDistance;
}

EditTarget NextEditTarget(int ending, SInt32 current, SInt32 count, SInt32 columns, int column,
                          const std::vector<bool>& editable) {
    const int n = int(std::min<std::size_t>(editable.size(), 10));
    auto firstEditable = [&] {
        for (int i = 0; i < n; ++i)
            if (editable[std::size_t(i)]) return i;
        return -1;
    };
    auto lastEditable = [&] {
        for (int i = n - 1; i >= 0; --i)
            if (editable[std::size_t(i)]) return i;
        return -1;
    };
    EditTarget t;
    if (current < 1 || current > count) return t;
    switch (ending) {
    case kEditEndUp:
        if (columns > 0 && current > columns) t = {current - columns, column};
        break;
    case kEditEndDown:
        if (columns > 0 && current <= count - columns) t = {current + columns, column};
        break;
    case kEditEndLeft:
        if (current >= 2) t = {current - 1, column};
        break;
    case kEditEndRight:
        if (current < count) t = {current + 1, column};
        break;
    case kEditEndTab:
        for (int i = column + 1; i < n; ++i)
            if (editable[std::size_t(i)]) return {current, i};
        if (current < count && firstEditable() >= 0) t = {current + 1, firstEditable()};
        break;
    case kEditEndBackTab:
        for (int i = std::min(column, n) - 1; i >= 0; --i)
            if (editable[std::size_t(i)]) return {current, i};
        if (current >= 2 && lastEditable() >= 0) t = {current - 1, lastEditable()};
        break;
    default:
        break;
    }
    if (t.column < 0) t.item = 0;
    return t;
}

bool IsAcceptableFileName(const std::string& utf8) {
    if (utf8.empty() || utf8.size() > 255) return false;
    if (utf8 == "." || utf8 == "..") return false;
    return utf8.find('/') == std::string::npos && utf8.find('\0') == std::string::npos;
}

std::string TrimEditText(const std::string& utf8) {
    const char* blanks = " \t\r\n";
    const std::size_t first = utf8.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    const std::size_t last = utf8.find_last_not_of(blanks);
    return utf8.substr(first, last - first + 1);
}

SInt32 FirstCurrentItem(SInt32 stored, SInt32 count) {
    if (count < 1) return 0;
    return stored < 1 || stored > count ? 1 : stored;
}

SInt32 AddedItemsPosition(SInt32 dropIndex, SInt32 count) {
    const SInt32 p = dropIndex > 0 ? dropIndex : count + 1;
    return std::max<SInt32>(1, p);
}

bool OpeningAsksFirst(SInt32 selected) { return selected >= kOpenAskThreshold; }

int WheelSteps::Add(int rotation, int delta) {
    if (delta <= 0) delta = 120;
    if (rotation == 0) return 0;
    // A change of direction forgets what built up the other way.
    if ((pending_ > 0) != (rotation > 0)) pending_ = 0;
    pending_ += rotation;
    if (std::abs(pending_) < delta) return 0;
    const int rows = pending_ > 0 ? -1 : 1;
    pending_ = 0;
    return rows;
}
