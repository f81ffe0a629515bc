// When a Go To request can run (by its kind, against the catalog's counts), and the texts of
// the Catalog Info dialog: all items counted, a file's dates and size, and "-" where a catalog
// has no file or its file is empty.
#include "app/CatalogInfoText.h"
#include "app/GoToRequest.h"
#include "catalog/file/CatalogRec.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(GoToRequest, EachKindHasItsOwnValidity) {
    const Str255 empty = {0};
    const Str255 text = {3, 's', 'e', 'a'};
    struct Case {
        UInt8 kind;
        SInt32 number;
        const unsigned char* text;
        SInt32 visible, labelled;
        bool valid;
    } cases[] = {
        {kGoToItemNumber, 1, empty, 12, 0, true},
        {kGoToItemNumber, 12, empty, 12, 0, true},
        {kGoToItemNumber, 0, empty, 12, 0, false},
        {kGoToItemNumber, 13, empty, 12, 0, false},
        {kGoToItemNumber, -1, empty, 12, 0, false},
        {kGoToContaining, 0, text, 0, 0, true},
        {kGoToContaining, 5, empty, 12, 3, false},
        {kGoToLabelled, 0, empty, 12, 1, true},
        {kGoToLabelled, 0, text, 12, 0, false},
        {kGoToNeverUsed, 1, text, 12, 3, false},
        {7, 1, text, 12, 3, false},
    };
    int n = 0;
    for (const Case& c : cases) EXPECT_EQ(GoToIsValid(c.kind, c.number, c.text, c.visible, c.labelled), c.valid) << n++;
}

TEST(CatalogInfoTexts, AllItemsAreCountedBesideTheCountAtTheLastSave) {
    CatalogRec catalog;
    catalog.itemCount = 12;   // 10 shown and 2 hidden
    catalog.hiddenCount = 2;
    catalog.itemCountAtSave = 9;
    const CatalogInfoTexts t = CatalogInfoTextsOf(&catalog);
    EXPECT_EQ(t.items, "12 ( 9 saved )");
    // Never saved: no file, so no dates, size or place.
    EXPECT_EQ(t.created, "-");
    EXPECT_EQ(t.size, "-");
    EXPECT_EQ(t.location, "-");
}

TEST(CatalogInfoTexts, AFileShowsItsDatesSizeAndPlaceAndAnEmptyOneNoSize) {
    TempFolder folder;
    CatalogRec catalog;
    catalog.fileSpec.path = folder / "empty.lxc";
    std::ofstream(catalog.fileSpec.path).flush();
    CatalogInfoTexts t = CatalogInfoTextsOf(&catalog);
    EXPECT_EQ(t.size, "-");
    EXPECT_EQ(t.location, catalog.fileSpec.path);
    EXPECT_NE(t.created, "-");
    EXPECT_NE(t.modified.find(", "), std::string::npos) << t.modified;

    catalog.fileSpec.path = folder / "full.lxc";
    std::ofstream(catalog.fileSpec.path) << std::string(3000, 'x');
    t = CatalogInfoTextsOf(&catalog);
    EXPECT_EQ(t.size.substr(0, 3), "2.9") << t.size;
    EXPECT_NE(t.size.find("KB"), std::string::npos) << t.size;
}

}  // namespace
