// The field definition tables: spot checks of rows from every group at both format levels,
// and the lookups the lists, columns and editors rely on.
#include "catalog/fields/FieldEngine.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

class FieldTableTest : public ::testing::Test {
protected:
    void UseEngine(int edition, int level) {
        FieldEngineSetCodes(edition, level);
        FieldTableInit();
    }
    void SetUp() override { UseEngine(400, 200); }
    void TearDown() override { UseEngine(400, 200); }
};

struct RowCase {
    int level;
    int row;  // 1-based position in the table
    FieldId id;
    int recOffset, recLength, valueType, storage, displayFormat, unitIndex, codeList;
    int showZero, group, findKind, pickList, tier, textKind, width;
};

const RowCase kRowCases[] = {
    // level 200: media group
    {200, 1, 2, 0, 0, kFieldTypeText, kFieldStorageComputed, 1, 0, 0, 1, 2, 1, 0, 1, 0, 4},
    {200, 3, 'VNam', 0, 0, kFieldTypeText, kFieldStorageComputed, 1, 0, 0, 1, 2, 1, 0, 1, 0, 4},
    {200, 4, 68, 0, 0, kFieldTypeU32, kFieldStorageComputed, 10, 0, 0, 1, 2, 0, 0, 0, 0, 3},
    {200, 6, 66, 332, 4, kFieldTypeU8, kFieldStorageItemRec, 2, 0, 1, 1, 2, 0, 0, 1, 0, 3},
    {200, 7, 5, 352, 4, kFieldTypeU32, kFieldStorageItemRec, 3, kUnitBytes, 0, 0, 2, 2, 0, 1, 0, 2},
    {200, 10, 23, 928, 32, kFieldTypeText, kFieldStorageItemRec, 1, 0, 0, 1, 2, 1, 0, 2, 0, 3},
    {200, 11, 162, 0, 0, kFieldTypeText, kFieldStorageSets, 1, 0, 0, 1, 2, 1, 0, 2, 1, 3},
    {200, 14, 69, 830, 2, kFieldTypeI16, kFieldStorageItemRec, 8, 0, 0, 1, 2, 2, 0, 2, 0, 3},
    {200, 16, 6, 356, 16, kFieldTypeU32, kFieldStorageItemRec, 12, kUnitPixels, 0, 0, 2, 2, 0, 1, 0, 2},
    {200, 17, 7, 360, 8, kFieldTypeU32, kFieldStorageItemRec, 13, kUnitPixels, 0, 0, 2, 2, 0, 1, 0, 2},
    {200, 25, 17, 860, 4, kFieldTypeU32, kFieldStorageItemRec, 16, 0, 5, 0, 2, 2, 0, 1, 0, 2},
    {200, 28, 34, 876, 4, kFieldTypeU32, kFieldStorageItemRec, 4, kUnitPerSec, 0, 0, 2, 2, 0, 2, 0, 3},
    {200, 42, 28, 1004, 4, kFieldTypeU32, kFieldStorageItemRec, 10, kUnitBytes, 0, 1, 2, 2, 0, 2, 0, 2},
    {200, 46, 'CHAP', 0, 0, kFieldTypeChapter, kFieldStorageMetadata, 32, 0, 0, 0, 2, 0, 0, 0, 1, 3},
    {200, 47, kFieldMaker, 0, 0, kFieldTypeText, kFieldStorageMetadata, 1, 0, 0, 1, 2, 1, 0, 2, 0, 3},
    // level 200: EXIF group
    {200, 52, ExifFieldId(0x9000), 0, 0, kFieldTypeU32, kFieldStorageMetadata, 20, 0, 0, 0, 9, 0, 0, 1, 0, 2},
    {200, 53, ExifFieldId(0xA000), 0, 0, kFieldTypeU32, kFieldStorageMetadata, 20, 0, 0, 0, 9, 0, 0, 0, 0, 2},
    {200, 56, ExifFieldId(0x829A), 0, 0, kFieldTypePair, kFieldStorageMetadata, 21, kUnitSec, 0, 0, 9, 0, 0, 1, 0, 2},
    {200, 63, ExifFieldId(0x9209), 0, 0, kFieldTypeI16, kFieldStorageMetadata, 31, 0, 8, 1, 9, 0, 0, 1, 0, 2},
    {200, 71, 'ALTD', 0, 0, kFieldTypeText, kFieldStorageMetadata, 1, 0, 0, 0, 9, 0, 0, 1, 0, 2},
    // level 200: annotations
    {200, 72, 617, 0, 0, kFieldTypeText, kFieldStorageAnnotation, 1, 0, 0, 1, 4, 1, 0, 2, 0, 3},
    {200, 76, 567, 0, 0, kFieldTypeU32, kFieldStorageAnnotation, 30, 0, 0, 0, 4, 3, 0, 2, 0, 3},
    {200, 92, 537, 0, 0, kFieldTypeText, kFieldStorageAnnotation, 1, 0, 0, 1, 4, 1, 1, 2, 1, 3},
    {200, 94, 632, 0, 0, kFieldTypeText, kFieldStorageAnnotation, 1, 0, 0, 1, 4, 1, 0, 2, 2, 4},
    {200, 95, 769, 0, 0, kFieldTypeText, kFieldStorageAnnotation, 1, 0, 0, 1, 4, 1, 1, 2, 0, 3},
    {200, 110, 784, 0, 0, kFieldTypeText, kFieldStorageAnnotation, 1, 0, 0, 1, 4, 1, 1, 2, 0, 3},
    // level 300: shared rows keep their values, with the listed changes
    {300, 6, 754, 0, 0, kFieldTypeU8, kFieldStorageComputed, 9, 0, 0, 1, 2, 2, 0, 1, 0, 2},
    {300, 14, 64, 0, 0, kFieldTypeText, kFieldStorageComputed, 1, 0, 0, 0, 2, 0, 0, 2, 0, 3},
    {300, 15, 67, 0, 0, kFieldTypeText, kFieldStorageMetadata, 1, 0, 0, 0, 2, 0, 0, 0, 0, 3},
    {300, 18, 6, 356, 16, kFieldTypeU32, kFieldStorageItemRec, 12, kUnitPixels, 0, 0, 2, 2, 0, 1, 0, 2},
    {300, 68, ExifFieldId(0xA408), 0, 0, kFieldTypeI16, kFieldStorageMetadata, 24, 0, 11, 0, 9, 0, 0, 1, 0, 2},
    {300, 73, ExifFieldId(0xA404), 0, 0, kFieldTypePair, kFieldStorageMetadata, 25, 0, 0, 0, 9, 0, 0, 1, 0, 2},
    {300, 77, 617, 0, 0, kFieldTypeText, kFieldStorageAnnotation, 1, 0, 0, 1, 4, 1, 0, 2, 2, 3},
    {300, 99, 524, 0, 0, kFieldTypeText, kFieldStorageAnnotation, 1, 0, 0, 1, 4, 1, 1, 2, 1, 3},
    {300, 108, 739, 0, 0, kFieldTypeText, kFieldStorageAnnotation, 1, 0, 0, 1, 4, 1, 1, 2, 2, 3},
    {300, 112, 632, 0, 0, kFieldTypeText, kFieldStorageAnnotation, 1, 0, 0, 1, 4, 1, 0, 2, 2, 4},
    {300, 128, 784, 0, 0, kFieldTypeText, kFieldStorageAnnotation, 1, 0, 0, 1, 4, 1, 1, 2, 0, 3},
};

TEST_F(FieldTableTest, RowsOfEveryGroupAtBothLevels) {
    for (const RowCase& c : kRowCases) {
        UseEngine(400, c.level);
        SCOPED_TRACE(testing::Message() << "level " << c.level << " row " << c.row);
        ASSERT_EQ(FieldIdAt(c.row), c.id);
        const FieldDef* d = FieldFindDef(c.id);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->recOffset, c.recOffset);
        EXPECT_EQ(d->recLength, c.recLength);
        EXPECT_EQ(d->valueType, c.valueType);
        EXPECT_EQ(d->storage, c.storage);
        EXPECT_EQ(d->displayFormat, c.displayFormat);
        EXPECT_EQ(d->unitIndex, c.unitIndex);
        EXPECT_EQ(d->codeList, c.codeList);
        EXPECT_EQ(d->showZero, c.showZero);
        EXPECT_EQ(d->group, c.group);
        EXPECT_EQ(d->findKind, c.findKind);
        EXPECT_EQ(d->pickList, c.pickList);
        EXPECT_EQ(d->tier, c.tier);
        EXPECT_EQ(d->textKind, c.textKind);
        EXPECT_EQ(d->widthUnits, c.width);
        EXPECT_EQ(d->reserved[0] | d->reserved[1], 0);
    }
}

TEST_F(FieldTableTest, TableSizesAndEndRow) {
    struct { int level, rows; } cases[] = {{200, 110}, {299, 110}, {300, 128}, {500, 128}};
    for (auto c : cases) {
        UseEngine(400, c.level);
        EXPECT_EQ(FieldTableRowCount(), c.rows) << c.level;
        EXPECT_NE(FieldIdAt(c.rows), 0u);
        EXPECT_EQ(FieldIdAt(c.rows + 1), 0u);
        EXPECT_EQ(FieldTableRows()[c.rows].id, 0u) << "the table ends with a row of zeros";
        // Row numbers start at 1: nothing before the table is ever read.
        EXPECT_EQ(FieldIdAt(0), 0u);
        EXPECT_EQ(FieldIdAt(-5), 0u);
        std::set<FieldId> ids;
        for (int n = 1; n <= c.rows; ++n) ids.insert(FieldIdAt(n));
        EXPECT_EQ(int(ids.size()), c.rows) << "ids are unique within a table";
    }
}

TEST_F(FieldTableTest, LevelThreeHundredDropsTwoExifRows) {
    UseEngine(400, 300);
    EXPECT_EQ(FieldFindDef(ExifFieldId(0xA000)), nullptr);
    EXPECT_EQ(FieldFindDef(ExifFieldId(0x9102)), nullptr);
    EXPECT_EQ(FieldFindDef(kFieldImportDevice)->userDataText, 0);
    UseEngine(400, 200);
    EXPECT_EQ(FieldFindDef(kFieldImportDevice)->userDataText, 1);
    EXPECT_EQ(FieldFindDef(754), nullptr);
    EXPECT_EQ(FieldFindDef(64), nullptr);
}

TEST_F(FieldTableTest, SimpleLookupsWithDefaults) {
    EXPECT_EQ(FieldGetColumnWidth('VNam'), 120);
    EXPECT_EQ(FieldGetColumnWidth(5), 60);
    EXPECT_EQ(FieldGetColumnWidth(0x12345678), 90);
    EXPECT_TRUE(FieldIsList(537));
    EXPECT_TRUE(FieldIsList('TRCK'));
    EXPECT_FALSE(FieldIsList(632));
    EXPECT_TRUE(FieldIsLongText(632));
    EXPECT_FALSE(FieldIsLongText(999));
    EXPECT_EQ(FieldGetGroup(ExifFieldId(0x9003)), kFieldGroupExif);
    EXPECT_EQ(FieldGetGroup(999), 0);
    EXPECT_EQ(FieldGetFindKind(4), kFindKindTypeCode);
    EXPECT_EQ(FieldGetFindKind(11), kFindKindDate);
    EXPECT_EQ(FieldGetPickList(527), 1);
    EXPECT_EQ(FieldGetPickList(617), 0);
}

TEST_F(FieldTableTest, MaxLengthTable) {
    struct { FieldId id; int max; } cases[] = {
        {632, 2000}, {522, 1}, {527, 3}, {2, 255}, {628, 127}, {613, 63}, {769, 255},
        {784, 255}, {785, 0}, {524, 0}, {550, 0}, {720, 0}, {5, 0},
    };
    for (auto c : cases) EXPECT_EQ(FieldMaxLength(c.id), c.max) << c.id;
}

TEST_F(FieldTableTest, TierFollowsTheEdition) {
    EXPECT_TRUE(FieldInTier(2));
    EXPECT_FALSE(FieldInTier(537)) << "IPTC fields are tier 2";
    EXPECT_FALSE(FieldInTier(68)) << "tier 0 is never in a tier list";
    for (int edition : {200, 500}) {
        UseEngine(edition, 200);
        EXPECT_TRUE(FieldInTier(537)) << edition;
        EXPECT_FALSE(FieldInTier(68)) << edition;
    }
}

std::vector<FieldId> WholeList(std::uint8_t group, int mode, int customCount) {
    std::vector<FieldId> out;
    for (int n = 0;; ++n) {
        std::uint8_t g = 0xEE;
        FieldId id = FieldListForEdition(n, group, mode, customCount, &g);
        if (id == 0 && g == 0) {
            // A custom field past the catalog's names also answers 0: look one further.
            if (FieldListForEdition(n + 1, group, mode, 16, nullptr) == 0) break;
            out.push_back(0);
            continue;
        }
        out.push_back(id);
        EXPECT_EQ(g, FieldGetGroup(id));
    }
    return out;
}

TEST_F(FieldTableTest, FieldListsByModeGroupAndEdition) {
    EXPECT_EQ(FieldListForEdition(0, 9, 2, 0, nullptr), ExifFieldId(0x9000));
    EXPECT_EQ(FieldListForEdition(1, 9, 2, 0, nullptr), ExifFieldId(0x9003))
        << "FlashPix version (tier 0) is skipped in mode 2";

    std::vector<FieldId> columns = WholeList(0, 2, 0);
    for (FieldId id : columns) {
        EXPECT_NE(FieldGetGroup(id), kFieldGroupAnnotations) << id;
        EXPECT_TRUE(FieldInTier(id)) << id;
    }

    UseEngine(200, 200);
    std::vector<FieldId> wide = WholeList(0, 2, 16);
    EXPECT_NE(std::find(wide.begin(), wide.end(), FieldId(537)), wide.end());

    UseEngine(400, 200);
    std::vector<FieldId> find = WholeList(0, 3, 16);
    EXPECT_NE(std::find(find.begin(), find.end(), FieldId(4)), find.end())
        << "tier 0 with a find kind is offered to find";
    EXPECT_EQ(std::find(find.begin(), find.end(), FieldId(68)), find.end());

    // Mode 1: the annotation block fields, custom fields cut at the catalog's count.
    std::uint8_t g = 0xEE;
    EXPECT_EQ(FieldListForEdition(0, 0, 1, 2, &g), FieldId(617));
    EXPECT_EQ(g, kFieldGroupAnnotations);
    EXPECT_EQ(FieldListForEdition(23, 0, 1, 2, nullptr), FieldId(769));
    EXPECT_EQ(FieldListForEdition(24, 0, 1, 2, nullptr), FieldId(770));
    g = 0xEE;
    EXPECT_EQ(FieldListForEdition(25, 0, 1, 2, &g), 0u);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(FieldListForEdition(500, 0, 7, 16, nullptr), 0u);
    EXPECT_EQ(FieldListForEdition(-1, 0, 7, 16, nullptr), 0u);
}

}  // namespace
