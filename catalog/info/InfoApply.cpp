// Pending Info panel edits applied to one item's annotation block.
//
// The block is changed, never rebuilt: datasets that no row shows (values read from the file,
// the program's own datasets, custom values past the names in use, UTF-8 values) stay as they
// are, and so do the values of rows nobody touched.
#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/info/InfoInternal.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Value {
    UInt8 marker;
    std::string bytes;
};

bool IsEditable(const InfoRow& row) {
    return row.state != kInfoStateFixed && (row.kind == kInfoRowField || row.kind == kInfoRowValue);
}

bool IsListRow(const InfoRow& row) { return row.kind == kInfoRowValue && FieldIsList(row.fieldId); }

// The text a row writes: the event date as eight digits; a date that no longer parses
// writes nothing.
std::string StoredText(const InfoRow& row) {
    if (row.fieldId == kFieldEventDate && row.text[0] != 0) {
        Str255 shown, digits;
        if (!InfoParseEventDate(row.text, shown, digits)) return std::string();
        return std::string(reinterpret_cast<const char*>(digits + 1), digits[0]);
    }
    return std::string(reinterpret_cast<const char*>(row.text + 1), row.text[0]);
}

bool SetFirst(Handle block, UInt16 key, const std::string& text) {
    if (text.empty()) return IptcSetDataset(key, 1, nullptr, 0, block, kIptcRemove, IptcMarkerAnsi);
    return IptcSetDataset(key, 1, text.data(), SInt16(text.size()), block, kIptcReplace, IptcMarkerAnsi);
}

std::vector<Value> FieldValues(Handle block, UInt16 key) {
    std::vector<Value> values;
    for (SInt16 n = 1;; ++n) {
        UInt16 length = 0;
        UInt8 marker = 0;
        Ptr data = IptcFindDataset(key, n, block, &length, &marker);
        if (!data) break;
        values.push_back({marker, std::string(data, length)});
    }
    return values;
}

// A list field as its rows show it, in row order: untouched values as they are stored (their
// marker kept), edited and added ones as typed; each value once.
bool ApplyListField(const std::vector<const InfoRow*>& rows, Handle block, bool moved) {
    const UInt16 key = UInt16(rows.front()->fieldId);
    bool edited = moved;
    for (const InfoRow* row : rows) edited |= row->state == kInfoStateChanged || row->state == kInfoStateRemoved;
    if (!edited) return false;

    const std::vector<Value> stored = FieldValues(block, key);
    std::vector<Value> wanted;
    Handle seen = NewHandle(0);
    if (!seen) return false;
    for (const InfoRow* row : rows) {
        if (row->state != kInfoStateUnchanged && row->state != kInfoStateChanged) continue;
        Value v{IptcMarkerAnsi, StoredText(*row)};
        if (v.bytes.empty()) continue;
        if (row->state == kInfoStateUnchanged && row->value >= 1 && row->value <= stored.size())
            v = stored[row->value - 1];
        if (IptcGetDatasetText(key, v.bytes.data(), SInt16(v.bytes.size()), v.marker, seen) != 0) continue;
        IptcSetDataset(key, 0, v.bytes.data(), SInt16(v.bytes.size()), seen, kIptcAppend, v.marker);
        wanted.push_back(std::move(v));
    }
    DisposeHandle(seen);

    bool same = wanted.size() == stored.size();
    for (std::size_t i = 0; same && i < wanted.size(); ++i)
        same = wanted[i].marker == stored[i].marker && wanted[i].bytes == stored[i].bytes;
    if (same) return false;
    while (IptcSetDataset(key, 1, nullptr, 0, block, kIptcRemove, IptcMarkerAnsi)) {
    }
    for (const Value& v : wanted) IptcSetDataset(key, 0, v.bytes.data(), SInt16(v.bytes.size()), block, kIptcAppend, v.marker);
    return true;
}

bool ApplyCaption(Handle block, Handle caption, UInt8 captionState) {
    if (captionState != kInfoStateChanged) return false;
    const std::string text = caption ? std::string(*caption, std::size_t(GetHandleSize(caption))) : std::string();
    return SetFirst(block, UInt16(kFieldCaption), text.substr(0, kIptcMaxDatasetLength));
}

}  // namespace

bool InfoApplyToCurrentBlock(const InfoRow* rows, UInt32 count, Handle caption, UInt8 captionState, Handle block) {
    bool changed = false;
    bool moved = false;
    for (UInt32 i = 0; i < count; ++i) moved |= rows[i].moved != 0;
    std::vector<UInt32> listFields;
    for (UInt32 i = 0; i < count; ++i) {
        const InfoRow& row = rows[i];
        if (!IsEditable(row)) continue;
        if (IsListRow(row)) {
            if (std::find(listFields.begin(), listFields.end(), row.fieldId) == listFields.end())
                listFields.push_back(row.fieldId);
            continue;
        }
        if (row.state == kInfoStateChanged || row.state == kInfoStateRemoved)
            changed |= SetFirst(block, UInt16(row.fieldId), row.state == kInfoStateChanged ? StoredText(row) : "");
    }
    for (UInt32 field : listFields) {
        std::vector<const InfoRow*> fieldRows;
        for (UInt32 i = 0; i < count; ++i)
            if (IsEditable(rows[i]) && IsListRow(rows[i]) && rows[i].fieldId == field) fieldRows.push_back(&rows[i]);
        changed |= ApplyListField(fieldRows, block, moved);
    }
    changed |= ApplyCaption(block, caption, captionState);
    return changed;
}

bool InfoApplyToOtherBlock(const InfoRow* rows, UInt32 count, Handle caption, UInt8 captionState, Handle block) {
    bool changed = false;
    for (UInt32 i = 0; i < count; ++i) {
        const InfoRow& row = rows[i];
        if (!IsEditable(row) || row.state == kInfoStateUnchanged) continue;
        const UInt16 key = UInt16(row.fieldId);
        const std::string text = row.state == kInfoStateChanged ? StoredText(row) : std::string();
        const bool list = IsListRow(row);
        if (!text.empty()) {
            if (!list)
                changed |= SetFirst(block, key, text);
            else if (IptcGetDatasetText(key, text.data(), SInt16(text.size()), IptcMarkerAnsi, block) == 0)
                changed |= IptcSetDataset(key, 0, text.data(), SInt16(text.size()), block, kIptcAppend, IptcMarkerAnsi);
            continue;
        }
        if (!list) {
            changed |= SetFirst(block, key, "");
            continue;
        }
        // A list value taken away goes from the other items where they hold it.
        const std::string shown(reinterpret_cast<const char*>(row.text + 1), row.text[0]);
        if (shown.empty()) continue;
        const SInt16 n = IptcGetDatasetText(key, shown.data(), SInt16(shown.size()), IptcMarkerAnsi, block);
        if (n > 0) changed |= IptcSetDataset(key, n, nullptr, 0, block, kIptcRemove, IptcMarkerAnsi);
    }
    changed |= ApplyCaption(block, caption, captionState);
    return changed;
}
