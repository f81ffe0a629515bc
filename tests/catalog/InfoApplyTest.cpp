// Pending Info panel edits applied to annotation blocks: the current item keeps every dataset
// the panel does not show, the event date goes in as eight digits, and the other selected
// items get exactly what was edited, added or removed.
#include "catalog/fields/FieldIds.h"
#include "catalog/info/InfoInternal.h"
#include "foundation/format/LocaleFormats.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Dataset {
    UInt8 marker;
    UInt16 key;
    std::string text;
    bool operator==(const Dataset&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Dataset& d) {
    return out << int(d.key >> 8) << ":" << int(d.key & 0xFF) << (d.marker == IptcMarkerUtf8 ? " utf8 " : " ") << d.text;
}

Handle MakeBlock(const std::vector<Dataset>& sets) {
    Handle h = NewHandle(0);
    for (const auto& d : sets)
        IptcSetDataset(d.key, 0, d.text.data(), SInt16(d.text.size()), h, kIptcAppend, d.marker);
    return h;
}

std::vector<Dataset> ReadBlock(Handle h) {
    std::vector<Dataset> out;
    const auto* p = reinterpret_cast<const std::uint8_t*>(*h);
    long at = 0, size = GetHandleSize(h);
    while (at + 5 <= size) {
        UInt16 length = UInt16(p[at + 3] << 8 | p[at + 4]);
        out.push_back({p[at], UInt16(p[at + 1] << 8 | p[at + 2]), std::string(reinterpret_cast<const char*>(p + at + 5), length)});
        at += 5 + length;
    }
    return out;
}

InfoRow Row(UInt8 kind, UInt8 state, UInt32 value, UInt32 field, const std::string& text) {
    InfoRow r{};
    r.kind = kind;
    r.state = state;
    r.value = value;
    r.fieldId = field;
    r.text[0] = UInt8(text.size());
    std::memcpy(r.text + 1, text.data(), text.size());
    return r;
}

// The event date as the panel shows it after the user typed a date.
std::string ShownDate(const std::string& typed) {
    Str255 t, shown, digits;
    t[0] = UInt8(typed.size());
    std::memcpy(t + 1, typed.data(), typed.size());
    EXPECT_TRUE(InfoParseEventDate(t, shown, digits)) << typed;
    return std::string(reinterpret_cast<const char*>(shown + 1), shown[0]);
}

constexpr UInt16 K(UInt32 field) { return UInt16(field); }
constexpr UInt8 A = IptcMarkerAnsi;
constexpr UInt8 U = IptcMarkerUtf8;

class InfoApply : public ::testing::Test {
protected:
    void SetUp() override { SetFormatLocale("C.UTF-8"); }
    void TearDown() override { SetFormatLocale(nullptr); }
};

TEST_F(InfoApply, CurrentItemKeepsWhatThePanelDoesNotShow) {
    Handle block = MakeBlock({
        {A, K(kFieldRecordVersion), std::string("\0\x02", 2)},
        {A, IptcFieldId(2, 12), "subject ref"},     // no row in the panel
        {A, K(kFieldKeywords), "a"},
        {A, K(kFieldCity), "Rome"},
        {A, K(kFieldKeywords), "b"},
        {U, K(kFieldKeywords), "\xC5\x81\xC3\xB3" "d\xC5\xBA"},  // a UTF-8 keyword outside Windows-1252
        {A, IptcFieldId(2, 60), "101010+0100"},      // time created, read from the file
        {A, IptcFieldId(3, 5), "custom five"},       // past the names in use
        {A, K(kFieldEventDate), "20040101"},
        {A, K(kFieldCaption), "old caption"},
    });
    const std::vector<InfoRow> rows = {
        Row(kInfoRowEditableHeader, 0, 0, kInfoSectionAnnotations, ""),
        Row(kInfoRowField, kInfoStateChanged, 1, kFieldCity, "Paris"),
        Row(kInfoRowField, kInfoStateChanged, 1, kFieldEventDate, ShownDate("2004-12-31")),
        Row(kInfoRowField, kInfoStateUnchanged, 0, kFieldCountry, ""),
        Row(kInfoRowField, kInfoStateUnchanged, 0, IptcFieldId(3, 1), ""),
        Row(kInfoRowEditableHeader, 0, 0, kInfoSectionKeywords, ""),
        Row(kInfoRowValue, kInfoStateUnchanged, 1, kFieldKeywords, "a"),
        Row(kInfoRowValue, kInfoStateRemoved, 2, kFieldKeywords, "b"),
        Row(kInfoRowValue, kInfoStateUnchanged, 3, kFieldKeywords, "?\xF3" "d?"),  // as the panel shows it
        Row(kInfoRowValue, kInfoStateChanged, 0, kFieldKeywords, "c"),
        Row(kInfoRowValue, kInfoStateChanged, 0, kFieldKeywords, "a"),  // a second "a" is not written twice
        Row(kInfoRowNewValue, kInfoStateUnchanged, 0, kFieldKeywords, ""),
        Row(kInfoRowValue, kInfoStateFixed, 4, 162, "Some set"),
    };
    Handle caption = NewHandle(0);
    PtrAndHand("new caption", caption, 11);
    ASSERT_TRUE(InfoApplyToCurrentBlock(rows.data(), UInt32(rows.size()), caption, kInfoStateChanged, block));
    const std::vector<Dataset> expected = {
        {A, K(kFieldRecordVersion), std::string("\0\x02", 2)},
        {A, IptcFieldId(2, 12), "subject ref"},
        {A, K(kFieldCity), "Paris"},
        {A, IptcFieldId(2, 60), "101010+0100"},
        {A, IptcFieldId(3, 5), "custom five"},
        {A, K(kFieldEventDate), "20041231"},
        {A, K(kFieldCaption), "new caption"},
        {A, K(kFieldKeywords), "a"},
        {U, K(kFieldKeywords), "\xC5\x81\xC3\xB3" "d\xC5\xBA"},
        {A, K(kFieldKeywords), "c"},
    };
    EXPECT_EQ(ReadBlock(block), expected);
    DisposeHandle(caption);
    DisposeHandle(block);
}

TEST_F(InfoApply, ReorderedListValuesAreWrittenInTheirNewOrder) {
    Handle block = MakeBlock({{A, K(kFieldPeople), "Ann"}, {A, K(kFieldCity), "Oslo"}, {A, K(kFieldPeople), "Bo"}});
    std::vector<InfoRow> rows = {
        Row(kInfoRowValue, kInfoStateUnchanged, 2, kFieldPeople, "Bo"),
        Row(kInfoRowValue, kInfoStateUnchanged, 1, kFieldPeople, "Ann"),
    };
    EXPECT_FALSE(InfoApplyToCurrentBlock(rows.data(), 2, nullptr, kInfoStateUnchanged, block));
    rows[0].moved = 1;
    EXPECT_TRUE(InfoApplyToCurrentBlock(rows.data(), 2, nullptr, kInfoStateUnchanged, block));
    EXPECT_EQ(ReadBlock(block), (std::vector<Dataset>{{A, K(kFieldCity), "Oslo"},
                                                      {A, K(kFieldPeople), "Bo"},
                                                      {A, K(kFieldPeople), "Ann"}}));
    DisposeHandle(block);
}

// Several selected items with different values: rows of state 1 leave them alone, state 2
// writes (single values replaced, list values added when missing), state 3 takes away.
TEST_F(InfoApply, OtherItemsGetOnlyWhatWasEdited) {
    const std::vector<InfoRow> rows = {
        Row(kInfoRowField, kInfoStateChanged, 1, kFieldCity, "Paris"),         // edited
        Row(kInfoRowField, kInfoStateUnchanged, 1, kFieldCountry, "Italy"),     // untouched
        Row(kInfoRowField, kInfoStateRemoved, 1, kFieldSource, "Agency"),       // removed
        Row(kInfoRowField, kInfoStateChanged, 0, kFieldEventDate, ShownDate("2005-03-07")),
        Row(kInfoRowValue, kInfoStateUnchanged, 1, kFieldKeywords, "a"),
        Row(kInfoRowValue, kInfoStateRemoved, 2, kFieldKeywords, "b"),
        Row(kInfoRowValue, kInfoStateChanged, 0, kFieldKeywords, "c"),
        Row(kInfoRowValue, kInfoStateChanged, 3, kFieldKeywords, "a"),           // a value re-sent
    };
    struct Case {
        const char* what;
        std::vector<Dataset> before, after;
    } cases[] = {
        {"an empty block",
         {},
         {{A, K(kFieldCity), "Paris"}, {A, K(kFieldEventDate), "20050307"}, {A, K(kFieldKeywords), "c"},
          {A, K(kFieldKeywords), "a"}}},
        {"other values of every field",
         {{A, K(kFieldCity), "Oslo"}, {A, K(kFieldCountry), "Norway"}, {A, K(kFieldSource), "Me"},
          {A, K(kFieldKeywords), "x"}, {A, K(kFieldKeywords), "b"}, {A, IptcFieldId(2, 62), "20000101"}},
         {{A, K(kFieldCity), "Paris"}, {A, K(kFieldCountry), "Norway"}, {A, K(kFieldKeywords), "x"},
          {A, IptcFieldId(2, 62), "20000101"}, {A, K(kFieldEventDate), "20050307"}, {A, K(kFieldKeywords), "c"},
          {A, K(kFieldKeywords), "a"}}},
        {"the values already",
         {{A, K(kFieldCity), "Paris"}, {A, K(kFieldEventDate), "20050307"}, {A, K(kFieldKeywords), "c"},
          {A, K(kFieldKeywords), "a"}},
         {{A, K(kFieldCity), "Paris"}, {A, K(kFieldEventDate), "20050307"}, {A, K(kFieldKeywords), "c"},
          {A, K(kFieldKeywords), "a"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Handle block = MakeBlock(c.before);
        const bool changed = InfoApplyToOtherBlock(rows.data(), UInt32(rows.size()), nullptr, kInfoStateUnchanged, block);
        EXPECT_EQ(ReadBlock(block), c.after);
        EXPECT_EQ(changed, c.before != c.after);
        DisposeHandle(block);
    }
}

TEST_F(InfoApply, AnEventDateThatNoLongerParsesIsCleared) {
    Handle block = MakeBlock({{A, K(kFieldEventDate), "20040101"}});
    const std::vector<InfoRow> rows = {Row(kInfoRowField, kInfoStateChanged, 1, kFieldEventDate, "not a date")};
    EXPECT_TRUE(InfoApplyToCurrentBlock(rows.data(), 1, nullptr, kInfoStateUnchanged, block));
    EXPECT_TRUE(ReadBlock(block).empty());
    DisposeHandle(block);
}

}  // namespace
