// The side panel in a real catalog window, driven by its commands, keys, clicks and drops,
// with what the catalog and the view recorded as the answer: the Info panel's edits reach
// the items and the saved file and nothing else changes, a click on a keyword filters the
// view, items dropped on a keyword get it, and a folder gone from disk shows as missing
// while the window keeps answering.
#include "appui/AppTestSupport.h"

#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "catalog/info/InfoRow.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/organize/OrganizeSets.h"
#include "app/ui/commands/CMenuHandler.h"
#include "app/ui/commands/CommandTable.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/ui/CInplaceEdit.h"
#include "window/panels/FieldOrganizer.h"
#include "foundation/ui/CQXDatePicker.h"
#include <wx/datectrl.h>
#include "foundation/ui/CRenameCombo.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/CPaneInfoCommentEditBox.h"
#include "foundation/ui/CRenameEdit.h"
#include "foundation/ui/UiText.h"
#include "platform/Files.h"
#include "platform/Handles.h"
#include "window/panels/PanelDrag.h"
#include "window/ui/CCommentRoundBar.h"
#include "window/ui/CGridContainer.h"
#include "window/ui/CInfoRoundBar.h"
#include "window/ui/CPaneFolderList.h"
#include "window/ui/CPaneInfo.h"
#include "window/ui/CPaneInfoList.h"
#include "window/ui/CPaneView.h"
#include "window/ui/CPaneViewList.h"
#include "window/ui/CGridView.h"
#include "window/ui/CPanelDropTarget.h"
#include "window/ui/CSidePanel.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewSelection.h"

#include <fstream>
#include <memory>
#include <map>
#include <wx/testing.h>

// Answers the alert box with a button's end code, without showing it.
template <>
class wxExpectModal<Clxsavechanges> : public wxExpectModalBase<Clxsavechanges> {
public:
    explicit wxExpectModal(int code) : code_(code) {}

protected:
    int OnInvoked(Clxsavechanges*) const override { return code_; }

private:
    int code_;
};

// Picks a date in the date prompt and answers with a button, without showing it.
template <>
class wxExpectModal<CQXDatePicker> : public wxExpectModalBase<CQXDatePicker> {
public:
    wxExpectModal(const wxDateTime& date, int code) : date_(date), code_(code) {}

protected:
    int OnInvoked(CQXDatePicker* dialog) const override {
        dialog->Picker()->SetValue(date_);
        if (code_ == wxID_OK) static_cast<wxWindow*>(dialog)->TransferDataFromWindow();
        return code_;
    }

private:
    wxDateTime date_;
    int code_;
};

namespace {

using Datasets = std::multimap<UInt16, std::string>;

// The IPTC datasets of an annotation block: tag 0x1C, record, dataset, 16-bit length.
Datasets ParseDatasets(Handle block) {
    Datasets out;
    if (!block) return out;
    const auto* p = reinterpret_cast<const std::uint8_t*>(*block);
    const long size = GetHandleSize(block);
    for (long i = 0; i + 5 <= size && p[i] == 0x1C;) {
        const UInt16 key = UInt16(p[i + 1] << 8 | p[i + 2]);
        const long length = p[i + 3] << 8 | p[i + 4];
        out.emplace(key, std::string(reinterpret_cast<const char*>(p + i + 5), std::size_t(std::min(length, size - i - 5))));
        i += 5 + length;
    }
    return out;
}

Datasets Without(Datasets d, std::initializer_list<UInt16> keys) {
    for (UInt16 k : keys) d.erase(k);
    return d;
}

std::vector<std::string> Values(const Datasets& d, UInt16 key) {
    std::vector<std::string> out;
    for (auto [it, end] = d.equal_range(key); it != end; ++it) out.push_back(it->second);
    return out;
}

constexpr UInt16 Tag(unsigned record, unsigned dataset) { return UInt16(record << 8 | dataset); }

class SidePanelTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(Start({CopyCatalog("three-items.lxc", "panel.lxc")}));
        frame_ = Frame(0);
        frame_->Show();
        Pump();
    }
    CSidePanel* Panel() const { return frame_->GetGridContainer()->GetSidePanel(); }
    CatalogRec* Catalog() const { return frame_->GetCatalog(); }
    ViewRec* View() const { return frame_->GetViewRec(); }
    bool Run(int id) { return frame_->GetMenuHandler()->Execute(id); }
    static void Key(wxWindow* target, int code, bool ctrl = false) {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = code;
        key.m_controlDown = ctrl;
        key.SetEventObject(target);
        target->GetEventHandler()->ProcessEvent(key);
    }
    static void Click(wxWindow* target, const wxPoint& at) {
        wxMouseEvent down(wxEVT_LEFT_DOWN);
        down.SetPosition(at);
        down.SetEventObject(target);
        target->GetEventHandler()->ProcessEvent(down);
        wxMouseEvent up(wxEVT_LEFT_UP);
        up.SetPosition(at);
        up.SetEventObject(target);
        target->GetEventHandler()->ProcessEvent(up);
    }
    void SetDataset(SInt32 item, FieldId field, SInt16 index, const std::string& text) {
        ASSERT_EQ(noErr, ItemSetAnnotationDataset(Catalog(), item, field, index, text.data(), SInt16(text.size())));
    }
    Datasets StoredDatasets(CatalogRec* catalog, UInt32 id) {
        Handle block = ItemReadBlock(catalog, CatalogFindEntryById(catalog, id), kBlockAnnotations);
        Datasets d = ParseDatasets(block);
        if (block) DisposeHandle(block);
        return d;
    }
    int ListRowOf(CPaneInfoList* list, UInt8 kind, UInt32 field) {
        for (int i = 0; i < list->GetRowCount(); ++i) {
            const InfoRow* row = InfoGetRow(Catalog(), list->InfoRowAt(i));
            if (row && row->kind == kind && row->fieldId == field) return i;
        }
        return -1;
    }
    // The Info editor's text control: a combo for fields with a pick list, else a plain field.
    static wxTextEntry* InfoEntry(CPaneInfoList* list) {
        if (!list->Editor()) return nullptr;
        if (list->Editor()->Combo()) return list->Editor()->Combo();
        return list->Editor()->Edit();
    }
    static wxWindow* InfoEditor(CPaneInfoList* list) {
        if (!list->Editor()) return nullptr;
        if (list->Editor()->Combo()) return list->Editor()->Combo();
        return list->Editor()->Edit();
    }
    void Type(CPaneInfoList* list, const wxString& text) {
        ASSERT_NE(nullptr, list->Editor());
        ASSERT_NE(nullptr, InfoEntry(list));
        InfoEntry(list)->ChangeValue(text);
    }
    CMainFrame* frame_ = nullptr;
};

TEST_F(SidePanelTest, TheCommandsShowAPaneHideItWhenShownAndCheckTheShownOne) {
    EXPECT_EQ(800, Panel()->GetInfoPane()->GetSplit()) << "a catalog that never stored a split";
    EXPECT_EQ(500, Panel()->GetViewPane()->GetSplit());
    ASSERT_TRUE(Run(202));
    EXPECT_EQ(1, Panel()->GetShownPane());
    EXPECT_TRUE(Panel()->GetInfoPane()->IsShown());
    const CommandRow* row = FindCommandRow(202);
    ASSERT_NE(nullptr, row);
    EXPECT_TRUE(row->checked(CommandContext{frame_, 202}));
    EXPECT_FALSE(row->checked(CommandContext{frame_, 203}));
    ASSERT_TRUE(Run(203));
    EXPECT_EQ(2, Panel()->GetShownPane());
    EXPECT_EQ(2, CatalogGetViewKind(Catalog())) << "the shown pane is the catalog's setting";
    ASSERT_TRUE(Run(203));
    EXPECT_EQ(0, Panel()->GetShownPane());
    EXPECT_FALSE(Panel()->IsShown());
}

TEST_F(SidePanelTest, InfoEditsReachTheItemAndTheSavedFileAndNothingElseChanges) {
    const std::string path = files_ / "saved.lxc";
    // Item 1 carries annotations of its own before the edit.
    SetDataset(1, kFieldCity, 1, "Lyon");
    SetDataset(1, kFieldTitle, 1, "Harbour");
    SetDataset(1, kFieldCredit, 1, "Studio");
    SetDataset(1, kFieldKeywords, 1, "old");
    SetDataset(1, kFieldPeople, 1, "Ann");
    ASSERT_EQ(noErr, frame_->SaveTo(path, false));
    const UInt32 first = ItemGetId(Catalog(), 1);
    const Datasets before = StoredDatasets(Catalog(), first);
    ASSERT_EQ(1u, Values(before, Tag(2, 90)).size());

    ASSERT_TRUE(Run(202));
    CPaneInfo* pane = Panel()->GetInfoPane();
    CPaneInfoList* list = pane->GetList();
    ViewSelectItem(View(), 1, kSelectAlone, true);
    ASSERT_TRUE(PumpUntil([&] { return pane->ShownItem() == 1; }));

    // The caption, typed into its box.
    pane->GetCommentBar()->GetEditBox()->SetValue("A new caption\nsecond line");
    // Two keywords, each typed on the add row; Tab opens the add row again.
    const int add = ListRowOf(list, kInfoRowNewValue, kFieldKeywords);
    ASSERT_GE(add, 0);
    list->SelectRow(add, true);
    ASSERT_TRUE(list->BeginEdit(add));
    Type(list, "sun");
    Key(InfoEditor(list), WXK_TAB);
    ASSERT_NE(nullptr, list->Editor()) << "the editor opened on the next row";
    EXPECT_EQ(kInfoRowNewValue, InfoGetRow(Catalog(), list->InfoRowAt(list->EditedRow()))->kind);
    Type(list, "sea");
    // Ctrl+Right: the next item becomes current and the same field is edited there.
    Key(InfoEditor(list), WXK_RIGHT, true);
    EXPECT_EQ(2, View()->currentItem);
    ASSERT_NE(nullptr, list->Editor());
    EXPECT_EQ(UInt32(kFieldKeywords), InfoGetRow(Catalog(), list->InfoRowAt(list->EditedRow()))->fieldId);
    Key(InfoEditor(list), WXK_ESCAPE);
    Pump();
    ASSERT_EQ(noErr, frame_->SaveTo(path, false));

    // Opened again by the engine: only the caption and the keywords of item 1 changed.
    CatalogRec* reopened = nullptr;
    FSSpec spec;
    ASSERT_EQ(noErr, FSMakeFSSpecFromPath(path, &spec));
    ASSERT_EQ(noErr, CatalogOpen(&reopened, &spec, nullptr, nullptr, nullptr, nullptr, 0));
    const Datasets after = StoredDatasets(reopened, first);
    const Datasets second = StoredDatasets(reopened, ItemGetId(reopened, 2));
    CatalogClose(reopened, false);
    EXPECT_EQ(Without(before, {Tag(2, 120), Tag(2, 25)}), Without(after, {Tag(2, 120), Tag(2, 25)}));
    EXPECT_EQ((std::vector<std::string>{"A new caption\rsecond line"}), Values(after, Tag(2, 120)));
    EXPECT_EQ((std::vector<std::string>{"old", "sun", "sea"}), Values(after, Tag(2, 25)));
    EXPECT_TRUE(Values(second, Tag(2, 25)).empty()) << "the next item got nothing";
}

TEST_F(SidePanelTest, InfoListFieldsWithAPickListEditInAComboRememberingWhatWasTyped) {
    ASSERT_TRUE(Run(202));
    CPaneInfo* pane = Panel()->GetInfoPane();
    CPaneInfoList* list = pane->GetList();
    ViewSelectItem(View(), 1, kSelectAlone, true);
    ASSERT_TRUE(PumpUntil([&] { return pane->ShownItem() == 1; }));
    // A keyword typed on the add row of item 1 is offered when adding one to item 2.
    int add = ListRowOf(list, kInfoRowNewValue, kFieldKeywords);
    ASSERT_GE(add, 0);
    list->SelectRow(add, true);
    ASSERT_TRUE(list->BeginEdit(add));
    ASSERT_NE(nullptr, list->Editor()->Combo());
    EXPECT_EQ(nullptr, list->Editor()->Edit());
    EXPECT_TRUE(list->Editor()->GetText().empty()) << "the add row starts empty";
    Type(list, "lighthouse");
    Key(InfoEditor(list), WXK_RETURN);
    Pump();
    ViewSelectItem(View(), 2, kSelectAlone, true);
    ASSERT_TRUE(PumpUntil([&] { return pane->ShownItem() == 2; }));
    ViewSelectItem(View(), 1, kSelectAlone, true);
    ASSERT_TRUE(PumpUntil([&] { return pane->ShownItem() == 1; }));
    const int value = ListRowOf(list, kInfoRowValue, kFieldKeywords);
    ASSERT_GE(value, 0) << "the keyword reached item 1";
    // Editing the value starts with the value itself, not with the field's name.
    list->SelectRow(value, true);
    ASSERT_TRUE(list->BeginEdit(value));
    ASSERT_NE(nullptr, list->Editor()->Combo());
    EXPECT_EQ("lighthouse", list->Editor()->GetText());
    Key(InfoEditor(list), WXK_ESCAPE);
    Pump();
    ViewSelectItem(View(), 2, kSelectAlone, true);
    ASSERT_TRUE(PumpUntil([&] { return pane->ShownItem() == 2; }));
    add = ListRowOf(list, kInfoRowNewValue, kFieldKeywords);
    ASSERT_GE(add, 0);
    list->SelectRow(add, true);
    ASSERT_TRUE(list->BeginEdit(add));
    ASSERT_NE(nullptr, list->Editor()->Combo());
    EXPECT_NE(wxNOT_FOUND, list->Editor()->Combo()->FindString("lighthouse"));
    Key(InfoEditor(list), WXK_ESCAPE);
    Pump();
}

TEST_F(SidePanelTest, AClickOnAKeywordFiltersTheViewAndItemsDroppedOnItGetIt) {
    SetDataset(1, kFieldKeywords, 1, "sun");
    OrganizeSetEnabled(Catalog(), kFieldKeywords, true);
    OrganizeSetExpanded(Catalog(), kFieldKeywords, true);
    ASSERT_TRUE(Run(203));
    CPaneViewList* list = Panel()->GetViewPane()->GetViewList();
    list->Rebuild(true);
    Pump();
    const auto sunRow = [&] {
        for (int i = 0; i < int(list->Rows().size()); ++i) {
            const OrganizeRow& r = list->Rows()[std::size_t(i)];
            if (r.field == kFieldKeywords && r.IsEntry() &&
                OrganizeGetEntry(Catalog(), r.field, UInt32(r.entry))->text[0] == 3 &&
                std::string(reinterpret_cast<const char*>(OrganizeGetEntry(Catalog(), r.field, UInt32(r.entry))->text + 1), 3) == "sun")
                return i;
        }
        return -1;
    };
    int row = sunRow();
    ASSERT_GE(row, 0);
    const SInt32 entry = list->Rows()[std::size_t(row)].entry;
    list->EnsureRowVisible(row);
    const wxRect rect = list->RowRect(row);
    Click(list, wxPoint(rect.x + 80, rect.y + rect.height / 2));
    EXPECT_EQ((FilterSet{{kFilterOrganizeEntry, SInt32(kFieldKeywords), entry}}), View()->filters);
    EXPECT_EQ(1, ViewItemCount(View()));
    EXPECT_TRUE(list->IsRowSelected(row)) << "the filter's row shows selected";
    // A click in the empty space under the last row concerns no row (not the last one, here
    // a keyword of its own).
    Str255 last;
    PStrFromWx("zzz", last);
    ASSERT_EQ(noErr, OrganizeInsertNamedEntry(Catalog(), kFieldKeywords, OrganizeGetEntryCount(Catalog(), kFieldKeywords),
                                              last, 0, 0));
    list->Rebuild(true);
    ASSERT_EQ(kFieldKeywords, list->Rows().back().field);
    list->SetClientSize(list->GetClientSize().x, list->RowHeight() * (list->GetRowCount() + 3));
    list->ScrollToRow(0);
    Click(list, wxPoint(80, list->RowHeight() * (list->GetRowCount() + 1)));
    EXPECT_EQ((FilterSet{{kFilterOrganizeEntry, SInt32(kFieldKeywords), entry}}), View()->filters);

    // Back to every item; items 2 and 3 are dropped from the grid onto the keyword.
    ViewClearFilters(View(), true);
    ASSERT_EQ(3, ViewItemCount(View()));
    ViewSelectItem(View(), 2, kSelectAlone, false);
    ViewSelectItem(View(), 3, kSelectAdd, false);
    Pump();
    auto* target = dynamic_cast<CPanelDropTarget*>(list->GetDropTarget());
    ASSERT_NE(nullptr, target);
    row = sunRow();
    const wxRect at = list->RowRect(row);
    const auto foreign = PanelDragEncode({PanelDragThisProcess(), View()->dragId + 1000, 0});
    EXPECT_FALSE(target->Drop(false, foreign.data(), foreign.size(), at.x + 40, at.y + 2))
        << "items of another window are refused";
    // What the grid view's own drag carries for the panel.
    std::unique_ptr<wxDataObject> drag(frame_->GetGridView()->MakeDragData());
    ASSERT_NE(nullptr, drag);
    ASSERT_TRUE(drag->IsSupported(PanelGridDragFormat())) << "a drag from the grid reaches the panel's lists";
    std::vector<char> mine(drag->GetDataSize(PanelGridDragFormat()));
    drag->GetDataHere(PanelGridDragFormat(), mine.data());
    EXPECT_TRUE(target->Drop(false, mine.data(), mine.size(), at.x + 40, at.y + 2));
    EXPECT_EQ(3u, OrganizeEntryGetCount(OrganizeGetEntry(Catalog(), kFieldKeywords, UInt32(entry))));
    for (SInt32 item : {2, 3})
        EXPECT_EQ((std::vector<std::string>{"sun"}), Values(StoredDatasets(Catalog(), ItemGetId(Catalog(), item)), Tag(2, 25)))
            << "item " << item;
}

TEST_F(SidePanelTest, AFolderGoneFromDiskShowsAsMissingWhileTheWindowKeepsAnswering) {
    const std::filesystem::path folder = std::filesystem::path(files_ / "photos");
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "a.jpg") << "x";
    FSSpec file;
    ASSERT_EQ(noErr, FSMakeFSSpecFromPath((folder / "a.jpg").string(), &file));
    ASSERT_EQ(noErr, CatalogFolderTreeAddItem(Catalog(), &file, ItemGetId(Catalog(), 1), nullptr));
    ASSERT_TRUE(Run(203));
    CPaneFolderList* list = Panel()->GetViewPane()->GetFolderList();
    list->Rebuild(true);
    // Unfold down to the folder.
    for (int guard = 0; guard < 20 && list->GetRowCount() > 0; ++guard) {
        bool opened = false;
        for (int i = 0; i < list->GetRowCount() && !opened; ++i) {
            FolderNode* node = FolderTreeFindNodeById(Catalog()->folderTree, list->NodeAt(i));
            if (node && !node->children.empty() && !(node->flags & kFolderExpanded)) {
                FolderTreeToggleExpanded(Catalog(), node, false);
                list->Rebuild(true);
                opened = true;
            }
        }
        if (!opened) break;
    }
    FolderNode* photos = CatalogFindItemFolderNode(Catalog(), ItemGetId(Catalog(), 1));
    ASSERT_NE(nullptr, photos);
    const int row = list->RowOfNode(photos->nodeId);
    ASSERT_GE(row, 0);
    const int checks = list->ChecksDone();
    ASSERT_TRUE(PumpUntil([&] { return list->ChecksDone() > checks; }));
    EXPECT_FALSE(list->IsMissing(row));

    std::filesystem::remove_all(folder);
    const int again = list->ChecksDone();
    list->CheckDisks();
    ASSERT_TRUE(PumpUntil([&] { return list->ChecksDone() > again; }));
    EXPECT_TRUE(list->IsMissing(row));
    // A click filters by the folder all the same.
    const wxRect rect = list->RowRect(row);
    Click(list, wxPoint(rect.x + 100, rect.y + 3));
    EXPECT_TRUE(ViewHasFilter(View(), kFilterFolder, 0, SInt32(photos->nodeId)));
    EXPECT_EQ(1, ViewItemCount(View()));
}

TEST_F(SidePanelTest, EntryCommandsAddDuplicateAndAfterAQuestionDeleteSets) {
    OrganizeSetEnabled(Catalog(), kOrganizeSetsField, true);
    OrganizeSetExpanded(Catalog(), kOrganizeSetsField, true);
    ASSERT_TRUE(Run(203));
    CPaneViewList* list = Panel()->GetViewPane()->GetViewList();
    list->Rebuild(true);
    const auto sets = [&] {
        std::vector<std::string> out;
        for (UInt32 n = 1; n <= OrganizeGetEntryCount(Catalog(), kOrganizeSetsField); ++n) {
            const OrganizeEntry* e = OrganizeGetEntry(Catalog(), kOrganizeSetsField, n);
            out.push_back(std::string(e->level, '>') + std::string(reinterpret_cast<const char*>(e->text + 1), e->text[0]));
        }
        return out;
    };
    const auto typeAndEnter = [&](const wxString& text) {
        ASSERT_NE(nullptr, list->Editor());
        list->Editor()->Edit()->ChangeValue(text);
        Key(list->Editor()->Edit(), WXK_RETURN);
        Pump();
    };
    // "Add new set" from the header's menu: a set, then its rename.
    list->RunFieldCommand(list->FindRow(kOrganizeSetsField, kOrganizeRowHeader), 1);
    typeAndEnter("trip");
    using S = std::vector<std::string>;
    EXPECT_EQ((S{"trip"}), sets());
    // A container gets a sub-set from its menu, placed under it and renamed at once.
    Str255 years;
    PStrFromWx("years", years);
    ASSERT_EQ(noErr, OrganizeInsertNamedEntry(Catalog(), kOrganizeSetsField, 1, years, 0, 1));
    list->Rebuild(true);
    list->RunEntryCommand(list->FindRow(kOrganizeSetsField, 2), kOrganizeCmdAddSubSet);
    typeAndEnter("day one");
    EXPECT_EQ((S{"trip", "years", ">day one"}), sets());
    // Items 1 and 2 go into the sub-set; its duplicate holds them too.
    ViewSelectItem(View(), 1, kSelectAlone, false);
    ViewSelectItem(View(), 2, kSelectAdd, false);
    list->RunEntryCommand(list->FindRow(kOrganizeSetsField, 3), kOrganizeCmdAddSelected);
    EXPECT_EQ(2u, OrganizeEntryGetCount(OrganizeGetEntry(Catalog(), kOrganizeSetsField, 3)));
    list->RunEntryCommand(list->FindRow(kOrganizeSetsField, 3), kOrganizeCmdDuplicate);
    EXPECT_EQ((S{"trip", "years", ">day one", ">day one copy"}), sets());
    EXPECT_EQ(2u, OrganizeEntryGetCount(OrganizeGetEntry(Catalog(), kOrganizeSetsField, 4)));
    // Deleting asks first: Cancel keeps the set, the first button deletes it.
    wxTEST_DIALOG(list->RunEntryCommand(list->FindRow(kOrganizeSetsField, 4), kOrganizeCmdDelete),
                  wxExpectModal<Clxsavechanges>(wxID_CANCEL));
    EXPECT_EQ(4u, OrganizeGetEntryCount(Catalog(), kOrganizeSetsField));
    wxTEST_DIALOG(list->RunEntryCommand(list->FindRow(kOrganizeSetsField, 4), kOrganizeCmdDelete),
                  wxExpectModal<Clxsavechanges>(kAlertButton1));
    EXPECT_EQ((S{"trip", "years", ">day one"}), sets());
    // Removing the selected items from a set asks too, and leaves the other items in it.
    ViewSelectItem(View(), 2, kSelectAlone, false);
    wxTEST_DIALOG(list->RunEntryCommand(list->FindRow(kOrganizeSetsField, 3), kOrganizeCmdRemoveSelected),
                  wxExpectModal<Clxsavechanges>(kAlertButton1));
    const OrganizeEntry* day = OrganizeGetEntry(Catalog(), kOrganizeSetsField, 3);
    ASSERT_EQ(1u, OrganizeEntryGetCount(day));
    EXPECT_EQ(ItemGetId(Catalog(), 1), day->items[0]);
}

TEST_F(SidePanelTest, DeletingAFileTypeWithItsContentAsksThenTakesItsItemsOutOfTheCatalog) {
    // The file types of the three items: two JPEG, one TIFF. Deleting the TIFF entry with its
    // content removes that item and leaves the others, the view and the other entries sound.
    const UInt32 field = 3;
    CatalogRec* catalog = Catalog();
    OrganizeSetEnabled(catalog, field, true);
    OrganizeSetExpanded(catalog, field, true);
    ASSERT_EQ(noErr, OrganizeBuildList(catalog, field, nullptr, 0));
    ASSERT_TRUE(Run(203));
    CPaneViewList* list = Panel()->GetViewPane()->GetViewList();
    list->Rebuild(true);
    ASSERT_EQ(2u, OrganizeGetEntryCount(catalog, field));
    const UInt32 tiff = OrganizeGetEntry(catalog, field, 1)->items.size() == 1 ? 1 : 2;
    ASSERT_EQ(1u, OrganizeGetEntry(catalog, field, tiff)->items.size());
    const UInt32 gone = OrganizeGetEntry(catalog, field, tiff)->items[0];
    const std::vector<UInt32> kept = OrganizeGetEntry(catalog, field, 3 - tiff)->items;
    ASSERT_EQ(2u, kept.size());
    // The gone item is the view's last, selected and current; the view is filtered on the entry.
    const SInt32 goneItem = CatalogFindItemById(catalog, gone);
    ASSERT_GT(goneItem, 0);
    ViewSelectItem(View(), goneItem, kSelectAlone, false);
    ViewSelectItem(View(), 3, kSelectAdd, false);
    ViewAddFilter(View(), kFilterOrganizeEntry, SInt32(field), SInt32(tiff), true);
    const int row = list->FindRow(field, SInt32(tiff));
    ASSERT_GE(row, 0);

    wxTEST_DIALOG(list->RunEntryCommand(row, kOrganizeCmdDeleteWithContent), wxExpectModal<Clxsavechanges>(wxID_CANCEL));
    EXPECT_EQ(3, catalog->itemCount) << "Cancel leaves everything";
    EXPECT_EQ(2u, OrganizeGetEntryCount(catalog, field));

    wxTEST_DIALOG(list->RunEntryCommand(row, kOrganizeCmdDeleteWithContent), wxExpectModal<Clxsavechanges>(kAlertButton1));
    EXPECT_EQ(2, catalog->itemCount);
    EXPECT_EQ(nullptr, CatalogFindEntryById(catalog, gone));
    for (UInt32 id : kept) EXPECT_NE(nullptr, CatalogFindEntryById(catalog, id)) << id;
    ASSERT_EQ(1u, OrganizeGetEntryCount(catalog, field));
    EXPECT_EQ(kept, OrganizeGetEntry(catalog, field, 1)->items) << "the other type keeps its items";
    EXPECT_FALSE(ViewHasFilter(View(), kFilterOrganizeEntry, SInt32(field), 0)) << "the filter went with the entry";
    EXPECT_EQ(2, ViewItemCount(View()));
    EXPECT_EQ(0, ViewCountSelected(View())) << "no selection points past the shorter catalog";
    EXPECT_LE(View()->currentItem, catalog->itemCount) << "the current item is not past the shorter catalog";
    EXPECT_TRUE(CatalogIsModified(catalog));
    EXPECT_GE(list->FindRow(field, 1), 0);
    EXPECT_EQ(-1, list->FindRow(field, 2)) << "the list was rebuilt without the entry";
}

TEST_F(SidePanelTest, AddOnTheDatesMakesTheChosenDayWithItsYearAndMonthOnce) {
    CatalogRec* catalog = Catalog();
    OrganizeSetEnabled(catalog, kOrganizeDateField, true);
    OrganizeSetExpanded(catalog, kOrganizeDateField, true);
    ASSERT_EQ(noErr, OrganizeBuildList(catalog, kOrganizeDateField, nullptr, 0));
    ASSERT_TRUE(Run(203));
    CPaneViewList* list = Panel()->GetViewPane()->GetViewList();
    list->Rebuild(true);
    const auto dates = [&] {
        std::vector<std::string> out;
        for (UInt32 n = 1; n <= OrganizeGetEntryCount(catalog, kOrganizeDateField); ++n) {
            const OrganizeEntry* e = OrganizeGetEntry(catalog, kOrganizeDateField, n);
            const OrganizeDate d = OrganizeEntryGetDate(e);
            out.push_back(std::to_string(e->level) + ":" + std::to_string(d.year) + "-" + std::to_string(d.month) + "-" +
                          std::to_string(d.day) + "/" + std::to_string(e->items.size()));
        }
        return out;
    };
    const std::vector<std::string> before = dates();
    const int header = list->FindRow(kOrganizeDateField, kOrganizeRowHeader);
    ASSERT_GE(header, 0);
    catalog->modifiedStamp = 0;
    wxTEST_DIALOG(list->RunFieldCommand(header, 1),
                  wxExpectModal<CQXDatePicker>(wxDateTime(29, wxDateTime::Feb, 2024), wxID_CANCEL));
    EXPECT_EQ(before, dates()) << "Cancel adds nothing";
    EXPECT_FALSE(CatalogIsModified(catalog));
    // The leap day, twice: its year, month and day come once, all without items.
    for (int i = 0; i < 2; ++i)
        wxTEST_DIALOG(list->RunFieldCommand(list->FindRow(kOrganizeDateField, kOrganizeRowHeader), 1),
                      wxExpectModal<CQXDatePicker>(wxDateTime(29, wxDateTime::Feb, 2024), wxID_OK));
    std::vector<std::string> want = before;
    for (const std::string& added : {"0:2024-0-0/0", "1:2024-2-0/0", "2:2024-2-29/0"}) want.push_back(added);
    std::vector<std::string> got = dates();
    std::sort(want.begin(), want.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(want, got);
    EXPECT_TRUE(CatalogIsModified(catalog));
    // The list was rebuilt with the new year in it.
    UInt32 year = 0;
    for (UInt32 n = 1; n <= OrganizeGetEntryCount(catalog, kOrganizeDateField); ++n)
        if (OrganizeGetEntry(catalog, kOrganizeDateField, n)->level == 0 &&
            OrganizeEntryGetDate(OrganizeGetEntry(catalog, kOrganizeDateField, n)).year == 2024)
            year = n;
    ASSERT_NE(0u, year);
    EXPECT_GE(list->FindRow(kOrganizeDateField, SInt32(year)), 0);
}

TEST_F(SidePanelTest, TheOrganizerMenuTogglesAFieldsSectionAndRestoresTheSavedDefault) {
    SetDataset(2, kFieldCity, 1, "Lyon");
    ASSERT_TRUE(Run(203));
    CPaneViewList* list = Panel()->GetViewPane()->GetViewList();
    list->Rebuild(true);
    ASSERT_FALSE(OrganizeIsEnabled(Catalog(), kFieldCity));
    EXPECT_EQ(-1, list->FindRow(kFieldCity, kOrganizeRowHeader));
    // Choosing the field shows its section with its values.
    OrganizeSetExpanded(Catalog(), kFieldCity, true);
    list->RunFieldOrganizerCommand(kFieldCity);
    EXPECT_GE(list->FindRow(kFieldCity, kOrganizeRowHeader), 0);
    EXPECT_GE(list->FindRow(kFieldCity, 1), 0) << "Lyon";
    list->RunFieldOrganizerCommand(kOrganizerSaveDefault);
    // Choosing it again hides it; the default brings it back.
    list->RunFieldOrganizerCommand(kFieldCity);
    EXPECT_EQ(-1, list->FindRow(kFieldCity, kOrganizeRowHeader));
    list->RunFieldOrganizerCommand(kOrganizerLoadDefault);
    EXPECT_GE(list->FindRow(kFieldCity, kOrganizeRowHeader), 0);
    EXPECT_TRUE(OrganizeIsEnabled(Catalog(), kFieldCity));
    // The menu's own texts.
    EXPECT_EQ("List Configuration:", LoadUiString(14035));
    EXPECT_EQ("Annotation Organizer", LoadUiString(14040));
}

TEST_F(SidePanelTest, TheDeleteKeyRemovesTheFilteredKeywordFromItsItemsAfterAsking) {
    SetDataset(1, kFieldKeywords, 1, "sun");
    SetDataset(2, kFieldKeywords, 1, "sun");
    SetDataset(2, kFieldKeywords, 2, "sea");
    OrganizeSetEnabled(Catalog(), kFieldKeywords, true);
    OrganizeSetExpanded(Catalog(), kFieldKeywords, true);
    ASSERT_TRUE(Run(203));
    CPaneViewList* list = Panel()->GetViewPane()->GetViewList();
    list->Rebuild(true);
    Key(list, WXK_DELETE);  // nothing is filtered: only a beep
    UInt32 sun = 0;
    for (UInt32 n = 1; n <= OrganizeGetEntryCount(Catalog(), kFieldKeywords); ++n)
        if (OrganizeGetEntry(Catalog(), kFieldKeywords, n)->text[1] == 's' &&
            OrganizeGetEntry(Catalog(), kFieldKeywords, n)->text[2] == 'u')
            sun = n;
    ASSERT_NE(0u, sun);
    ViewAddFilter(View(), kFilterOrganizeEntry, kFieldKeywords, SInt32(sun), true);
    wxTEST_DIALOG(Key(list, WXK_DELETE), wxExpectModal<Clxsavechanges>(kAlertButton1));
    EXPECT_EQ(1u, OrganizeGetEntryCount(Catalog(), kFieldKeywords)) << "only sea is left";
    EXPECT_TRUE(Values(StoredDatasets(Catalog(), ItemGetId(Catalog(), 1)), Tag(2, 25)).empty());
    EXPECT_EQ((std::vector<std::string>{"sea"}), Values(StoredDatasets(Catalog(), ItemGetId(Catalog(), 2)), Tag(2, 25)));
    EXPECT_EQ(3, ViewItemCount(View())) << "the items stay in the catalog";
}

TEST_F(SidePanelTest, TheFolderMenuMakesAnUntitledFolderRenamesItSafelyAndRemovesAFolder) {
    const std::filesystem::path folder = std::filesystem::path(files_ / "shots");
    std::filesystem::create_directories(folder / "Untitled Folder");
    std::filesystem::create_directories(folder / "taken");
    std::ofstream(folder / "a.jpg") << "x";
    FSSpec file;
    ASSERT_EQ(noErr, FSMakeFSSpecFromPath((folder / "a.jpg").string(), &file));
    ASSERT_EQ(noErr, CatalogFolderTreeAddItem(Catalog(), &file, ItemGetId(Catalog(), 1), nullptr));
    ASSERT_TRUE(Run(203));
    CPaneFolderList* list = Panel()->GetViewPane()->GetFolderList();
    FolderNode* shots = CatalogFindItemFolderNode(Catalog(), ItemGetId(Catalog(), 1));
    ASSERT_NE(nullptr, shots);
    const UInt32 shotsId = shots->nodeId;
    for (FolderNode* n = shots->parent; n && n->depth >= 0; n = n->parent)
        if (!(n->flags & kFolderExpanded)) FolderTreeToggleExpanded(Catalog(), n, false);
    list->Rebuild(true);
    ASSERT_GE(list->RowOfNode(shotsId), 0);

    // Create New: "Untitled Folder" is taken, so "Untitled Folder 2" is made and its rename opens.
    list->DoCommand(list->RowOfNode(shotsId), 3);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Untitled Folder 2"));
    ASSERT_NE(nullptr, list->Editor());
    // A name that is taken changes nothing on disk or in the tree, and says so.
    list->Editor()->Edit()->ChangeValue("taken");
    wxTEST_DIALOG(Key(list->Editor()->Edit(), WXK_RETURN), wxExpectModal<Clxsavechanges>(kAlertButton1));
    Pump();
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Untitled Folder 2"));
    // A name with a separator would move the folder elsewhere: refused the same way.
    const int made = list->FirstSelected();
    ASSERT_GE(made, 0);
    ASSERT_TRUE(list->BeginRename(made));
    list->Editor()->Edit()->ChangeValue("../away");
    wxTEST_DIALOG(Key(list->Editor()->Edit(), WXK_RETURN), wxExpectModal<Clxsavechanges>(kAlertButton1));
    Pump();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(files_ / "away")));
    // A free name renames the folder on disk and in the tree.
    ASSERT_TRUE(list->BeginRename(list->FirstSelected()));
    list->Editor()->Edit()->ChangeValue("picks");
    Key(list->Editor()->Edit(), WXK_RETURN);
    Pump();
    EXPECT_TRUE(std::filesystem::is_directory(folder / "picks"));
    EXPECT_FALSE(std::filesystem::exists(folder / "Untitled Folder 2"));

    // Remove From Catalog on the filtered folder: its filter goes with it.
    ViewAddFilter(View(), kFilterFolder, 0, SInt32(shotsId), true);
    wxTEST_DIALOG(list->DoCommand(list->RowOfNode(shotsId), 1), wxExpectModal<Clxsavechanges>(kAlertButton1));
    EXPECT_FALSE(ViewHasFilter(View(), kFilterFolder, 0, SInt32(shotsId)));
    EXPECT_EQ(-1, list->RowOfNode(shotsId));
    EXPECT_TRUE(std::filesystem::exists(folder / "a.jpg")) << "the files stay on disk";
}

}  // namespace
