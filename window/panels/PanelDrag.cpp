#include "window/panels/PanelDrag.h"

#include <atomic>
#include <cstring>
#include <unistd.h>

std::array<std::uint8_t, 12> PanelDragEncode(const PanelDragRef& ref) {
    std::array<std::uint8_t, 12> out{};
    std::memcpy(out.data(), &ref.process, 4);
    std::memcpy(out.data() + 4, &ref.source, 4);
    std::memcpy(out.data() + 8, &ref.row, 4);
    return out;
}

std::optional<PanelDragRef> PanelDragDecode(const void* bytes, std::size_t length) {
    if (!bytes || length < 12) return std::nullopt;
    PanelDragRef ref;
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    std::memcpy(&ref.process, p, 4);
    std::memcpy(&ref.source, p + 4, 4);
    std::memcpy(&ref.row, p + 8, 4);
    return ref;
}

UInt32 PanelDragThisProcess() { return UInt32(::getpid()); }

UInt32 PanelDragNewSourceId() {
    static std::atomic<UInt32> next{1};
    return next++;
}

DragHoverAction DragHoverStep(DragHover* hover, int row, int xInRow, std::uint32_t nowMs) {
    if (xInRow > kDragHoverIndent) {
        hover->rightOfIndent = true;
        if (row != hover->hoverRow) {
            hover->hoverRow = row;
            hover->hoverStart = nowMs;
            return DragHoverAction::kNone;
        }
        if (row >= 0 && nowMs - hover->hoverStart >= kDragHoverOpenMs && row != hover->lastOpened) {
            hover->lastOpened = row;
            return DragHoverAction::kOpen;
        }
        return DragHoverAction::kNone;
    }
    if (row == hover->hoverRow && hover->rightOfIndent && row >= 0) {
        hover->rightOfIndent = false;
        hover->lastOpened = row;
        hover->hoverStart = nowMs;
        return DragHoverAction::kClose;
    }
    return DragHoverAction::kNone;
}

int DragScrollDirection(int y, int clientHeight) {
    if (y < kDragScrollZone) return -1;
    if (y >= clientHeight - kDragScrollZone) return 1;
    return 0;
}
