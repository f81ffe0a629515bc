// Annotations edited in the catalog written back into the picture files and read from them
// again: JPEG pictures with no annotations, with IPTC-IIM only, with an XMP packet in UTF-16,
// and with XMP beside Photoshop resources; a Photoshop file and a TIFF file.
#include "EndToEndSupport.h"

#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoRows.h"
#include "media/kinds/KindDispatch.h"
#include "media/metadata/IptcBlock.h"

namespace {

struct WriteBackCase {
    const char* fixture;
    UInt32 width, height;
    const char* model;
    std::set<std::string> keywordsBefore;
};

void PrintTo(const WriteBackCase& k, std::ostream* os) { *os << k.fixture; }

class EndToEndWriteBack : public EndToEndTest, public ::testing::WithParamInterface<WriteBackCase> {
protected:
    UInt32 FindRow(CatalogRec* c, UInt8 kind, FieldId field, const std::string& text = "") {
        for (UInt32 n = 1; n <= InfoRowCount(c); ++n) {
            InfoRow* row = InfoGetRow(c, n);
            if (row->kind == kind && row->fieldId == field && (text.empty() || PText(row->text) == text)) return n;
        }
        return 0;
    }
};

TEST_P(EndToEndWriteBack, AnEditWrittenIntoTheFileIsWhatTheFileReadsBack) {
    const WriteBackCase& k = GetParam();
    const std::string rel = "write back/" + std::string(k.fixture).substr(std::string(k.fixture).rfind('/') + 1);
    const std::string path = Put(k.fixture, rel);
    const std::string original = TempFolder::Read(kFixtures + "/" + k.fixture);

    CatalogRec* c = Open();
    ASSERT_NE(c, nullptr);
    FSSpec spec = Spec(path);
    ASSERT_EQ(CatalogAddFiles(c, 0, &spec, 1, nullptr, 0, nullptr), noErr);
    RunRefresh(c);
    ItemEntry* e = EntryOf(c, rel);
    ASSERT_NE(e, nullptr);
    const UInt32 id = e->id;
    ASSERT_EQ(FieldValues(c, e, kFieldKeywords), k.keywordsBefore);

    // The user's edit: caption and city set, a keyword added and, where there is one, a stored
    // keyword taken away.
    InfoLoadItem(c, e);
    ASSERT_TRUE(InfoEditSetRowText(c, FindRow(c, kInfoRowField, kFieldCity), "Lyon", 4));
    ASSERT_TRUE(InfoEditSetRowText(c, FindRow(c, kInfoRowNewValue, kFieldKeywords), "Holiday", 7));
    std::set<std::string> keywords = k.keywordsBefore;
    if (keywords.count("Test")) {
        ASSERT_TRUE(InfoEditRemoveValue(c, FindRow(c, kInfoRowValue, kFieldKeywords, "Test")));
        keywords.erase("Test");
    }
    keywords.insert("Holiday");
    const std::string caption = "Written back";
    SetHandleSize(c->infoCaption, Size(caption.size()));
    std::memcpy(*c->infoCaption, caption.data(), caption.size());
    c->infoCaptionState = kInfoStateChanged;
    InfoEditCommit(c, nullptr, nullptr, 0);
    e = CatalogFindEntryById(c, id);
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(FieldValues(c, e, kFieldKeywords), keywords);

    // Into the file: the IPTC block of the item's fields and its annotations for the XMP packet.
    const SInt32 n = CatalogFindItemById(c, id);
    Handle iptc = nullptr;
    ASSERT_EQ(ItemAnnotationBlockForOutput(c, n, &iptc, true, false), noErr);
    ASSERT_NE(iptc, nullptr);
    Handle annotations = ItemReadBlock(c, e, kBlockAnnotations);
    ASSERT_NE(annotations, nullptr);
    ASSERT_EQ(KindWriteMetadata(&spec, iptc, annotations, nullptr), noErr);
    DisposeHandle(iptc);
    DisposeHandle(annotations);
    const std::string written = TempFolder::Read(path);
    EXPECT_NE(written, original);
    EXPECT_TRUE(SettingsSandbox::Entries(library / "write back", "~~").empty()) << "no temporary file is left";

    // What the file says now, read as a refresh reads it.
    RefreshOptions all = RefreshOptionsAll();
    ASSERT_EQ(CatalogRefreshItemFromFile(c, e, &all, nullptr, &spec), noErr);
    e = CatalogFindEntryById(c, id);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(FieldText(c, e, kFieldCaption), caption);
    EXPECT_EQ(FieldText(c, e, kFieldCity), "Lyon");
    EXPECT_EQ(FieldValues(c, e, kFieldKeywords), keywords);
    EXPECT_EQ(FieldText(c, e, kFieldModel), k.model) << "the camera's data is kept";
    FieldValue v;
    ASSERT_EQ(ItemGetField(c, e, 1, kFieldWidth, &v), 3);
    EXPECT_EQ(v.u32, k.width);
    ASSERT_EQ(ItemGetField(c, e, 1, kFieldHeight, &v), 3);
    EXPECT_EQ(v.u32, k.height);
    Handle thumb = ItemReadBlock(c, e, kBlockThumbnail);
    ASSERT_NE(thumb, nullptr) << "the image data still decodes";
    DisposeHandle(thumb);

    // Written a second time with nothing changed, the file reads back the same.
    Handle again = nullptr;
    ASSERT_EQ(ItemAnnotationBlockForOutput(c, n, &again, true, false), noErr);
    Handle againAnnotations = ItemReadBlock(c, e, kBlockAnnotations);
    ASSERT_EQ(KindWriteMetadata(&spec, again, againAnnotations, nullptr), noErr);
    DisposeHandle(again);
    DisposeHandle(againAnnotations);
    ASSERT_EQ(CatalogRefreshItemFromFile(c, e, &all, nullptr, &spec), noErr);
    e = CatalogFindEntryById(c, id);
    EXPECT_EQ(FieldText(c, e, kFieldCaption), caption);
    EXPECT_EQ(FieldValues(c, e, kFieldKeywords), keywords);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, EndToEndWriteBack,
    ::testing::Values(WriteBackCase{"metadata-samples/Canon.jpg", 8, 8, "Canon EOS DIGITAL REBEL", {}},
                      WriteBackCase{"metadata-samples/IPTC.jpg", 8, 8, "", {"ExifTool", "Test", "IPTC"}},
                      WriteBackCase{"metadata-samples/XMP.jpg", 8, 8, "FinePix2400Zoom", {"ExifTool", "Test", "XMP"}},
                      WriteBackCase{"orientation/landscape_1.jpg", 600, 450, "", {}},
                      WriteBackCase{"metadata-samples/Photoshop.psd", 8, 8, "", {}},
                      WriteBackCase{"metadata-samples/ExifTool.tif", 160, 120, "Canon EOS DIGITAL REBEL",
                                    {"exiftool", "test", "picture"}}),
    [](const ::testing::TestParamInfo<WriteBackCase>& info) {
        std::string name = info.param.fixture;
        name = name.substr(name.rfind('/') + 1);
        std::replace(name.begin(), name.end(), '.', '_');
        name.erase(std::remove_if(name.begin(), name.end(), [](char ch) { return !std::isalnum(ch); }), name.end());
        return name;
    });

}  // namespace
