// Defaults of the records a new catalog starts with, and the repairs run after reading them.
#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRecords.h"
#include "catalog/fields/FieldDef.h"

#include <cstring>

namespace {

bool EditionHasFullViews(SInt32 editionCode) { return editionCode == 500 || editionCode == 200; }

void SetDefaultFieldList(ViewFieldList* list, int slot) {
    std::memset(list, 0, sizeof(*list));
    if (slot == 0) {
        static const struct { UInt32 id; UInt16 width; } kSlot0[] = {
            {2, 200}, {5, 60}, {3, 60}, {6, 60}, {7, 60}, {16, 60}, {1, 200}};
        int i = 0;
        for (const auto& f : kSlot0) {
            list->fields[i].fieldId = f.id;
            list->fields[i].value = f.width;
            ++i;
        }
    } else if (slot == 1 || slot == 2) {
        list->fields[0].fieldId = 2;
        list->fields[0].value = 1;
    }
}

void SetDefaultColors(ViewColors* c) {
    c->colors[0] = RGBColor{0xFFFF, 0xFFFF, 0xFFFF};
    c->colors[1] = RGBColor{0, 0, 0};
    c->colors[2] = RGBColor{0xDDDD, 0xDDDD, 0xDDDD};
    c->colors[3] = RGBColor{0xDDDD, 0xDDDD, 0xDDDD};
}

void SetDefaultSlot(ViewModeSettings* s, int slot) {
    std::memset(s, 0, sizeof(*s));
    s->bytes0[2] = 9;
    switch (slot) {
    case 0:
        s->sizeStep = 1;
        break;
    case 1:
        s->sizeStep = 3;
        s->alignedCaptions = 1;
        s->frameStyle = 2;
        break;
    default:
        s->percent = 200;
        s->sizeStep = 2;
        s->alignedCaptions = 1;
        break;
    }
}

// Keeps the pairs of a column list whose field this edition shows, each field once, moved to
// the front; everything after them is cleared so no stale pair survives behind the kept ones.
void CleanFieldList(ViewFieldList* list, int slot) {
    ViewFieldList kept{};
    int keptCount = 0;
    for (int i = 0; i < 10; ++i) {
        ViewFieldEntry f = list->fields[i];
        if (f.fieldId == 0) break;
        if (!FieldInTier(f.fieldId)) continue;
        bool seen = false;
        for (int k = 0; k < keptCount; ++k) seen = seen || kept.fields[k].fieldId == f.fieldId;
        if (seen) continue;
        if (slot == 0) {
            if (f.value > 2048) f.value = 120;
        } else if (f.value > 10) {
            f.value = 1;
        }
        kept.fields[keptCount++] = f;
    }
    *list = kept;
}

}  // namespace

void ImportSettingsSetDefault(ImportSettingsRec* s) {
    std::memset(s, 0, sizeof(*s));
    s->categoryMask[0] = 0xFC;
    s->categoryMask[1] = 0xFF;
    s->categoryMask[2] = 0xFF;
    s->categoryMask[3] = 0xFF;
    s->spare15 = 4;
    for (UInt8& op : s->ruleOperators) op = 1;
    s->spare26[0] = 1;
    s->spare26[1] = 1;
    s->sizeKB = 100;
    s->folderLevel = 1;
    s->fileType = 'JPEG';
}

void CatalogFontPrefsSetDefault(CatalogFontPrefs* fonts) {
    std::memset(fonts, 0, sizeof(*fonts));
    for (CatalogFontEntry& e : fonts->entries) e.size = 9;
}

void CatalogViewPrefsSetDefault(CatalogViewPrefs* p) {
    std::memset(p, 0, sizeof(*p));
    p->value0 = 0xFFFFFFFFu;
    p->viewMode = 1;
    p->prefWord = 250;
    p->byte27 = 1;
    p->word28 = 500;
    p->word30 = 500;
    p->windowTop = 0;
    p->windowLeft = 0;
    p->windowBottom = 560;
    p->windowRight = 800;
    for (int n = 0; n < 4; ++n) {
        SetDefaultFieldList(&p->slotFields[n], n);
        SetDefaultSlot(&p->slots[n], n);
        SetDefaultColors(&p->slotColors[n]);
    }
}

void CatalogCheckPrefs(CatalogViewPrefs* p) {
    p->sortField = 0;
    if (p->viewMode > 2) p->viewMode = 1;
    if (CatalogGetEditionCode() != 500 || p->watchMode > 2) p->watchMode = 0;
    if (p->byte24 > 1) p->byte24 = 0;
    // The rectangle is signed QuickDraw coordinates.
    int top = SInt16(p->windowTop), left = SInt16(p->windowLeft);
    int bottom = SInt16(p->windowBottom), right = SInt16(p->windowRight);
    if (right - left < 501) p->windowRight = UInt16(SInt16(left + 500));
    if (bottom - top < 301) p->windowBottom = UInt16(SInt16(top + 300));
}

void CatalogCheckViewPrefs(CatalogViewPrefs* p) {
    const SInt32 edition = CatalogGetEditionCode();
    const bool full = EditionHasFullViews(edition);
    ViewModeSettings* s = p->slots;

    // Size steps and the Media percent of each slot.
    if (s[0].sizeStep < 1 || s[0].sizeStep > 2) s[0].sizeStep = 1;
    if (s[1].sizeStep < 1 || s[1].sizeStep > 20) s[1].sizeStep = 3;
    for (int n = 2; n <= 3; ++n) {
        UInt8 step = s[n].sizeStep;
        if (step == 0 || step > 10 || step == 3 || step == 9) s[n].sizeStep = 2;
        if (s[n].percent < 25 || s[n].percent > 1600) s[n].percent = 200;
    }
    if (s[1].aspect > 2) s[1].aspect = 0;
    if (!full) {
        s[1].frameStyle = 1;
        for (ViewModeSettings& slot : p->slots) {
            slot.alignedCaptions = 0;
            slot.labelsShown = 0;
            slot.labelFrame = 0;
            slot.scaleFigure = 0;
        }
    }
    s[0].aspect = 0;
    s[0].alignedCaptions = 0;
    s[0].labelsShown = 0;
    s[0].scaleFigure = 0;
    s[2].aspect = 0;
    s[2].labelFrame = 0;
    s[3].aspect = 0;
    s[3].labelFrame = 0;
    s[3].scaleFigure = 0;

    if (!full) {
        for (int n = 0; n <= 2; ++n) SetDefaultColors(&p->slotColors[n]);
    }

    for (int n = 0; n < 4; ++n) {
        if (n == 0 && !full) {
            SetDefaultFieldList(&p->slotFields[0], 0);
            continue;
        }
        if (n == 0) p->slotFields[0].fields[0].fieldId = 2;
        CleanFieldList(&p->slotFields[n], n);
    }
}

void CatalogCheckFontPrefs(CatalogFontPrefs* fonts) {
    for (CatalogFontEntry& e : fonts->entries) {
        if (e.size > 1024) e.size = 9;
        if (e.style > 127) e.style = 0;
    }
}
