#include "catalog/info/InfoRow.h"

#include "catalog/file/CatalogRec.h"
#include "platform/Handles.h"

#include <cstring>

UInt32 InfoRowCount(const CatalogRec* catalog) {
    if (!catalog || !catalog->infoRows) return 0;
    return UInt32(GetHandleSize(catalog->infoRows) / Size(sizeof(InfoRow)));
}

InfoRow* InfoGetRow(const CatalogRec* catalog, UInt32 n) {
    if (n == 0 || n > InfoRowCount(catalog)) return nullptr;
    return reinterpret_cast<InfoRow*>(*catalog->infoRows) + (n - 1);
}

OSErr InfoAppendRow(Handle rows, UInt8 kind, UInt8 mark, UInt8 state, UInt32 value, UInt32 fieldId,
                    ConstStr255Param text) {
    if (!rows) return paramErr;
    InfoRow row{};
    row.kind = kind;
    row.mark = mark;
    row.state = state;
    row.value = value;
    row.fieldId = fieldId;
    if (text) std::memcpy(row.text, text, std::size_t(text[0]) + 1);
    return PtrAndHand(&row, rows, Size(sizeof row));
}
