// What the side panel's lists carry in a drag and how a drag resting on a row opens it, apart
// from any window.
//
// Drag data names its source by ids, never by address: the process id, the id of the list
// window (or of the grid's view) that started the drag, and for a panel drag the dragged row.
// A drop whose ids do not name this process and the target itself is refused, so data of
// another window or another program can never be mistaken for our own.
//
// The hover: a drag resting more than 16 pixels into a row for 1001 ms opens it once; moving
// back into the row's indent closes it again. Time comes in from the caller (a timer keeps it
// going while the pointer does not move).
#pragma once

#include "platform/MacTypes.h"

#include <array>
#include <cstdint>
#include <optional>

// A drag's source reference: 12 bytes, host order.
struct PanelDragRef {
    UInt32 process = 0;
    UInt32 source = 0;   // list id or view id
    SInt32 row = 0;      // panel drags: the dragged Info row or set entry; grid drags: 0
};
std::array<std::uint8_t, 12> PanelDragEncode(const PanelDragRef& ref);
std::optional<PanelDragRef> PanelDragDecode(const void* bytes, std::size_t length);
UInt32 PanelDragThisProcess();
// Whether data of ref may be dropped on the target whose id is target.
inline bool PanelDragFromHere(const PanelDragRef& ref, UInt32 target) {
    return ref.process == PanelDragThisProcess() && ref.source == target && target != 0;
}
// A fresh id for a list window or a view, never 0 and never reused while the program runs.
UInt32 PanelDragNewSourceId();

inline constexpr int kDragHoverIndent = 16;
inline constexpr std::uint32_t kDragHoverOpenMs = 1001;
inline constexpr int kDragScrollZone = 14;

struct DragHover {
    int hoverRow = -1;
    std::uint32_t hoverStart = 0;
    int lastOpened = -1;
    bool rightOfIndent = false;
};

enum class DragHoverAction { kNone, kOpen, kClose };
// One step of the hover with the row under the pointer, x from that row's left edge and the
// time now; answers what to do with row.
DragHoverAction DragHoverStep(DragHover* hover, int row, int xInRow, std::uint32_t nowMs);
// The list's scroll while dragging near its edges: -1 up, +1 down, 0 none.
int DragScrollDirection(int y, int clientHeight);
