// The Print dialog and its three small dialogs on a catalog made by the test: the layout of the
// view's mode and the page of its current item, the controls each layout shows, the page arrows
// kept within the pages, the scaling list, a template that turns the margins off, a live preview
// drawn by the print engine (blank for an empty catalog), margins typed with either separator,
// the codes of the "Special" menu, and grid sizes in another unit.
#include "ui/WxTestSupport.h"
#include "window/ViewTestSupport.h"

#include "output/print/PrintTemplates.h"
#include "output/ui/print/CLXPrintDlg.h"
#include "output/ui/print/CLXPrintGrid.h"
#include "output/ui/print/CLXPrintHeaderFooter.h"
#include "output/ui/print/CLXPrintMargins.h"
#include "output/ui/print/CLXPrintPreview.h"
#include "foundation/settings/AppFolders.h"

#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/spinbutt.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <fstream>

namespace {

template <class T>
T* Child(wxWindow* dialog, int id) {
    return dynamic_cast<T*>(dialog->FindWindow(id));
}

void Choose(wxWindow* dialog, int id, int position) {
    auto* c = Child<wxChoice>(dialog, id);
    ASSERT_TRUE(c) << id;
    c->SetSelection(position);
    wxCommandEvent e(wxEVT_CHOICE, c->GetId());
    e.SetEventObject(c);
    e.SetInt(position);
    c->GetEventHandler()->ProcessEvent(e);
}

void Arrow(wxWindow* dialog, int position) {
    auto* s = Child<wxSpinButton>(dialog, kPrintPageArrows);
    ASSERT_TRUE(s);
    wxSpinEvent e(wxEVT_SPIN, s->GetId());
    e.SetEventObject(s);
    e.SetPosition(position);
    s->GetEventHandler()->ProcessEvent(e);
}

// Runs the action inside the next modal loop.
void OnModal(std::function<void()> action) {
    wxTheApp->CallAfter([action = std::move(action)] { action(); });
}

bool HasInk(const wxBitmap& bitmap) {
    if (!bitmap.IsOk()) return false;
    const wxImage image = bitmap.ConvertToImage();
    const unsigned char* p = image.GetData();
    for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i, p += 3)
        if (p[2] > 200 && p[0] < 60 && p[1] < 60) return true;   // the blue thumbnails
    return false;
}

}  // namespace

class PrintDialogTest : public ViewTest {
protected:
    void SetUp() override {
        if (!WxTest::DisplayAvailable()) GTEST_SKIP() << "no display";
        ViewTest::SetUp();
        sandbox.Set("XDG_DATA_DIRS", sandbox.Root() + "/common:/usr/local/share:/usr/share");
        frame = new wxFrame(nullptr, wxID_ANY, "test parent", wxPoint(50, 50), wxSize(400, 300));
        wxTheApp->SetTopWindow(frame);
        DefaultPrintSettings(&settings);
        ResetPrintTemplates();
    }
    void TearDown() override {
        if (!frame) return;
        frame->Destroy();
        PumpWxEvents();
        ResetPrintTemplates();
        ViewTest::TearDown();
    }
    void AddPictures(int n) {
        for (int i = 0; i < n; ++i) {
            std::vector<std::uint8_t> px(64 * 48 * 4);
            for (std::size_t k = 0; k < px.size(); k += 4) {
                px[k] = 255;
                px[k + 3] = 255;
            }
            PicHandle pic = nullptr;
            ASSERT_EQ(RecordPixelsPicture(px.data(), 64, 48, 64 * 4, 72 << 16, &pic), noErr);
            ItemRec r{};
            const std::string name = "pic" + std::to_string(i + 1) + ".jpg";
            PStrFromBytes(r.fileName, name.data(), long(name.size()));
            PStrFromBytes(r.storedName, name.data(), long(name.size()));
            r.kind = 'JPEG';
            ASSERT_EQ(CatalogAddItem(catalog, &r, pic, nullptr, nullptr, nullptr, nullptr, 0), noErr);
            DisposeHandle(pic);
        }
    }
    // Shows the Print dialog, runs the action inside its modal loop, then answers the button.
    int RunDialog(const std::function<void(CLXPrintDlg*)>& action, int answer = wxID_CANCEL) {
        auto* dialog = new CLXPrintDlg(frame, view, &settings);
        OnModal([action, answer] {
            auto* d = ShownTop<CLXPrintDlg>();
            ASSERT_TRUE(d);
            action(d);
            d->EndModal(answer);
        });
        const int result = dialog->DoModal();
        dialog->Destroy();
        return result;
    }
    wxFrame* frame = nullptr;
    PrintSettingsRec settings;
};

TEST_F(PrintDialogTest, AThumbnailViewOpensOnAContactSheetAtThePageOfItsCurrentItem) {
    AddPictures(20);
    MakeView(kViewThumbnail, 400, 300, false);
    view->currentItem = 15;
    settings.layout = kPrintContentList;
    settings.grids[kPrintContactSheet] = PrintGridBlock{kGridCells, 5, 3, 3, 0, 0, 0};
    RunDialog([](CLXPrintDlg* d) {
        EXPECT_EQ(Child<wxChoice>(d, kPrintLayoutList)->GetSelection(), kPrintContactSheet);
        EXPECT_TRUE(d->Summary().StartsWith("Page 2 of 3 @ ")) << d->Summary();
        EXPECT_TRUE(d->Summary().Contains("\n3 by 3 Cells @ ")) << d->Summary();
        EXPECT_TRUE(HasInk(d->Preview()->PageBitmap()));
        // What a Contact Sheet offers.
        EXPECT_TRUE(Child<wxCheckBox>(d, kPrintHiRes)->IsShown());
        EXPECT_TRUE(Child<wxCheckBox>(d, kPrintViewFields)->IsShown());
        EXPECT_TRUE(Child<wxCheckBox>(d, kPrintViewFields)->GetValue());
        EXPECT_FALSE(Child<wxCheckBox>(d, kPrintHiRes)->GetValue());
        EXPECT_FALSE(Child<wxCheckBox>(d, kPrintLabelRow)->IsShown());
        EXPECT_FALSE(Child<wxChoice>(d, kPrintScalingList)->IsShown());
        EXPECT_FALSE(Child<wxCheckBox>(d, kPrintViewColors)->IsShown());
        EXPECT_FALSE(Child<wxCheckBox>(d, kPrintRepeatMedia)->IsShown());
        // The dialog as a picture in the build folder, for people to look at.
        PumpWxUntil([d] { return d->IsShownOnScreen(); }, 1000);
        PumpWxEvents();
        wxClientDC screen(d);
        const wxSize size = d->GetClientSize();
        wxBitmap shot(size);
        wxMemoryDC memory(shot);
        memory.Blit(0, 0, size.x, size.y, &screen, 0, 0);
        memory.SelectObject(wxNullBitmap);
        shot.SaveFile((std::filesystem::read_symlink("/proc/self/exe").parent_path() / "print-dialog.png").string(), wxBITMAP_TYPE_PNG);
    });
    EXPECT_EQ(settings.layout, kPrintContactSheet);
    EXPECT_EQ(settings.currentPage, 2u);
}

TEST_F(PrintDialogTest, PageArrowsStayWithinThePagesAndLayoutsShowTheirControls) {
    AddPictures(20);
    MakeView(kViewThumbnail, 400, 300, false);
    settings.grids[kPrintContactSheet] = PrintGridBlock{kGridCells, 5, 3, 3, 0, 0, 0};
    PrintSettingsRec* s = &settings;
    RunDialog([s](CLXPrintDlg* d) {
        Arrow(d, 3);
        EXPECT_EQ(s->currentPage, 3u);
        Arrow(d, 9);
        EXPECT_EQ(s->currentPage, 3u);
        Arrow(d, 0);
        EXPECT_EQ(s->currentPage, 1u);
        // The Media Sheet: one item a page, with its scaling.
        Choose(d, kPrintLayoutList, kPrintMediaSheet);
        EXPECT_EQ(s->layout, kPrintMediaSheet);
        EXPECT_TRUE(d->Summary().StartsWith("Page 1 of 20 @ ")) << d->Summary();
        EXPECT_TRUE(Child<wxChoice>(d, kPrintScalingList)->IsShown());
        EXPECT_TRUE(Child<wxCheckBox>(d, kPrintMarginBetween)->IsShown());
        EXPECT_FALSE(Child<wxCheckBox>(d, kPrintHiRes)->IsShown());
        Arrow(d, 25);
        EXPECT_EQ(s->currentPage, 20u);
        // The Content List: the label row and icons, no grid.
        Choose(d, kPrintLayoutList, kPrintContentList);
        EXPECT_TRUE(Child<wxCheckBox>(d, kPrintLabelRow)->IsShown());
        EXPECT_TRUE(Child<wxCheckBox>(d, kPrintItemIcons)->IsShown());
        EXPECT_FALSE(d->FindWindow(kPrintGridButton)->IsShown());
    });
}

TEST_F(PrintDialogTest, ScalingAndPageChoicesAreStoredAndATemplateTurnsTheMarginsOff) {
    FSSpec folder;
    ASSERT_EQ(GetAppFolder(reinterpret_cast<const UInt8*>("\x0FPrint Templates"), kAppFolderUserData, true, &folder), noErr);
    std::ofstream(folder.path + "/Postcard") << "-1 -1 4 6 i";
    AddPictures(4);
    MakeView(kViewMedia, 400, 300, false);
    settings.scalingCode = kScalePercent;
    settings.scalePercent = 200;
    const int result = RunDialog(
        [](CLXPrintDlg* d) {
            auto* scaling = Child<wxChoice>(d, kPrintScalingList);
            EXPECT_EQ(scaling->GetString(scaling->GetSelection()), "200%");
            auto* box = Child<wxChoice>(d, kPrintBoxList);
            ASSERT_EQ(box->GetCount(), 2u);
            EXPECT_EQ(box->GetString(1), "Postcard");
            EXPECT_TRUE(d->FindWindow(kPrintMarginsButton)->IsEnabled());
            Choose(d, kPrintBoxList, 1);
            EXPECT_FALSE(d->FindWindow(kPrintMarginsButton)->IsEnabled());
            Choose(d, kPrintScalingList, 2);   // "Fit Width"
            Choose(d, kPrintRangeList, 2);     // "Odd Pages"
            Child<wxCheckBox>(d, kPrintCropMarks)->SetValue(true);
            static_cast<wxWindow*>(d)->TransferDataFromWindow();
        },
        wxID_OK);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(settings.printBox, 2);
    EXPECT_EQ(settings.scalingCode, kScaleFitWidth);
    EXPECT_EQ(settings.scalePercent, 0);
    EXPECT_EQ(settings.pageChoice, kPageChoiceOdd);
    EXPECT_EQ(settings.cropMarks, 1);
}

TEST_F(PrintDialogTest, AnEmptyCatalogLeavesThePreviewBlankAndTheDialogUsable) {
    MakeView(kViewThumbnail, 400, 300, false);
    RunDialog([](CLXPrintDlg* d) {
        EXPECT_FALSE(d->Preview()->Ready());
        EXPECT_FALSE(d->Preview()->PageBitmap().IsOk());
        EXPECT_TRUE(d->Summary().empty());
        Choose(d, kPrintLayoutList, kPrintContentList);
        EXPECT_FALSE(d->Preview()->Ready());
    });
}

TEST_F(PrintDialogTest, MarginsAreShownInTheLocalesUnitAndTypedWithEitherSeparator) {
    settings.margins[kMarginTop] = 1.5;
    auto* dialog = new CLXPrintMargins(frame, &settings);
    PrintSettingsRec* s = &settings;
    OnModal([s] {
        auto* d = ShownTop<CLXPrintMargins>();
        ASSERT_TRUE(d);
        EXPECT_EQ(Child<wxTextCtrl>(d, kMarginTopEdit)->GetValue(), "1.50");
        EXPECT_EQ(Child<wxStaticText>(d, 1511)->GetLabel(), "cm");
        Child<wxTextCtrl>(d, kMarginLeftEdit)->ChangeValue("no number");
        EXPECT_FALSE(static_cast<wxWindow*>(d)->TransferDataFromWindow());
        EXPECT_EQ(s->margins[kMarginLeft], 0.0);
        Child<wxTextCtrl>(d, kMarginLeftEdit)->ChangeValue("2,5");
        Child<wxCheckBox>(d, kMirrorCheck)->SetValue(true);
        Press(d, wxID_OK);
    });
    EXPECT_EQ(dialog->DoModal(), IDOK);
    dialog->Destroy();
    EXPECT_EQ(settings.margins[kMarginLeft], 2.5);
    EXPECT_EQ(settings.margins[kMarginTop], 1.5);
    EXPECT_EQ(settings.mirrorMargins, 1);
}

TEST_F(PrintDialogTest, SpecialCodesGoToTheCaretOfTheEditUsedLast) {
    const char* header = "Date []";
    settings.bands[kBandHeader].text[0] = UInt8(std::strlen(header));
    std::memcpy(settings.bands[kBandHeader].text + 1, header, std::strlen(header));
    auto* dialog = new CLXPrintHeaderFooter(frame, &settings);
    OnModal([] {
        auto* d = ShownTop<CLXPrintHeaderFooter>();
        ASSERT_TRUE(d);
        auto* edit = Child<wxTextCtrl>(d, kBandEditFirst);
        edit->SetInsertionPoint(6);
        d->InsertSpecial(3);   // "Date [&&d]"
        EXPECT_EQ(edit->GetValue(), "Date [&d]");
        // The footer's edit used last: the next code goes there.
        auto* footer = Child<wxTextCtrl>(d, kBandEditFirst + 1);
        footer->SetFocus();
        wxFocusEvent focus(wxEVT_SET_FOCUS, footer->GetId());
        focus.SetEventObject(footer);
        footer->GetEventHandler()->ProcessEvent(focus);
        d->InsertSpecial(1);
        d->InsertSpecial(5);
        EXPECT_EQ(footer->GetValue(), "&&&p");
        Press(d, wxID_OK);
    });
    EXPECT_EQ(dialog->DoModal(), IDOK);
    dialog->Destroy();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(settings.bands[kBandHeader].text + 1), settings.bands[kBandHeader].text[0]),
              "Date [&d]");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(settings.bands[kBandFooter].text + 1), settings.bands[kBandFooter].text[0]),
              "&&&p");
    EXPECT_STREQ(CLXPrintHeaderFooter::SpecialCode(7), "&c");
    // A chosen font goes back as size, style bits and the face's number.
    HeaderFooterBlock band = settings.bands[kBandLeft];
    CLXPrintHeaderFooter::StoreFont(wxFont(wxFontInfo(14).Bold().Italic().FaceName("DejaVu Sans")), &band);
    EXPECT_EQ(band.size, 14);
    EXPECT_EQ(band.style, 3);
    const wxFont back = CLXPrintHeaderFooter::BandFont(band);
    EXPECT_EQ(back.GetPointSize(), 14);
    EXPECT_EQ(back.GetFaceName(), "DejaVu Sans");
    CLXPrintHeaderFooter::StoreFont(wxFont(wxFontInfo(9).Weight(600)), &band);
    EXPECT_EQ(band.style, 0) << "bold only at the bold weight itself";
}

TEST_F(PrintDialogTest, GridSizesFollowTheChosenUnit) {
    PrintGridBlock block{kGridDefault, 1, 4, 5, 144, 72, 0};
    auto* dialog = new CLXPrintGrid(frame, &block);
    OnModal([] {
        auto* d = ShownTop<CLXPrintGrid>();
        ASSERT_TRUE(d);
        EXPECT_TRUE(Child<wxRadioButton>(d, kGridDefaultRadio)->GetValue());
        EXPECT_EQ(Child<wxTextCtrl>(d, kGridWidthEdit)->GetValue(), "144");
        Choose(d, kGridUnitList, 1);   // inches
        EXPECT_EQ(Child<wxTextCtrl>(d, kGridWidthEdit)->GetValue(), "2");
        EXPECT_EQ(Child<wxTextCtrl>(d, kGridHeightEdit)->GetValue(), "1");
        Child<wxTextCtrl>(d, kGridWidthEdit)->ChangeValue("2.5");
        Child<wxRadioButton>(d, kGridSizeRadio)->SetValue(true);
        Press(d, wxID_OK);
    });
    EXPECT_EQ(dialog->DoModal(), IDOK);
    dialog->Destroy();
    EXPECT_EQ(block.sizing, kGridSize);
    EXPECT_EQ(block.unit, 2);
    EXPECT_EQ(block.cellWidth, 180);
    EXPECT_EQ(block.cellHeight, 72);
}
