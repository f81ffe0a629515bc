// Golden catalog files: small catalogs written by the program and kept under
// tests/fixtures/catalog/. Each test writes its catalog again and compares the bytes, then
// opens the kept file and writes what it read, which must give the same bytes once more.
//
// After a deliberate change of the file format, regenerate them with
//     LYREX_REGENERATE_GOLDEN=1 build/tests/test_catalog --gtest_filter='*CatalogGolden.*'
// and review the difference (tests/fixtures/catalog/README.md).
#include "CatalogFileSupport.h"

#include "catalog/file/CatalogEngine.h"
#include "catalog/organize/OrganizeLists.h"
#include "foundation/text/PString.h"
#include "catalog/foldertree/FolderTree.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

const std::string kGoldenFolder = std::string(LYREX_TEST_FIXTURES) + "/catalog/";

bool Regenerating() {
    const char* v = std::getenv("LYREX_REGENERATE_GOLDEN");
    return v && *v && std::string(v) != "0";
}

struct GoldenCatalog {
    const char* file;
    // Fills a new catalog; answers the records of its items.
    std::function<std::vector<ItemRec>(CatalogRec*)> fill;
    const char* password;
};

std::vector<ItemRec> ThreeItems(CatalogRec* c) {
    std::vector<ItemRec> records = {MakeItemRecord("/media/u/DATA/photos/a.jpg", 1000),
                                    MakeItemRecord("/media/u/DATA/photos/b.jpg", 2000),
                                    MakeItemRecord("/media/u/DATA/photos/Caf\xE9.jpg", 3000)};
    records[2].kind = 'TIFF';
    const std::string vol = "@\t305441741\tDATA\\photos\\";
    AddTestItems(c, records, {vol + "a.jpg", vol + "b.jpg", vol + "Caf\xC3\xA9.jpg"});
    c->entries[1].flags |= 3;   // label 3
    c->labelledCount = 1;
    // Two custom field names and two fields hidden in the Info panel.
    SetHandleSize(c->customFieldNames, 2 * kCustomFieldNameSize);
    std::memset(*c->customFieldNames, 0, 2 * kCustomFieldNameSize);
    PStrFromCString(reinterpret_cast<StringPtr>(*c->customFieldNames), "Client");
    PStrFromCString(reinterpret_cast<StringPtr>(*c->customFieldNames + 256), "R\xE9sum\xE9");
    c->hiddenFields->insert(769);
    c->hiddenFields->insert(('GRP' << 8) | 4);
    return records;
}

std::vector<ItemRec> FolderTreeOfTwoVolumes(CatalogRec* c) {
    std::vector<ItemRec> records = {MakeItemRecord("E:\\DCIM\\100CANON\\IMG_0001.JPG", 1234567),
                                    MakeItemRecord("E:\\DCIM\\100CANON\\IMG_0002.JPG", 2345678),
                                    MakeItemRecord("E:\\DCIM\\Caf\xE9\\menu.png", 34567),
                                    MakeItemRecord("/media/u/DATA/\xE6\x97\xA5\xE6\x9C\xAC/x.jpg", 4567),
                                    MakeItemRecord("/media/u/DATA/scans/page.tif", 56789)};
    // A disk catalogued on Windows (drive letter E:) and one of this system.
    const std::string stick = "E\t1234567890\tSTICK\\DCIM\\";
    const std::string data = "@\t305441741\tDATA\\";
    AddTestItems(c, records,
                 {stick + "100CANON\\IMG_0001.JPG", stick + "100CANON\\IMG_0002.JPG",
                  stick + "Caf\xC3\xA9\\menu.png", data + "\xE6\x97\xA5\xE6\x9C\xAC\\x.jpg",
                  data + "scans\\page.tif"});
    FolderTree* t = c->folderTree;
    FolderTreeFindNodeByPath(t, stick + "100CANON")->flags |= kFolderExpanded;
    FolderTreeFindNodeByPath(t, data + "scans")->flags |= kFolderWatched;
    for (FolderNode* v : t->root->children) v->flags |= kFolderExpanded;
    return records;
}

void PrintTo(const GoldenCatalog& g, std::ostream* os) { *os << g.file; }

const GoldenCatalog kGoldens[] = {
    {"empty.lxc", [](CatalogRec*) { return std::vector<ItemRec>{}; }, nullptr},
    {"three-items.lxc", ThreeItems, nullptr},
    {"password.lxc", ThreeItems, "secret"},
    {"folder-tree.lxc", FolderTreeOfTwoVolumes, nullptr},
};

// Writes one golden catalog as the program makes it.
Bytes MakeGolden(const GoldenCatalog& g, const TempFolder& dir) {
    CatalogRec* c = nullptr;
    EXPECT_EQ(CatalogOpen(&c, nullptr, nullptr, nullptr, nullptr, nullptr, 0), noErr);
    if (!c) return {};
    std::vector<ItemRec> records = g.fill(c);
    if (g.password) PStrFromCString(c->password, g.password);
    std::string path = dir / g.file;
    EXPECT_EQ(WriteCatalogFile(path, c, records), noErr);
    CatalogClose(c, false);
    return ReadBytes(path);
}

std::string FirstDifference(const Bytes& a, const Bytes& b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return "first difference at byte " + std::to_string(i);
    return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
}

class CatalogGolden : public ::testing::TestWithParam<GoldenCatalog> {
protected:
    void SetUp() override { StartCatalogEngine(); }
    void TearDown() override { CatalogEngineShutdown(); }
    TempFolder dir_;
};

TEST_P(CatalogGolden, WrittenAgainGivesTheSameBytes) {
    const GoldenCatalog& g = GetParam();
    Bytes made = MakeGolden(g, dir_);
    ASSERT_FALSE(made.empty());
    const std::string kept = kGoldenFolder + g.file;
    if (Regenerating()) {
        WriteBytes(kept, made);
        GTEST_SKIP() << "regenerated " << kept;
    }
    Bytes golden = ReadBytes(kept);
    ASSERT_FALSE(golden.empty()) << kept << " is missing; see tests/fixtures/catalog/README.md";
    EXPECT_TRUE(made == golden) << g.file << ": " << FirstDifference(made, golden);
}

TEST_P(CatalogGolden, ReadAndWrittenBackUnchanged) {
    const GoldenCatalog& g = GetParam();
    if (Regenerating()) GTEST_SKIP();
    const std::string kept = kGoldenFolder + g.file;
    Bytes golden = ReadBytes(kept);
    ASSERT_FALSE(golden.empty()) << kept;
    std::string copy = dir_ / "copy.lxc";
    WriteBytes(copy, golden);
    Str255 password;
    if (g.password) PStrFromCString(password, g.password);
    CatalogRec* c = nullptr;
    ASSERT_EQ(OpenCatalogAt(copy, &c, g.password ? password : nullptr), noErr);
    EXPECT_EQ(CatalogGetOpenWarnings(c), 0u);
    EXPECT_EQ(CheckCatalogInvariants(c), "");
    std::vector<ItemRec> records(std::size_t(c->itemCount));
    for (SInt32 i = 0; i < c->itemCount; ++i)
        ASSERT_EQ(CatalogReadEntryRecord(c, &c->entries[i], &records[std::size_t(i)]), noErr);
    std::string again = dir_ / "again.lxc";
    ASSERT_EQ(WriteCatalogFile(again, c, records), noErr);
    CatalogClose(c, false);
    Bytes rewritten = ReadBytes(again);
    EXPECT_TRUE(rewritten == golden) << g.file << ": " << FirstDifference(rewritten, golden);
}

INSTANTIATE_TEST_SUITE_P(Files, CatalogGolden, ::testing::ValuesIn(kGoldens),
                         [](const ::testing::TestParamInfo<GoldenCatalog>& info) {
                             std::string name = info.param.file;
                             std::string out;
                             for (char ch : name) out += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return out;
                         });

// What the kept files hold, read through the reader: a check that the goldens are what their
// names say and not merely stable.
class CatalogGoldenContents : public ::testing::Test {
protected:
    void SetUp() override { StartCatalogEngine(); }
    void TearDown() override { CatalogEngineShutdown(); }
    TempFolder dir_;

    CatalogRec* Open(const char* file, const char* password = nullptr) {
        std::string copy = dir_ / file;
        WriteBytes(copy, ReadBytes(kGoldenFolder + file));
        Str255 p;
        if (password) PStrFromCString(p, password);
        CatalogRec* c = nullptr;
        EXPECT_EQ(OpenCatalogAt(copy, &c, password ? p : nullptr), noErr);
        return c;
    }
};

TEST_F(CatalogGoldenContents, EmptyCatalog) {
    CatalogImage image;
    ASSERT_TRUE(ParseCatalogImage(ReadBytes(kGoldenFolder + "empty.lxc"), &image));
    EXPECT_EQ(image.headerCount, 0u);
    EXPECT_EQ(image.Find('CELL'), nullptr);
    EXPECT_EQ(image.Find('SIGN'), nullptr);
    std::vector<OSType> tags;
    for (const TestChunk& ch : image.chunks) tags.push_back(ch.tag);
    const std::vector<OSType> expected = {'FSM!', 'MSOP', 'MSVI', 'TOTL', 'IMPF', 'FONT', 'PREF', 'SVar', 'MBWd'};
    EXPECT_EQ(tags, expected);
    EXPECT_EQ(image.Find('FSM!')->data.size(), 46u);   // the root node alone
    // A new catalog shows the Labels, Sets, Date, File Type, Event, Author, Location, People
    // and Keywords groups, all folded.
    const Bytes& visible = image.Find('MSVI')->data;
    int shown = 0;
    for (int r = 0; r < kOrganizeRowCount - 1; ++r) shown += visible[kOrganizeFieldTable[r].position];
    EXPECT_EQ(shown, 9);
    CatalogRec* c = Open("empty.lxc");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->itemCount, 0);
    CatalogClose(c, false);
}

TEST_F(CatalogGoldenContents, PasswordChunkComesFirst) {
    CatalogImage image;
    ASSERT_TRUE(ParseCatalogImage(ReadBytes(kGoldenFolder + "password.lxc"), &image));
    ASSERT_GE(image.chunks.size(), 2u);
    EXPECT_EQ(image.chunks[0].tag, OSType('SIGN'));
    EXPECT_EQ(image.chunks[0].data.size(), 256u);
    EXPECT_EQ(image.chunks[1].tag, OSType('FSM!'));
    CatalogRec* c = nullptr;
    EXPECT_EQ(OpenCatalogAt(kGoldenFolder + "password.lxc", &c), paramErr);
    EXPECT_EQ(c, nullptr);
    c = Open("password.lxc", "secret");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->itemCount, 3);
    CatalogClose(c, false);
}

TEST_F(CatalogGoldenContents, ThreeItemsAndTheirTables) {
    CatalogRec* c = Open("three-items.lxc");
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->itemCount, 3);
    EXPECT_EQ(c->labelledCount, 1);
    EXPECT_EQ(c->mediaSize64, 6000u);
    EXPECT_EQ(GetHandleSize(c->customFieldNames), 512);
    EXPECT_EQ(std::string(*c->customFieldNames + 257, 6), "R\xE9sum\xE9");
    EXPECT_TRUE(CatalogHiddenFieldsContains(c, 769));
    FolderNode* photos = FolderTreeFindItemNode(c->folderTree, c->entries[2].id);
    ASSERT_NE(photos, nullptr);
    EXPECT_EQ(photos->name, "photos");
    EXPECT_EQ(photos->itemNames[c->entries[2].id], u"Caf\u00E9.jpg");
    CatalogClose(c, false);
}

TEST_F(CatalogGoldenContents, FolderTreeOfTwoVolumes) {
    CatalogRec* c = Open("folder-tree.lxc");
    ASSERT_NE(c, nullptr);
    FolderTree* t = c->folderTree;
    ASSERT_EQ(t->root->children.size(), 2u);
    EXPECT_EQ(t->root->children[0]->name, "@\t305441741\tDATA");
    EXPECT_EQ(t->root->children[1]->name, "E\t1234567890\tSTICK");
    FolderNode* canon = FolderTreeFindNodeByPath(t, "E\t1234567890\tSTICK\\DCIM\\100CANON");
    ASSERT_NE(canon, nullptr);
    EXPECT_EQ(canon->items.size(), 2u);
    EXPECT_TRUE(canon->flags & kFolderExpanded);
    FolderNode* japan = FolderTreeFindItemNode(t, c->entries[3].id);
    ASSERT_NE(japan, nullptr);
    EXPECT_EQ(japan->unicodeName, u"\u65E5\u672C");
    EXPECT_EQ(FolderTreeFindItemNode(t, c->entries[4].id)->flags, UInt32(kFolderWatched));
    CatalogClose(c, false);
}

}  // namespace
