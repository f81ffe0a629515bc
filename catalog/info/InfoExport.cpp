// The values the Info panel shows, handed out as an annotation block (to copy them to other
// items) and taken in from one.
#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoInternal.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Handles.h"

#include <cstring>

OSErr InfoEditExportRows(const CatalogRec* catalog, Handle* annotations, Handle* customNames, Handle* spare) {
    if (!catalog || !annotations || !customNames || !spare) return paramErr;
    *annotations = *customNames = *spare = nullptr;
    Handle block = NewHandle(0);
    if (!block) return memFullErr;
    for (UInt32 i = 1; i <= InfoRowCount(catalog); ++i) {
        const InfoRow* row = InfoGetRow(catalog, i);
        if ((row->state != kInfoStateUnchanged && row->state != kInfoStateChanged) || row->text[0] == 0) continue;
        if (row->kind != kInfoRowField && row->kind != kInfoRowValue) continue;
        Str255 text;
        std::memcpy(text, row->text, std::size_t(row->text[0]) + 1);
        // The event date goes out in its stored form, eight digits.
        if (row->fieldId == kFieldEventDate) {
            Str255 shown;
            if (!InfoParseEventDate(row->text, shown, text)) continue;
        }
        const UInt16 key = UInt16(row->fieldId);
        const bool list = row->kind == kInfoRowValue && FieldIsList(row->fieldId);
        if (list && IptcGetDatasetText(key, text + 1, text[0], IptcMarkerAnsi, block) != 0) continue;
        if (!IptcSetDataset(key, 0, text + 1, text[0], block, kIptcAppend, IptcMarkerAnsi) && MemError()) {
            DisposeHandle(block);
            return MemError();
        }
    }
    Handle names = nullptr;
    OSErr err = catalog->customFieldNames
                    ? PtrToHand(*catalog->customFieldNames, &names, GetHandleSize(catalog->customFieldNames))
                    : ((names = NewHandle(0)) ? OSErr(noErr) : OSErr(memFullErr));
    Handle empty = err == noErr ? NewHandle(0) : nullptr;
    if (!empty) {
        DisposeHandle(block);
        if (names) DisposeHandle(names);
        return err != noErr ? err : memFullErr;
    }
    *annotations = block;
    *customNames = names;
    *spare = empty;
    return noErr;
}
