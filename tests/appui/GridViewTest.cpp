// The grid view inside a real catalog window: clicks and keys reach the view engine, an
// in-place rename changes the file on disk (and refuses names in use or that would leave the
// folder), items travel between windows through the clipboard and by dragging, files come in
// as a URI list from the clipboard or a drop at the drop position, and the import's event loop
// is fenced: a close waits, a quit cancels the import and then ends the program.
#include "appui/AppTestSupport.h"

#include "app/ui/commands/CMenuHandler.h"
#include "app/ui/commands/CommandTable.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/PreferencesRec.h"
#include "foundation/ui/CPicCopyDlg.h"
#include "foundation/ui/CRenameEdit.h"
#include "foundation/ui/CTextCopyDlg.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/CommandIds.h"
#include "platform/UiHooks.h"
#include "import/ui/ImportProgress.h"
#include "window/grid/GridImport.h"
#include "window/grid/GridTransfer.h"
#include "window/ui/CGridView.h"
#include "window/ui/GridDataObjects.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewModes.h"
#include "window/view/ViewSelection.h"

#include <wx/clipbrd.h>
#include <wx/image.h>
#include <wx/testing.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {

// Answers the alert box without showing it, and counts how often it came.
class AnswerAlert : public wxExpectModalBase<Clxsavechanges, AnswerAlert> {
public:
    explicit AnswerAlert(int code) : code_(code) {}

protected:
    int OnInvoked(Clxsavechanges*) const override { return code_; }

private:
    int code_;
};

// The program's hooks, with an action run at the first progress step of an import: what the
// user does while the import pumps events.
class DuringImport {
public:
    explicit DuringImport(std::function<void()> action) : action_(std::move(action)) {
        Current() = &action_;
        SetGridImportStep(&DuringImport::Step);
    }
    ~DuringImport() {
        SetGridImportStep(ImportWindowProgress);
        Current() = nullptr;
    }

private:
    static std::function<void()>*& Current() {
        static std::function<void()>* current = nullptr;
        return current;
    }
    // The program's Importing window, with the action run once at the first step.
    static OSErr Step(short phase, long added, long scanned, long refCon) {
        if (phase == 1 && Current() && *Current()) {
            auto action = std::move(*Current());
            *Current() = nullptr;
            action();
        }
        return ImportWindowProgress(phase, added, scanned, refCon);
    }
    std::function<void()> action_;
};

// Answers a dialog of the program's own kind with a button, without showing it.
template <class T>
class AnswerDialog : public wxExpectModalBase<T, AnswerDialog<T>> {
public:
    explicit AnswerDialog(int code) : code_(code) {}

protected:
    int OnInvoked(T*) const override { return code_; }

private:
    int code_;
};


class GridViewTest : public AppTest {
protected:
    // A folder of n pictures named p1.jpg .. pn.jpg.
    std::vector<std::string> Pictures(const std::string& folder, int n) {
        std::vector<std::string> paths;
        std::filesystem::create_directories(files_ / folder);
        for (int i = 1; i <= n; ++i) {
            const std::string path = files_ / folder + "/p" + std::to_string(i) + ".jpg";
            std::filesystem::copy_file(std::string(LYREX_SHARED_FIXTURES "/orientation/landscape_") +
                                           std::to_string((i - 1) % 8 + 1) + ".jpg",
                                       path);
            paths.push_back(path);
        }
        return paths;
    }
    // A frame in List view holding the pictures.
    CMainFrame* FrameWith(const std::vector<std::string>& paths) {
        CMainFrame* frame = Frame(0);
        if (!paths.empty()) EXPECT_EQ(noErr, frame->AddFiles(paths));
        frame->SetViewMode(kViewList);
        Pump();
        return frame;
    }
    static std::string NameOf(CatalogRec* catalog, SInt32 n) {
        FSSpec file;
        if (CatalogFindItemPath(catalog, n, &file) == noErr) return FSSpecName(file);
        ItemRec r{};
        ItemReadRecord(catalog, n, &r);
        return std::string(reinterpret_cast<const char*>(r.fileName + 1), r.fileName[0]);
    }
    static std::vector<std::string> Names(CatalogRec* catalog) {
        std::vector<std::string> out;
        for (SInt32 n = 1; n <= catalog->itemCount; ++n) out.push_back(NameOf(catalog, n));
        return out;
    }
    static std::vector<SInt32> Selected(ViewRec* view) {
        std::vector<SInt32> out;
        for (SInt32 i = 1; ViewNextSelected(view, &i); ++i) out.push_back(i);
        return out;
    }
    // The middle of an item's cell, a little right of its left edge (in List view clear of
    // the name column's text).
    static wxPoint CellPoint(ViewRec* view, SInt32 item, int dy = 0) {
        Rect r;
        ViewCellRect(view, ViewItemToCell(view, item), &r);
        return wxPoint(r.right - 4, (r.top + r.bottom) / 2 + dy);
    }
    static void Click(CGridView* grid, const wxPoint& at, bool control = false, wxEventType down = wxEVT_LEFT_DOWN,
                      wxEventType up = wxEVT_LEFT_UP) {
        for (wxEventType type : {down, up}) {
            wxMouseEvent e(type);
            e.SetPosition(at);
            e.SetControlDown(control);
            grid->GetEventHandler()->ProcessEvent(e);
        }
    }
    static void Key(wxWindow* window, int code, bool control = false, bool alt = false) {
        wxKeyEvent e(wxEVT_KEY_DOWN);
        e.m_keyCode = code;
        e.SetControlDown(control);
        e.SetAltDown(alt);
        e.SetEventObject(window);
        window->GetEventHandler()->ProcessEvent(e);
    }
    // Carries a drag's data into a drop's data object the way the toolkit does: the first
    // format the drop wants that the source offers.
    static void Carry(const wxDataObject& source, ReceivedData& target) {
        for (const wxDataFormat& f : {GridViewRefFormat(), GridItemsFormat(), UriListFormat()}) {
            if (!source.IsSupported(f)) continue;
            std::vector<char> buffer(source.GetDataSize(f));
            source.GetDataHere(f, buffer.data());
            target.SetData(f, buffer.size(), buffer.data());
            return;
        }
    }
};

TEST_F(GridViewTest, ClicksSelectToggleAndDeselectThroughTheEngine) {
    ASSERT_TRUE(Start({}));
    CMainFrame* frame = FrameWith(Pictures("a", 4));
    CGridView* grid = frame->GetGridView();
    ViewRec* view = grid->GetViewRec();
    ASSERT_EQ(4, ViewItemCount(view));
    Click(grid, CellPoint(view, 2));
    EXPECT_EQ((std::vector<SInt32>{2}), Selected(view));
    Click(grid, CellPoint(view, 4), true);
    EXPECT_EQ((std::vector<SInt32>{2, 4}), Selected(view)) << "Control adds";
    Click(grid, CellPoint(view, 2), true);
    EXPECT_EQ((std::vector<SInt32>{4}), Selected(view)) << "Control on a selected item takes it away";
    Rect last;
    ViewCellRect(view, ViewItemToCell(view, 4), &last);
    Click(grid, wxPoint(10, last.bottom + 30));
    EXPECT_TRUE(Selected(view).empty()) << "a click below every item deselects";
}

TEST_F(GridViewTest, EscapeLeavesMoveToLocationAndKeepsTheSelection) {
    ASSERT_TRUE(Start({}));
    CMainFrame* frame = FrameWith(Pictures("a", 3));
    CGridView* grid = frame->GetGridView();
    ViewRec* view = grid->GetViewRec();
    Click(grid, CellPoint(view, 1));
    grid->BeginMoveToLocation();
    Key(grid, WXK_ESCAPE);
    EXPECT_FALSE(grid->InMoveToLocation());
    EXPECT_EQ((std::vector<SInt32>{1}), Selected(view));
    Key(grid, WXK_ESCAPE);
    EXPECT_TRUE(Selected(view).empty()) << "outside the mode Escape deselects";
    // Placing: the next release moves the selection before the item under the pointer.
    Click(grid, CellPoint(view, 1));
    grid->BeginMoveToLocation();
    Click(grid, CellPoint(view, 3));
    EXPECT_FALSE(grid->InMoveToLocation());
    EXPECT_EQ((std::vector<std::string>{"p2.jpg", "p1.jpg", "p3.jpg"}), Names(frame->GetCatalog()));
    EXPECT_EQ(3, grid->PendingMovePosition());
}

TEST_F(GridViewTest, F2RenamesTheFileOnDiskAndRefusesANameInUseOrOneLeavingTheFolder) {
    ASSERT_TRUE(Start({}));
    const std::vector<std::string> paths = Pictures("r", 2);
    CMainFrame* frame = FrameWith(paths);
    CGridView* grid = frame->GetGridView();
    ViewRec* view = grid->GetViewRec();
    CatalogRec* catalog = frame->GetCatalog();
    Click(grid, CellPoint(view, 1));
    Key(grid, WXK_F2);
    ASSERT_NE(nullptr, grid->Editor()) << "F2 opens the edit on the file name";
    EXPECT_EQ("p1.jpg", grid->Editor()->GetValue());
    long from = 0, to = 0;
    grid->Editor()->GetSelection(&from, &to);
    EXPECT_EQ(0, from);
    EXPECT_EQ(2, to) << "the name without its extension is selected";
    grid->Editor()->SetValue("  beach.jpg ");
    Key(grid->Editor(), WXK_RETURN);
    Pump();
    EXPECT_EQ(nullptr, grid->Editor());
    const std::string renamed = files_ / "r/beach.jpg";
    EXPECT_TRUE(std::filesystem::exists(renamed));
    EXPECT_FALSE(std::filesystem::exists(paths[0]));
    EXPECT_EQ("beach.jpg", NameOf(catalog, 1));

    // The other file's name: both files stay, the alert shows and the edit opens again.
    Key(grid, WXK_F2);
    ASSERT_NE(nullptr, grid->Editor());
    grid->Editor()->SetValue("p2.jpg");
    wxTEST_DIALOG(Key(grid->Editor(), WXK_RETURN), AnswerAlert(kAlertButton1).Describe("name in use"));
    EXPECT_TRUE(std::filesystem::exists(renamed));
    EXPECT_EQ(std::filesystem::file_size(LYREX_SHARED_FIXTURES "/orientation/landscape_2.jpg"),
              std::filesystem::file_size(paths[1])) << "the file of that name is untouched";
    ASSERT_NE(nullptr, grid->Editor()) << "the edit opens again for another name";

    for (const char* bad : {"../beach.jpg", "..", "sub/x.jpg"}) {
        grid->Editor()->SetValue(bad);
        wxTEST_DIALOG(Key(grid->Editor(), WXK_RETURN), AnswerAlert(kAlertButton1).Describe(bad));
        EXPECT_TRUE(std::filesystem::exists(renamed)) << bad;
        EXPECT_EQ("beach.jpg", NameOf(catalog, 1)) << bad;
        if (!grid->Editor()) Key(grid, WXK_F2);
        ASSERT_NE(nullptr, grid->Editor());
    }
    Key(grid->Editor(), WXK_ESCAPE);
    Pump();
    EXPECT_EQ(nullptr, grid->Editor());
}

TEST_F(GridViewTest, CopyAndPasteCarryItemsBetweenWindowsAndCutRemovesWhatWasCopied) {
    ASSERT_TRUE(Start({}));
    CMainFrame* a = FrameWith(Pictures("a", 4));
    CMainFrame* b = GetApp().NewFrame(true);
    ASSERT_NE(nullptr, b);
    Pump();
    ViewRec* va = a->GetViewRec();
    Click(a->GetGridView(), CellPoint(va, 2));
    Click(a->GetGridView(), CellPoint(va, 3), true);
    a->GetGridView()->SetFocus();
    EXPECT_EQ(2, a->GetGridView()->CopySelection(CGridView::kCopy));
    EXPECT_TRUE(CGridView::CanPaste());
    EXPECT_EQ(4, a->GetCatalog()->itemCount) << "Copy leaves the items";
    b->GetGridView()->SetFocus();
    b->GetGridView()->Paste();
    EXPECT_EQ((std::vector<std::string>{"p2.jpg", "p3.jpg"}), Names(b->GetCatalog()));

    a->GetGridView()->SetFocus();
    EXPECT_EQ(2, a->GetGridView()->CopySelection(CGridView::kCut));
    EXPECT_EQ((std::vector<std::string>{"p1.jpg", "p4.jpg"}), Names(a->GetCatalog()));
    b->GetGridView()->SetFocus();
    b->GetGridView()->Paste();
    EXPECT_EQ(4, b->GetCatalog()->itemCount) << "what was cut pastes again";
}

TEST_F(GridViewTest, FilesCopiedAsAUriListArePastedAsNewItems) {
    ASSERT_TRUE(Start({}));
    const std::vector<std::string> paths = Pictures("copied by another program", 2);
    CMainFrame* frame = FrameWith({});
    ASSERT_TRUE(wxTheClipboard->Open());
    const std::string list = BuildUriList(paths);
    wxTheClipboard->SetData(new BytesDataObject(UriListFormat(), Bytes(list.begin(), list.end())));
    wxTheClipboard->Close();
    EXPECT_TRUE(CGridView::CanPaste());
    frame->GetGridView()->SetFocus();
    frame->GetGridView()->Paste();
    EXPECT_EQ((std::vector<std::string>{"p1.jpg", "p2.jpg"}), Names(frame->GetCatalog()));
}

TEST_F(GridViewTest, DraggedItemsAreCopiedToAnotherWindowAndMovedInTheirOwn) {
    ASSERT_TRUE(Start({}));
    CMainFrame* a = FrameWith(Pictures("a", 3));
    CMainFrame* b = GetApp().NewFrame(true);
    Pump();
    ViewRec* va = a->GetViewRec();
    Click(a->GetGridView(), CellPoint(va, 3));
    std::unique_ptr<wxDataObject> drag(a->GetGridView()->MakeDragData());
    ASSERT_NE(nullptr, drag);
    ASSERT_TRUE(drag->IsSupported(UriListFormat())) << "other programs get the files";
    std::vector<char> uris(drag->GetDataSize(UriListFormat()));
    drag->GetDataHere(UriListFormat(), uris.data());
    EXPECT_EQ((std::vector<std::string>{files_ / "a/p3.jpg"}), ParseUriList(std::string(uris.begin(), uris.end())));

    ReceivedData intoB;
    Carry(*drag, intoB);
    EXPECT_TRUE(b->GetGridView()->DropData(intoB, wxPoint(20, 20)));
    EXPECT_EQ((std::vector<std::string>{"p3.jpg"}), Names(b->GetCatalog()));
    EXPECT_EQ(3, a->GetCatalog()->itemCount) << "a drag to another window copies";

    ReceivedData intoA;
    Carry(*drag, intoA);
    EXPECT_TRUE(a->GetGridView()->DropData(intoA, CellPoint(va, 1, -8)));
    EXPECT_EQ((std::vector<std::string>{"p3.jpg", "p1.jpg", "p2.jpg"}), Names(a->GetCatalog()))
        << "inside its own window the selection moves";

    // A reference from another process, or to a view that is gone, is refused.
    const UInt64 serialA = a->GetGridView()->Serial();
    for (const Bytes& bytes : {EncodeViewRef(UInt32(getpid()) + 1, serialA), EncodeViewRef(UInt32(getpid()), 999999),
                               Bytes{1, 2, 3}}) {
        ReceivedData forged;
        forged.SetData(GridViewRefFormat(), bytes.size(), bytes.data());
        EXPECT_FALSE(b->GetGridView()->DropData(forged, wxPoint(20, 20)));
    }
    EXPECT_EQ(1, b->GetCatalog()->itemCount);
}

TEST_F(GridViewTest, DroppedFilesAreImportedAtTheDropPosition) {
    ASSERT_TRUE(Start({}));
    CMainFrame* frame = FrameWith(Pictures("a", 3));
    ViewRec* view = frame->GetViewRec();
    const std::vector<std::string> dropped = Pictures("dropped", 2);
    std::filesystem::rename(dropped[0], files_ / "dropped/x1.jpg");
    std::filesystem::rename(dropped[1], files_ / "dropped/x2.jpg");
    const std::string list = BuildUriList({files_ / "dropped/x1.jpg", files_ / "dropped/x2.jpg"});
    ReceivedData data;
    data.SetData(UriListFormat(), list.size(), list.data());
    // The lower half of item 1: between items 1 and 2.
    ASSERT_TRUE(frame->GetGridView()->DropData(data, CellPoint(view, 1, 4)));
    EXPECT_FALSE(frame->GetGridView()->DropData(data, CellPoint(view, 1, 4))) << "one pending import at a time";
    ASSERT_TRUE(PumpUntil([&] { return frame->GetCatalog()->itemCount == 5; }));
    EXPECT_EQ((std::vector<std::string>{"p1.jpg", "x1.jpg", "x2.jpg", "p2.jpg", "p3.jpg"}), Names(frame->GetCatalog()));

    const std::string notes = files_.Write("notes.qqq", "text");
    const std::string single = BuildUriList({notes});
    ReceivedData unknown;
    unknown.SetData(UriListFormat(), single.size(), single.data());
    EXPECT_FALSE(frame->GetGridView()->DropData(unknown, CellPoint(view, 1))) << "one file of no known kind";
}

TEST_F(GridViewTest, ACloseDuringAnImportIsRefusedAndAQuitCancelsTheImportThenEnds) {
    ASSERT_TRUE(Start({}));
    CMainFrame* frame = FrameWith({});
    const std::vector<std::string> paths = Pictures("many", 40);
    bool closeRefused = false;
    {
        DuringImport closing([&] { closeRefused = !frame->Close() && frame->IsBusy(); });
        EXPECT_EQ(noErr, frame->AddFiles(paths));
    }
    EXPECT_TRUE(closeRefused) << "the frame stayed while its import ran";
    EXPECT_EQ(40, frame->GetCatalog()->itemCount);
    EXPECT_FALSE(frame->IsBusy());

    const std::vector<std::string> more = Pictures("more", 40);
    {
        DuringImport quitting([&] {
            wxCommandEvent exit(wxEVT_MENU, WxIdOf(32836));
            frame->GetEventHandler()->ProcessEvent(exit);
        });
        EXPECT_EQ(userCanceledErr, frame->AddFiles(more)) << "the quit cancelled the import";
    }
    EXPECT_EQ(40, frame->GetCatalog()->itemCount) << "the cancelled import added nothing";
    // The catalog was changed: the quit asks about saving, answered "don't save".
    wxTEST_DIALOG(PumpUntil([] { return FrameCount() == 0; }, 5000),
                  AnswerAlert(kAlertButton3).Describe("save changes?"));
    EXPECT_EQ(0u, FrameCount()) << "then the program quits";
}

TEST_F(GridViewTest, TheClipboardCommandsFollowTheirRulesAndPasteWantsItemsOrFiles) {
    ASSERT_TRUE(Start({}));
    CMainFrame* frame = FrameWith(Pictures("a", 2));
    CMenuHandler* handler = frame->GetMenuHandler();
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject("just some words"));
    wxTheClipboard->Close();
    frame->GetGridView()->SetFocus();
    EXPECT_FALSE(CommandIsEnabled({frame, 57637})) << "plain text is no item and names no file";
    EXPECT_FALSE(CommandIsEnabled({frame, 57634})) << "nothing selected to copy";
    EXPECT_FALSE(handler->Execute(57634)) << "the accelerator is refused too";
    Click(frame->GetGridView(), CellPoint(frame->GetViewRec(), 2));
    bool copied = false;
    // The List view's text-copy question, cancelled: the items still go.
    wxTEST_DIALOG(copied = handler->Execute(57634), AnswerDialog<CTextCopyDlg>(wxID_CANCEL).Describe("text copy"));
    EXPECT_TRUE(copied);
    EXPECT_TRUE(CommandIsEnabled({frame, 57637}));
    EXPECT_TRUE(handler->Execute(57637));
    EXPECT_EQ((std::vector<std::string>{"p1.jpg", "p2.jpg"}), Names(frame->GetCatalog()))
        << "a catalog already holding the file skips it without a word";
    CMainFrame* other = GetApp().NewFrame(true);
    Pump();
    other->GetGridView()->SetFocus();
    EXPECT_TRUE(CommandIsEnabled({other, 57637}));
    EXPECT_TRUE(other->GetMenuHandler()->Execute(57637));
    EXPECT_EQ((std::vector<std::string>{"p2.jpg"}), Names(other->GetCatalog()));
}

TEST_F(GridViewTest, CopyInListViewAddsTheChosenTextBesideTheItems) {
    ASSERT_TRUE(Start({}));
    CMainFrame* frame = FrameWith(Pictures("a", 3));
    Click(frame->GetGridView(), CellPoint(frame->GetViewRec(), 1));
    Click(frame->GetGridView(), CellPoint(frame->GetViewRec(), 3), true);
    frame->GetGridView()->SetFocus();
    GetPreferences()->copyTextChoice = 1;
    wxTEST_DIALOG(frame->GetMenuHandler()->Execute(57634), AnswerDialog<CTextCopyDlg>(wxID_OK).Describe("text copy"));
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTextDataObject text;
    EXPECT_TRUE(wxTheClipboard->GetData(text));
    EXPECT_TRUE(wxTheClipboard->IsSupported(GridItemsFormat())) << "the items go along";
    wxTheClipboard->Close();
    EXPECT_EQ(files_ / "a/p1.jpg" + "\r\n" + files_ / "a/p3.jpg" + "\r\n", text.GetText().utf8_string())
        << "path names, one a line";
    // Cancelled: the items still go, the text does not.
    wxTEST_DIALOG(frame->GetMenuHandler()->Execute(57634), AnswerDialog<CTextCopyDlg>(wxID_CANCEL).Describe("text copy"));
    ASSERT_TRUE(wxTheClipboard->Open());
    EXPECT_FALSE(wxTheClipboard->IsSupported(wxDF_UNICODETEXT));
    EXPECT_TRUE(wxTheClipboard->IsSupported(GridItemsFormat()));
    wxTheClipboard->Close();
}

TEST_F(GridViewTest, CopyInMediaViewPutsTheFileAtFullSizeWhenChosen) {
    ASSERT_TRUE(Start({}));
    CMainFrame* frame = FrameWith(Pictures("a", 1));
    frame->SetViewMode(kViewMedia);
    Pump();
    ViewSelectItem(frame->GetViewRec(), 1, kSelectAlone, true);
    frame->GetGridView()->SetFocus();
    GetPreferences()->copyPictureChoice = 1;
    wxTEST_DIALOG(frame->GetMenuHandler()->Execute(57634), AnswerDialog<CPicCopyDlg>(wxID_OK).Describe("picture copy"));
    ASSERT_TRUE(wxTheClipboard->Open());
    wxBitmapDataObject picture;
    EXPECT_TRUE(wxTheClipboard->GetData(picture));
    wxTheClipboard->Close();
    const wxImage source(LYREX_SHARED_FIXTURES "/orientation/landscape_1.jpg");
    EXPECT_EQ(source.GetSize(), picture.GetBitmap().GetSize()) << "the file at its own size";
}

}  // namespace
