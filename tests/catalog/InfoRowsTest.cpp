// The Info panel's rows for the current item, and the pending edits made in them.
#include "ItemDataSupport.h"
#include "OrganizeTestSupport.h"

#include "catalog/fields/FieldFormat.h"
#include "catalog/file/CatalogEngine.h"
#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoRows.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "foundation/format/DateFormat.h"
#include "foundation/format/DateParse.h"
#include "foundation/format/LocaleFormats.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace {

using organize_test::SetList;

// A row as "kind/mark/state/value/field" and, when it has one, ":text".
std::string Describe(const InfoRow* r) {
    std::ostringstream s;
    s << int(r->kind) << "/" << int(r->mark) << "/" << int(r->state) << "/" << r->value << "/" << r->fieldId;
    if (r->text[0]) s << ":" << std::string(reinterpret_cast<const char*>(r->text + 1), r->text[0]);
    return s.str();
}

std::vector<std::string> Rows(const CatalogRec* c, bool withText = true) {
    std::vector<std::string> out;
    for (UInt32 i = 1; i <= InfoRowCount(c); ++i) {
        std::string d = Describe(InfoGetRow(c, i));
        if (!withText) d = d.substr(0, d.find(':'));
        out.push_back(d);
    }
    return out;
}

std::string Row(int kind, int mark, int state, UInt32 value, UInt32 field) {
    return std::to_string(kind) + "/" + std::to_string(mark) + "/" + std::to_string(state) + "/" + std::to_string(value) +
           "/" + std::to_string(field);
}

class InfoPanel : public ::testing::Test {
protected:
    void SetUp() override { Start(400); }
    void Start(SInt32 edition) {
        SetFormatLocale("C.UTF-8");
        catalog_ = NewCatalogWithWorkFile(dir_);
        ASSERT_NE(catalog_, nullptr);
        if (edition != 400) {
            CatalogClose(catalog_, false);
            CatalogEngineInit(edition, 200);
            FSSpec work;
            FSMakeFSSpecFromPath(dir_ / "work2", &work);
            ASSERT_EQ(CatalogOpen(&catalog_, nullptr, &work, nullptr, nullptr, nullptr, 0), noErr);
        }
    }
    void TearDown() override {
        CatalogClose(catalog_, false);
        CatalogNotificationsReset();
        CatalogEngineShutdown();
        SetFormatLocale(nullptr);
    }
    const ItemEntry* Add(const ByteString& annotations) {
        TestItem item = MakeTestItem("photo.jpg", 2048);
        item.annotations = annotations;
        const SInt32 index = AppendWorkFileItem(catalog_, item);
        return &catalog_->entries[index - 1];
    }
    UInt32 Find(UInt8 kind, UInt32 field, UInt32 from = 1) {
        for (UInt32 i = from; i <= InfoRowCount(catalog_); ++i)
            if (InfoGetRow(catalog_, i)->kind == kind && InfoGetRow(catalog_, i)->fieldId == field) return i;
        return 0;
    }
    std::string Text(UInt32 n) {
        const InfoRow* r = InfoGetRow(catalog_, n);
        return r ? std::string(reinterpret_cast<const char*>(r->text + 1), r->text[0]) : "?";
    }
    bool Set(UInt32 n, const std::string& text) { return InfoEditSetRowText(catalog_, n, text.data(), long(text.size())); }

    TempFolder dir_;
    CatalogRec* catalog_ = nullptr;
};

TEST_F(InfoPanel, WithoutAnItemOnlyTheHeadersShow) {
    const std::vector<std::string> headers = {Row(2, 0, 0, 0, 2),  Row(2, 0, 0, 0, 9),  Row(2, 0, 0, 0, 13),
                                              Row(2, 0, 0, 0, 14), Row(2, 0, 0, 0, 4),  Row(2, 0, 0, 0, 17),
                                              Row(2, 0, 0, 0, 15), Row(2, 0, 0, 0, 16), Row(2, 0, 0, 0, 10)};
    EXPECT_EQ(Rows(catalog_), headers);  // as the catalog opened
    InfoLoadItem(catalog_, Add(""));
    InfoLoadItem(catalog_, nullptr);
    EXPECT_EQ(Rows(catalog_), headers);
    EXPECT_EQ(catalog_->infoItemId, 0u);
    EXPECT_EQ(catalog_->infoCaptionState, 0);
    EXPECT_FALSE(InfoEditHasPending(catalog_));
}

TEST_F(InfoPanel, AnItemWithoutAnnotationsShowsEveryRowEmpty) {
    const ItemEntry* e = Add("");
    InfoLoadItem(catalog_, e);
    std::vector<std::string> expected = {Row(0, 0, 0, 0, 2), Row(3, 1, 0, 1, 66)};
    for (UInt32 f : {3u, 23u, 5u, UInt32('VNam')}) expected.push_back(Row(3, 2, 0, f == 3 || f == 5 ? 1 : 0, f));
    expected.push_back(Row(3, 3, 0, 0, 69));  // an image can be turned
    for (UInt32 f : {65u, 8u, 9u, 22u, 21u, 24u, 13u}) expected.push_back(Row(4, 3, 0, 0, f));
    for (UInt32 f : {11u, 12u, 10u, 33u}) expected.push_back(Row(3, 4, 0, 0, f));
    for (UInt32 f : {30u, 31u, 28u}) expected.push_back(Row(3, 5, 0, 0, f));
    // No EXIF, tracks or cue points: no sections for them.
    expected.push_back(Row(1, 0, 0, 0, 4));
    for (UInt32 f : {617u, 517u, 527u, 534u, 567u, 592u, 597u, 622u, 627u, 628u, 615u, 739u, 604u, 602u, 607u, 613u,
                     552u, 519u, 634u})
        expected.push_back(Row(3, f == 567 || f == 739 || f == 613 || f == 634 ? 1 : 0, 1, 0, f));
    for (auto [section, field] : {std::pair{17u, 630u}, {15u, 537u}, {16u, 532u}}) {
        expected.push_back(Row(1, 0, 0, 0, section));
        expected.push_back(Row(7, 0, 1, 0, field));
    }
    // Whether a media row has a value is the getter's business: compare the rest of those rows.
    auto layout = [](std::string r) {
        if (r[0] == '3' || r[0] == '4') {
            const auto a = r.find('/', 4), b = r.find('/', a + 1);
            r.replace(a + 1, b - a - 1, "v");
        }
        return r;
    };
    std::vector<std::string> got = Rows(catalog_, false);
    const UInt32 annotations = Find(kInfoRowEditableHeader, kInfoSectionAnnotations);
    ASSERT_GT(annotations, 1u);
    for (UInt32 i = 0; i + 1 < annotations; ++i) {
        got[i] = layout(got[i]);
        expected[i] = layout(expected[i]);
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(catalog_->infoItemId, e->id);
    EXPECT_EQ(catalog_->infoCaptionState, 1);
    EXPECT_EQ(GetHandleSize(catalog_->infoCaption), 0);
}

TEST_F(InfoPanel, ValuesListsAndSetsOfAnItem) {
    const ItemEntry* e = Add(Dataset(kFieldKeywords, "sea") + Dataset(kFieldCity, "Rome") +
                             Dataset(kFieldKeywords, "sand") + Dataset(kFieldEventDate, "20050307") +
                             Dataset(kFieldCaption, "A long day at the beach"));
    SetList(catalog_, 162, {{"A", 0, true}, {"B", 1, false, {e->id}}, {"C", 0, false, {e->id}}, {"D", 0, false, {99}}});
    InfoLoadItem(catalog_, e);
    const UInt32 city = Find(kInfoRowField, kFieldCity);
    EXPECT_EQ(Describe(InfoGetRow(catalog_, city)), Row(3, 0, 1, 1, 602) + ":Rome");
    Str255 date;
    FormatDateTime(date, ParseYYYYMMDD("20050307"), true, false, false);
    EXPECT_EQ(Text(Find(kInfoRowField, kFieldEventDate)), organize_test::PStr(date));
    const UInt32 keywords = Find(kInfoRowEditableHeader, kInfoSectionKeywords);
    EXPECT_EQ(Describe(InfoGetRow(catalog_, keywords + 1)), Row(6, 0, 1, 1, 537) + ":sea");
    EXPECT_EQ(Describe(InfoGetRow(catalog_, keywords + 2)), Row(6, 0, 1, 2, 537) + ":sand");
    EXPECT_EQ(Describe(InfoGetRow(catalog_, keywords + 3)), Row(7, 0, 1, 0, 537));
    const UInt32 sets = Find(kInfoRowHeader, kInfoSectionSets);
    ASSERT_EQ(sets, InfoRowCount(catalog_) - 2);
    EXPECT_EQ(Describe(InfoGetRow(catalog_, sets + 1)), Row(6, 0, 0, 2, 162) + ":B");
    EXPECT_EQ(Describe(InfoGetRow(catalog_, sets + 2)), Row(6, 0, 0, 3, 162) + ":C");
    EXPECT_EQ(std::string(*catalog_->infoCaption, std::size_t(GetHandleSize(catalog_->infoCaption))),
              "A long day at the beach");
}

// ---- pending edits -------------------------------------------------------------------------

TEST_F(InfoPanel, RefusedEditsChangeNothing) {
    InfoLoadItem(catalog_, Add(Dataset(kFieldKeywords, "sea") + Dataset(kFieldCity, "Rome")));
    const UInt32 city = Find(kInfoRowField, kFieldCity);
    const UInt32 keyword = Find(kInfoRowValue, kFieldKeywords);
    const UInt32 date = Find(kInfoRowField, kFieldEventDate);
    const std::vector<std::string> before = Rows(catalog_);
    struct Case {
        UInt32 row;
        std::string text;
        const char* why;
    } cases[] = {
        {1, "x", "a header"},
        {Find(kInfoRowField, kFieldFileSize), "x", "a media row"},
        {city, "a\tb", "a tab"},
        {city, "a\rb", "a carriage return"},
        {city, "a\nb", "a line feed"},
        {city, std::string("a\0b", 3), "a zero byte"},
        {city, std::string(256, 'x'), "256 bytes"},
        {keyword + 1, "sea", "a keyword the item has"},
        {city, "Rome", "the text the row has"},
        {date, "31.31.2005", "a date that does not parse"},
        {InfoRowCount(catalog_) + 1, "x", "no such row"},
    };
    for (const auto& c : cases) EXPECT_FALSE(Set(c.row, c.text)) << c.why;
    EXPECT_EQ(Rows(catalog_), before);
    EXPECT_FALSE(InfoEditHasPending(catalog_));
}

TEST_F(InfoPanel, EditsRemovalsAndRevertsMoveTheStates) {
    InfoLoadItem(catalog_, Add(Dataset(kFieldKeywords, "sea") + Dataset(kFieldCity, "Rome")));
    const UInt32 city = Find(kInfoRowField, kFieldCity);
    const UInt32 country = Find(kInfoRowField, kFieldCountry);
    const UInt32 sea = Find(kInfoRowValue, kFieldKeywords);
    const UInt32 newKeyword = Find(kInfoRowNewValue, kFieldKeywords);

    // A typed value: state 2; reverting gives the stored value back.
    ASSERT_TRUE(Set(city, "Paris"));
    EXPECT_EQ(Describe(InfoGetRow(catalog_, city)), Row(3, 0, 2, 1, 602) + ":Paris");
    EXPECT_TRUE(InfoEditHasPending(catalog_));
    ASSERT_TRUE(InfoEditRevertField(catalog_, city));
    EXPECT_EQ(Describe(InfoGetRow(catalog_, city)), Row(3, 0, 1, 1, 602) + ":Rome");
    EXPECT_FALSE(InfoEditHasPending(catalog_));
    // Reverting an unchanged row sends its value to the other selected items.
    ASSERT_TRUE(InfoEditRevertField(catalog_, city));
    EXPECT_EQ(InfoGetRow(catalog_, city)->state, 2);
    InfoEditRevertField(catalog_, city);

    // A value typed into an empty single field and taken away again.
    ASSERT_TRUE(Set(country, "Italy"));
    ASSERT_TRUE(Set(country, ""));
    EXPECT_EQ(Describe(InfoGetRow(catalog_, country)), Row(3, 1, 1, 0, 613));

    // A new keyword goes in a row of its own before the new-value row.
    ASSERT_TRUE(Set(newKeyword, "sand"));
    EXPECT_EQ(Describe(InfoGetRow(catalog_, newKeyword)), Row(6, 0, 2, 0, 537) + ":sand");
    EXPECT_EQ(Describe(InfoGetRow(catalog_, newKeyword + 1)), Row(7, 0, 1, 0, 537));
    EXPECT_FALSE(Set(newKeyword + 1, "sand"));  // the same keyword twice

    // A stored keyword removed keeps its text with state 3; an added one just goes.
    ASSERT_TRUE(InfoEditRemoveValue(catalog_, sea));
    EXPECT_EQ(Describe(InfoGetRow(catalog_, sea)), Row(6, 0, 3, 1, 537) + ":sea");
    ASSERT_TRUE(InfoEditRemoveValue(catalog_, newKeyword));
    EXPECT_EQ(Describe(InfoGetRow(catalog_, newKeyword)), Row(7, 0, 1, 0, 537));
    EXPECT_FALSE(InfoEditRemoveValue(catalog_, newKeyword));  // the new-value row stays
    EXPECT_TRUE(InfoEditHasPending(catalog_));
    ASSERT_TRUE(InfoEditRevertField(catalog_, sea));
    EXPECT_EQ(Describe(InfoGetRow(catalog_, sea)), Row(6, 0, 1, 1, 537) + ":sea");
    EXPECT_FALSE(InfoEditHasPending(catalog_));

    // A typed date is shown the way the panel shows dates.
    const UInt32 date = Find(kInfoRowField, kFieldEventDate);
    ASSERT_TRUE(Set(date, "2005-03-07"));
    Str255 shown;
    FormatDateTime(shown, ParseYYYYMMDD("20050307"), true, false, false);
    EXPECT_EQ(Text(date), organize_test::PStr(shown));
}

TEST_F(InfoPanel, MovingRowsAndTheCaption) {
    InfoLoadItem(catalog_, Add(Dataset(kFieldPeople, "Ann") + Dataset(kFieldPeople, "Bo") +
                               Dataset(kFieldCaption, "stored caption")));
    const UInt32 ann = Find(kInfoRowValue, kFieldPeople);
    EXPECT_FALSE(InfoEditMoveRow(catalog_, ann, ann));
    EXPECT_FALSE(InfoEditMoveRow(catalog_, ann, ann + 1));
    ASSERT_TRUE(InfoEditMoveRow(catalog_, ann, ann + 2));
    EXPECT_EQ(Text(ann), "Bo");
    EXPECT_EQ(Text(ann + 1), "Ann");
    EXPECT_EQ(InfoGetRow(catalog_, 1)->moved, 1);
    EXPECT_TRUE(InfoEditHasPending(catalog_));

    InfoLoadItem(catalog_, CatalogFindEntryById(catalog_, catalog_->infoItemId));
    EXPECT_FALSE(InfoEditHasPending(catalog_));
    // The caption: unchanged turns to changed; changed turns back to what is stored.
    EXPECT_TRUE(InfoEditRevertCaption(catalog_));
    EXPECT_EQ(catalog_->infoCaptionState, 2);
    EXPECT_TRUE(InfoEditHasPending(catalog_));
    SetHandleSize(catalog_->infoCaption, 3);
    EXPECT_TRUE(InfoEditRevertCaption(catalog_));
    EXPECT_EQ(catalog_->infoCaptionState, 1);
    EXPECT_EQ(std::string(*catalog_->infoCaption, std::size_t(GetHandleSize(catalog_->infoCaption))), "stored caption");
}

// Custom field names as the catalog keeps them: 256-byte length-prefixed names.
Handle Names(const std::vector<std::string>& names) {
    Handle h = NewHandleClear(Size(256 * names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) {
        (*h)[256 * i] = char(names[i].size());
        std::memcpy(*h + 256 * i + 1, names[i].data(), names[i].size());
    }
    return h;
}

TEST_F(InfoPanel, ImportedAnnotationsFillOnlyWhatIsEmpty) {
    DisposeHandle(catalog_->customFieldNames);
    catalog_->customFieldNames = Names({"Client"});
    InfoLoadItem(catalog_, Add(Dataset(kFieldCity, "Rome") + Dataset(kFieldKeywords, "sea")));
    Handle block = nullptr;
    const ByteString bytes = Dataset(kFieldCity, "Oslo") + Dataset(kFieldCountry, "Norway") +
                             Dataset(kFieldKeywords, "sea") + Dataset(kFieldKeywords, "sun") +
                             Dataset(kFieldEventDate, "20010101") + Dataset(IptcFieldId(3, 1), "X-17") +
                             Dataset(IptcFieldId(3, 2), "ACME");
    ASSERT_EQ(PtrToHand(bytes.data(), &block, Size(bytes.size())), noErr);
    Handle names = Names({"Project", "client"});
    EXPECT_TRUE(InfoEditImportRows(catalog_, block, names));
    EXPECT_EQ(Text(Find(kInfoRowField, kFieldCity)), "Rome");
    EXPECT_EQ(Describe(InfoGetRow(catalog_, Find(kInfoRowField, kFieldCountry))), Row(3, 1, 2, 0, 613) + ":Norway");
    EXPECT_EQ(Text(Find(kInfoRowField, kFieldEventDate)), "");
    EXPECT_EQ(Text(Find(kInfoRowField, 769)), "ACME");
    const UInt32 sea = Find(kInfoRowValue, kFieldKeywords);
    EXPECT_EQ(Describe(InfoGetRow(catalog_, sea + 1)), Row(6, 0, 2, 0, 537) + ":sun");
    EXPECT_EQ(InfoGetRow(catalog_, sea + 2)->kind, kInfoRowNewValue);
    // Nothing left to fill: nothing changes.
    EXPECT_FALSE(InfoEditImportRows(catalog_, block, names));
    DisposeHandle(block);
    DisposeHandle(names);
}

TEST_F(InfoPanel, ExportedRowsMakeAnAnnotationBlock) {
    DisposeHandle(catalog_->customFieldNames);
    catalog_->customFieldNames = Names({"Client"});
    InfoLoadItem(catalog_, Add(Dataset(kFieldCity, "Rome") + Dataset(kFieldKeywords, "sea")));
    ASSERT_TRUE(Set(Find(kInfoRowField, kFieldEventDate), "2005-03-07"));
    ASSERT_TRUE(Set(Find(kInfoRowNewValue, kFieldKeywords), "sun"));
    ASSERT_TRUE(InfoEditRemoveValue(catalog_, Find(kInfoRowValue, kFieldKeywords)));  // "sea" goes
    Handle block = nullptr, names = nullptr, spare = nullptr;
    ASSERT_EQ(InfoEditExportRows(catalog_, &block, &names, &spare), noErr);
    EXPECT_EQ(ByteString(*block, std::size_t(GetHandleSize(block))),
              Dataset(kFieldEventDate, "20050307") + Dataset(kFieldCity, "Rome") + Dataset(kFieldKeywords, "sun"));
    EXPECT_EQ(GetHandleSize(names), 256);
    EXPECT_EQ(GetHandleSize(spare), 0);
    for (Handle h : {block, names, spare}) DisposeHandle(h);
}

// Length-prefixed texts one after another.
std::vector<std::string> PStrings(Handle h) {
    std::vector<std::string> out;
    const auto* p = reinterpret_cast<const UInt8*>(*h);
    for (long at = 0, size = GetHandleSize(h); at < size; at += 1 + p[at])
        out.emplace_back(reinterpret_cast<const char*>(p + at + 1), p[at]);
    return out;
}

TEST_F(InfoPanel, SlideDataAndTitles) {
    Add(Dataset(kFieldCity, "Rome") + Dataset(kFieldAuthor, "Ann Berg") + Dataset(kFieldCaption, "At the sea"));
    Add(Dataset(kFieldTitle, "Harbour at dawn"));
    Handle info = nullptr, thumbnail = nullptr, caption = nullptr, recording = nullptr;
    ASSERT_EQ(ItemGetSlideData(catalog_, 1, &info, &thumbnail, &caption, &recording), noErr);
    const auto pairs = PStrings(info);
    ASSERT_EQ(pairs.size(), 90u);
    // An image shows nine media fields and four camera texts; two empty pairs fill the group.
    EXPECT_EQ(pairs[26], "");
    EXPECT_EQ(pairs[29], "");
    EXPECT_NE(pairs[24], "");
    for (std::size_t i = 0; i < pairs.size(); i += 2) EXPECT_TRUE(pairs[i].empty() || pairs[i].back() == ':') << pairs[i];
    EXPECT_EQ(pairs[60 + 2 * 9 + 1], "Rome");   // 602, tenth of the annotations
    EXPECT_EQ(pairs[60 + 2 * 10 + 1], "-");     // 613, no value
    EXPECT_EQ(pairs[60 + 2 * 11 + 1], "Ann Berg");
    EXPECT_EQ(std::string(*caption, std::size_t(GetHandleSize(caption))), std::string("At the sea\0", 11));
    EXPECT_EQ(thumbnail, nullptr);
    EXPECT_EQ(recording, nullptr);
    DisposeHandle(info);
    DisposeHandle(caption);
    EXPECT_EQ(ItemGetSlideData(catalog_, 3, &info, nullptr, nullptr, nullptr), paramErr);

    Handle title = ItemGetTitle(catalog_, 1);
    EXPECT_EQ(PStrings(title), (std::vector<std::string>{"photo", "Ann Berg"}));
    DisposeHandle(title);
    title = ItemGetTitle(catalog_, 2);
    EXPECT_EQ(PStrings(title), (std::vector<std::string>{"Harbour at dawn"}));
    DisposeHandle(title);
}

TEST_F(InfoPanel, TrackRowsDescribeATrack) {
    auto track = [](const std::string& type, const std::string& name, UInt32 start, UInt32 duration, UInt32 size,
                    UInt32 rate, UInt32 fps, bool chapters) {
        std::vector<UInt8> t(kTrackRecordSize, 0);
        t[0] = UInt8(type.size());
        std::memcpy(&t[1], type.data(), type.size());
        t[96] = UInt8(name.size());
        std::memcpy(&t[97], name.data(), name.size());
        for (auto [offset, v] : {std::pair{256, start}, {260, duration}, {264, size}, {268, rate}, {272, fps}})
            std::memcpy(&t[std::size_t(offset)], &v, 4);
        t[280] = chapters ? 1 : 0;
        return t;
    };
    struct Case {
        std::vector<UInt8> record;
        std::vector<std::string> rows;
    } cases[] = {
        {track("Video", "H.264", 0, 36005, 2048, 1536, 29970, false),
         {"#1 Video", "Encoding: H.264", "Start Time: 00:00:00.0", "Duration: 01:00:00.5", "Data Size: 2 KB",
          "Data Rate: 1.5 KB/sec", "Frame Rate: 29.97 FPS"}},
        {track("Sound", "", 655, 10, 100, 10, 0, false),
         {"#1 Sound", "Start Time: 00:01:05.5", "Duration: 00:00:01.0", "Data Size: 100 bytes", "Data Rate: 10 bytes/sec"}},
        {track("Text", "ignored", 1, 2, 3, 4, 5, true), {"#1 Text", "Chapter Track"}},
    };
    for (const auto& c : cases) {
        SetHandleSize(catalog_->infoRows, 0);
        ASSERT_EQ(InfoEditAddTrackRows(catalog_, c.record.data(), 1), noErr);
        std::vector<std::string> got;
        for (UInt32 i = 1; i <= InfoRowCount(catalog_); ++i) {
            EXPECT_EQ(InfoGetRow(catalog_, i)->kind, kInfoRowTrack);
            got.push_back(Text(i));
        }
        EXPECT_EQ(got, c.rows);
    }
}

class InfoPanelEdition200 : public InfoPanel {
protected:
    void SetUp() override { Start(200); }
};

TEST_F(InfoPanelEdition200, OnlySectionsWithValuesShow) {
    InfoLoadItem(catalog_, Add(""));
    for (UInt32 section : {4u, 15u, 16u, 17u}) EXPECT_EQ(Find(kInfoRowEditableHeader, section), 0u) << section;
    InfoLoadItem(catalog_, Add(Dataset(kFieldKeywords, "sea") + Dataset(kFieldCity, "Rome")));
    const UInt32 annotations = Find(kInfoRowEditableHeader, 4);
    ASSERT_NE(annotations, 0u);
    // Only the row with a value, which closes its group.
    EXPECT_EQ(Describe(InfoGetRow(catalog_, annotations + 1)), Row(3, 1, 1, 1, 602) + ":Rome");
    const UInt32 keywords = Find(kInfoRowEditableHeader, 15);
    ASSERT_NE(keywords, 0u);
    EXPECT_EQ(Describe(InfoGetRow(catalog_, keywords + 1)), Row(6, 0, 1, 1, 537) + ":sea");
    EXPECT_EQ(Find(kInfoRowNewValue, kFieldKeywords), 0u);
    EXPECT_EQ(Find(kInfoRowEditableHeader, 17), 0u);
}

}  // namespace
