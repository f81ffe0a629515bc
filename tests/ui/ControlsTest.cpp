// The control library and the interface helpers: the numeric field's filter for typed and
// pasted text, the round-bar shades, the themed button's states, list-row rectangles, links,
// icons, pop-up menu numbering, fonts and text measures.
#include "foundation/ui/CColourPickerButton.h"
#include "foundation/ui/CHyperLink.h"
#include "foundation/ui/CNumericEdit.h"
#include "foundation/ui/CRoundBarButton.h"
#include "foundation/ui/ControlRules.h"
#include "foundation/ui/IconCache.h"
#include "foundation/ui/MacFonts.h"
#include "foundation/ui/PopupMenus.h"
#include "foundation/ui/TextDrawing.h"
#include "support/PascalString.h"
#include "ui/WxTestSupport.h"

#include <wx/msgdlg.h>
#include <wx/testing.h>
#include <wx/dcmemory.h>
#include <wx/hyperlink.h>

TEST(ControlRulesTest, TheNumericFilterLetsDigitsAndOneSeparatorIn) {
    struct Case { std::u32string text; char32_t ch; bool passes; std::u32string replaced; } cases[] = {
        {U"12", U'3', true, U""},
        {U"12", U'\b', true, U""},
        {U"12", U'a', false, U""},
        {U"12", U',', true, U""},
        {U"1,2", U',', false, U""},   // a second separator is refused
        {U"", U',', false, U"0,"},    // into an empty field: "0" and the separator
        {U"12", U'-', false, U""},
    };
    for (const auto& c : cases) {
        std::u32string replaced;
        long caret = -1;
        EXPECT_EQ(c.passes, NumericCharPasses(c.text, c.ch, U',', &replaced, &caret)) << int(c.ch);
        EXPECT_EQ(c.replaced, replaced) << int(c.ch);
        if (!c.replaced.empty()) { EXPECT_EQ(2, caret); }
    }
    EXPECT_EQ(U"12,57", NumericSanitize(U"1a2,5,7x", U','));
    EXPECT_EQ(U"", NumericSanitize(U"abc", U','));
}

TEST(ControlRulesTest, RoundBarShadesTruncateAndClamp) {
    const wxColour base(200, 100, 51);
    EXPECT_EQ(wxColour(170, 85, 43), RoundBarShade(base, kShadeNormal));
    EXPECT_EQ(wxColour(150, 75, 38), RoundBarShade(base, kShadeHover));
    EXPECT_EQ(wxColour(120, 60, 30), RoundBarShade(base, kShadePressed));
    EXPECT_EQ(base, RoundBarShade(base, 1.7));
    EXPECT_EQ(wxColour(0, 0, 0), RoundBarShade(base, -0.5));
}

TEST(ControlRulesTest, AThemedButtonsStateFollowsPressHoverFocusAndEnable) {
    EXPECT_EQ(ButtonLook::kPressed, ThemedButtonLook(true, true, true, true));
    EXPECT_EQ(ButtonLook::kHot, ThemedButtonLook(false, true, true, false));
    EXPECT_EQ(ButtonLook::kDefaulted, ThemedButtonLook(false, false, true, true));
    EXPECT_EQ(ButtonLook::kDisabled, ThemedButtonLook(false, false, false, true));
    EXPECT_EQ(ButtonLook::kNormal, ThemedButtonLook(false, false, false, false));
}

TEST(ControlRulesTest, ListRowRectanglesByLevelAndRightIcon) {
    const wxRect row(0, 100, 200, 20);  // right edge 200, bottom 120
    struct Case { int level; bool icon; wxRect text; } cases[] = {
        {0, false, wxRect(5, 102, 192, 16)},
        {1, false, wxRect(16, 102, 181, 16)},
        {2, true, wxRect(37, 102, 115, 16)},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, ListRowTextRect(c.level, row, c.icon)) << c.level;
    EXPECT_EQ(wxRect(148, 102, 45, 16), ListRowCountRect(row, 16));
    EXPECT_EQ(wxRect(148, 100, 45, 20), ListRowCountRect(wxRect(0, 100, 200, 20), 30));
}

class ControlTest : public WxTest {
protected:
    void SetUp() override {
        WxTest::SetUp();
        if (IsSkipped()) return;
        frame_->Show();
    }
};

TEST_F(ControlTest, PastedTextIntoTheNumericFieldKeepsOnlyTheNumber) {
    auto* edit = new CNumericEdit(frame_, wxID_ANY);
    edit->SetValue("12abc" + wxString(edit->Separator()) + "5" + wxString(edit->Separator()) + "9");
    EXPECT_EQ("12" + wxString(edit->Separator()) + "59", edit->GetValue());
}

TEST_F(ControlTest, ARoundBarButtonShowsTheShadeAndIconOfItsState) {
    auto* button = new CRoundBarButton(frame_, wxID_ANY);
    button->SetBaseColor(wxColour(100, 100, 100));
    button->SetIcons(kIconFolder, 0, kIconWebLink, 0);
    EXPECT_EQ(wxColour(85, 85, 85), button->CurrentShade());
    EXPECT_EQ(kIconFolder, button->CurrentIcon());
    wxMouseEvent down(wxEVT_LEFT_DOWN);
    button->GetEventHandler()->ProcessEvent(down);
    EXPECT_EQ(wxColour(60, 60, 60), button->CurrentShade());
    EXPECT_EQ(kIconWebLink, button->CurrentIcon());
    int clicks = 0;
    button->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { ++clicks; });
    wxMouseEvent up(wxEVT_LEFT_UP);
    button->GetEventHandler()->ProcessEvent(up);
    EXPECT_EQ(1, clicks);
    button->Disable();
    EXPECT_EQ(wxColour(85, 85, 85), button->CurrentShade());
    EXPECT_EQ(kIconFolder, button->CurrentIcon());  // no disabled icon: the normal one
}

TEST_F(ControlTest, ALinkUnderlinesWhileHoveredAndALinkThatCannotOpenStaysUnvisited) {
    auto* link = new CHyperLink(frame_, wxID_ANY, "Home", "nosuchscheme-lyrex://x");
    EXPECT_FALSE(link->IsUnderlined());
    wxMouseEvent enter(wxEVT_ENTER_WINDOW);
    link->GetEventHandler()->ProcessEvent(enter);
    EXPECT_TRUE(link->IsUnderlined());
    wxMouseEvent leave(wxEVT_LEAVE_WINDOW);
    link->GetEventHandler()->ProcessEvent(leave);
    EXPECT_FALSE(link->IsUnderlined());
    link->SetUnderlineMode(kUnderlineAlways);
    EXPECT_TRUE(link->IsUnderlined());
    // The error box comes up and is answered.
    wxTEST_DIALOG(EXPECT_FALSE(link->Open()), wxExpectModal<wxMessageDialog>(wxID_OK));
    EXPECT_FALSE(link->Visited());
}

TEST_F(ControlTest, TheColourSwatchRepaintsOnlyForANewColour) {
    auto* swatch = new CColourPickerButton(frame_, wxID_ANY, *wxRED);
    swatch->SetColour(*wxBLUE);
    EXPECT_EQ(*wxBLUE, swatch->Colour());
}

TEST_F(ControlTest, IconsLoadOnceAndTheDisclosureTrianglesAreOurOwn) {
    FreeIconCache();
    CIconCache& cache = GetIconCache();
    wxBitmap open = GetIconCached(cache, kIconDisclosureOpen);
    ASSERT_TRUE(open.IsOk());
    EXPECT_EQ(16, open.GetWidth());
    GetIconCached(cache, kIconDisclosureOpen);
    EXPECT_EQ(1u, cache.LoadedCount());
    EXPECT_FALSE(GetIconCached(cache, 9999).IsOk());
    EXPECT_EQ(1u, cache.LoadedCount());

    // Drawn masked, the shape comes out black on the white it was drawn on.
    wxBitmap canvas(32, 32);
    {
        wxMemoryDC dc(canvas);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        DrawIconCentred(dc, wxRect(0, 0, 32, 32), 16, true, kIconDisclosureOpen);
    }
    wxImage drawn = canvas.ConvertToImage();
    EXPECT_EQ(0, drawn.GetRed(16, 14));      // inside the triangle, centred
    EXPECT_EQ(255, drawn.GetRed(2, 2));      // outside the centred square
    FreeIconCache();
}

TEST_F(ControlTest, PopupItemsAreNumberedInOrderOfAppendingSeparatorsIncluded) {
    PopupMenu menu;
    PStr255 first("First"), dash("-"), last("Last");
    menu.AppendItem(first.s, true, false);
    menu.AppendItem(dash.s, true, false);
    menu.AppendItem(last.s, false, true);
    EXPECT_EQ(3, menu.Count());
    wxMenuItem* item = menu.Menu().FindItem(3);
    ASSERT_TRUE(item);
    EXPECT_EQ("Last", item->GetItemLabelText());
    EXPECT_FALSE(item->IsEnabled());
    EXPECT_TRUE(item->IsChecked());
    EXPECT_TRUE(menu.Menu().FindItem(2)->IsSeparator());
    menu.IndentItem(1);
    EXPECT_EQ("   First", menu.Menu().FindItem(1)->GetItemLabel());
    menu.AppendIndexedItem(129, 2, true, false);
    EXPECT_EQ("Cancel", menu.Menu().FindItem(4)->GetItemLabelText());
}

TEST_F(ControlTest, FontsAndTextMeasures) {
    EXPECT_GE(GetTextHeight(frame_), 15);
    EXPECT_EQ(GetTextHeight(frame_) + 4, GetTextHeightPadded(frame_));
    EXPECT_EQ(-1, FontNumberFromName(""));
    EXPECT_EQ(-1, FontNumberFromName("No Such Family Lyrex"));
    wxFont styled = FontWithStyle(*wxNORMAL_FONT, kStyleBold | kStyleUnderline);
    EXPECT_EQ(wxFONTWEIGHT_BOLD, styled.GetWeight());
    EXPECT_TRUE(styled.GetUnderlined());
    EXPECT_FALSE(styled.GetStyle() == wxFONTSTYLE_ITALIC);
    EXPECT_GT(FontLineHeight(-1, 20, 0), FontLineHeight(-1, 10, 0));
}
