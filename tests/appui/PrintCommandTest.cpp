// The Print command of a catalog window: enabled only while the catalog shows items, it opens
// the Print dialog on the layout of the view's mode, and a Cancel there ends it with nothing
// printed and no alert.
#include "appui/AppTestSupport.h"

#include "app/ui/commands/CMenuHandler.h"
#include "catalog/file/CatalogRec.h"
#include "foundation/ui/CommandIds.h"
#include "output/ui/print/CLXPrintDlg.h"
#include "window/view/ViewRec.h"

#include <wx/choice.h>
#include <wx/testing.h>

namespace {

constexpr int kPrint = 57607;

int gShownLayout = -1;

}  // namespace

// Looks at the Print dialog as it opens and cancels it.
template <>
class wxExpectModal<CLXPrintDlg> : public wxExpectModalBase<CLXPrintDlg> {
protected:
    int OnInvoked(CLXPrintDlg* dialog) const override {
        // The hook answers in place of showing: the dialog fills its controls as it would.
        dialog->InitDialog();
        auto* layout = dynamic_cast<wxChoice*>(dialog->FindWindow(kPrintLayoutList));
        gShownLayout = layout ? layout->GetSelection() : -2;
        return wxID_CANCEL;
    }
};

TEST_F(AppTest, PrintOpensThePrintDialogOnTheViewsLayoutAndCancelEndsIt) {
    const std::string a = CopyCatalog("three-items.lxc", "A.lxc");
    ASSERT_TRUE(Start({a}));
    CMainFrame* frame = Frame(0);
    CMenuHandler* handler = frame->GetMenuHandler();
    const UInt8 mode = ViewGetMode(frame->GetViewRec());
    gShownLayout = -1;
    bool ran = false;
    wxTEST_DIALOG(ran = handler->Execute(kPrint), wxExpectModal<CLXPrintDlg>().Describe("the Print dialog"));
    Pump();
    EXPECT_TRUE(ran);
    EXPECT_EQ(gShownLayout, int(mode));
    EXPECT_EQ(1u, FrameCount());
}

TEST_F(AppTest, PrintIsDisabledForACatalogWithoutItems) {
    const std::string b = CopyCatalog("empty.lxc", "B.lxc");
    ASSERT_TRUE(Start({b}));
    CMainFrame* frame = Frame(0);
    wxUpdateUIEvent update(WxIdOf(kPrint));
    frame->GetEventHandler()->ProcessEvent(update);
    EXPECT_FALSE(update.GetEnabled());
    EXPECT_FALSE(frame->GetMenuHandler()->Execute(kPrint));
}
