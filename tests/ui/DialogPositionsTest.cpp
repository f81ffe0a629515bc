// Remembered dialog positions: by template id during one run, never for key 0, and always
// pulled back onto a display that is there now.
#include "foundation/ui/ButtonFitting.h"
#include "foundation/ui/CLyrexDialog.h"
#include "foundation/ui/CLyrexPropertySheet.h"
#include "foundation/ui/DialogPositions.h"
#include "ui/WxTestSupport.h"

TEST(ClampToDisplaysTest, KeepsOrMovesACornerOntoTheNearestDisplay) {
    const std::vector<wxRect> two = {wxRect(0, 0, 1280, 1024), wxRect(1280, 0, 1920, 1080)};
    struct Case { wxPoint in; wxSize size; wxPoint out; } cases[] = {
        {{300, 200}, {200, 100}, {300, 200}},      // inside the first display
        {{1500, 300}, {200, 100}, {1500, 300}},    // inside the second
        {{5000, 300}, {200, 100}, {3000, 300}},    // right of everything: onto the second's edge
        {{-400, -50}, {200, 100}, {0, 0}},         // above and left of the first
        {{1200, 1000}, {200, 100}, {1080, 924}},   // hanging over the first's bottom right
        {{100, 100}, {2000, 2000}, {0, 0}},        // larger than the display: top-left inside
    };
    for (const auto& c : cases) EXPECT_EQ(c.out, ClampToDisplays(c.in, c.size, two)) << c.in.x << "," << c.in.y;
}

class DialogPositionTest : public WxTest {
protected:
    void SetUp() override {
        WxTest::SetUp();
        ForgetDialogPositions();
    }
};

TEST_F(DialogPositionTest, ADialogOpensWhereItWasLastClosedDuringTheRun) {
    auto* first = new CLyrexDialog(229, frame_);
    first->InitDialog();
    first->Show();
    first->Move(300, 200);
    Pump();
    first->Destroy();
    Pump();
    ASSERT_TRUE(StoredDialogPosition(229).has_value());
    EXPECT_EQ(wxPoint(300, 200), *StoredDialogPosition(229));

    auto* second = new CLyrexDialog(229, frame_);
    second->InitDialog();
    EXPECT_EQ(wxPoint(300, 200), second->GetPosition());
    second->Destroy();
    ForgetDialogPositions();  // a new run
    auto* third = new CLyrexDialog(229, frame_);
    third->InitDialog();
    EXPECT_NE(wxPoint(300, 200), third->GetPosition());
    third->Destroy();
}

TEST_F(DialogPositionTest, APositionOffEveryDisplayIsPulledBackOntoOne) {
    auto* d = new CLyrexDialog(395, frame_);
    d->Move(-5000, 40000);
    SaveDialogPosition(d, 395);
    d->Destroy();
    Pump();
    auto* again = new CLyrexDialog(395, frame_);
    again->InitDialog();
    const wxPoint p = again->GetPosition();
    bool onSome = false;
    for (const wxRect& area : DisplayAreas()) onSome = onSome || area.Contains(p);
    EXPECT_TRUE(onSome) << p.x << "," << p.y;
    again->Destroy();
}

TEST_F(DialogPositionTest, ASheetMadeFromACaptionTextNeverRemembersItsPosition) {
    auto* sheet = new CLyrexPropertySheet(wxString("Options"), frame_);
    EXPECT_EQ(0u, sheet->PositionKey());
    sheet->Move(120, 130);
    sheet->Destroy();
    Pump();
    EXPECT_FALSE(StoredDialogPosition(0).has_value());
}

TEST_F(DialogPositionTest, OkAndCancelAreFittedToTheRightOfTheDialog) {
    auto* d = new CLyrexDialog(229, frame_, 0, IDOK, IDCANCEL);
    d->InitDialog();
    d->Show();
    Pump();
    wxWindow* ok = d->FindWindow(wxID_OK);
    wxWindow* cancel = d->FindWindow(wxID_CANCEL);
    ASSERT_TRUE(ok && cancel);
    const DialogUnits units{d->ConvertDialogToPixels(wxSize(1000, 1000)).x / 1500.0,
                            d->ConvertDialogToPixels(wxSize(1000, 1000)).y / 1625.0};
    const int margin = int(10 * units.x);
    EXPECT_NEAR(d->GetClientSize().x - margin, cancel->GetRect().GetRight() + 1, 1);
    EXPECT_NEAR(cancel->GetRect().GetLeft() - margin, ok->GetRect().GetRight() + 1, 1);
    EXPECT_GE(ok->GetSize().x, int(70 * units.x));
    EXPECT_GE(cancel->GetSize().x, int(70 * units.x));
    EXPECT_EQ(int(22 * units.y), ok->GetSize().y);
    d->Destroy();
}
