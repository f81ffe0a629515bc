#include "output/slideshow/SlideShowGrids.h"

#include "foundation/settings/AppFolders.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace {

SlideShowGridLayout Layout(UInt8 count, UInt8 textRoom, std::initializer_list<std::array<UInt8, 4>> cells) {
    SlideShowGridLayout g;
    std::memset(&g, 0, sizeof g);
    g.count = count;
    g.textRoom = textRoom;
    int i = 0;
    for (const auto& c : cells) std::memcpy(g.cells[i++], c.data(), 4);
    return g;
}

SlideShowGrids MakeBuiltIns() {
    SlideShowGrids g;
    std::memset(g.data(), 0, sizeof g);
    g[1] = Layout(1, 1, {{1, 1, 12, 12}});
    g[3] = Layout(2, 0, {{1, 4, 6, 6}, {7, 4, 6, 6}});
    g[4] = Layout(2, 1, {{1, 1, 6, 12}, {7, 1, 6, 12}});
    g[5] = Layout(2, 1, {{1, 1, 12, 6}, {1, 7, 12, 6}});
    g[7] = Layout(4, 1, {{1, 1, 6, 6}, {7, 1, 6, 6}, {1, 7, 6, 6}, {7, 7, 6, 6}});
    g[8] = Layout(4, 1, {{3, 3, 4, 4}, {7, 3, 4, 4}, {3, 7, 4, 4}, {7, 7, 4, 4}});
    SlideShowGridLayout sixteen = Layout(16, 1, {});
    for (int i = 0; i < 16; ++i) {
        sixteen.cells[i][0] = UInt8(1 + 3 * (i % 4));
        sixteen.cells[i][1] = UInt8(1 + 3 * (i / 4));
        sixteen.cells[i][2] = 3;
        sixteen.cells[i][3] = 3;
    }
    g[9] = sixteen;
    return g;
}

struct LoadedGrids {
    bool loaded = false;
    SlideShowGrids grids{};
};
LoadedGrids& Loaded() {
    static LoadedGrids loaded;
    return loaded;
}

}  // namespace

const SlideShowGrids& SlideShowBuiltInGrids() {
    static const SlideShowGrids builtIns = MakeBuiltIns();
    return builtIns;
}

SlideShowGrids ParseSlideShowGrids(const std::string& text) {
    SlideShowGrids grids;
    std::memset(grids.data(), 0, sizeof grids);
    std::istringstream lines(text);
    std::string line;
    int slot = 0;
    while (slot < kSlideGridSlots && std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        // The numbers are read as far as they go; the rest are 0.
        long values[66] = {};
        std::istringstream numbers(line);
        for (long& v : values) {
            if (!(numbers >> v)) break;
        }
        SlideShowGridLayout& g = grids[slot++];
        if (values[0] < 0 || values[0] > 16) continue;   // stays an empty slot
        g.count = UInt8(values[0]);
        g.textRoom = UInt8(values[1] & 0xFF);
        for (int i = 0; i < g.count * 4; ++i) g.cells[i / 4][i % 4] = UInt8(values[2 + i] & 0xFF);
    }
    return grids;
}

const SlideShowGridLayout* LoadSlideShowGridsFrom(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (in) {
        std::ostringstream text;
        text << in.rdbuf();
        Loaded().grids = ParseSlideShowGrids(text.str());
        Loaded().loaded = true;
    }
    return Loaded().loaded ? Loaded().grids.data() : nullptr;
}

const SlideShowGridLayout* LoadSlideShowGrids() {
    FSSpec folder;
    static const unsigned char kGeneral[] = "\x07General";
    if (GetAppFolder(kGeneral, kAppFolderInstall, false, &folder) != noErr)
        return Loaded().loaded ? Loaded().grids.data() : nullptr;
    return LoadSlideShowGridsFrom(folder.path + "/Grid.txt");
}

bool SlideGridNamesLayout(const SlideShowGrids& grids, int index) {
    return index >= 1 && index <= 9 && grids[index].count > 0;
}

std::vector<Rect> SlideLayoutCells(const Rect& stage, const SlideShowGridLayout& layout, bool margin,
                                   int textHeight) {
    std::vector<Rect> cells;
    const int width = stage.right - stage.left, height = stage.bottom - stage.top;
    const int unitH = width / 12, unitV = height / 12;
    const int outer = margin ? 8 : 0, inner = margin ? 4 : 0;
    const int count = layout.count > 16 ? 16 : layout.count;
    for (int i = 0; i < count; ++i) {
        const UInt8* c = layout.cells[i];
        bool usable = true;
        for (int k = 0; k < 4; ++k) usable = usable && c[k] >= 1 && c[k] <= 12;
        if (!usable) break;
        Rect r;
        const int left = (c[0] - 1) * unitH, top = (c[1] - 1) * unitV;
        int right = left + c[2] * unitH, bottom = top + c[3] * unitV;
        const bool lastColumn = c[0] + c[2] - 1 >= 12, lastRow = c[1] + c[3] - 1 >= 12;
        if (lastColumn) right = width;
        if (lastRow) bottom = height;
        r.left = SInt16(stage.left + left + (c[0] == 1 ? outer : inner));
        r.top = SInt16(stage.top + top + (c[1] == 1 ? outer : inner));
        r.right = SInt16(stage.left + right - (lastColumn ? outer : inner));
        r.bottom = SInt16(stage.top + bottom - (lastRow ? outer : inner));
        if (layout.textRoom) r.bottom = SInt16(r.bottom - textHeight);
        cells.push_back(r);
    }
    if (cells.empty()) {
        Rect r = stage;
        r.left = SInt16(r.left + outer);
        r.top = SInt16(r.top + outer);
        r.bottom = SInt16(r.bottom - textHeight);
        cells.push_back(r);
    }
    return cells;
}
