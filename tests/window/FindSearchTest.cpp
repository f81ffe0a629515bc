// Find over a scope of catalog windows: Find Next from the current item on, into the next
// catalog and round again with wrap; Select all, Show all and count only over every catalog;
// Escape cancels; catalogs opened only for the search are closed again; closed windows leave
// the scope. The windows are a small host over real views of real catalogs.
#include "ViewTestSupport.h"

#include "window/find/FindSearch.h"
#include "window/view/ViewFilters.h"

#include <map>

namespace {

// A second catalog with its view, as another window would hold it.
struct OtherWindow {
    CatalogRec* catalog = nullptr;
    ViewPort* port = nullptr;
    ViewRec* view = nullptr;
    ~OtherWindow() {
        if (view) ViewDispose(view);
        if (port) ViewPortDispose(port);
        if (catalog) CatalogClose(catalog, false);
    }
};

class TestHost : public FindHost {
public:
    UInt32 FrontFrame() override { return front; }
    std::vector<UInt32> AllFrames() override {
        std::vector<UInt32> out;
        for (auto& [id, view] : frames) out.push_back(id);
        return out;
    }
    std::vector<std::string> RecentCatalogs() override { return recent; }
    ViewRec* FrameView(UInt32 frame) override {
        auto it = frames.find(frame);
        return it == frames.end() ? nullptr : it->second;
    }
    UInt32 FrameForCatalog(const std::string& path) override {
        auto it = showing.find(path);
        return it == showing.end() ? 0 : it->second;
    }
    UInt32 OpenCatalogFrame(const std::string& path) override {
        auto it = openable.find(path);
        if (it == openable.end()) return 0;
        frames[it->second.first] = it->second.second;
        showing[path] = it->second.first;
        opened.push_back(it->second.first);
        return it->second.first;
    }
    void CloseFrame(UInt32 frame) override {
        closed.push_back(frame);
        frames.erase(frame);
        for (auto it = showing.begin(); it != showing.end();)
            it = it->second == frame ? showing.erase(it) : std::next(it);
    }
    void ActivateFrame(UInt32 frame) override { activated.push_back(frame); }
    void ViewChanged(UInt32 frame) override { changed.push_back(frame); }

    UInt32 front = 0;
    std::map<UInt32, ViewRec*> frames;
    std::vector<std::string> recent;
    std::map<std::string, UInt32> showing;
    std::map<std::string, std::pair<UInt32, ViewRec*>> openable;
    std::vector<UInt32> opened, closed, activated, changed;
};

class FindSearchTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        // Window 1: a1 b2 a3 b4; window 2: b1 a2.
        for (const char* n : {"a1.jpg", "b2.jpg", "a3.jpg", "b4.jpg"}) AddNamed(n);
        MakeView(kViewList, 400, 300, false);
        FSSpec work;
        FSMakeFSSpecFromPath(folder / "other.work", &work);
        ASSERT_EQ(CatalogOpen(&other.catalog, nullptr, &work, nullptr, nullptr, nullptr, 0), noErr);
        for (const char* n : {"b1.jpg", "a2.jpg"}) {
            ItemRec r{};
            PStrFromBytes(r.fileName, n, long(std::strlen(n)));
            PStrFromBytes(r.storedName, n, long(std::strlen(n)));
            r.kind = 'JPEG';
            ASSERT_EQ(CatalogAddItem(other.catalog, &r, nullptr, nullptr, nullptr, nullptr, nullptr, 0), noErr);
        }
        other.port = ViewPortNew(400, 300);
        ASSERT_EQ(ViewCreate(&other.view, other.port, nullptr, other.catalog), noErr);
        Rect r{0, 0, 300, 400};
        ViewSetRect(other.view, &r);
        host.frames = {{1, view}, {2, other.view}};
        host.front = 1;
        FindQueryDefault(&query);
        query.rows[0].op = 4;  // file name starts with "a"
        FindRowSetText(&query.rows[0], "a", 1);
    }
    void TearDown() override {
        if (other.view) ViewDispose(other.view);
        other.view = nullptr;
        ViewTest::TearDown();
    }
    void ScopeOfBoth() {
        scope.entries = {{'wind', 1, {}}, {'wind', 2, {}}};
        scope.current = 0;
    }

    OtherWindow other;
    TestHost host;
    FindScope scope;
    FindQuery query;
};

TEST_F(FindSearchTest, FindNextGoesOnFromTheCurrentItemIntoTheNextWindowAndRoundAgain) {
    ScopeOfBoth();
    ViewSelectItem(view, 1, kSelectAlone, false);  // a1 current
    FindOutcome out = FindNext(&scope, host, query, true);
    EXPECT_EQ(out.found, 1);
    EXPECT_EQ(ViewGetCurrentItem(view), 3);
    EXPECT_EQ(Selected(), (std::vector<SInt32>{3}));
    EXPECT_EQ(scope.current, 0u);

    // From a3 nothing is left in window 1: a2 of window 2, which comes to the front.
    host.activated.clear();
    out = FindNext(&scope, host, query, true);
    EXPECT_EQ(out.found, 1);
    EXPECT_EQ(scope.current, 1u);
    EXPECT_EQ(ViewGetCurrentItem(other.view), 2);
    EXPECT_EQ(host.activated, (std::vector<UInt32>{2}));

    // Past the last match: with wrap the search starts over in window 1 at a1.
    out = FindNext(&scope, host, query, true);
    EXPECT_EQ(out.found, 1);
    EXPECT_EQ(scope.current, 0u);
    EXPECT_EQ(ViewGetCurrentItem(view), 1);
    EXPECT_EQ(hooks.beeps, 0);

    // Without wrap the end of the scope beeps.
    scope.current = 1;
    out = FindNext(&scope, host, query, false);
    EXPECT_EQ(out.found, 0);
    EXPECT_EQ(hooks.beeps, 1);
}

TEST_F(FindSearchTest, SelectAllAndShowAllActOnEveryWindowAndCountOnlyChangesNothing) {
    ScopeOfBoth();
    Select({2, 4});
    FindOutcome out = FindAll(&scope, host, query, kFindActionSelect);
    EXPECT_EQ(out.found, 3);
    EXPECT_EQ(Selected(), (std::vector<SInt32>{1, 3}));
    EXPECT_TRUE(ViewBitTest(other.view, 2));
    EXPECT_FALSE(ViewBitTest(other.view, 1));

    ScopeOfBoth();
    out = FindAll(&scope, host, query, kFindActionShow);
    EXPECT_EQ(out.found, 3);
    EXPECT_EQ(ViewItemCount(view), 2);
    EXPECT_EQ(ViewItemCount(other.view), 1);

    ScopeOfBoth();
    ViewShowAll(view);
    ViewDeselectAll(view);
    host.changed.clear();
    out = FindAll(&scope, host, query, kFindActionCount);
    EXPECT_EQ(out.found, 2 + 1);
    EXPECT_EQ(ViewCountSelected(view), 0);
    EXPECT_EQ(ViewItemCount(view), 4);
    EXPECT_TRUE(host.changed.empty());

    FindRowSetText(&query.rows[0], "zzz", 3);
    ScopeOfBoth();
    out = FindAll(&scope, host, query, kFindActionSelect);
    EXPECT_EQ(out.found, 0);
    EXPECT_EQ(hooks.beeps, 1);
}

TEST_F(FindSearchTest, EscapeBetweenItemsCancelsWithoutTouchingTheView) {
    ScopeOfBoth();
    hooks.escape = true;
    Select({2});
    const FindOutcome out = FindAll(&scope, host, query, kFindActionSelect);
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(Selected(), (std::vector<SInt32>{2}));
    EXPECT_EQ(hooks.beeps, 0);
}

TEST_F(FindSearchTest, ACatalogOpenedOnlyForTheSearchIsClosedWhenItHoldsNoMatch) {
    // Window 2 is not open: its file is, and opening it is the host's job.
    host.frames.erase(2);
    host.openable["/cat/other.lxc"] = {7, other.view};
    scope.entries = {{'wind', 1, {}}};
    AddFindScopeFile(&scope, "/cat/other.lxc");
    FindRowSetText(&query.rows[0], "b1", 2);  // only in the other catalog
    FindOutcome out = FindAll(&scope, host, query, kFindActionSelect);
    EXPECT_EQ(out.found, 1);
    EXPECT_TRUE(host.closed.empty());  // it holds the match: it stays open

    host.frames.erase(7);
    host.showing.clear();
    scope.current = 0;
    FindRowSetText(&query.rows[0], "a1", 2);  // only in window 1
    out = FindAll(&scope, host, query, kFindActionSelect);
    EXPECT_EQ(out.found, 1);
    EXPECT_EQ(host.closed, (std::vector<UInt32>{7}));

    // Counting never keeps a catalog it opened.
    host.closed.clear();
    host.frames.erase(7);
    host.showing.clear();
    scope.current = 0;
    FindRowSetText(&query.rows[0], "b", 1);
    out = FindAll(&scope, host, query, kFindActionCount);
    EXPECT_EQ(out.found, 3);
    EXPECT_EQ(host.closed, (std::vector<UInt32>{7}));
}

TEST_F(FindSearchTest, ScopeKindsListTheFrontWindowEveryWindowOrTheRecentCatalogs) {
    host.recent = {"/a.lxc", "", "/b.lxc"};
    scope.current = 5;
    BuildFindScope(&scope, host, kFindScopeFront);
    ASSERT_EQ(scope.entries.size(), 1u);
    EXPECT_EQ(scope.entries[0].frame, 1u);
    EXPECT_EQ(scope.current, 0u);
    BuildFindScope(&scope, host, kFindScopeWindows);
    EXPECT_EQ(scope.entries.size(), 2u);
    BuildFindScope(&scope, host, kFindScopeRecent);
    ASSERT_EQ(scope.entries.size(), 2u);
    EXPECT_EQ(scope.entries[1].path, "/b.lxc");
    // Another kind keeps what a caller put in.
    AddFindScopeFile(&scope, "/c.lxc");
    BuildFindScope(&scope, host, 3);
    EXPECT_EQ(scope.entries.size(), 3u);
}

TEST_F(FindSearchTest, AClosedWindowLeavesTheScopeAndIsNeverSearched) {
    scope.entries = {{'wind', 2, {}}, {'wind', 1, {}}, {'wind', 2, {}}};
    scope.current = 1;
    FindScopeFrameClosed(&scope, 2);
    ASSERT_EQ(scope.entries.size(), 1u);
    EXPECT_EQ(scope.entries[0].frame, 1u);
    EXPECT_EQ(scope.current, 0u);
    // A window that went away without telling yields no frame.
    host.frames.erase(1);
    bool opened = true;
    EXPECT_EQ(GetFindScopeEntry(scope, host, 0, &opened), 0u);
    EXPECT_FALSE(opened);
}

TEST_F(FindSearchTest, FindUsesTheStoredActionAndScopeKind) {
    PreferencesRec* p = GetPreferences();
    p->findOptions[0] = 0;
    p->findOptions[1] = 9;   // out of range: read as Find next
    p->findOptions[2] = kFindScopeFront;
    SetFindQuery(query);
    FindOutcome out = RunFind(&scope, host);
    EXPECT_EQ(out.found, 1);
    EXPECT_EQ(Selected(), (std::vector<SInt32>{1}));
    p->findOptions[1] = kFindActionShow;
    out = RunFind(&scope, host);
    EXPECT_EQ(out.found, 2);
    EXPECT_EQ(ViewItemCount(view), 2);
    ResetFindQueries();
}

}  // namespace
