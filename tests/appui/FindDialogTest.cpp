// The Find dialog over a real catalog window: rows shown and read back (six rows with their
// and/or choices), the value control that follows the field's kind, a stored query filled
// into the rows, saved queries through the menu's actions, and the Find and Find Again
// commands selecting the matches in the window.
#include "appui/AppTestSupport.h"

#include "app/ui/commands/CMenuHandler.h"
#include "app/ui/dialogs/Clxfind.h"
#include "foundation/ui/CTextDialog.h"
#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldIds.h"
#include "foundation/ui/UiText.h"
#include "platform/MacDates.h"
#include "window/find/FindSearch.h"
#include "window/view/ViewSelection.h"

#include <wx/choice.h>
#include <wx/datectrl.h>
#include <wx/testing.h>
#include <wx/textctrl.h>

#include <cstring>
#include <functional>
#include <tuple>
#include <memory>

namespace {

constexpr int kFind = 32862, kFindAgain = 32863;

// Answers the modal Find dialog: initialised as if shown, changed by the test, then "Find".
class AnswerFind : public wxExpectModalBase<Clxfind> {
public:
    explicit AnswerFind(std::function<void(Clxfind&)> change) : change_(std::move(change)) {}

protected:
    int OnInvoked(Clxfind* dialog) const override {
        dialog->InitDialog();
        change_(*dialog);
        return dialog->TransferDataFromWindow() ? wxID_OK : wxID_CANCEL;
    }

private:
    std::function<void(Clxfind&)> change_;
};

int SelectField(wxChoice* choice, FieldId id) {
    for (unsigned i = 0; i < choice->GetCount(); ++i)
        if (FieldId(reinterpret_cast<std::uintptr_t>(choice->GetClientData(i))) == id) {
            choice->SetSelection(int(i));
            return int(i);
        }
    return -1;
}

std::string ItemName(const CatalogRec* catalog, SInt32 item) {
    auto value = std::make_unique<FieldValue>();
    ItemGetFieldVisible(catalog, item, 1, kFieldFileName, value.get());
    return std::string(value->text.bytes, size_t(value->text.length));
}

class FindDialogTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        if (IsSkipped()) return;
        ResetFindQueries();
        ASSERT_TRUE(Start({CopyCatalog("three-items.lxc", "A.lxc")}));
        frame_ = Frame(0);
    }
    void TearDown() override {
        ResetFindQueries();
        AppTest::TearDown();
    }
    CMainFrame* frame_ = nullptr;
};

TEST_F(FindDialogTest, SixRowsAreShownAndTheirAndOrChoicesAreAllReadBack) {
    Clxfind dialog(frame_->GetCatalog(), frame_);
    dialog.InitDialog();
    EXPECT_EQ(dialog.VisibleRows(), 1);
    EXPECT_FALSE(dialog.Row(1).field->IsShown());
    for (int i = 0; i < 7; ++i) dialog.MoreRows();  // stops at six
    ASSERT_EQ(dialog.VisibleRows(), 6);
    // Rows 2..6 alternate: or, and, or, and, or.
    for (int r = 1; r < 6; ++r) {
        ASSERT_TRUE(dialog.Row(r).field->IsShown());
        dialog.Row(r).conjunction->SetSelection(r % 2);
    }
    ASSERT_TRUE(dialog.TransferDataFromWindow());
    FindQuery q;
    GetFindQuery(&q);
    EXPECT_EQ(q.rowCount, 6u);
    for (int r = 0; r < 5; ++r) EXPECT_EQ(q.rows[r].conjunction, (r + 1) % 2 ? kFindOr : kFindAnd) << r;
    EXPECT_GT(q.timeStamp, 3'700'000'000u);
    EXPECT_EQ(GetPreferences()->findOptions[2], kFindScopeFront);

    // Fewer rows: the last one goes and is no longer read.
    dialog.FewerRows();
    dialog.FewerRows();
    EXPECT_FALSE(dialog.Row(5).field->IsShown());
    ASSERT_TRUE(dialog.TransferDataFromWindow());
    GetFindQuery(&q);
    EXPECT_EQ(q.rowCount, 4u);
    dialog.Destroy();
}

TEST_F(FindDialogTest, TheValueControlFollowsTheFieldKindAndAStoredQueryFillsTheRows) {
    FindQuery stored;
    FindQueryDefault(&stored);
    stored.rowCount = 3;
    stored.rows[0].fieldId = kFieldFileSize;
    stored.rows[0].op = 3;
    FindRowSetNumber(&stored.rows[0], 4096);
    stored.rows[0].conjunction = kFindOr;
    stored.rows[1].fieldId = kFieldFileType;
    stored.rows[1].op = 2;
    FindRowSetCode(&stored.rows[1], 'JPEG');
    stored.rows[2].fieldId = kFieldCreated;
    stored.rows[2].op = 2;
    FindRowSetDate(&stored.rows[2], 3'700'000'000u);
    SetFindQuery(stored);
    GetPreferences()->findOptions[0] = 1;
    GetPreferences()->findOptions[1] = 3;

    Clxfind dialog(frame_->GetCatalog(), frame_);
    dialog.InitDialog();
    ASSERT_EQ(dialog.VisibleRows(), 3);
    EXPECT_EQ(dialog.Row(0).value->GetValue(), "4096");
    EXPECT_EQ(dialog.Row(0).op->GetSelection(), 2);
    EXPECT_EQ(dialog.Row(1).conjunction->GetSelection(), 1);
    EXPECT_EQ(dialog.Row(1).value->GetValue(), "JPEG");
    EXPECT_TRUE(dialog.Row(2).date->IsShown());
    EXPECT_FALSE(dialog.Row(2).value->IsShown());
    EXPECT_EQ(dialog.Row(2).op->GetCount(), 3u);
    auto* action = dynamic_cast<wxChoice*>(dialog.FindWindow(1004));
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->GetSelection(), 2);

    // Back unchanged through the rows: the number and code rows byte for byte, the date row
    // on the same day (the picker holds no time of day).
    ASSERT_TRUE(dialog.TransferDataFromWindow());
    FindQuery back;
    GetFindQuery(&back);
    EXPECT_EQ(std::memcmp(&back.rows[0], &stored.rows[0], 2 * sizeof(FindCriterion)), 0);
    DateTimeRec was{}, now{};
    SecondsToDate(FindRowDate(stored.rows[2]), &was);
    SecondsToDate(FindRowDate(back.rows[2]), &now);
    EXPECT_EQ(std::tie(was.year, was.month, was.day), std::tie(now.year, now.month, now.day));
    EXPECT_EQ(back.rows[2].op, 2);
    EXPECT_EQ(GetPreferences()->findOptions[1], 3);

    // A text field: the edit takes any text again, starting empty, with the text operators.
    SelectField(dialog.Row(0).field, kFieldFileName);
    dialog.FieldChanged(0);
    EXPECT_EQ(dialog.Row(0).value->GetValue(), "");
    EXPECT_EQ(dialog.Row(0).op->GetCount(), 7u);
    dialog.Destroy();
}

TEST_F(FindDialogTest, ASavedQueryIsOfferedByItsProposedNameAndLoadsItsRows) {
    Clxfind dialog(frame_->GetCatalog(), frame_);
    dialog.InitDialog();
    dialog.MoreRows();
    SelectField(dialog.Row(0).field, kFieldFileName);
    dialog.FieldChanged(0);
    dialog.Row(0).op->SetSelection(1);
    dialog.Row(0).value->ChangeValue("beach");
    wxTEST_DIALOG(dialog.SaveThisQuery(), wxExpectDismissableModal<CTextDialog>(wxID_OK));
    ASSERT_EQ(GetSavedQueryCount(), 1u);
    FindQuery saved;
    GetSavedQuery(0, &saved);
    const std::string name(reinterpret_cast<char*>(saved.name + 1), saved.name[0]);
    EXPECT_EQ(name.substr(name.size() - 18), "contains \"beach\" +") << name;
    EXPECT_EQ(saved.rowCount, 2u);

    // Loading a one-row query hides the second row.
    FindQuery one;
    FindQueryDefault(&one);
    FindRowSetText(&one.rows[0], "zoo", 3);
    AddSavedQuery(one);
    dialog.LoadSavedQuery(0);
    EXPECT_EQ(dialog.VisibleRows(), 1);
    EXPECT_EQ(dialog.Row(0).value->GetValue(), "zoo");
    dialog.Destroy();
}

TEST_F(FindDialogTest, FindSelectsTheMatchAndFindAgainGoesOnToTheNext) {
    CatalogRec* catalog = frame_->GetCatalog();
    ViewRec* view = frame_->GetViewRec();
    ASSERT_EQ(ViewItemCount(view), 3);
    const std::string second = ItemName(catalog, 2);
    // "File Name is <second>": Find selects item 2.
    wxTEST_DIALOG(frame_->GetMenuHandler()->Execute(kFind), AnswerFind([&](Clxfind& d) {
                      SelectField(d.Row(0).field, kFieldFileName);
                      d.FieldChanged(0);
                      d.Row(0).value->ChangeValue(WxFromAnsi(second));
                      dynamic_cast<wxChoice*>(d.FindWindow(1004))->SetSelection(0);
                  }));
    Pump();
    EXPECT_EQ(ViewGetCurrentItem(view), 2);
    EXPECT_EQ(ViewCountSelected(view), 1);

    // "File Name is not empty" with Select all: every item.
    wxTEST_DIALOG(frame_->GetMenuHandler()->Execute(kFind), AnswerFind([&](Clxfind& d) {
                      SelectField(d.Row(0).field, kFieldFileName);
                      d.FieldChanged(0);
                      d.Row(0).op->SetSelection(6);
                      dynamic_cast<wxChoice*>(d.FindWindow(1004))->SetSelection(1);
                  }));
    Pump();
    EXPECT_EQ(ViewCountSelected(view), 3);

    // Find Again as Find next from item 1 goes to item 2, then 3, then wraps to 1.
    GetPreferences()->findOptions[1] = kFindActionNext;
    GetPreferences()->findOptions[0] = 1;
    ViewSelectItem(view, 1, kSelectAlone, false);
    ASSERT_TRUE(frame_->GetMenuHandler()->Execute(kFindAgain));
    EXPECT_EQ(ViewGetCurrentItem(view), 2);
    ASSERT_TRUE(frame_->GetMenuHandler()->Execute(kFindAgain));
    EXPECT_EQ(ViewGetCurrentItem(view), 3);
    ASSERT_TRUE(frame_->GetMenuHandler()->Execute(kFindAgain));
    EXPECT_EQ(ViewGetCurrentItem(view), 1);
}

}  // namespace
