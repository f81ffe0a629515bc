// Folder and file names as people give them: accented Latin letters (which the catalog's 8-bit
// text can show), letters it cannot show, and a path far longer than any stored record field.
// Each file is found again by its exact path after the import and after a save and a reopen.
#include "EndToEndSupport.h"

#include "foundation/text/Unicode.h"

namespace {

struct NamedFile {
    std::string rel;
    std::string shownName;   // the file name as the catalog's 8-bit text shows it
};

std::vector<NamedFile> NamedFiles() {
    std::string deep = "long";
    for (int i = 0; i < 12; ++i) deep += "/folder-with-a-rather-long-name-" + std::to_string(i);
    return {
        {"plain/a.jpg", "a.jpg"},
        {"Été 2024/Zürich/café ñ.jpg", Utf8ToAnsi("café ñ.jpg")},
        {"日本/写真.jpg", "??.jpg"},
        {deep + "/deep.jpg", "deep.jpg"},
    };
}

TEST_F(EndToEndTest, NamesOfEveryKindLeadBackToTheirFilesAfterASaveAndAReopen) {
    const std::vector<NamedFile> files = NamedFiles();
    ASSERT_GT((library / files.back().rel).size(), 255u);
    for (const NamedFile& f : files) Put("metadata-samples/Canon.jpg", f.rel);
    CatalogRec* c = Open();
    ASSERT_NE(c, nullptr);
    FSSpec root = Spec(library.path());
    SInt32 added = 0;
    ASSERT_EQ(CatalogAddFiles(c, 0, &root, 1, nullptr, 0, &added), noErr);
    ASSERT_EQ(added, SInt32(files.size()));
    RunRefresh(c);

    auto check = [&](CatalogRec* cat) {
        ASSERT_EQ(cat->itemCount, SInt32(files.size()));
        for (const NamedFile& f : files) {
            SCOPED_TRACE(f.rel);
            const ItemEntry* e = EntryOf(cat, f.rel);
            ASSERT_NE(e, nullptr) << "the item leads to its exact file";
            EXPECT_FALSE(e->flags & kEntryPendingFlag);
            EXPECT_EQ(FieldText(cat, e, kFieldFileName), f.shownName);
            EXPECT_EQ(FieldText(cat, e, kFieldModel), "Canon EOS DIGITAL REBEL");
            Handle thumb = ItemReadBlock(cat, e, kBlockThumbnail);
            EXPECT_NE(thumb, nullptr);
            if (thumb) DisposeHandle(thumb);
        }
    };
    check(c);
    FSSpec target = Spec(work / "Names.lxc");
    ASSERT_EQ(CatalogSave(c, &target, nullptr, 0), noErr);
    CloseCatalog(c);
    c = Open(work / "Names.lxc");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(CatalogGetOpenWarnings(c), 0u);
    check(c);
}

}  // namespace
