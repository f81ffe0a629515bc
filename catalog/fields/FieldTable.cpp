// Table selection, the field engine's state and the lookups that need no strings.
#include "catalog/fields/FieldEngine.h"

#include "platform/Handles.h"
#include "platform/UserData.h"

FieldEngineState& FieldEngine() {
    static FieldEngineState state;
    return state;
}

void FieldEngineSetCodes(std::int32_t editionCode, std::int32_t formatLevel) {
    FieldEngineState& e = FieldEngine();
    e.editionCode = editionCode;
    e.formatLevel = formatLevel;
}

void FieldEngineSetDisplayOptions(std::uint8_t dimensionUnit, std::uint8_t resolutionUnit,
                                  std::uint8_t dateStyle) {
    FieldDisplayOptions& d = FieldEngine().display;
    d.dimensionUnit = dimensionUnit;
    d.resolutionUnit = resolutionUnit;
    d.dateStyle = dateStyle;
    d.zero = 0;
}

int FieldEditionTier() {
    std::int32_t code = FieldEngine().editionCode;
    return (code == 500 || code == 200) ? 2 : 1;
}

void FieldTableInit() {
    FieldEngineState& e = FieldEngine();
    if (e.formatLevel < 300) {
        e.table = FieldTableLevel200();
        e.rowCount = kFieldTableRowsLevel200;
    } else {
        e.table = FieldTableLevel300();
        e.rowCount = kFieldTableRowsLevel300;
    }
    e.recordCacheOwner = std::this_thread::get_id();
    e.recordFile = -1;
    e.recordPosition = -1;
    e.blockFile = -1;
    e.blockPosition = -1;
    // Blocks still cached are freed here too, so a caller that only re-selects the table
    // never leaks them.
    FieldEngineFreeBlocks(e);
    e.annotationTried = false;
    e.metadataTried = false;
}

void FieldEngineFreeBlocks(FieldEngineState& e) {
    if (e.annotationBlock) DisposeHandle(e.annotationBlock);
    if (e.metadataBlock) DisposeHandle(e.metadataBlock);
    if (e.metadata) DisposeUserData(e.metadata);
    e.annotationBlock = nullptr;
    e.annotationAnsi = false;
    e.metadataBlock = nullptr;
    e.metadata = nullptr;
}

const FieldDef* FieldTableRows() {
    FieldEngineState& e = FieldEngine();
    if (!e.table) FieldTableInit();
    return e.table;
}

int FieldTableRowCount() {
    FieldTableRows();
    return FieldEngine().rowCount;
}

const FieldDef* FieldFindDef(FieldId id) {
    if (id == 0) return nullptr;
    const FieldDef* rows = FieldTableRows();
    int count = FieldEngine().rowCount;
    for (int i = 0; i < count; ++i)
        if (rows[i].id == id) return &rows[i];
    return nullptr;
}

std::int32_t FieldGetColumnWidth(FieldId id) {
    const FieldDef* def = FieldFindDef(id);
    if (!def || def->widthUnits == 0) return 90;
    return std::int32_t(def->widthUnits) * 30;
}

bool FieldIsList(FieldId id) {
    const FieldDef* def = FieldFindDef(id);
    return def && def->textKind == kFieldTextList;
}

bool FieldIsLongText(FieldId id) {
    const FieldDef* def = FieldFindDef(id);
    return def && def->textKind == kFieldTextLong;
}

std::uint8_t FieldGetGroup(FieldId id) {
    const FieldDef* def = FieldFindDef(id);
    return def ? def->group : 0;
}

std::uint8_t FieldGetFindKind(FieldId id) {
    const FieldDef* def = FieldFindDef(id);
    return def ? def->findKind : 0;
}

std::uint8_t FieldGetPickList(FieldId id) {
    const FieldDef* def = FieldFindDef(id);
    return def ? def->pickList : 0;
}

static bool RowInTier(const FieldDef& row) {
    return row.tier != 0 && row.tier <= FieldEditionTier();
}

bool FieldInTier(FieldId id) {
    const FieldDef* def = FieldFindDef(id);
    return def && RowInTier(*def);
}

FieldId FieldIdAt(int n) {
    // Row numbers count from 1; anything below would read before the table.
    if (n < 1 || n > FieldTableRowCount()) return 0;
    return FieldTableRows()[n - 1].id;
}

// Modes: 1 annotation-block fields; 2 fields of the edition's tier (column choices, EXIF rows);
// 3 fields the find dialog offers up to the edition's tier (tier 0 included); other modes every
// row. Rows without a group are never counted.
FieldId FieldListForEdition(int n, std::uint8_t group, int mode, int customCount,
                            std::uint8_t* groupOut) {
    if (groupOut) *groupOut = 0;
    if (n < 0) return 0;
    const FieldDef* rows = FieldTableRows();
    int count = FieldEngine().rowCount;
    int seen = 0;
    for (int i = 0; i < count; ++i) {
        const FieldDef& row = rows[i];
        if (row.group == 0) continue;
        if (group != 0 && row.group != group) continue;
        bool accepted;
        switch (mode) {
        case 1: accepted = row.storage == kFieldStorageAnnotation; break;
        case 2: accepted = RowInTier(row); break;
        case 3: accepted = row.findKind != 0 && row.tier <= FieldEditionTier(); break;
        default: accepted = true; break;
        }
        if (!accepted) continue;
        if (seen++ != n) continue;
        if (IsCustomFieldId(row.id) && int(row.id - kFieldCustomFirst) >= customCount) return 0;
        if (groupOut) *groupOut = row.group;
        return row.id;
    }
    return 0;
}

std::int16_t FieldMaxLength(FieldId id) {
    if (IsCustomFieldId(id)) return 255;
    switch (id) {
    case 2: return 255;
    case 517: return 63;
    case 519: return 63;
    case 522: return 1;
    case 527: return 3;
    case 532: return 31;
    case 534: return 31;
    case 537: return 63;
    case 552: return 255;
    case 567: return 255;
    case 592: return 31;
    case 597: return 31;
    case 602: return 31;
    case 604: return 31;
    case 607: return 31;
    case 613: return 63;
    case 615: return 31;
    case 617: return 255;
    case 622: return 31;
    case 627: return 31;
    case 628: return 127;
    case 630: return 127;
    case 632: return 2000;
    case 634: return 31;
    case 739: return 255;
    default: return 0;  // no limit given
    }
}

void FieldEngineReset() {
    FieldEngineFreeBlocks(FieldEngine());
    FieldTableInit();
}
