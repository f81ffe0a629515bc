// The main road of the program from start-up to exit: a real folder tree of pictures imported
// into a new catalog, every item read back field by field, the organize lists and the Info
// panel built over them, the catalog saved, closed and opened again, edited, sorted, saved in
// place, an item deleted, and each state checked again after a reopen.
#include "EndToEndSupport.h"

#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoRows.h"
#include "catalog/fields/FieldDef.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/organize/OrganizeValues.h"
#include "catalog/sort/SortEngine.h"
#include "catalog/save/WorkFile.h"
#include "platform/MacDates.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

struct When {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

UInt32 MacSeconds(const When& w) {
    DateTimeRec r{};
    r.year = std::int16_t(w.year);
    r.month = std::int16_t(w.month);
    r.day = std::int16_t(w.day);
    r.hour = std::int16_t(w.hour);
    r.minute = std::int16_t(w.minute);
    r.second = std::int16_t(w.second);
    UInt32 s = 0;
    DateToSeconds(&r, &s);
    return s;
}

// What a person sees in each file (its own bytes: EXIF, IPTC, XMP), placed in nested folders.
struct LibraryItem {
    const char* fixture;
    const char* rel;
    UInt32 width, height;     // as stored in the file
    bool landscapeThumbnail;  // the thumbnail as the picture is meant to be seen
    const char* model;
    When captured;            // year 0: no EXIF date
    When dated;               // the day the date list files it under; year 0: today
    const char* caption;
    std::set<std::string> keywords;
    const char* city;
    UInt8 label;
};

const std::vector<LibraryItem>& Library() {
    static const std::vector<LibraryItem> items = {
        {"orientation/landscape_1.jpg", "trips/landscape_1.jpg", 600, 450, true, "", {}, {}, "", {}, "", 0},
        // Stored upright on its side, EXIF orientation 6: the thumbnail is turned to landscape.
        {"orientation/landscape_6.jpg", "trips/turned/landscape_6.jpg", 450, 600, true, "", {}, {}, "", {}, "", 0},
        {"metadata-samples/Canon.jpg", "cameras/2003/Canon.jpg", 8, 8, false, "Canon EOS DIGITAL REBEL",
         {2003, 12, 4, 6, 46, 52}, {2003, 12, 4}, "", {}, "", 0},
        {"metadata-samples/Nikon.jpg", "cameras/2001/Nikon.jpg", 8, 8, false, "E775", {2001, 8, 1, 12, 57, 23},
         {2001, 8, 1}, "", {}, "", 0},
        {"orientation/gps_DSCN0010.jpg", "cameras/2008/october/gps.jpg", 640, 480, true, "COOLPIX P6000",
         {2008, 10, 22, 16, 28, 39}, {2008, 10, 22}, "", {}, "", 0},
        // Annotations in IPTC-IIM (the urgency 8 becomes the item's label) ...
        {"metadata-samples/IPTC.jpg", "annotated/IPTC.jpg", 8, 8, false, "", {}, {2004, 2, 26}, "A witty caption",
         {"ExifTool", "Test", "IPTC"}, "Kingston", 8},
        // ... and in an XMP packet encoded in UTF-16, the event date taking precedence for the
        // date list over the capture date.
        {"metadata-samples/XMP.jpg", "annotated/xmp/XMP.jpg", 8, 8, false, "FinePix2400Zoom",
         {2001, 5, 19, 18, 36, 41}, {2004, 2, 26}, "UTF-16 (big-endian) encoded XMP", {"ExifTool", "Test", "XMP"},
         "Kingston", 0},
    };
    return items;
}

// Pictures added later to a catalog that was saved already.
const std::vector<LibraryItem>& Later() {
    static const std::vector<LibraryItem> items = {
        {"metadata-samples/Olympus.jpg", "later/Olympus.jpg", 8, 8, false, "C2000Z", {1999, 12, 6, 16, 38, 40},
         {}, "", {}, "", 0},
        {"metadata-samples/Sony.jpg", "later/deep/er/Sony.jpg", 8, 8, false, "DSC-F828", {2003, 12, 18, 13, 51, 33},
         {}, "", {}, "", 0},
    };
    return items;
}

std::string Leaf(const std::string& rel) { return rel.substr(rel.rfind('/') + 1); }

class EndToEndRoad : public EndToEndTest {
protected:
    void MakeLibrary() {
        for (const LibraryItem& item : Library()) Put(item.fixture, item.rel);
    }

    // Imports the library folder as the user's drop would, then lets the deferred refresh run.
    void ImportLibrary(CatalogRec* c) {
        FSSpec root = Spec(library.path());
        SInt32 added = 0;
        ASSERT_EQ(CatalogAddFiles(c, 0, &root, 1, nullptr, 0, &added), noErr);
        ASSERT_EQ(added, SInt32(Library().size()));
        Deliver();
        EXPECT_EQ(window.Params(kCatalogMsgItemsAdded), std::vector<WPARAM>{0});
        window.got.clear();
        RunRefresh(c);
        // Each item's refresh is told at once with its visible number.
        std::vector<WPARAM> changed = window.Params(kCatalogMsgItemChanged);
        std::sort(changed.begin(), changed.end());
        std::vector<WPARAM> all;
        for (SInt32 n = 1; n <= c->itemCount; ++n) all.push_back(WPARAM(n));
        EXPECT_EQ(changed, all);
        EXPECT_GE(window.Count(kCatalogMsgModified), 1);
        // Every reading finished: the journal names no file for the next start to suspect.
        MediaFileRec journal;
        EXPECT_EQ(ImportJournalRead(&journal), fnfErr);
    }

    // The stored thumbnail: a JPEG-compressed picture that decodes over its whole frame.
    void CheckThumbnail(CatalogRec* c, const ItemEntry* e, const LibraryItem& item) {
        Handle thumb = ItemReadBlock(c, e, kBlockThumbnail);
        ASSERT_NE(thumb, nullptr);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(*thumb);
        const std::size_t size = std::size_t(GetHandleSize(thumb));
        PictureFacts facts;
        ASSERT_EQ(ExaminePicture(bytes, size, &facts), noErr);
        EXPECT_TRUE(facts.hasImage);
        EXPECT_EQ(facts.compressedCodec, OSType('jpeg'));
        const int w = facts.frame.right - facts.frame.left, h = facts.frame.bottom - facts.frame.top;
        ASSERT_GT(w, 0);
        ASSERT_GT(h, 0);
        if (item.landscapeThumbnail) {
            EXPECT_GT(w, h) << "the thumbnail shows the picture the way it is meant to be seen";
        } else {
            EXPECT_EQ(w, h);
        }
        EXPECT_LE(std::max(w, h), std::max<int>(item.width, item.height));
        // Every pixel is drawn: nothing of the marker background is left.
        std::vector<std::uint8_t> pixels(std::size_t(w) * h * 4);
        for (std::size_t i = 0; i < pixels.size(); i += 4) {
            pixels[i] = 1;
            pixels[i + 1] = 2;
            pixels[i + 2] = 3;
        }
        ASSERT_EQ(RenderPicture(bytes, size, pixels.data(), w, h, std::ptrdiff_t(w) * 4), noErr);
        int untouched = 0;
        for (std::size_t i = 0; i < pixels.size(); i += 4)
            untouched += pixels[i] == 1 && pixels[i + 1] == 2 && pixels[i + 2] == 3;
        EXPECT_EQ(untouched, 0);
        DisposeHandle(thumb);
    }

    // Everything the catalog must say about one item, read through the field getter.
    void CheckItem(CatalogRec* c, const LibraryItem& item, const std::set<std::string>& extraKeywords = {}) {
        SCOPED_TRACE(item.rel);
        const ItemEntry* e = EntryOf(c, item.rel);
        ASSERT_NE(e, nullptr);
        EXPECT_FALSE(e->flags & kEntryPendingFlag);
        ItemRec r;
        ASSERT_EQ(ItemLoadRecord(c, e, &r), noErr);
        EXPECT_EQ(r.kind, OSType('JPEG'));
        EXPECT_EQ(r.fileSize, UInt32(std::filesystem::file_size(library / item.rel)));

        FieldValue v;
        ASSERT_EQ(ItemGetField(c, e, 1, kFieldWidth, &v), 3);
        EXPECT_EQ(v.u32, item.width);
        ASSERT_EQ(ItemGetField(c, e, 1, kFieldHeight, &v), 3);
        EXPECT_EQ(v.u32, item.height);

        EXPECT_EQ(FieldText(c, e, kFieldFileName), Leaf(item.rel));
        EXPECT_EQ(FieldText(c, e, kFieldPath), library / item.rel);
        EXPECT_EQ(FieldText(c, e, kFieldFileType), "JPEG");
        EXPECT_EQ(FieldText(c, e, kFieldMediaType), "Image");
        EXPECT_EQ(FieldText(c, e, kFieldDimensions),
                  std::to_string(item.width) + " x " + std::to_string(item.height) + " pixels");
        EXPECT_EQ(FieldText(c, e, kFieldModel), item.model);

        if (item.captured.year) {
            ASSERT_EQ(ItemGetField(c, e, 1, kFieldCaptureDate, &v), 3);
            EXPECT_EQ(v.u32, MacSeconds(item.captured));
            EXPECT_FALSE(FieldText(c, e, kFieldCaptureDate).empty());
        } else {
            EXPECT_EQ(ItemGetField(c, e, 1, kFieldCaptureDate, &v), 0);
        }
        EXPECT_EQ(FieldText(c, e, kFieldCaption), item.caption);
        std::set<std::string> keywords = item.keywords;
        keywords.insert(extraKeywords.begin(), extraKeywords.end());
        EXPECT_EQ(FieldValues(c, e, kFieldKeywords), keywords);
        EXPECT_EQ(FieldText(c, e, kFieldCity), item.city);
        EXPECT_EQ(e->flags & kEntryLabelMask, item.label);
        CheckThumbnail(c, e, item);
    }

    // Every item of the lists but the skipped ones, and no other.
    void CheckAllItemsOf(CatalogRec* c, const std::vector<std::vector<LibraryItem>>& lists,
                         const std::set<std::string>& skipped) {
        SInt32 expected = 0;
        for (const auto& list : lists)
            for (const LibraryItem& item : list) {
                if (skipped.count(item.rel)) {
                    EXPECT_EQ(EntryOf(c, item.rel), nullptr) << item.rel;
                    continue;
                }
                ++expected;
                CheckItem(c, item);
            }
        EXPECT_EQ(c->itemCount, expected);
    }

    void CheckAllItems(CatalogRec* c) {
        ASSERT_EQ(c->itemCount, SInt32(Library().size()));
        for (const LibraryItem& item : Library()) CheckItem(c, item);
    }

    // The items of a list entry as file names.
    std::set<std::string> EntryNames(CatalogRec* c, const OrganizeEntry* entry) {
        std::set<std::string> names;
        for (UInt32 id : entry->items) {
            ItemEntry* e = CatalogFindEntryById(c, id);
            names.insert(e ? FieldText(c, e, kFieldFileName) : "<gone " + std::to_string(id) + ">");
        }
        return names;
    }

    // The top-level entries of a value list: text -> file names of its items.
    std::map<std::string, std::set<std::string>> ValueList(CatalogRec* c, UInt32 field) {
        std::map<std::string, std::set<std::string>> out;
        for (UInt32 n = 1; n <= OrganizeGetEntryCount(c, field); ++n) {
            OrganizeEntry* entry = OrganizeGetEntry(c, field, n);
            Str255 text;
            OrganizeEntryText(entry, field, text);
            out[PText(text)] = EntryNames(c, entry);
        }
        return out;
    }

    // The day entries of the date list: (year, month, day) -> file names.
    std::map<std::tuple<int, int, int>, std::set<std::string>> DateList(CatalogRec* c) {
        std::map<std::tuple<int, int, int>, std::set<std::string>> out;
        for (UInt32 n = 1; n <= OrganizeGetEntryCount(c, kOrganizeDateField); ++n) {
            OrganizeEntry* entry = OrganizeGetEntry(c, kOrganizeDateField, n);
            if (entry->level != 2) continue;
            OrganizeDate d = OrganizeEntryGetDate(entry);
            out[{d.year, d.month, d.day}] = EntryNames(c, entry);
        }
        return out;
    }

    std::map<std::tuple<int, int, int>, std::set<std::string>> ExpectedDateList() {
        UInt32 now = 0;
        GetDateTime(&now);
        DateTimeRec today;
        SecondsToDate(now, &today);
        std::map<std::tuple<int, int, int>, std::set<std::string>> out;
        for (const LibraryItem& item : Library()) {
            std::tuple<int, int, int> day{item.dated.year, item.dated.month, item.dated.day};
            if (!item.dated.year) day = {today.year, today.month, today.day};
            out[day].insert(Leaf(item.rel));
        }
        return out;
    }

    // The organize lists the panel shows for a library as imported.
    void CheckLists(CatalogRec* c) {
        using Names = std::set<std::string>;
        EXPECT_EQ(ValueList(c, kFieldKeywords), (std::map<std::string, Names>{
                                                    {"ExifTool", {"IPTC.jpg", "XMP.jpg"}},
                                                    {"IPTC", {"IPTC.jpg"}},
                                                    {"Test", {"IPTC.jpg", "XMP.jpg"}},
                                                    {"XMP", {"XMP.jpg"}},
                                                }));
        EXPECT_EQ(DateList(c), ExpectedDateList());
    }

    UInt32 FindRow(CatalogRec* c, UInt8 kind, FieldId field, const std::string& text = "") {
        for (UInt32 n = 1; n <= InfoRowCount(c); ++n) {
            InfoRow* row = InfoGetRow(c, n);
            if (row->kind == kind && row->fieldId == field && (text.empty() || PText(row->text) == text)) return n;
        }
        return 0;
    }

    std::vector<std::string> RowTexts(CatalogRec* c, UInt8 kind, FieldId field) {
        std::vector<std::string> out;
        for (UInt32 n = 1; n <= InfoRowCount(c); ++n) {
            InfoRow* row = InfoGetRow(c, n);
            if (row->kind == kind && row->fieldId == field) out.push_back(PText(row->text));
        }
        return out;
    }

    // The Info panel's rows of the XMP item: media facts, camera, annotations and keywords.
    void CheckInfoRows(CatalogRec* c) {
        const ItemEntry* e = EntryOf(c, "annotated/xmp/XMP.jpg");
        ASSERT_NE(e, nullptr);
        InfoLoadItem(c, e);
        EXPECT_EQ(c->infoItemId, e->id);
        EXPECT_NE(FindRow(c, kInfoRowField, kFieldMediaType, "Image"), 0u);
        EXPECT_NE(FindRow(c, kInfoRowField, kFieldModel, "FinePix2400Zoom"), 0u);
        EXPECT_NE(FindRow(c, kInfoRowField, kFieldCity, "Kingston"), 0u);
        EXPECT_NE(FindRow(c, kInfoRowHeader, kInfoSectionExif), 0u);
        EXPECT_EQ(RowTexts(c, kInfoRowValue, kFieldKeywords), (std::vector<std::string>{"ExifTool", "Test", "XMP"}));
        EXPECT_EQ(RowTexts(c, kInfoRowNewValue, kFieldKeywords), std::vector<std::string>{""});
        ASSERT_NE(c->infoCaption, nullptr);
        EXPECT_EQ(std::string(*c->infoCaption, std::size_t(GetHandleSize(c->infoCaption))),
                  "UTF-16 (big-endian) encoded XMP");
        EXPECT_FALSE(InfoEditHasPending(c));
    }

    std::vector<std::string> NamesInOrder(CatalogRec* c) {
        std::vector<std::string> out;
        for (SInt32 i = 0; i < c->itemCount; ++i) out.push_back(FieldText(c, &c->entries[i], kFieldFileName));
        return out;
    }

    void BuildLists(CatalogRec* c) {
        for (UInt32 field : {UInt32(kFieldKeywords), UInt32(kOrganizeDateField), UInt32(kOrganizeLabelsField)})
            ASSERT_EQ(OrganizeBuildList(c, field, nullptr, 0), noErr) << field;
    }
};

TEST_F(EndToEndRoad, AFolderTreeImportedIntoANewCatalogReadsBackItemByItem) {
    MakeLibrary();
    CatalogRec* c = Open();
    ASSERT_NE(c, nullptr);
    ImportLibrary(c);
    CheckAllItems(c);

    // The folders the items came from are nodes of the folder tree, nested as on disk.
    for (const char* folder : {"trips", "trips/turned", "cameras/2008/october", "annotated/xmp"}) {
        FSSpec spec = Spec(library / folder);
        EXPECT_NE(FolderTreeFindNodeBySpec(c->folderTree, &spec, false), nullptr) << folder;
    }

    // The organize panel shows its groups: the lists are built from the items.
    window.got.clear();
    BuildLists(c);
    CheckLists(c);
    OrganizeEntry* eight = OrganizeGetEntry(c, kOrganizeLabelsField, 9);
    ASSERT_NE(eight, nullptr);
    EXPECT_EQ(EntryNames(c, eight), std::set<std::string>{"IPTC.jpg"});

    CheckInfoRows(c);
    // No item current: the panel's headers only.
    InfoLoadItem(c, nullptr);
    EXPECT_EQ(InfoRowCount(c), 9u);
}

TEST_F(EndToEndRoad, SavedReopenedEditedSortedAndTrimmedTheCatalogKeepsEveryItem) {
    MakeLibrary();
    const std::string saved = work / "Library.lxc";
    {
        CatalogRec* c = Open();
        ASSERT_NE(c, nullptr);
        ImportLibrary(c);
        BuildLists(c);
        window.got.clear();
        FSSpec target = Spec(saved);
        ASSERT_EQ(CatalogSave(c, &target, nullptr, 0), noErr);
        EXPECT_FALSE(CatalogIsModified(c));
        Str255 name;
        CatalogGetDisplayName(c, name, false);
        EXPECT_EQ(PText(name), "Library");
        Deliver();
        EXPECT_GE(window.Count(kCatalogMsgModified), 1);
        CloseCatalog(c);
    }

    // A clean open: nothing had to be repaired, and everything is as it was.
    CatalogRec* c = Open(saved);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(CatalogGetOpenWarnings(c), 0u);
    EXPECT_FALSE(CatalogIsModified(c));
    CheckAllItems(c);
    CheckLists(c);
    CheckInfoRows(c);

    // An edit in the Info panel: the city replaced, a keyword added, the caption rewritten.
    ItemEntry* canon = EntryOf(c, "cameras/2003/Canon.jpg");
    ASSERT_NE(canon, nullptr);
    const UInt32 canonId = canon->id;
    InfoLoadItem(c, canon);
    const UInt32 city = FindRow(c, kInfoRowField, kFieldCity);
    ASSERT_NE(city, 0u);
    ASSERT_TRUE(InfoEditSetRowText(c, city, "Lyon", 4));
    const UInt32 newKeyword = FindRow(c, kInfoRowNewValue, kFieldKeywords);
    ASSERT_NE(newKeyword, 0u);
    ASSERT_TRUE(InfoEditSetRowText(c, newKeyword, "Holiday", 7));
    // An event date: the date list files the item under it from now on.
    const UInt32 eventDate = FindRow(c, kInfoRowField, kFieldEventDate);
    ASSERT_NE(eventDate, 0u);
    EXPECT_FALSE(InfoEditSetRowText(c, eventDate, "not a date", 10));
    ASSERT_TRUE(InfoEditSetRowText(c, eventDate, "07/14/10", 8));
    EXPECT_FALSE(InfoEditSetRowText(c, FindRow(c, kInfoRowNewValue, kFieldKeywords), "Holiday", 7))
        << "the same keyword twice";
    const std::string caption = "Snow on the pass";
    SetHandleSize(c->infoCaption, Size(caption.size()));
    std::memcpy(*c->infoCaption, caption.data(), caption.size());
    c->infoCaptionState = kInfoStateChanged;
    ASSERT_TRUE(InfoEditHasPending(c));
    window.got.clear();
    InfoEditCommit(c, nullptr, nullptr, 0);
    canon = CatalogFindEntryById(c, canonId);
    ASSERT_NE(canon, nullptr);
    EXPECT_EQ(FieldText(c, canon, kFieldCity), "Lyon");
    EXPECT_EQ(FieldText(c, canon, kFieldCaption), caption);
    EXPECT_EQ(FieldValues(c, canon, kFieldKeywords), std::set<std::string>{"Holiday"});
    EXPECT_EQ(window.Params(kCatalogMsgItemChanged), std::vector<WPARAM>{WPARAM(CatalogFindItemById(c, canonId))});
    EXPECT_FALSE(InfoEditHasPending(c)) << "the rows were built again from the committed item";
    Deliver();
    EXPECT_GE(window.Count(kCatalogMsgModified), 1);
    std::vector<WPARAM> organize = window.Params(kCatalogMsgOrganizeChanged);
    EXPECT_TRUE(std::find(organize.begin(), organize.end(), WPARAM(kFieldKeywords)) != organize.end() ||
                std::find(organize.begin(), organize.end(), WPARAM(0)) != organize.end());
    EXPECT_EQ(ValueList(c, kFieldKeywords)["Holiday"], std::set<std::string>{"Canon.jpg"});
    auto dates = ExpectedDateList();
    dates[{2003, 12, 4}].erase("Canon.jpg");   // the emptied day stays in the list
    dates[{2010, 7, 14}].insert("Canon.jpg");
    EXPECT_EQ(DateList(c), dates);
    EXPECT_TRUE(CatalogIsModified(c));

    // Sorting: by name, by capture date (items without one first), by a text field.
    using Names = std::vector<std::string>;
    SortCatalogByFields(c, kFieldFileName, kSortTextNatural);
    EXPECT_EQ(NamesInOrder(c), (Names{"Canon.jpg", "gps.jpg", "IPTC.jpg", "landscape_1.jpg", "landscape_6.jpg",
                                      "Nikon.jpg", "XMP.jpg"}));
    SortCatalogByFields(c, kFieldCaptureDate, kSortTextNatural);
    EXPECT_EQ(NamesInOrder(c), (Names{"IPTC.jpg", "landscape_1.jpg", "landscape_6.jpg", "XMP.jpg", "Nikon.jpg",
                                      "Canon.jpg", "gps.jpg"}));
    SortCatalogByFields(c, kFieldCity, kSortTextNatural);
    const Names byCity{"landscape_1.jpg", "landscape_6.jpg", "Nikon.jpg", "gps.jpg", "IPTC.jpg", "XMP.jpg",
                       "Canon.jpg"};
    EXPECT_EQ(NamesInOrder(c), byCity);

    // Saved in place and opened again: the edit and the order are the file's now.
    ASSERT_EQ(CatalogSave(c, nullptr, nullptr, 0), noErr);
    EXPECT_FALSE(CatalogIsModified(c));
    CloseCatalog(c);
    c = Open(saved);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(CatalogGetOpenWarnings(c), 0u);
    EXPECT_EQ(NamesInOrder(c), byCity);
    canon = EntryOf(c, "cameras/2003/Canon.jpg");
    ASSERT_NE(canon, nullptr);
    EXPECT_EQ(canon->id, canonId);
    EXPECT_EQ(FieldText(c, canon, kFieldCity), "Lyon");
    EXPECT_EQ(FieldText(c, canon, kFieldCaption), caption);
    EXPECT_EQ(ValueList(c, kFieldKeywords)["Holiday"], std::set<std::string>{"Canon.jpg"});
    EXPECT_EQ(DateList(c), dates);
    for (const LibraryItem& item : Library())
        if (std::string(item.rel) != "cameras/2003/Canon.jpg") CheckItem(c, item);

    // One item deleted, saved, opened again: gone from the items, the lists and the tree.
    ItemEntry* nikon = EntryOf(c, "cameras/2001/Nikon.jpg");
    ASSERT_NE(nikon, nullptr);
    const UInt32 nikonId = nikon->id;
    window.got.clear();
    ASSERT_EQ(CatalogDeleteItem(c, SInt32(nikon - c->entries) + 1), noErr);
    Deliver();
    EXPECT_EQ(window.Count(kCatalogMsgItemDeleted), 1);
    ASSERT_EQ(CatalogSave(c, nullptr, nullptr, 0), noErr);
    CloseCatalog(c);
    c = Open(saved);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(CatalogGetOpenWarnings(c), 0u);
    EXPECT_EQ(c->itemCount, SInt32(Library().size()) - 1);
    EXPECT_EQ(EntryOf(c, "cameras/2001/Nikon.jpg"), nullptr);
    EXPECT_EQ(CatalogFindEntryById(c, nikonId), nullptr);
    EXPECT_EQ(FolderTreeFindItemNode(c->folderTree, nikonId), nullptr);
    for (UInt32 n = 1; n <= OrganizeGetEntryCount(c, kOrganizeDateField); ++n) {
        const OrganizeEntry* entry = OrganizeGetEntry(c, kOrganizeDateField, n);
        EXPECT_EQ(std::count(entry->items.begin(), entry->items.end(), nikonId), 0) << n;
    }
    Names left = byCity;
    left.erase(std::find(left.begin(), left.end(), "Nikon.jpg"));
    EXPECT_EQ(NamesInOrder(c), left);
    for (const LibraryItem& item : Library()) {
        const std::string rel = item.rel;
        if (rel != "cameras/2003/Canon.jpg" && rel != "cameras/2001/Nikon.jpg") CheckItem(c, item);
    }
}

TEST_F(EndToEndRoad, ASavedCatalogTakesMoreFilesAndANewNameAndLeavesNoFilesBehind) {
    MakeLibrary();
    const std::string first = work / "First.lxc", second = work / "Second.lxc";
    CatalogRec* c = Open();
    ASSERT_NE(c, nullptr);
    ImportLibrary(c);
    FSSpec firstSpec = Spec(first), secondSpec = Spec(second);
    ASSERT_EQ(CatalogSave(c, &firstSpec, nullptr, 0), noErr);
    CloseCatalog(c);

    // More files into the saved catalog, saved in place.
    c = Open(first);
    ASSERT_NE(c, nullptr);
    for (const LibraryItem& item : Later()) Put(item.fixture, item.rel);
    FSSpec later = Spec(library / "later");
    SInt32 added = 0;
    ASSERT_EQ(CatalogAddFiles(c, 0, &later, 1, nullptr, 0, &added), noErr);
    EXPECT_EQ(added, SInt32(Later().size()));
    RunRefresh(c);
    for (const LibraryItem& item : Later()) CheckItem(c, item);
    ASSERT_EQ(CatalogSave(c, nullptr, nullptr, 0), noErr);

    // Then under a second name, and one item less there.
    ASSERT_EQ(CatalogSave(c, &secondSpec, nullptr, 0), noErr);
    Str255 name;
    CatalogGetDisplayName(c, name, true);
    EXPECT_EQ(PText(name), "Second.lxc");
    ItemEntry* gps = EntryOf(c, "cameras/2008/october/gps.jpg");
    ASSERT_NE(gps, nullptr);
    ASSERT_EQ(CatalogDeleteItem(c, SInt32(gps - c->entries) + 1), noErr);
    ASSERT_EQ(CatalogSave(c, nullptr, nullptr, 0), noErr);
    CloseCatalog(c);

    const SInt32 all = SInt32(Library().size() + Later().size());
    c = Open(first);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(CatalogGetOpenWarnings(c), 0u);
    EXPECT_EQ(c->itemCount, all) << "the first file is as its own last save left it";
    CheckAllItemsOf(c, {Library(), Later()}, {});
    CloseCatalog(c);

    c = Open(second);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(CatalogGetOpenWarnings(c), 0u);
    EXPECT_EQ(c->itemCount, all - 1);
    CheckAllItemsOf(c, {Library(), Later()}, {"cameras/2008/october/gps.jpg"});

    // Emptied and saved, the catalog opens clean with no items.
    while (c->itemCount) ASSERT_EQ(CatalogDeleteItem(c, 1), noErr);
    ASSERT_EQ(CatalogSave(c, nullptr, nullptr, 0), noErr);
    CloseCatalog(c);
    c = Open(second);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(CatalogGetOpenWarnings(c), 0u);
    EXPECT_EQ(c->itemCount, 0);
    CloseCatalog(c);

    // No work file, lock file or temporary file outlives the catalogs that made them.
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(work.path())) left.insert(entry.path().filename());
    EXPECT_EQ(left, (std::set<std::string>{"First.lxc", "Second.lxc"}));
}

// The Organize panel's edits over the items: a set made and filled, a keyword given to an item
// by dropping it on the keyword, a keyword renamed across its items; all of it saved, reopened
// and read back through the fields and the Info panel.
TEST_F(EndToEndRoad, OrganizeEditsReachTheItemsAndSurviveASave) {
    MakeLibrary();
    const std::string saved = work / "Organized.lxc";
    CatalogRec* c = Open();
    ASSERT_NE(c, nullptr);
    ImportLibrary(c);
    BuildLists(c);
    auto idOf = [&](CatalogRec* cat, const char* rel) {
        ItemEntry* e = EntryOf(cat, rel);
        EXPECT_NE(e, nullptr) << rel;
        return e ? e->id : 0;
    };
    auto idsHandle = [](std::vector<UInt32> ids) {
        Handle h = NewHandle(long(ids.size() * 4));
        std::memcpy(*h, ids.data(), ids.size() * 4);
        return h;
    };
    auto entryNumber = [&](CatalogRec* cat, UInt32 field, const std::string& text) -> UInt32 {
        for (UInt32 n = 1; n <= OrganizeGetEntryCount(cat, field); ++n) {
            Str255 t;
            OrganizeEntryText(OrganizeGetEntry(cat, field, n), field, t);
            if (PText(t) == text) return n;
        }
        return 0;
    };

    Str255 name;
    PStrFromCString(name, "Favourites");
    ASSERT_EQ(OrganizeInsertNamedEntry(c, kOrganizeSetsField, 0, name, 0, 0), noErr);
    Handle favourites = idsHandle({idOf(c, "cameras/2003/Canon.jpg"), idOf(c, "cameras/2008/october/gps.jpg")});
    OrganizeAssignItems(c, kOrganizeSetsField, 1, favourites, nullptr, 0);
    DisposeHandle(favourites);

    Handle canon = idsHandle({idOf(c, "cameras/2003/Canon.jpg")});
    OrganizeAssignItems(c, kFieldKeywords, entryNumber(c, kFieldKeywords, "IPTC"), canon, nullptr, 0);
    DisposeHandle(canon);
    ASSERT_NE(OrganizeRenameEntry(c, kFieldKeywords, entryNumber(c, kFieldKeywords, "Test"), "Trial", 5, nullptr, 0),
              0u);

    auto check = [&](CatalogRec* cat, bool withGps) {
        using Names = std::set<std::string>;
        EXPECT_EQ(ValueList(cat, kFieldKeywords), (std::map<std::string, Names>{
                                                      {"ExifTool", {"IPTC.jpg", "XMP.jpg"}},
                                                      {"IPTC", {"IPTC.jpg", "Canon.jpg"}},
                                                      {"Trial", {"IPTC.jpg", "XMP.jpg"}},
                                                      {"XMP", {"XMP.jpg"}},
                                                  }));
        EXPECT_EQ(FieldValues(cat, EntryOf(cat, "annotated/IPTC.jpg"), kFieldKeywords),
                  (Names{"ExifTool", "IPTC", "Trial"}));
        EXPECT_EQ(FieldValues(cat, EntryOf(cat, "cameras/2003/Canon.jpg"), kFieldKeywords), Names{"IPTC"});
        ASSERT_EQ(OrganizeGetEntryCount(cat, kOrganizeSetsField), 1u);
        Names members{"Canon.jpg"};
        if (withGps) members.insert("gps.jpg");
        EXPECT_EQ(EntryNames(cat, OrganizeGetEntry(cat, kOrganizeSetsField, 1)), members);
        const ItemEntry* e = EntryOf(cat, "cameras/2003/Canon.jpg");
        EXPECT_EQ(FieldText(cat, e, kFieldCatalogSets), "Favourites");
        InfoLoadItem(cat, e);
        EXPECT_NE(FindRow(cat, kInfoRowHeader, kInfoSectionSets), 0u);
        EXPECT_EQ(RowTexts(cat, kInfoRowValue, kFieldCatalogSets), std::vector<std::string>{"Favourites"});
    };
    check(c, true);
    FSSpec target = Spec(saved);
    ASSERT_EQ(CatalogSave(c, &target, nullptr, 0), noErr);
    CloseCatalog(c);

    c = Open(saved);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(CatalogGetOpenWarnings(c), 0u);
    check(c, true);
    ItemEntry* gps = EntryOf(c, "cameras/2008/october/gps.jpg");
    ASSERT_NE(gps, nullptr);
    ASSERT_EQ(CatalogDeleteItem(c, SInt32(gps - c->entries) + 1), noErr);
    ASSERT_EQ(CatalogSave(c, nullptr, nullptr, 0), noErr);
    CloseCatalog(c);
    c = Open(saved);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(CatalogGetOpenWarnings(c), 0u);
    check(c, false);
}

// Every field of every item read and sorted by, at every stage a view meets the items: just
// added (only the file's catalog facts known), half refreshed while a save runs between two
// ticks, refreshed, and reopened. Each read answers a known value type and a text that fits.
TEST_F(EndToEndRoad, EveryFieldReadsAndSortsAtEveryStage) {
    MakeLibrary();
    CatalogRec* c = Open();
    ASSERT_NE(c, nullptr);
    auto everyField = [&](CatalogRec* cat, const char* stage) {
        SCOPED_TRACE(stage);
        std::multiset<UInt32> ids;
        for (SInt32 i = 0; i < cat->itemCount; ++i) ids.insert(cat->entries[i].id);
        for (int n = 1; n <= FieldTableRowCount(); ++n) {
            const FieldId id = FieldIdAt(n);
            for (SInt32 i = 0; i < cat->itemCount; ++i)
                for (SInt32 index = 0; index <= 3; ++index) {
                    FieldValue v;
                    const UInt8 type = ItemGetField(cat, &cat->entries[i], index, id, &v);
                    ASSERT_LE(type, 7) << id;
                    Str255 text;
                    FieldValueToText(&v, type, id, text, true);
                    if (type == 0) {
                        EXPECT_EQ(text[0], 0) << id;
                    }
                }
            SortCatalogByFields(cat, id, kSortTextNatural);
            std::multiset<UInt32> after;
            for (SInt32 i = 0; i < cat->itemCount; ++i) after.insert(cat->entries[i].id);
            ASSERT_EQ(after, ids) << "sorting by " << id << " keeps every item once";
        }
    };

    FSSpec root = Spec(library.path());
    ASSERT_EQ(CatalogAddFiles(c, 0, &root, 1, nullptr, 0, nullptr), noErr);
    everyField(c, "added");

    // Half the refresh, a save between two ticks, the rest of the refresh, a save in place.
    std::vector<UInt32> pending;
    for (SInt32 i = 0; i < c->itemCount; ++i) pending.push_back(c->entries[i].id);
    Handle ids = NewHandle(long(pending.size() * 4));
    std::memcpy(*ids, pending.data(), pending.size() * 4);
    RefreshOptions all = RefreshOptionsAll();
    ASSERT_EQ(StartItemRefreshTimer(c, 0, ids, nullptr, &all), noErr);
    DisposeHandle(ids);
    for (int i = 0; i < 3; ++i) timers.Advance(kRefreshTickMs);
    const std::string saved = work / "Stages.lxc";
    FSSpec target = Spec(saved);
    ASSERT_EQ(CatalogSave(c, &target, nullptr, 0), noErr);
    everyField(c, "half refreshed and saved");
    for (int i = 0; i < 20 && ItemRefreshJobCount(c); ++i) {
        ItemRefreshWaitForReadings();
        timers.Advance(kRefreshTickMs);
    }
    ASSERT_EQ(ItemRefreshJobCount(c), 0);
    CheckAllItems(c);
    everyField(c, "refreshed");
    ASSERT_EQ(CatalogSave(c, nullptr, nullptr, 0), noErr);
    CloseCatalog(c);

    c = Open(saved);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(CatalogGetOpenWarnings(c), 0u);
    CheckAllItems(c);
    everyField(c, "reopened");
}

}  // namespace
