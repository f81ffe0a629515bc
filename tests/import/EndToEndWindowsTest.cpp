// Windows that redraw from the catalog while it tells them of changes, as the program's views do:
// a view reads the fields of the items it is told about at the moment it is told, and two
// catalogs open side by side each reach only their own windows.
#include "EndToEndSupport.h"

#include "catalog/items/ItemRecords.h"

namespace {

// A view of one catalog: on every message it reads what it would draw.
class RedrawingWindow : public MessageWindow {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM) override {
        messages.emplace_back(message, wParam);
        if (!catalog) return 0;
        if (message == kCatalogMsgItemChanged) {
            const SInt32 n = SInt32(wParam);
            FieldValue v;
            Str255 text;
            const UInt8 type = ItemGetFieldVisible(catalog, n, 1, kFieldDimensions, &v);
            FieldValueToText(&v, type, kFieldDimensions, text, false);
            drawn[ItemGetId(catalog, n)] = PText(text);
        }
        if (message == kCatalogMsgItemsAdded) itemsSeen = catalog->itemCount;
        return 0;
    }
    CatalogRec* catalog = nullptr;
    std::vector<std::pair<UINT, WPARAM>> messages;
    std::map<UInt32, std::string> drawn;   // item id -> dimensions as last drawn
    SInt32 itemsSeen = -1;
};

TEST_F(EndToEndTest, ViewsReadTheNewStateWhenToldAndOnlyTheirOwnCatalogs) {
    Put("orientation/landscape_1.jpg", "one/landscape.jpg");
    Put("metadata-samples/Canon.jpg", "one/Canon.jpg");
    Put("orientation/gps_DSCN0010.jpg", "two/gps.jpg");
    CatalogRec* first = Open();
    CatalogRec* second = Open();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    RedrawingWindow firstView, secondView;
    firstView.catalog = first;
    secondView.catalog = second;
    for (UINT m = kCatalogMsgModified; m <= kCatalogMsgViewDetached; ++m) {
        CatalogAddListener(first, &firstView, m);
        CatalogAddListener(second, &secondView, m);
    }

    FSSpec one = Spec(library / "one"), two = Spec(library / "two");
    ASSERT_EQ(CatalogAddFiles(first, 0, &one, 1, nullptr, 0, nullptr), noErr);
    ASSERT_EQ(CatalogAddFiles(second, 0, &two, 1, nullptr, 0, nullptr), noErr);
    Deliver();
    EXPECT_EQ(firstView.itemsSeen, 2);
    EXPECT_EQ(secondView.itemsSeen, 1);
    // Both refreshes run side by side on the one clock.
    RefreshOptions all = RefreshOptionsAll();
    for (CatalogRec* c : {first, second}) {
        Handle ids = NewHandle(c->itemCount * 4);
        for (SInt32 i = 0; i < c->itemCount; ++i) std::memcpy(*ids + 4 * i, &c->entries[i].id, 4);
        ASSERT_EQ(StartItemRefreshTimer(c, 0, ids, nullptr, &all), noErr);
        DisposeHandle(ids);
    }
    for (int i = 0; i < 20 && ItemRefreshJobCount(nullptr); ++i) {
        ItemRefreshWaitForReadings();
        timers.Advance(kRefreshTickMs);
    }
    ASSERT_EQ(ItemRefreshJobCount(nullptr), 0);
    Deliver();

    // What each view drew when it was told is what the item holds now.
    const std::map<UInt32, std::string> firstExpected = {
        {EntryOf(first, "one/landscape.jpg")->id, "600 x 450"},
        {EntryOf(first, "one/Canon.jpg")->id, "8 x 8"},
    };
    EXPECT_EQ(firstView.drawn, firstExpected);
    EXPECT_EQ(secondView.drawn, (std::map<UInt32, std::string>{{EntryOf(second, "two/gps.jpg")->id, "640 x 480"}}));
    for (auto& [message, parameter] : secondView.messages)
        if (message == kCatalogMsgItemChanged) {
            EXPECT_EQ(parameter, 1u) << "only its own item";
        }

    // A closed catalog's pending messages reach nobody; the other's still arrive.
    firstView.messages.clear();
    secondView.messages.clear();
    CatalogSetModified(first);
    CatalogSetModified(second);
    CloseCatalog(first);
    Deliver();
    EXPECT_TRUE(firstView.messages.empty());
    EXPECT_EQ(secondView.messages, (std::vector<std::pair<UINT, WPARAM>>{{kCatalogMsgModified, 0}}));
    CatalogRemoveListener(second, &secondView, 0);
}

}  // namespace
