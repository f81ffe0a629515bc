// Text-table export against golden files: a catalog made here with names outside
// Windows-1252 and values holding separators, quotation marks, tabs and line breaks, written in
// each of the four styles; the item loop's progress for all items; and a failed write that
// leaves the user's existing file as it was.
#include "window/ViewTestSupport.h"

#include "catalog/items/ItemBlocks.h"
#include "media/metadata/IptcBlock.h"
#include "output/texttable/TextTable.h"
#include "platform/FileFaults.h"
#include "window/view/ViewOperations.h"

#include <map>

namespace {

std::string Golden(const std::string& name) {
    return TempFolder::Read(std::string(LYREX_TEST_FIXTURES) + "/texttable/" + name);
}

class TextTableTest : public ViewTest {
protected:
    void AddAnnotated(const std::string& ansiName, const std::vector<std::tuple<UInt16, UInt8, std::string>>& datasets) {
        ItemRec r{};
        PStrFromBytes(r.fileName, ansiName.data(), long(ansiName.size()));
        PStrFromBytes(r.storedName, ansiName.data(), long(ansiName.size()));
        r.kind = 'JPEG';
        r.fileSize = 2048;
        Handle block = NewHandle(0);
        std::map<UInt16, SInt16> seen;
        for (const auto& [key, marker, text] : datasets)
            IptcSetDataset(key, ++seen[key], text.data(), SInt16(text.size()), block, kIptcAppend, marker);
        ASSERT_EQ(CatalogAddItem(catalog, &r, nullptr, block, nullptr, nullptr, nullptr, 0), noErr);
        DisposeHandle(block);
    }
    // The three items every golden file is made from.
    void MakeCatalog() {
        AddAnnotated("beach.jpg", {{632, IptcMarkerUtf8, "\xE5\x86\x99\xE7\x9C\x9F \"sun\"\tand\nsea\r"},
                                   {537, IptcMarkerAnsi, "one"},
                                   {537, IptcMarkerAnsi, "two"}});
        AddAnnotated("Caf\xE9, menu.jpg", {{537, IptcMarkerAnsi, "a\"b"}});
        AddAnnotated("plain.jpg", {{632, IptcMarkerUtf8, "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1; x y"}});
        MakeView(kViewList, 400, 300, false);
        ViewSelectAll(view);
    }
    TextTableSpec Spec(UInt8 style, bool header) {
        TextTableSpec spec;
        spec.style = style;
        spec.headerRow = header;
        spec.fields = {kFieldFileName, kFieldCaption, kFieldKeywords};
        PStrFromCString(spec.separator, ";");
        return spec;
    }
    std::string Export(const TextTableSpec& spec, bool all = false) {
        FSSpec out;
        FSMakeFSSpecFromPath(folder / "table.txt", &out);
        EXPECT_EQ(ExportTextTable(catalog, view, spec, &out, all), noErr);
        return TempFolder::Read(folder / "table.txt");
    }
};

}  // namespace

TEST_F(TextTableTest, EachStyleWritesTheGoldenBytes) {
    MakeCatalog();
    struct Case {
        UInt8 style;
        bool header;
        const char* golden;
    } cases[] = {
        {kTextTableTabs, true, "tabs-header.txt"},
        {kTextTableTabs, false, "tabs.txt"},
        {kTextTableCommas, true, "commas-header.txt"},
        {kTextTableMerge, false, "merge.txt"},   // the merge style always has its header
        {kTextTableCustom, true, "custom-header.txt"},
    };
    for (const Case& c : cases) EXPECT_EQ(Export(Spec(c.style, c.header)), Golden(c.golden)) << c.golden;
}

TEST_F(TextTableTest, OnlyTheSelectedItemsAreWrittenUnlessAllAreAsked) {
    MakeCatalog();
    Select({2});
    TextTableSpec spec = Spec(kTextTableCommas, false);
    spec.fields = {kFieldFileName};
    EXPECT_EQ(Export(spec), "\"Caf\xC3\xA9, menu.jpg\"\r\n");
    EXPECT_EQ(Export(spec, true), "\"beach.jpg\"\r\n\"Caf\xC3\xA9, menu.jpg\"\r\n\"plain.jpg\"\r\n");
}

TEST_F(TextTableTest, ASpecWithoutFieldsWritesNothing) {
    MakeCatalog();
    const std::string path = folder.Write("table.txt", "user's text");
    FSSpec out;
    FSMakeFSSpecFromPath(path, &out);
    TextTableSpec spec = Spec(kTextTableTabs, true);
    spec.fields.clear();
    EXPECT_EQ(ExportTextTable(catalog, view, spec, &out, false), noErr);
    EXPECT_EQ(TempFolder::Read(path), "user's text");
}

TEST_F(TextTableTest, AllItemsFromAHundredOnShowTheExportProgress) {
    AddItems(120);
    MakeView(kViewList, 400, 300, false);
    TextTableSpec spec = Spec(kTextTableTabs, false);
    spec.fields = {kFieldFileName};
    const std::string text = Export(spec, true);
    EXPECT_EQ(hooks.progressTitle, "Exporting to text file...");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 120);
    EXPECT_EQ(text.substr(0, 13), "item001.jpg\r\n");
}

TEST_F(TextTableTest, AFailedWriteLeavesTheExistingFileAsItWasAndNoTemporaryFile) {
    MakeCatalog();
    const std::string path = folder.Write("table.txt", "the user's old table");
    FSSpec out;
    FSMakeFSSpecFromPath(path, &out);
    for (FileFaultPoint point : {FileFaultPoint::kWrite, FileFaultPoint::kReplace}) {
        SetFileFaultHook([point](SInt16, FileFaultPoint p, long) { return p == point ? OSErr(dskFulErr) : OSErr(noErr); });
        EXPECT_EQ(ExportTextTable(catalog, view, Spec(kTextTableTabs, true), &out, false), dskFulErr);
        SetFileFaultHook({});
        EXPECT_EQ(TempFolder::Read(path), "the user's old table");
        std::vector<std::string> names;
        for (auto& e : std::filesystem::directory_iterator(folder.path()))
            if (e.path().filename() != "catalog.work") names.push_back(e.path().filename());
        EXPECT_EQ(names, (std::vector<std::string>{"table.txt"}));
    }
}
