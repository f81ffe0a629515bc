// The reader's repairs and its defences: files without trailer or entry tables, chunks of the
// wrong size or beyond their bounds, passwords, capacity, and a table of truncated and damaged
// files that must each give a clean error or a consistent catalog.
#include "CatalogFileSupport.h"

#include "catalog/file/CatalogEngine.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/save/CatalogSave.h"
#include "foundation/text/PString.h"
#include "catalog/foldertree/FolderTree.h"
#include "platform/ByteOrder.h"
#include "platform/Files.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <functional>
#include <string>
#include <vector>

namespace {

const std::string kGoldenFolder = std::string(LYREX_TEST_FIXTURES) + "/catalog/";

class CatalogReaderTest : public ::testing::Test {
protected:
    void SetUp() override { StartCatalogEngine(); }
    void TearDown() override {
        SetUiHooks(nullptr);
        CatalogEngineShutdown();
    }

    CatalogImage Golden(const char* file) {
        CatalogImage image;
        EXPECT_TRUE(ParseCatalogImage(ReadBytes(kGoldenFolder + file), &image)) << file;
        return image;
    }

    // Opens the bytes as a catalog; the catalog is closed by the fixture's caller.
    OSErr OpenBytes(const Bytes& bytes, CatalogRec** c, const char* password = nullptr,
                    CatalogPasswordProc proc = nullptr, CatalogProgressProc progress = nullptr) {
        std::string path = dir_ / ("case" + std::to_string(++count_) + ".lxc");
        WriteBytes(path, bytes);
        Str255 p;
        if (password) PStrFromCString(p, password);
        return OpenCatalogAt(path, c, password ? p : nullptr, proc, progress, 0);
    }

    // Opens an image of the three-item golden catalog whose entry tables cannot be used: the
    // entries must come back from the records, said, and sound.
    void ExpectEntriesRebuilt(const CatalogImage& image) {
        CatalogRec* c = nullptr;
        ASSERT_EQ(OpenBytes(image.Build(), &c), noErr);
        EXPECT_TRUE(CatalogGetOpenWarnings(c) & kOpenRebuiltEntries);
        EXPECT_EQ(c->itemCount, 3);
        EXPECT_EQ(CheckCatalogInvariants(c), "");
        CatalogClose(c, false);
    }

    TempFolder dir_;
    int count_ = 0;
};

TEST_F(CatalogReaderTest, MissingTrailerRebuildsTheEntriesFromTheRecords) {
    CatalogImage image = Golden("three-items.lxc");
    image.trailer = false;
    image.chunks.clear();   // a save that stopped after the records
    CatalogRec* c = nullptr;
    ASSERT_EQ(OpenBytes(image.Build(), &c), noErr);
    EXPECT_TRUE(CatalogGetOpenWarnings(c) & kOpenRebuiltEntries);
    ASSERT_EQ(c->itemCount, 3);
    for (SInt32 i = 0; i < 3; ++i) {
        EXPECT_EQ(c->entries[i].id, UInt32(i + 1));
        EXPECT_EQ(c->entries[i].flags & kEntryLabelMask, 0u);
        EXPECT_EQ(c->entries[i].position, SInt32(8 + 1024 * i));
    }
    EXPECT_EQ((c->entries[0].flags >> 8) & 0xFF, UInt32('a'));
    EXPECT_EQ(c->labelledCount, 0);
    EXPECT_EQ(c->mediaSize64, 6000u);
    EXPECT_EQ(GetHandleSize(c->customFieldNames), 0);
    EXPECT_EQ(c->savedEdition, 0u);   // no chunk was read
    // The tree is built from the items' paths.
    EXPECT_NE(FolderTreeFindItemNode(c->folderTree, 2), nullptr);
    EXPECT_EQ(CheckCatalogInvariants(c), "");
    CatalogClose(c, false);
}

TEST_F(CatalogReaderTest, MissingEntryTablesAreRebuiltAndSaid) {
    for (OSType missing : {OSType('CELL'), OSType('TOTL')}) {
        CatalogImage image = Golden("three-items.lxc");
        image.Remove(missing);
        ASSERT_NO_FATAL_FAILURE(ExpectEntriesRebuilt(image)) << "without " << std::hex << missing;
    }
}

TEST_F(CatalogReaderTest, MissingMediaSizeIsRecomputedWithProgress) {
    CatalogImage image = Golden("three-items.lxc");
    image.Remove('MBWd');
    static std::vector<long> steps;
    steps.clear();
    CatalogRec* c = nullptr;
    auto progress = [](short phase, long current, long total, long) -> OSErr {
        if (phase == 1) steps.push_back(current * 100 + total);
        return noErr;
    };
    ASSERT_EQ(OpenBytes(image.Build(), &c, nullptr, nullptr, progress), noErr);
    EXPECT_EQ(c->mediaSize64, 6000u);
    EXPECT_EQ(steps, (std::vector<long>{103, 203, 303}));
    CatalogClose(c, false);

    // A step answered with a cancel ends the open with it.
    auto cancel = [](short phase, long, long, long) -> OSErr { return phase == 1 ? userCanceledErr : noErr; };
    EXPECT_EQ(OpenBytes(image.Build(), &c, nullptr, nullptr, cancel), userCanceledErr);
    EXPECT_EQ(c, nullptr);
}

TEST_F(CatalogReaderTest, FixedSizeChunksOfTheWrongLengthAreSkipped) {
    CatalogImage image = Golden("three-items.lxc");
    image.Find('FONT')->data.resize(2000);
    image.Find('PREF')->data.resize(1000);
    image.Find('SVar')->data = {0, 0, 1};
    CatalogRec* c = nullptr;
    ASSERT_EQ(OpenBytes(image.Build(), &c), noErr);
    EXPECT_TRUE(CatalogGetOpenWarnings(c) & kOpenChunksSkipped);
    EXPECT_FALSE(CatalogGetOpenWarnings(c) & kOpenRebuiltEntries);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(CatalogGetFontRec(c, i)->size, 9);
        EXPECT_EQ(CatalogGetFontRec(c, i)->name[0], 0);
    }
    EXPECT_EQ(c->savedEdition, kSavedEditionUnknown);
    EXPECT_EQ(c->viewPrefs.prefWord, 250);
    CatalogClose(c, false);
}

TEST_F(CatalogReaderTest, FontSizeOutOfRangeIsRepaired) {
    CatalogImage image = Golden("three-items.lxc");
    WriteBE16(image.Find('FONT')->data.data() + 516, 2000);
    CatalogRec* c = nullptr;
    ASSERT_EQ(OpenBytes(image.Build(), &c), noErr);
    EXPECT_EQ(CatalogGetFontRec(c, 1)->size, 9);
    CatalogClose(c, false);
}

TEST_F(CatalogReaderTest, Passwords) {
    const Bytes locked = ReadBytes(kGoldenFolder + "password.lxc");
    const Bytes open = ReadBytes(kGoldenFolder + "three-items.lxc");
    static int asked;
    struct Case {
        const char* name;
        const Bytes* file;
        const char* password;
        CatalogPasswordProc proc;
        OSErr expected;
        int askedTimes;
    };
    const Case cases[] = {
        {"right password", &locked, "secret", nullptr, noErr, 0},
        {"wrong password", &locked, "Secret", nullptr, kWrongPasswordErr, 0},
        {"longer password", &locked, "secrets", nullptr, kWrongPasswordErr, 0},
        {"none and no procedure", &locked, nullptr, nullptr, paramErr, 0},
        {"the procedure agrees", &locked, nullptr, [](CatalogRec*) -> OSErr { ++asked; return noErr; }, noErr, 1},
        {"the procedure declines", &locked, nullptr,
         [](CatalogRec*) -> OSErr { ++asked; return userCanceledErr; }, userCanceledErr, 1},
        {"no password set", &open, nullptr, [](CatalogRec*) -> OSErr { ++asked; return -1; }, noErr, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        asked = 0;
        CatalogRec* c = nullptr;
        EXPECT_EQ(OpenBytes(*k.file, &c, k.password, k.proc), k.expected);
        EXPECT_EQ(asked, k.askedTimes);
        EXPECT_EQ(c != nullptr, k.expected == noErr);
        CatalogClose(c, false);
    }
}

TEST_F(CatalogReaderTest, CapacityOfTheEdition) {
    CatalogImage image = Golden("empty.lxc");
    image.headerCount = 8001;
    CatalogRec* c = nullptr;
    EXPECT_EQ(OpenBytes(image.Build(), &c), kCatalogBadFileErr);
    EXPECT_EQ(c, nullptr);
    // A catalog of 150,000 items from a larger edition is refused there too.
    CatalogEngineInit(500, 200);
    image.headerCount = 150000;
    EXPECT_EQ(OpenBytes(image.Build(), &c), kCatalogBadFileErr);
    // Entries beyond the capacity are never stored: the table is ignored and the records
    // (none here) are scanned, which fails for the count the header claims.
    CatalogEngineInit(400, 200);
    image = Golden("three-items.lxc");
    image.Find('CELL')->data.resize(12 * 8001);
    ASSERT_EQ(OpenBytes(image.Build(), &c), noErr);
    EXPECT_TRUE(CatalogGetOpenWarnings(c) & kOpenRebuiltEntries);
    EXPECT_EQ(c->itemCount, 3);
    CatalogClose(c, false);
}

TEST_F(CatalogReaderTest, PasswordBlockNeverOverflows) {
    CatalogImage image = Golden("password.lxc");
    Bytes& sign = image.Find('SIGN')->data;
    sign.resize(300, 0xEE);
    CatalogRec* c = nullptr;
    ASSERT_EQ(OpenBytes(image.Build(), &c, "secret"), noErr);
    EXPECT_TRUE(CatalogGetOpenWarnings(c) & kOpenChunksSkipped);
    EXPECT_EQ(c->itemCount, 3);
    EXPECT_EQ(c->password[0], 6);
    CatalogClose(c, false);
}

TEST_F(CatalogReaderTest, InconsistentCountsAreNotTrusted) {
    struct Case {
        const char* name;
        std::function<void(CatalogImage*)> damage;
    };
    const Case cases[] = {
        {"totals count more items than the table",
         [](CatalogImage* im) { WriteBE32(im->Find('TOTL')->data.data(), 7); }},
        {"totals count more than the capacity",
         [](CatalogImage* im) { WriteBE32(im->Find('TOTL')->data.data(), 0xFFFFFFFF); }},
        {"header counts fewer items",
         [](CatalogImage* im) { im->headerCount = 2; }},
        {"an entry points past the records",
         [](CatalogImage* im) { WriteBE32(im->Find('CELL')->data.data() + 12, 0x7FFFFF00); }},
        {"an entry points into the header",
         [](CatalogImage* im) { WriteBE32(im->Find('CELL')->data.data(), 2); }},
        {"a table that is not whole entries",
         [](CatalogImage* im) { im->Find('CELL')->data.push_back(0); }},
        // The second item's entry points 100 bytes into the first record: those bytes would
        // be shown, and saved, as an item.
        {"an entry points into the middle of a record",
         [](CatalogImage* im) { WriteBE32(im->Find('CELL')->data.data() + 12, kCatalogHeaderSize + 100); }},
        {"two entries point at one record",
         [](CatalogImage* im) { WriteBE32(im->Find('CELL')->data.data() + 12, kCatalogHeaderSize); }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        CatalogImage image = Golden("three-items.lxc");
        k.damage(&image);
        CatalogRec* c = nullptr;
        OSErr err = OpenBytes(image.Build(), &c);
        if (err == noErr) {
            EXPECT_TRUE(CatalogGetOpenWarnings(c) & kOpenRebuiltEntries);
            EXPECT_EQ(CheckCatalogInvariants(c), "");
            for (SInt32 i = 0; i < c->itemCount; ++i) {
                ItemRec r;
                EXPECT_EQ(CatalogReadEntryRecord(c, &c->entries[i], &r), noErr);
            }
        } else {
            EXPECT_EQ(c, nullptr);
        }
        CatalogClose(c, false);
    }
}

TEST_F(CatalogReaderTest, BrokenFolderTreeChunkFallsBackToTheRecords) {
    CatalogImage image = Golden("folder-tree.lxc");
    Bytes& tree = image.Find('FSM!')->data;
    WriteBE32(tree.data() + 40 + 6, 0);   // the root's first child is the root itself
    CatalogRec* c = nullptr;
    ASSERT_EQ(OpenBytes(image.Build(), &c), noErr);
    EXPECT_EQ(CatalogGetOpenWarnings(c) & (kOpenRebuiltEntries | kOpenChunkReadError),
              UInt32(kOpenRebuiltEntries | kOpenChunkReadError));
    EXPECT_EQ(c->itemCount, 5);
    EXPECT_EQ(CheckCatalogInvariants(c), "");
    CatalogClose(c, false);
}

TEST_F(CatalogReaderTest, ReadErrorAfterTheEntriesFailsTheOpen) {
    CatalogImage image = Golden("three-items.lxc");
    // 'PREF' claims more bytes than the file has after it.
    Bytes bytes = image.Build();
    std::size_t at = 0;
    for (std::size_t i = 0; i + 4 < bytes.size(); ++i)
        if (ReadBE32(bytes.data() + i) == 'PREF') at = i;
    ASSERT_NE(at, 0u);
    WriteBE32(bytes.data() + at + 4, 0x00100000);
    CatalogRec* c = nullptr;
    EXPECT_EQ(OpenBytes(bytes, &c), eofErr);
    EXPECT_EQ(c, nullptr);
}

TEST_F(CatalogReaderTest, TrailerOffsetOutsideTheFile) {
    for (long delta : {-1000000L, -3076L, 5000L, 100000L}) {
        SCOPED_TRACE(delta);
        CatalogImage image = Golden("three-items.lxc");
        image.endOfRecordsDelta = delta;
        CatalogRec* c = nullptr;
        EXPECT_EQ(OpenBytes(image.Build(), &c), kCatalogBadFileErr);
        EXPECT_EQ(c, nullptr);
    }
    // Inside the file but not where the stream begins: the stream makes no sense, and the
    // entries come from the records.
    CatalogImage image = Golden("three-items.lxc");
    image.endOfRecordsDelta = -10;
    ExpectEntriesRebuilt(image);
}

TEST_F(CatalogReaderTest, UnknownAndOlderChunksAreAccepted) {
    CatalogImage image = Golden("three-items.lxc");
    image.chunks.insert(image.chunks.begin() + 2, TestChunk{'ZZZZ', Bytes(33, 0x55)});
    image.Remove('MSOP');
    image.Remove('MSVI');
    // Older forms: bit p - 1 for the row at position p (Date Finder 5, File Type 1).
    image.chunks.push_back(TestChunk{'OpMs', {0x88, 0, 0, 0, 0}});
    image.chunks.push_back(TestChunk{'VsMs', {0x80, 0, 0, 0, 0}});
    CatalogRec* c = nullptr;
    ASSERT_EQ(OpenBytes(image.Build(), &c), noErr);
    OrganizeLists* lists = c->organizeLists;
    EXPECT_EQ(lists->expanded[OrganizeFieldRowIndex(3)], 1);     // position 1: bit 0
    EXPECT_EQ(lists->expanded[OrganizeFieldRowIndex(161)], 1);   // position 5: bit 4
    EXPECT_EQ(lists->expanded[OrganizeFieldRowIndex(534)], 0);
    EXPECT_EQ(lists->enabled[OrganizeFieldRowIndex(3)], 1);
    EXPECT_EQ(lists->enabled[OrganizeFieldRowIndex(161)], 0);
    EXPECT_EQ(lists->enabled[OrganizeFieldRowIndex(522)], 1);    // labels and sets always shown
    EXPECT_EQ(lists->enabled[OrganizeFieldRowIndex(162)], 1);
    EXPECT_EQ(lists->expanded[OrganizeFieldRowIndex(522)], 0);
    CatalogClose(c, false);
}

TEST_F(CatalogReaderTest, TablesKeptAsTheyWereRead) {
    // Rows of 'RANK', print settings and folder references the program does not read are
    // written back exactly; so are stored organize lists.
    CatalogImage image = Golden("three-items.lxc");
    const Bytes rank = {0, 0, 0, 2, 0, 0, 0, 9, 0, 0, 0, 8, 0x44, 0x33, 0x22, 0x11};
    const Bytes print(120, 0x7E);
    Bytes sets(272, 0);   // one set, "Trips", holding item 1
    sets[0] = 5;
    std::memcpy(&sets[1], "Trips", 5);
    sets[256] = 1;
    WriteBE32(&sets[264], 1);
    WriteBE32(&sets[268], 1);
    Bytes keywords;
    Bytes kwEntry(276, 0);   // "Beach" with items 1 and 3, under position 16
    kwEntry[0] = 5;
    std::memcpy(&kwEntry[1], "Beach", 5);
    WriteBE32(&kwEntry[264], 2);
    WriteBE32(&kwEntry[268], 1);
    WriteBE32(&kwEntry[272], 3);
    keywords.resize(8);
    WriteBE32(keywords.data(), 16);
    WriteBE32(keywords.data() + 4, UInt32(kwEntry.size()));
    keywords.insert(keywords.end(), kwEntry.begin(), kwEntry.end());
    auto insertBefore = [&](OSType before, TestChunk chunk) {
        for (auto it = image.chunks.begin(); it != image.chunks.end(); ++it)
            if (it->tag == before) {
                image.chunks.insert(it, chunk);
                return;
            }
    };
    insertBefore('HFld', {'RANK', rank});
    insertBefore('HFld', {'PRNT', print});
    insertBefore('HFld', {'CPTF', Bytes{1, 2, 3}});
    insertBefore('MSOP', {'CSET', sets});
    insertBefore('MSOP', {'CS00', keywords});
    const Bytes file = image.Build();
    CatalogRec* c = nullptr;
    ASSERT_EQ(OpenBytes(file, &c), noErr);
    EXPECT_EQ(CatalogGetOpenWarnings(c), 0u);
    EXPECT_EQ(reinterpret_cast<UInt32*>(*c->rankList)[3], 0x11223344u);
    OrganizeList* kw = OrganizeGetList(c, 537);
    ASSERT_NE(kw, nullptr);
    ASSERT_EQ(OrganizeCountEntries(kw), 1u);
    EXPECT_EQ(OrganizeListEntryAt(kw, 1)->items.size(), 2u);
    std::vector<ItemRec> records(3);
    for (int i = 0; i < 3; ++i) CatalogReadEntryRecord(c, &c->entries[i], &records[std::size_t(i)]);
    std::string again = dir_ / "again.lxc";
    ASSERT_EQ(WriteCatalogFile(again, c, records), noErr);
    CatalogClose(c, false);
    EXPECT_TRUE(ReadBytes(again) == file);
}

TEST_F(CatalogReaderTest, DamagedOrganizeListsAreCutToWholeEntries) {
    CatalogImage image = Golden("three-items.lxc");
    // One empty set, then an entry that claims a million items.
    Bytes sets(272, 0);
    Bytes second(272, 0);
    WriteBE32(&second[264], 1000000);
    sets.insert(sets.end(), second.begin(), second.end());
    image.chunks.insert(image.chunks.end() - 7, TestChunk{'CSET', sets});
    image.chunks.insert(image.chunks.end() - 7, TestChunk{'CS00', Bytes{0, 0, 0, 16, 0xFF, 0xFF, 0xFF, 0xF0, 1}});
    CatalogRec* c = nullptr;
    ASSERT_EQ(OpenBytes(image.Build(), &c), noErr);
    EXPECT_TRUE(CatalogGetOpenWarnings(c) & kOpenChunksSkipped);
    EXPECT_EQ(OrganizeCountEntries(OrganizeGetList(c, 162)), 1u);
    EXPECT_EQ(OrganizeGetList(c, 537), nullptr);
    CatalogClose(c, false);
}

// The custom field names and the rank rows are tables of fixed-size entries: a chunk that is
// not whole entries keeps the whole ones, says so, and is written back whole.
TEST_F(CatalogReaderTest, NameAndRankTablesThatAreNotWholeEntriesKeepTheWholeOnes) {
    const struct {
        OSType tag;
        long entrySize;
        Handle CatalogRec::*table;
    } tables[] = {{'USFL', kCustomFieldNameSize, &CatalogRec::customFieldNames},
                  {'RANK', long(sizeof(RankRow)), &CatalogRec::rankList}};
    for (const auto& t : tables) {
        SCOPED_TRACE(std::string(reinterpret_cast<const char*>(&t.tag), 4));
        CatalogImage image = Golden("three-items.lxc");
        Bytes data(std::size_t(2 * t.entrySize + 5), 0);
        data[0] = 3;
        std::memcpy(&data[1], "abc", 3);
        if (TestChunk* chunk = image.Find(t.tag))
            chunk->data = data;
        else
            image.chunks.insert(image.chunks.begin() + 1, TestChunk{t.tag, data});
        CatalogRec* c = nullptr;
        ASSERT_EQ(OpenBytes(image.Build(), &c), noErr);
        EXPECT_TRUE(CatalogGetOpenWarnings(c) & kOpenChunksSkipped);
        ASSERT_NE(c->*t.table, nullptr);
        EXPECT_EQ(GetHandleSize(c->*t.table), 2 * t.entrySize);

        // Written back as the whole entries.
        const std::string saved = dir_ / "whole.lxc";
        ASSERT_EQ(WriteCatalogFile(saved, c, {}), noErr);
        CatalogClose(c, false);
        CatalogImage back;
        ASSERT_TRUE(ParseCatalogImage(ReadBytes(saved), &back));
        ASSERT_NE(back.Find(t.tag), nullptr);
        EXPECT_EQ(long(back.Find(t.tag)->data.size()), 2 * t.entrySize);
    }
}

TEST_F(CatalogReaderTest, DuplicateIdsAreRenumberedAndTheTreeRebuilt) {
    CatalogImage image = Golden("three-items.lxc");
    Bytes& cell = image.Find('CELL')->data;
    WriteBE32(cell.data() + 4, 7);
    WriteBE32(cell.data() + 16, 7);
    WriteBE32(cell.data() + 28, 0);
    cell[32] = 12;   // label 12 reads as none
    CatalogRec* c = nullptr;
    ASSERT_EQ(OpenBytes(image.Build(), &c), noErr);
    EXPECT_EQ(c->entries[0].id, 7u);
    EXPECT_EQ(c->entries[1].id, 8u);
    EXPECT_EQ(c->entries[2].id, 9u);
    EXPECT_EQ(c->nextItemId, 10u);
    EXPECT_EQ(c->entries[2].flags & kEntryLabelMask, 0u);
    EXPECT_TRUE(CatalogIsModified(c));
    EXPECT_TRUE(CatalogGetOpenWarnings(c) & kOpenEntriesRepaired);
    EXPECT_NE(FolderTreeFindItemNode(c->folderTree, 9), nullptr);
    EXPECT_EQ(CheckCatalogInvariants(c), "");
    CatalogClose(c, false);
}

TEST_F(CatalogReaderTest, FlagsOfOlderFilesInTheOtherByteOrder) {
    CatalogImage image = Golden("three-items.lxc");
    Bytes& cell = image.Find('CELL')->data;
    for (int i = 0; i < 3; ++i) std::reverse(cell.begin() + 12 * i + 8, cell.begin() + 12 * i + 12);
    CatalogRec* c = nullptr;
    ASSERT_EQ(OpenBytes(image.Build(), &c), noErr);
    EXPECT_EQ(c->entries[1].flags & kEntryLabelMask, 3u);
    EXPECT_EQ((c->entries[0].flags >> 8) & 0xFF, UInt32('a'));
    EXPECT_EQ(CheckCatalogInvariants(c), "");
    CatalogClose(c, false);
}

class AltHeld : public UiHooks {
public:
    std::uint32_t ModifierKeys() override { return kModAlt; }
};

TEST_F(CatalogReaderTest, ScanErrorsAcceptedOnlyWhileAltIsHeld) {
    CatalogImage image = Golden("three-items.lxc");
    image.trailer = false;
    image.chunks.clear();
    image.records.resize(1024 * 2 + 500);   // the third record is cut short
    CatalogRec* c = nullptr;
    EXPECT_EQ(OpenBytes(image.Build(), &c), eofErr);
    AltHeld alt;
    SetUiHooks(&alt);
    ASSERT_EQ(OpenBytes(image.Build(), &c), noErr);
    EXPECT_TRUE(CatalogGetOpenWarnings(c) & kOpenScanErrorIgnored);
    EXPECT_EQ(c->itemCount, 2);
    EXPECT_EQ(CheckCatalogInvariants(c), "");
    CatalogClose(c, false);
}

TEST_F(CatalogReaderTest, WorkFileIsNeverMadeOverAnother) {
    std::string path = dir_ / "a.lxc";
    WriteBytes(path, ReadBytes(kGoldenFolder + "three-items.lxc"));
    FSSpec spec, work;
    ASSERT_EQ(FSMakeFSSpecFromPath(path, &spec), noErr);
    FSMakeFSSpecFromPath(dir_ / "a.work", &work);
    CatalogRec* first = nullptr;
    CatalogRec* second = nullptr;
    ASSERT_EQ(CatalogOpen(&first, &spec, &work, nullptr, nullptr, nullptr, 0), noErr);
    EXPECT_NE(first->workRefNum, 0);
    long n = 5;
    ASSERT_EQ(FSWrite(first->workRefNum, &n, "hello"), noErr);
    ASSERT_EQ(CatalogOpen(&second, &spec, &work, nullptr, nullptr, nullptr, 0), noErr);
    EXPECT_EQ(second->workRefNum, 0);   // read-only rather than another catalog's records lost
    CatalogClose(second, false);
    EXPECT_EQ(TempFolder::Read(dir_ / "a.work"), "hello");
    CatalogClose(first, false);
    EXPECT_FALSE(FSpExists(&work));
}

// Every truncation and a damaged byte at every place of two catalogs: each open gives an
// error or a catalog that keeps its invariants; nothing crashes, hangs or reads outside what
// it owns (the ASan build runs this too).
// Damaged copies of the golden catalogs, made the way disks and programs damage files: bytes
// changed at random, 32-bit fields (counts, lengths, positions, sizes) overwritten, pieces cut
// off or repeated. Each copy either refuses to open, or opens and saves, or opens saying that
// it cannot be saved: never opens cleanly and then fails every save, losing the user's edits.
TEST_F(CatalogReaderTest, DamagedCatalogsThatOpenCanBeSavedOrSaySoAtOnce) {
    std::mt19937 random(20261209);
    int opened = 0, saved = 0, refused = 0, unsavable = 0;
    for (const char* name : {"three-items.lxc", "folder-tree.lxc", "empty.lxc"}) {
        const Bytes good = ReadBytes(kGoldenFolder + name);
        for (int round = 0; round < 120; ++round) {
            Bytes bad = good;
            auto at = [&](std::size_t span) { return std::size_t(random() % (bad.size() - span)); };
            switch (round % 4) {
            case 0:
                for (int n = 1 + int(random() % 4); n > 0; --n) bad[at(1)] ^= std::uint8_t(1 + random() % 255);
                break;
            case 1: {
                static const UInt32 values[] = {0, 1, 8, 12, 0x7FFFFFFF, 0xFFFFFFFF, 1024, 1025};
                WriteBE32(bad.data() + at(4), values[random() % 8] + UInt32(random() % 3));
                break;
            }
            case 2:
                bad.resize(8 + random() % (bad.size() - 8));
                break;
            default: {
                const std::size_t from = at(64), length = 1 + random() % 64;
                bad.insert(bad.begin() + long(at(1)), bad.begin() + long(from), bad.begin() + long(from + length));
                break;
            }
            }
            const std::string what = std::string(name) + " round " + std::to_string(round);
            const std::string path = dir_ / "fuzz.lxc";
            WriteBytes(path, bad);
            FSSpec spec = SpecOf(path), work = SpecOf(dir_ / ("fuzz-" + std::to_string(++count_) + ".work"));
            CatalogRec* c = nullptr;
            if (CatalogOpen(&c, &spec, &work, nullptr, nullptr, nullptr, 0) != noErr) {
                ++refused;
                continue;
            }
            ++opened;
            FSSpec target = SpecOf(dir_ / "fuzz-saved.lxc");
            const OSErr err = CatalogSave(c, &target, nullptr, 0);
            if (CatalogGetOpenWarnings(c) & kOpenCannotSave) {
                ++unsavable;
            } else {
                EXPECT_EQ(err, noErr) << what << ", warnings " << CatalogGetOpenWarnings(c);
                if (err == noErr) ++saved;
            }
            CatalogClose(c, false);
        }
    }
    RecordProperty("opened", opened);
    RecordProperty("saved", saved);
    RecordProperty("refused", refused);
    RecordProperty("unsavable", unsavable);
    EXPECT_GT(saved, 0);
}

TEST_F(CatalogReaderTest, TruncatedAndDamagedFiles) {
    for (const char* name : {"three-items.lxc", "folder-tree.lxc"}) {
        SCOPED_TRACE(name);
        const Bytes good = ReadBytes(kGoldenFolder + name);
        std::string path = dir_ / "damaged.lxc";
        FSSpec spec;
        WriteBytes(path, good);
        ASSERT_EQ(FSMakeFSSpecFromPath(path, &spec), noErr);
        auto check = [&](const Bytes& bytes, const std::string& what) {
            WriteBytes(path, bytes);
            CatalogRec* c = nullptr;
            OSErr err = CatalogOpen(&c, &spec, nullptr, nullptr, nullptr, nullptr, 0);
            if (err == noErr) {
                ASSERT_NE(c, nullptr) << what;
                ASSERT_EQ(CheckCatalogInvariants(c), "") << what;
                CatalogClose(c, false);
            } else {
                ASSERT_EQ(c, nullptr) << what;
            }
        };
        // Every byte of the chunk stream and the trailer, every few bytes of the records.
        const std::size_t stream = ReadBE32(good.data() + good.size() - 4);
        auto step = [&](std::size_t at) -> std::size_t { return at < stream ? 97 : 1; };
        for (std::size_t cut = 0; cut < good.size(); cut += step(cut))
            check(Bytes(good.begin(), good.begin() + long(cut)), "cut at " + std::to_string(cut));
        for (std::size_t at = 0; at < good.size(); at += step(at)) {
            for (std::uint8_t flip : {0x80, 0xFF}) {
                Bytes bad = good;
                bad[at] ^= flip;
                check(bad, "byte " + std::to_string(at) + " ^ " + std::to_string(flip));
            }
        }
    }
}

}  // namespace
