// The edit controls: which key ends an edit with which code, what a rename selects, how the
// favorites drop-down completes, and the messages the controls send their owners.
#include "foundation/messages/RegisteredMessages.h"
#include "foundation/ui/CInplaceEdit.h"
#include "foundation/ui/CPaneInfoCommentEditBox.h"
#include "foundation/ui/CRenameCombo.h"
#include "foundation/ui/CRenameEdit.h"
#include "foundation/ui/CTextSearchEditBox.h"
#include "foundation/ui/EditKeys.h"
#include "foundation/utilities/Favorites.h"
#include "platform/ui/WindowMessageEvent.h"
#include "ui/WxTestSupport.h"

#include <wx/panel.h>

TEST(EditKeysTest, KeysEndTheEditWithTheirCodes) {
    struct Case { int key; bool shift, ctrl, singleLine; EditKeyAction action; long code; } cases[] = {
        {WXK_RETURN, false, false, true, EditKeyAction::kDone, 0},
        {WXK_RETURN, false, false, false, EditKeyAction::kNone, 0},  // a line break in a multi-line field
        {WXK_TAB, false, false, true, EditKeyAction::kDone, 1},
        {WXK_TAB, true, false, false, EditKeyAction::kDone, 2},
        {WXK_LEFT, false, true, true, EditKeyAction::kDone, 3},
        {WXK_UP, false, true, true, EditKeyAction::kDone, 4},
        {WXK_RIGHT, false, true, true, EditKeyAction::kDone, 5},
        {WXK_DOWN, false, true, true, EditKeyAction::kDone, 6},
        {WXK_DOWN, false, false, true, EditKeyAction::kNone, 0},
        {WXK_ESCAPE, false, false, true, EditKeyAction::kCancel, 0},
        {'A', false, true, true, EditKeyAction::kNone, 0},
    };
    for (const auto& c : cases) {
        EditKey k = RenameEditKey(c.key, c.shift, c.ctrl, c.singleLine);
        EXPECT_EQ(c.action, k.action) << c.key;
        EXPECT_EQ(c.code, k.code) << c.key;
    }
    EXPECT_EQ(EditKeyAction::kOpenList, RenameComboKey(WXK_DOWN, false, false, true).action);
    EXPECT_EQ(EditKeyAction::kCloseList, RenameComboKey(WXK_UP, false, false, true).action);
    EXPECT_EQ(6, RenameComboKey(WXK_DOWN, false, true, false).code);
}

TEST(EditKeysTest, ARenameLeavesTheExtensionUnselected) {
    long from = -1, to = -1;
    BaseNameRange(U"a.b.jpg", &from, &to);
    EXPECT_EQ(0, from);
    EXPECT_EQ(3, to);
    BaseNameRange(U"noext", &from, &to);
    EXPECT_EQ(5, to);
    BaseNameRange(U".hidden", &from, &to);
    EXPECT_EQ(0, to);
}

TEST(EditKeysTest, CompletionTakesTheFirstEntryBeginningWithTheTypedText) {
    const std::vector<std::u32string> entries = {U"Abc", U"Abd", U"Zebra"};
    std::u32string out;
    ASSERT_TRUE(CompleteFromEntries(entries, U"ab", 2, 2, 2, &out));
    EXPECT_EQ(U"Abc", out);
    EXPECT_FALSE(CompleteFromEntries(entries, U"ab", 1, 1, 1, &out));  // caret not at the end
    EXPECT_FALSE(CompleteFromEntries(entries, U"ab", 2, 0, 2, &out));  // text selected
    EXPECT_FALSE(CompleteFromEntries(entries, U"q", 1, 1, 1, &out));
    EXPECT_FALSE(CompleteFromEntries(entries, U"", 0, 0, 0, &out));
}

class EditControlTest : public WxTest {
protected:
    void SetUp() override {
        WxTest::SetUp();
        if (IsSkipped()) return;
        frame_->Show();
        owner_ = new wxPanel(frame_);
        owner_->Bind(EVT_WINDOW_MESSAGE, [this](WindowMessageEvent& e) {
            if (e.Message() == RegisteredMessages().comboDone) done_.push_back(e.LParam());
            if (e.Message() == RegisteredMessages().comboCancel) ++cancels_;
        });
    }
    static void Key(wxWindow* w, int code, bool shift = false, bool ctrl = false) {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = code;
        key.m_shiftDown = shift;
        key.m_controlDown = ctrl;
        key.SetEventObject(w);
        w->GetEventHandler()->ProcessEvent(key);
    }
    wxPanel* owner_ = nullptr;
    std::vector<long> done_;
    int cancels_ = 0;
};

TEST_F(EditControlTest, TheRenameFieldSendsItsEndToItsOwner) {
    auto* edit = new CRenameEdit(owner_, 158, "photo.final.jpg", wxRect(0, 0, 200, 24), 0);
    edit->SelectBaseName();
    long from = 0, to = 0;
    edit->GetSelection(&from, &to);
    EXPECT_EQ(0, from);
    EXPECT_EQ(11, to);
    Key(edit, WXK_TAB, true);
    Key(edit, WXK_DOWN, false, true);
    Key(edit, WXK_RETURN);
    Key(edit, WXK_ESCAPE);
    EXPECT_EQ((std::vector<long>{2, 6, 0}), done_);
    EXPECT_EQ(1, cancels_);
}

TEST_F(EditControlTest, TheInPlaceEditorIsMultiLineOnlyWhenGivenAFullHeight) {
    for (const int fullHeight : {0, 96}) {
        SCOPED_TRACE(fullHeight);
        auto* editor = new CInplaceEdit;
        ASSERT_TRUE(editor->Create(wxRect(10, 10, 200, 24), owner_, "first", "", 0, fullHeight));
        ASSERT_TRUE(editor->Edit());
        EXPECT_EQ(fullHeight != 0, editor->Edit()->IsMultiLine());
        // Enter ends a one-line field; a multi-line one keeps it for a new line.
        done_.clear();
        Key(editor->Edit(), WXK_RETURN);
        EXPECT_EQ(fullHeight == 0, !done_.empty());
        editor->Destroy();
    }
}

TEST_F(EditControlTest, TheInPlaceEditorPassesEndsOnAndRemembersFavorites) {
    auto* editor = new CInplaceEdit;
    ASSERT_TRUE(editor->Create(wxRect(10, 10, 200, 24), owner_, "Rome", "Cities"));
    ASSERT_TRUE(editor->Combo());
    Key(editor->Combo(), WXK_TAB);
    EXPECT_EQ((std::vector<long>{1}), done_);
    EXPECT_EQ("Rome", editor->GetText());
    editor->EndEdit();
    editor->EndEdit();  // remembered once
    EXPECT_EQ((std::vector<std::string>{"Rome"}), LoadFavorites("Cities"));
    editor->Destroy();

    auto* again = new CInplaceEdit;
    ASSERT_TRUE(again->Create(wxRect(10, 10, 200, 24), owner_, "", "Cities"));
    EXPECT_EQ(1u, again->Combo()->GetCount());
    // Typing "ro" completes to the remembered "Rome" with the tail selected.
    again->Combo()->ChangeValue("ro");
    again->Combo()->SetInsertionPointEnd();
    Key(again->Combo(), 'O');
    wxCommandEvent text(wxEVT_TEXT, again->Combo()->GetId());
    text.SetEventObject(again->Combo());
    again->Combo()->GetEventHandler()->ProcessEvent(text);
    EXPECT_EQ("Rome", again->Combo()->GetValue());
    long from = 0, to = 0;
    again->Combo()->GetSelection(&from, &to);
    EXPECT_EQ(2, from);
    EXPECT_EQ(4, to);
    // After Backspace nothing completes.
    again->Combo()->ChangeValue("r");
    again->Combo()->SetInsertionPointEnd();
    Key(again->Combo(), WXK_BACK);
    again->Combo()->GetEventHandler()->ProcessEvent(text);
    EXPECT_EQ("r", again->Combo()->GetValue());
    again->Destroy();
}

TEST_F(EditControlTest, TheSearchBoxSearchesOnEnterAndShowsAllOnEscape) {
    auto* box = new CTextSearchEditBox(owner_, wxID_ANY);
    std::vector<std::string> searches;
    box->SetSearch([&](const std::string& t) { searches.push_back(t); });
    Key(box, WXK_RETURN);
    box->ChangeValue(wxString::FromUTF8("Caf\xC3\xA9"));
    Key(box, WXK_RETURN);
    Key(box, WXK_ESCAPE);
    EXPECT_EQ((std::vector<std::string>{"", "Caf\xE9", ""}), searches);
    EXPECT_EQ("", box->GetValue());
}

TEST_F(EditControlTest, TabInTheCommentBoxGoesToThePane) {
    auto* box = new CPaneInfoCommentEditBox(owner_, wxID_ANY);
    int tabs = 0;
    owner_->Bind(wxEVT_KEY_DOWN, [&](wxKeyEvent& e) { tabs += e.GetKeyCode() == WXK_TAB; });
    box->ChangeValue("note");
    Key(box, WXK_TAB);
    EXPECT_EQ(1, tabs);
    EXPECT_EQ("note", box->GetValue());
}
