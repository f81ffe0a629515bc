#include "catalog/info/InfoRows.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldDef.h"
#include "catalog/items/CustomFields.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/file/CatalogEngine.h"
#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoInternal.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/organize/OrganizeLists.h"
#include "foundation/text/Unicode.h"
#include "media/kinds/KindTable.h"
#include "platform/Handles.h"

#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr UInt32 kGroupEnd = 0x80000000u;  // in the annotation order: the last field of a group

const UInt32 kAnnotationsLevel300[] = {
    617, 517, 527, 737, 534, 567 | kGroupEnd,
    592, 597, 720, 721, 722, 723, 724, 725, 726, 727 | kGroupEnd,
    622, 627, 628, 615, 738, 739 | kGroupEnd,
    604, 602, 607, 613, 550 | kGroupEnd,
    552, 519, 634 | kGroupEnd,
};
const UInt32 kAnnotations[] = {
    617, 517, 527, 534, 567 | kGroupEnd,
    592, 597, 622, 627, 628, 615, 739 | kGroupEnd,
    604, 602, 607, 613 | kGroupEnd,
    552, 519, 634 | kGroupEnd,
};

struct ListSection {
    UInt32 section;
    UInt32 field;
};
const ListSection kListSections[] = {{kInfoSectionPeople, 630}, {kInfoSectionKeywords, 537}, {kInfoSectionCategories, 532}};
const ListSection kListSectionsLevel300[] = {{kInfoSectionScene, 736}, {kInfoSectionSubjectCode, 524}};


// Reads fields of one item into rows.
class RowBuilder {
public:
    RowBuilder(CatalogRec* catalog, const ItemEntry* entry) : catalog_(catalog), entry_(entry) {}

    Handle rows() const { return catalog_->infoRows; }

    // The field's index-th value as text with units; the value type (0: no value).
    UInt8 Read(UInt32 field, SInt32 index, Str255 text, bool withUnit = true) {
        text[0] = 0;
        UInt8 type = ItemGetField(catalog_, entry_, index, field, value_.get());
        if (type != 0) FieldValueToText(value_.get(), type, field, text, withUnit);
        return type;
    }
    const FieldValue& value() const { return *value_; }

    OSErr Header(UInt8 kind, UInt32 section) {
        return InfoAppendRow(rows(), kind, 0, kInfoStateFixed, 0, section, nullptr);
    }
    // A field row whether or not the item has a value.
    OSErr Field(UInt32 field, UInt8 mark, UInt8 state) {
        Str255 text;
        UInt8 type = Read(field, 1, text);
        return InfoAppendRow(rows(), kInfoRowField, mark, state, type != 0 ? 1 : 0, field, text);
    }
    // A field row only when its text is not empty.
    OSErr FieldWithText(UInt32 field, UInt8 mark) {
        Str255 text;
        if (!Read(field, 1, text) || text[0] == 0) return noErr;
        return InfoAppendRow(rows(), kInfoRowField, mark, kInfoStateFixed, 1, field, text);
    }
    void MarkLastRow(UInt8 mark) {
        const Size size = GetHandleSize(rows());
        if (size >= Size(sizeof(InfoRow))) reinterpret_cast<InfoRow*>(*rows() + size - sizeof(InfoRow))->mark = mark;
    }
    UInt32 RowCount() const { return UInt32(GetHandleSize(rows()) / Size(sizeof(InfoRow))); }
    void CutTo(UInt32 count) { SetHandleSize(rows(), Size(count * sizeof(InfoRow))); }

private:
    CatalogRec* catalog_;
    const ItemEntry* entry_;
    std::unique_ptr<FieldValue> value_ = std::make_unique<FieldValue>();
};

void DisposeInfo(CatalogRec* catalog) {
    if (catalog->infoRows) DisposeHandle(catalog->infoRows);
    if (catalog->infoCaption) DisposeHandle(catalog->infoCaption);
    catalog->infoRows = nullptr;
    catalog->infoCaption = nullptr;
}

void MediaSection(RowBuilder* b) {
    b->Header(kInfoRowHeader, kInfoSectionMedia);
    b->Field(66, 1, kInfoStateFixed);
    for (UInt32 f : {3u, 23u, 5u, UInt32(kFieldVolumeName)}) b->Field(f, 2, kInfoStateFixed);
    Str255 unused;
    OSType fileType = 0;
    if (b->Read(4, 1, unused, false) == kFieldTypeU32) fileType = b->value().u32;
    bool rotatable = false;
    KindGetCapabilities(fileType, nullptr, &rotatable, nullptr, nullptr);
    if (rotatable) b->Field(69, 3, kInfoStateFixed);
    for (int n = 2;; ++n) {
        UInt32 f = FieldsForCategory(fileType, n);
        if (f == 0) break;
        InfoAppendRow(b->rows(), kInfoRowMediaProperty, 3, kInfoStateFixed, 0, f, nullptr);
    }
    for (UInt32 f : {11u, 12u, 10u, 33u}) b->Field(f, 4, kInfoStateFixed);
    for (UInt32 f : {30u, 31u, 28u}) b->Field(f, 5, kInfoStateFixed);
    for (UInt32 f : {UInt32(kFieldMaker), UInt32(kFieldModel), UInt32(kFieldSoftware), UInt32(kFieldFormat), 180u})
        b->FieldWithText(f, 6);
}

void ExifSection(CatalogRec* catalog, const ItemEntry* entry, RowBuilder* b) {
    if (!ItemHasFieldInGroup(catalog, entry, kFieldGroupExif, 2)) return;
    b->Header(kInfoRowHeader, kInfoSectionExif);
    const int customCount = int(CatalogGetCustomFieldCount(catalog));
    for (int n = 0;; ++n) {
        const UInt32 f = FieldListForEdition(n, kFieldGroupExif, 2, customCount, nullptr);
        if (f == 0) break;
        b->FieldWithText(f, IsExifFieldId(f) ? 1 : 2);
    }
}

void TrackSection(CatalogRec* catalog, RowBuilder* b) {
    Str255 unused;
    for (SInt32 n = 1; b->Read(kFieldTracksList, n, unused, false) == kFieldTypeTrack; ++n) {
        if (n == 1) b->Header(kInfoRowHeader, kInfoSectionTracks);
        UInt8 track[kTrackRecordSize];
        std::memcpy(track, b->value().track, sizeof track);
        if (InfoEditAddTrackRows(catalog, track, UInt32(n)) != noErr) break;
    }
}

void CuePointSection(RowBuilder* b) {
    Str255 text;
    for (SInt32 n = 1; b->Read(kFieldChapters, n, text, false) == kFieldTypeChapter; ++n) {
        if (n == 1) b->Header(kInfoRowHeader, kInfoSectionCuePoints);
        if (InfoAppendRow(b->rows(), kInfoRowValue, 0, kInfoStateFixed, UInt32(n), kFieldChapters, text) != noErr) break;
    }
}

void AnnotationSection(CatalogRec* catalog, RowBuilder* b, bool onlyWithValues, bool level300) {
    const UInt32 header = b->RowCount();
    b->Header(kInfoRowEditableHeader, kInfoSectionAnnotations);
    std::vector<UInt32> fields;
    if (level300)
        fields.assign(std::begin(kAnnotationsLevel300), std::end(kAnnotationsLevel300));
    else
        fields.assign(std::begin(kAnnotations), std::end(kAnnotations));
    const SInt32 customCount = CatalogGetCustomFieldCount(catalog);
    for (SInt32 i = 0; i < customCount && i < 16; ++i) fields.push_back(UInt32(769 + i));
    UInt32 groupStart = b->RowCount();
    for (UInt32 f : fields) {
        const UInt32 field = f & ~kGroupEnd;
        Str255 text;
        const UInt8 type = b->Read(field, 1, text);
        if (!onlyWithValues || type != 0)
            InfoAppendRow(b->rows(), kInfoRowField, 0, kInfoStateUnchanged, type != 0 ? 1 : 0, field, text);
        // The group's last row shown carries the mark, also when rows were left out.
        if ((f & kGroupEnd) && b->RowCount() > groupStart) {
            b->MarkLastRow(1);
            groupStart = b->RowCount();
        }
    }
    if (onlyWithValues && b->RowCount() == header + 1) b->CutTo(header);
}

void ListSections(RowBuilder* b, bool onlyWithValues, bool level300) {
    std::vector<ListSection> sections(std::begin(kListSections), std::end(kListSections));
    if (level300) sections.insert(sections.end(), std::begin(kListSectionsLevel300), std::end(kListSectionsLevel300));
    for (const ListSection& s : sections) {
        const UInt32 header = b->RowCount();
        b->Header(kInfoRowEditableHeader, s.section);
        Str255 text;
        for (SInt32 n = 1; b->Read(s.field, n, text) != 0; ++n)
            if (InfoAppendRow(b->rows(), kInfoRowValue, 0, kInfoStateUnchanged, UInt32(n), s.field, text) != noErr) break;
        if (onlyWithValues) {
            if (b->RowCount() == header + 1) b->CutTo(header);
        } else {
            InfoAppendRow(b->rows(), kInfoRowNewValue, 0, kInfoStateUnchanged, 0, s.field, nullptr);
        }
    }
}

void SetsSection(CatalogRec* catalog, const ItemEntry* entry, RowBuilder* b) {
    UInt32 number = 0;
    for (UInt32 k = 1;; ++k) {
        const OrganizeEntry* set = OrganizeFindEntryWithItem(catalog, kOrganizeSetsField, k, entry->id, &number);
        if (!set) break;
        if (k == 1) b->Header(kInfoRowHeader, kInfoSectionSets);
        if (InfoAppendRow(b->rows(), kInfoRowValue, 0, kInfoStateFixed, number, kOrganizeSetsField, set->text) != noErr)
            break;
    }
}

}  // namespace

void InfoLoadItem(CatalogRec* catalog, const ItemEntry* entry) {
    if (!catalog) return;
    DisposeInfo(catalog);
    catalog->infoRows = NewHandle(0);
    if (!entry) {
        catalog->infoCaption = NewHandle(0);
        catalog->infoItemId = 0;
        catalog->infoCaptionState = kInfoStateFixed;
        for (UInt32 section : {kInfoSectionMedia, kInfoSectionExif, kInfoSectionTracks, kInfoSectionCuePoints,
                               kInfoSectionAnnotations, kInfoSectionPeople, kInfoSectionKeywords,
                               kInfoSectionCategories, kInfoSectionSets})
            InfoAppendRow(catalog->infoRows, kInfoRowNoItemHeader, 0, kInfoStateFixed, 0, section, nullptr);
        return;
    }
    catalog->infoItemId = entry->id;
    catalog->infoCaption = InfoItemCaption(catalog, entry);
    catalog->infoCaptionState = kInfoStateUnchanged;
    if (!catalog->infoRows) return;

    const bool onlyWithValues = CatalogGetEditionCode() == 200;
    const bool level300 = CatalogGetFormatLevel() >= 300;
    RowBuilder b(catalog, entry);
    MediaSection(&b);
    ExifSection(catalog, entry, &b);
    TrackSection(catalog, &b);
    CuePointSection(&b);
    AnnotationSection(catalog, &b, onlyWithValues, level300);
    ListSections(&b, onlyWithValues, level300);
    SetsSection(catalog, entry, &b);
}

void InfoLoadVisibleItem(CatalogRec* catalog, SInt32 n) {
    InfoLoadItem(catalog, n > 0 ? CatalogGetItemEntry(catalog, n) : nullptr);
}
