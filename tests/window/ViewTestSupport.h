// A catalog made by the test (items added through the catalog engine, with a work file), the
// engines started as the program starts them, a view on a backing port, a window listening to
// the catalog's messages, the manual timer clock, and cell drawers that log what is drawn.
#pragma once

#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemChanges.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/tables/CatalogTables.h"
#include "catalog/tables/Labels.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/settings/Preferences.h"
#include "foundation/text/PString.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "platform/Handles.h"
#include "platform/TimerService.h"
#include "platform/UiHooks.h"
#include "support/RecordingWindow.h"
#include "support/SettingsSandbox.h"
#include "support/TempFolder.h"
#include "media/presenters/MediaObject.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewPort.h"
#include "window/view/ViewRec.h"
#include "window/view/ViewSelection.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <set>
#include <string>
#include <vector>

// Beeps, cursors and progress as the user would see them; cancels at a given progress step.
class ViewHooks : public UiHooks {
public:
    void Beep() override { ++beeps; }
    void SetCursor(int kind) override { cursors.push_back(kind); }
    bool EscapeKeyDown() override { return escape; }
    OSErr ProgressStart(const std::string& title, long total) override {
        progressTitle = title;
        progressTotal = total;
        ++progressStarts;
        return noErr;
    }
    OSErr ProgressStep(long current, long) override {
        ++progressSteps;
        return cancelAtStep && progressSteps >= cancelAtStep ? OSErr(userCanceledErr) : OSErr(noErr);
    }
    void ProgressEnd() override { ++progressEnds; }

    int beeps = 0;
    std::vector<int> cursors;
    bool escape = false;
    std::string progressTitle;
    long progressTotal = 0;
    int progressStarts = 0, progressSteps = 0, progressEnds = 0;
    long cancelAtStep = 0;
};

// One drawing of a cell as the cell drawers were asked for it.
struct DrawnCell {
    SInt32 item;
    Rect cell;
    bool selected;
    bool current;
    bool selectionOnly;
};

inline std::vector<DrawnCell>& DrawLog() {
    static std::vector<DrawnCell> log;
    return log;
}

// Drawers that log each call and paint the cell in a colour of its own item, so that pixels
// moved by a scroll can be told apart.
inline void LoggingDrawer(const CellDrawArgs& a) {
    DrawLog().push_back({a.item, a.cell, a.selected, a.current, a.selectionOnly});
    cairo_t* cr = a.cr;
    const double shade = (a.item % 200) / 255.0;
    cairo_set_source_rgb(cr, shade, a.selected ? 1.0 : 0.0, 0.5);
    cairo_rectangle(cr, a.cell.left, a.cell.top, a.cell.right - a.cell.left, a.cell.bottom - a.cell.top);
    cairo_fill(cr);
}

inline bool operator==(const Rect& a, const Rect& b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}
inline std::ostream& operator<<(std::ostream& o, const Rect& r) {
    return o << "{" << r.top << "," << r.left << "," << r.bottom << "," << r.right << "}";
}

inline std::string PText(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetUiHooks(&hooks);
        SetTimerService(&timers);
        CatalogNotificationsReset();
        SetResourceModule(GetBuiltInResourceModule("en"));
        ASSERT_EQ(KindEngineInit(nullptr, 0, kEditionCodeStandard, kFormatLevelStandard), noErr);
        ASSERT_EQ(CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard), noErr);
        LoadPreferences();
        LabelTableInit();
        FSSpec work;
        FSMakeFSSpecFromPath(folder / "catalog.work", &work);
        ASSERT_EQ(CatalogOpen(&catalog, nullptr, &work, nullptr, nullptr, nullptr, 0), noErr);
        for (UINT m = kCatalogMsgModified; m <= kCatalogMsgViewDetached; ++m) CatalogAddListener(catalog, &window, m);
        // Thumbnails of 128 pixels without captions or frame: cells of 133 x 133, whatever the font.
        ViewModeSettings* thumbs = CatalogGetSlotRec16(catalog, kViewThumbnail);
        thumbs->sizeStep = 4;
        thumbs->aspect = 0;
        thumbs->frameStyle = 0;
        CatalogGetSlotRec(catalog, kViewThumbnail)->fields[0].fieldId = 0;
        DrawLog().clear();
    }
    void TearDown() override {
        if (view) ViewDispose(view);
        view = nullptr;
        if (port) ViewPortDispose(port);
        port = nullptr;
        if (catalog) {
            CatalogRemoveListener(catalog, &window, 0);
            CatalogClose(catalog, false);
        }
        catalog = nullptr;
        ViewSetCellDrawProcs(nullptr);
        CatalogNotificationsReset();
        CatalogEngineShutdown();
        KindEngineShutdown();
        KindTableClear();
        ResetPreferencesState();
        SetResourceModule(nullptr);
        SetTimerService(nullptr);
        SetUiHooks(nullptr);
    }

    // Adds items named <prefix>NNN.jpg (from 1) with a file size each.
    void AddItems(int n, const std::string& prefix = "item", UInt32 size = 1000) {
        for (int i = 0; i < n; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "%s%03d.jpg", prefix.c_str(), catalog->itemCount + 1);
            AddNamed(name, size);
        }
    }
    void AddNamed(const std::string& name, UInt32 size = 1000, UInt8 label = 0) {
        ItemRec r{};
        PStrFromBytes(r.fileName, name.data(), long(name.size()));
        PStrFromBytes(r.storedName, name.data(), long(std::min<std::size_t>(name.size(), 63)));
        r.kind = 'JPEG';
        r.fileSize = size;
        r.width = 640;
        r.height = 480;
        ASSERT_EQ(CatalogAddItem(catalog, &r, nullptr, nullptr, nullptr, nullptr, nullptr, label), noErr);
    }

    // A view of the mode over a port of the given size, laid out.
    ViewRec* MakeView(UInt8 mode, SInt16 width, SInt16 height, bool logDrawing = true) {
        CatalogSetViewMode(catalog, mode);
        port = ViewPortNew(width, height);
        EXPECT_EQ(ViewCreate(&view, port, nullptr, catalog), noErr);
        if (logDrawing) {
            CellDrawProcs procs;
            procs.listRow = procs.thumbnail = procs.media = LoggingDrawer;
            procs.emptyHint = [](ViewRec*, cairo_t*, const Rect&) { DrawLog().push_back({-1, {}, false, false, false}); };
            ViewSetCellDrawProcs(&procs);
        }
        Rect r{0, 0, height, width};
        ViewSetRect(view, &r);
        DrawLog().clear();
        return view;
    }

    // Delivers the catalog's queued messages.
    void Deliver() { timers.Advance(kNotifyIntervalMs * 2); }

    // The selection-related messages delivered so far, in order.
    std::vector<UINT> SelectionMessages() const {
        std::vector<UINT> out;
        for (auto& m : window.got)
            if (m.first == kCatalogMsgSelectionChanging || m.first == kCatalogMsgSelectionChanged) out.push_back(m.first);
        return out;
    }

    std::vector<SInt32> Selected() const {
        std::vector<SInt32> out;
        for (SInt32 i = 1; i <= ViewItemCount(view); ++i)
            if (ViewBitTest(view, i)) out.push_back(i);
        return out;
    }
    void Select(std::initializer_list<SInt32> items) {
        bool first = true;
        for (SInt32 i : items) {
            ViewSelectItem(view, i, first ? kSelectAlone : kSelectAdd, false);
            first = false;
        }
        Deliver();
        window.got.clear();
    }

    std::vector<SInt32> DrawnItems() const {
        std::vector<SInt32> out;
        for (auto& d : DrawLog()) out.push_back(d.item);
        return out;
    }

    SettingsSandbox sandbox;
    TempFolder folder;
    ManualTimerService timers;
    ViewHooks hooks;
    RecordingWindow window;
    CatalogRec* catalog = nullptr;
    ViewPort* port = nullptr;
    ViewRec* view = nullptr;
};
