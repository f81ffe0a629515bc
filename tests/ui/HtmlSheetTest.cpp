// The HTML Options sheet: what it opens with when nothing is stored, how its lists store their
// codes and derived sizes, the summary of pages, the site title kept in the catalog, the colours,
// the launch option, and the record it leaves loading back the same (settings round trip).
#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemChanges.h"
#include "foundation/settings/Preferences.h"
#include "foundation/text/PString.h"
#include "foundation/ui/CColourPickerButton.h"
#include "output/html/GallerySite.h"
#include "output/html/HtmlSettings.h"
#include "output/ui/html/CHTMLExp_General.h"
#include "output/ui/html/CHTMLExp_Options.h"
#include "output/ui/html/CHTMLExportDlg.h"
#include "ui/WxTestSupport.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <wx/bookctrl.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>

#include <cstdlib>
#include <cstring>

namespace {

// What the window shows now as a PNG in the folder LYREX_SCREENSHOTS names.
void Screenshot(wxWindow* window, const std::string& name) {
    const char* folder = std::getenv("LYREX_SCREENSHOTS");
    if (!folder || !*folder) return;
    window->Update();
    wxYield();
    wxMilliSleep(150);
    wxYield();
    wxWindowDC source(window);
    const wxSize size = window->GetSize();
    wxBitmap bitmap(size);
    wxMemoryDC target(bitmap);
    target.Blit(0, 0, size.x, size.y, &source, 0, 0);
    target.SelectObject(wxNullBitmap);
    bitmap.SaveFile(std::string(folder) + "/" + name + ".png", wxBITMAP_TYPE_PNG);
}

class HtmlSheetTest : public WxTest {
protected:
    void SetUp() override {
        WxTest::SetUp();
        if (IsSkipped()) return;
        LoadPreferences();
        ASSERT_EQ(CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard), noErr);
        FSSpec work;
        FSMakeFSSpecFromPath(settings_.Root() + "/catalog.work", &work);
        ASSERT_EQ(CatalogOpen(&catalog_, nullptr, &work, nullptr, nullptr, nullptr, 0), noErr);
    }
    void TearDown() override {
        if (catalog_) CatalogClose(catalog_, false);
        CatalogEngineShutdown();
        ResetPreferencesState();
        WxTest::TearDown();
    }
    void AddItems(int n) {
        for (int i = 0; i < n; ++i) {
            ItemRec r{};
            const std::string name = "p" + std::to_string(i) + ".jpg";
            PStrFromBytes(r.fileName, name.data(), long(name.size()));
            PStrFromBytes(r.storedName, name.data(), long(name.size()));
            r.kind = 'JPEG';
            ASSERT_EQ(CatalogAddItem(catalog_, &r, nullptr, nullptr, nullptr, nullptr, nullptr, 0), noErr);
        }
    }
    template <class T>
    T* Control(wxWindow* page, int id) {
        auto* c = dynamic_cast<T*>(page->FindWindow(id));
        EXPECT_TRUE(c) << id;
        return c;
    }
    static wxString Chosen(wxChoice* c) { return c->GetString(c->GetSelection()); }

    CatalogRec* catalog_ = nullptr;
};

}  // namespace

TEST_F(HtmlSheetTest, WithNothingStoredItOpensWithTheDefaults) {
    AddItems(33);
    HtmlSettingsRec s;
    LoadHtmlSettings(&s, kGalleryTemplatesFolder);
    auto* sheet = new CHTMLExportDlg(frame_, &s, catalog_);
    sheet->InitDialog();
    wxWindow* layout = sheet->LayoutPage();
    wxWindow* options = sheet->SettingsPage();
    EXPECT_EQ(Chosen(Control<wxChoice>(layout, 1217)), "Medium (96 px)");
    EXPECT_EQ(Chosen(Control<wxChoice>(layout, 1218)), "Small (320 x 240 px)");
    EXPECT_EQ(Control<wxTextCtrl>(layout, 1124)->GetValue(), "4");
    EXPECT_EQ(Control<wxTextCtrl>(layout, 1123)->GetValue(), "4");
    EXPECT_FALSE(Control<wxCheckBox>(layout, 1129)->GetValue());
    EXPECT_FALSE(Control<wxCheckBox>(layout, 1132)->GetValue());
    EXPECT_EQ(sheet->LayoutPage()->SummaryText(), "Output: 3 Pages for 33 catalog items");
    EXPECT_EQ(Chosen(Control<wxChoice>(options, 1219)), "Western (Latin 1)");
    EXPECT_EQ(Chosen(Control<wxChoice>(options, 1218)), "htm");
    // The stored quality 0 is what a build makes Medium of, so the sheet shows Medium.
    EXPECT_EQ(Chosen(Control<wxChoice>(options, 1220)), "Medium");
    EXPECT_TRUE(Control<wxCheckBox>(options, 1129)->GetValue());
    EXPECT_FALSE(Control<wxCheckBox>(options, 1130)->GetValue());
    EXPECT_TRUE(Control<wxCheckBox>(options, 1242)->GetValue());
    EXPECT_EQ(dynamic_cast<wxButton*>(sheet->FindWindow(wxID_OK))->GetLabel(), "Create...");
    EXPECT_EQ(sheet->LaunchBox()->GetLabel(), "Launch browser when done");
    sheet->Destroy();
}

TEST_F(HtmlSheetTest, TheSummaryFollowsTheColumnsAndRowsTyped) {
    AddItems(1);
    HtmlSettingsRec s = HtmlSettingsDefaults();
    auto* sheet = new CHTMLExportDlg(frame_, &s, catalog_);
    EXPECT_EQ(sheet->LayoutPage()->SummaryText(), "Output: 1 Page for 1 catalog item");
    auto* columns = Control<wxTextCtrl>(sheet->LayoutPage(), 1124);
    columns->SetValue("0");
    EXPECT_EQ(sheet->LayoutPage()->SummaryText(), "--");
    // Stored as typed; the next load puts it back to 4.
    ASSERT_TRUE(sheet->TransferDataFromWindow());
    EXPECT_EQ(s.columns, 0);
    ASSERT_EQ(SaveHtmlSettings(&s), noErr);
    HtmlSettingsRec loaded;
    LoadHtmlSettings(&loaded, kGalleryTemplatesFolder);
    EXPECT_EQ(loaded.columns, 4);
    sheet->Destroy();
}

TEST_F(HtmlSheetTest, ChoicesAreStoredAndLoadBackAsTheyWereChosen) {
    AddItems(3);
    HtmlSettingsRec s;
    LoadHtmlSettings(&s, kGalleryTemplatesFolder);
    auto* sheet = new CHTMLExportDlg(frame_, &s, catalog_);
    wxWindow* layout = sheet->LayoutPage();
    wxWindow* options = sheet->SettingsPage();
    Control<wxTextCtrl>(layout, 1226)->SetValue("Trip to the sea");
    Control<wxTextCtrl>(layout, 1124)->SetValue("3");
    Control<wxTextCtrl>(layout, 1123)->SetValue("5");
    Control<wxChoice>(layout, 1217)->SetSelection(3);
    Control<wxChoice>(layout, 1218)->SetSelection(3);
    Control<wxCheckBox>(layout, 1129)->SetValue(true);
    Control<wxChoice>(options, 1219)->SetSelection(1);
    Control<wxChoice>(options, 1218)->SetSelection(1);
    Control<wxChoice>(options, 1220)->SetSelection(4);
    Control<CColourPickerButton>(options, 1003)->SetColour(wxColour(0x12, 0x34, 0x56));
    Control<CColourPickerButton>(options, 1004)->SetColour(wxColour(0xEE, 0xEE, 0xEE));
    Control<wxCheckBox>(options, 1130)->SetValue(true);
    Control<wxCheckBox>(options, 1242)->SetValue(false);
    sheet->LaunchBox()->SetValue(true);
    ASSERT_TRUE(sheet->TransferDataFromWindow());
    sheet->Destroy();

    EXPECT_EQ(GalleryGetSiteTitle(catalog_), "Trip to the sea");
    EXPECT_TRUE(GalleryLaunchBrowserPreference());
    EXPECT_EQ(s.columns, 3);
    EXPECT_EQ(s.rows, 5);
    EXPECT_EQ(s.thumbnailSizeCode, 4);
    EXPECT_EQ(s.thumbnailSize, 160);
    EXPECT_EQ(s.mediaSizeCode, 4);
    EXPECT_EQ(s.mediaWidth, 800);
    EXPECT_EQ(s.mediaHeight, 600);
    EXPECT_EQ(s.includeFileNames, 1);
    EXPECT_EQ(s.textEncoding, 2);
    EXPECT_EQ(s.extensionCode, 2);
    EXPECT_EQ(s.jpegQuality, 5);
    EXPECT_EQ(s.text.red, 0x1212);
    EXPECT_EQ(s.text.blue, 0x5656);
    EXPECT_EQ(s.background.green, 0xEEEE);
    EXPECT_EQ(s.continuous, 1);
    EXPECT_EQ(s.showController, 0);
    EXPECT_EQ(s.numberedPages, 0);

    // Saved and loaded again, the sheet shows what was chosen.
    ASSERT_EQ(SaveHtmlSettings(&s), noErr);
    HtmlSettingsRec loaded;
    ASSERT_TRUE(LoadHtmlSettings(&loaded, kGalleryTemplatesFolder));
    EXPECT_EQ(std::memcmp(&loaded, &s, sizeof s), 0);
    auto* again = new CHTMLExportDlg(frame_, &loaded, catalog_);
    EXPECT_EQ(Chosen(Control<wxChoice>(again->LayoutPage(), 1217)), "Large (160 px)");
    EXPECT_EQ(Chosen(Control<wxChoice>(again->LayoutPage(), 1218)), "Large (800 x 600 px)");
    EXPECT_EQ(Chosen(Control<wxChoice>(again->SettingsPage(), 1219)), "Japanese (Shift-JIS)");
    EXPECT_EQ(Chosen(Control<wxChoice>(again->SettingsPage(), 1220)), "Best");
    EXPECT_EQ(Control<CColourPickerButton>(again->SettingsPage(), 1003)->Colour(), wxColour(0x12, 0x34, 0x56));
    EXPECT_EQ(Control<wxTextCtrl>(again->LayoutPage(), 1226)->GetValue(), "Trip to the sea");
    EXPECT_TRUE(again->LaunchBox()->GetValue());
    again->Destroy();
}

TEST_F(HtmlSheetTest, AQualityTheListCannotShowIsKeptUnlessAnotherIsChosen) {
    HtmlSettingsRec s = HtmlSettingsDefaults();
    s.jpegQuality = kHtmlQualityTargetSize;
    auto* sheet = new CHTMLExportDlg(frame_, &s, catalog_);
    auto* quality = Control<wxChoice>(sheet->SettingsPage(), 1220);
    EXPECT_EQ(Chosen(quality), "Medium");
    ASSERT_TRUE(sheet->TransferDataFromWindow());
    EXPECT_EQ(s.jpegQuality, kHtmlQualityTargetSize);
    quality->SetSelection(1);
    ASSERT_TRUE(sheet->TransferDataFromWindow());
    EXPECT_EQ(s.jpegQuality, 2);
    sheet->Destroy();
}

TEST_F(HtmlSheetTest, TheSheetForPeopleToLookAt) {
    if (!std::getenv("LYREX_SCREENSHOTS")) GTEST_SKIP() << "no screenshot folder";
    AddItems(10);
    HtmlSettingsRec s = HtmlSettingsDefaults();
    frame_->Show();
    CHTMLExportDlg sheet(frame_, &s, catalog_);
    WhenModal([&sheet] {
        Screenshot(&sheet, "html-options-layout");
        sheet.GetBookCtrl()->SetSelection(1);
        Screenshot(&sheet, "html-options-settings");
        sheet.EndModal(wxID_CANCEL);
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}
