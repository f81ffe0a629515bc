#include "catalog/tables/Labels.h"

#include "catalog/fields/FieldDef.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/PString.h"

namespace {

struct LabelRow {
    Str255 name;
    RGBColor color;
};

struct LabelTable {
    LabelRow rows[kLabelCount];
    bool filled = false;
};

LabelTable& Table() {
    static LabelTable table;
    return table;
}

constexpr RGBColor kDefaultColors[kLabelCount] = {
    {0xF0F0, 0, 0},           // red
    {0, 0x8080, 0},           // green
    {0, 0, 0xF0F0},           // blue
    {0x8080, 0x4040, 0},      // brown
    {0xF0F0, 0, 0xF0F0},      // magenta
    {0xF0F0, 0x8080, 0x2020}, // orange
    {0xF0F0, 0xF0F0, 0},      // yellow
    {0, 0xF0F0, 0xF0F0},      // cyan
    {0x8080, 0x8080, 0x8080}, // gray
};

LabelTable& FilledTable() {
    LabelTable& t = Table();
    if (!t.filled) LabelTableInit();
    return t;
}

}  // namespace

void LabelTableInit() {
    LabelTable& t = Table();
    for (int i = 0; i < kLabelCount; ++i) {
        LoadIndexedString(t.rows[i].name, kStrListLabels, i + 2);
        t.rows[i].color = kDefaultColors[i];
    }
    t.filled = true;
}

void LabelGetInfo(int label, StringPtr name, RGBColor* color) {
    if (label < 1 || label > kLabelCount) {
        if (name) LoadIndexedString(name, kStrListLabels, 1);
        if (color) *color = RGBColor{0, 0, 0};
        return;
    }
    const LabelRow& row = FilledTable().rows[label - 1];
    if (name) PStrCopy(name, row.name);
    if (color) *color = row.color;
}

void LabelSetInfo(int label, ConstStr255Param name, const RGBColor* color) {
    if (label < 1 || label > kLabelCount) return;
    LabelRow& row = FilledTable().rows[label - 1];
    if (name) PStrCopy(row.name, name);
    if (color) row.color = *color;
}
