// The grid layouts of the slide show: ten slots of up to sixteen cells each, in twelfths of
// the stage, the built-in set, the optional "Grid.txt" that replaces it, and the cell
// rectangles a layout gives on a stage of a given size.
#pragma once

#include "platform/MacTypes.h"

#include <array>
#include <string>
#include <vector>

#pragma pack(push, 1)
struct SlideShowGridLayout {
    UInt8 count;          // 0..16; 0 an empty slot
    UInt8 textRoom;       // 1: the overlay text's height comes off every cell's bottom
    UInt8 cells[16][4];   // left, top, width, height in twelfths, counted from 1
    UInt8 reserved[14];
};
#pragma pack(pop)
static_assert(sizeof(SlideShowGridLayout) == 80);

inline constexpr int kSlideGridSlots = 10;
using SlideShowGrids = std::array<SlideShowGridLayout, kSlideGridSlots>;

const SlideShowGrids& SlideShowBuiltInGrids();
// The layouts of a "Grid.txt" text: one a line, 66 numbers (count, text room, then left, top,
// width, height of 16 cells); empty lines and lines starting with '#' skipped; a count above
// 16 an empty slot that still takes its place; missing numbers read as 0; at most ten lines.
SlideShowGrids ParseSlideShowGrids(const std::string& text);
// Reads "Grid.txt" from the installation's "General" folder. Null when neither the file nor
// the folder has ever been found; after one good read a later failure gives that read again.
const SlideShowGridLayout* LoadSlideShowGrids();
// The same from an explicit file path (the loader above and the tests use it).
const SlideShowGridLayout* LoadSlideShowGridsFrom(const std::string& path);

// A layout index names a layout when it is 1..9 and its slot holds at least one cell.
bool SlideGridNamesLayout(const SlideShowGrids& grids, int index);

// The cell rectangles of a layout on the stage: twelfths by integer division, a cell reaching
// column or row 12 ends at the stage's edge; with the margin 8 pixels at the stage's edges and
// 4 between cells; the text height off each cell's bottom when the layout asks for it. An
// empty layout gives one cell, the whole stage moved by the margin and shortened by the text.
std::vector<Rect> SlideLayoutCells(const Rect& stage, const SlideShowGridLayout& layout, bool margin,
                                   int textHeight);
