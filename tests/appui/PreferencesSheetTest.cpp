// The Preferences sheet over the program's preferences record: every page shows the record's
// values, a confirmed sheet writes each control into its byte (inverted where the record keeps
// an "off" byte, repaired font size and sample characters, labels into the 'LABL' setting),
// a cancelled one leaves record, labels and scratch folder as they were, and the sheet opens
// again on the page shown when it was last confirmed.
#include "appui/AppTestSupport.h"

#include "app/PreferencesPages.h"
#include "app/ui/prefs/CPrefsMedia.h"
#include "app/ui/prefs/CPrefsScratch.h"
#include "app/ui/prefs/PreferencesSheet.h"
#include "catalog/tables/Labels.h"
#include "foundation/ui/CColourPickerButton.h"
#include "foundation/ui/UiText.h"

#include <wx/bookctrl.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/slider.h>
#include <wx/testing.h>
#include <wx/textctrl.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

template <class T>
T* Control(PreferencesPage* page, int id) {
    T* c = page->Controls().Get<T>(id);
    EXPECT_NE(c, nullptr) << id;
    return c;
}

std::vector<UInt8> Bytes(const PreferencesRec& p) {
    const auto* b = reinterpret_cast<const UInt8*>(&p);
    return std::vector<UInt8>(b, b + sizeof p);
}

class PreferencesSheetTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(Start({}));
        frame_ = Frame(0);
    }
    CMainFrame* frame_ = nullptr;
};

TEST_F(PreferencesSheetTest, EachControlShowsItsByteAndAConfirmedSheetWritesItBack) {
    PreferencesRec* prefs = GetPreferences();
    prefs->startupAction = 3;
    prefs->dimensionUnit = 4;
    prefs->builtInThumbnailsOff = 0;
    prefs->sizeLimit = 40;
    prefs->fontSampleSize = 24;
    *PreferenceByte(prefs, kPrefsLastMediaTypeOffset) = 2;
    auto* sheet = new PreferencesSheet(frame_, prefs, &GetApp().State().scratchFolder);
    PreferencesPage* general = sheet->Page(0);
    auto* media = dynamic_cast<CPrefsMedia*>(sheet->Page(3));
    ASSERT_NE(media, nullptr);
    PreferencesPage* images = media->Part(0);
    PreferencesPage* fonts = media->Part(1);
    PreferencesPage* raw = media->Part(2);
    EXPECT_EQ(Control<wxChoice>(general, 1111)->GetSelection(), 1);
    EXPECT_EQ(Control<wxChoice>(general, 1108)->GetSelection(), 3);
    EXPECT_TRUE(Control<wxCheckBox>(images, 1197)->GetValue());
    EXPECT_EQ(Control<wxSlider>(images, 1115)->GetValue(), 40);
    EXPECT_EQ(Control<wxTextCtrl>(fonts, 1459)->GetValue(), "24");
    EXPECT_EQ(Control<wxChoice>(media, 1002)->GetSelection(), 1);

    Control<wxChoice>(general, 1111)->SetSelection(0);
    Control<wxChoice>(general, 1110)->SetSelection(1);
    Control<wxCheckBox>(general, 1106)->SetValue(!prefs->warnWhenRemoving);
    const UInt8 warn = !prefs->warnWhenRemoving;
    Control<wxCheckBox>(images, 1197)->SetValue(false);
    Control<wxSlider>(images, 1115)->SetValue(77);
    Control<wxChoice>(images, 1458)->SetSelection(2);
    Control<wxTextCtrl>(fonts, 1459)->ChangeValue("300");
    Control<wxTextCtrl>(fonts, 1461)->ChangeValue("");
    Control<wxChoice>(raw, 1462)->SetSelection(2);
    Control<wxChoice>(raw, 1003)->SetSelection(1);
    media->ShowType(2);
    sheet->GetBookCtrl()->ChangeSelection(3);
    sheet->Apply();

    EXPECT_EQ(prefs->startupAction, 2);
    EXPECT_EQ(prefs->dateFormat, 2);
    EXPECT_EQ(prefs->warnWhenRemoving, warn);
    EXPECT_EQ(prefs->builtInThumbnailsOff, 1);
    EXPECT_EQ(prefs->sizeLimit, 77);
    EXPECT_EQ(prefs->renderingQuality, 2);
    EXPECT_EQ(prefs->fontSampleSize, 18);
    EXPECT_EQ(prefs->fontSampleChars[0], 'A');
    EXPECT_EQ(prefs->fontSampleChars[1], 'y');
    EXPECT_EQ(prefs->photoCdSize, 3u);
    EXPECT_EQ(prefs->rawLookProfile, 2);
    EXPECT_EQ(PreferenceByte(*prefs, kPrefsLastMediaTypeOffset), 3);
    EXPECT_EQ(PreferenceByte(*prefs, kPrefsLastPageOffset), 3);
    sheet->Destroy();
    Pump();

    // Opened again, the sheet shows the page it was confirmed on.
    auto* again = new PreferencesSheet(frame_, prefs, &GetApp().State().scratchFolder);
    EXPECT_EQ(again->ShownPage(), 3);
    again->Destroy();
    Pump();
}

TEST_F(PreferencesSheetTest, LabelsAreStoredAsTheyAreNamedAndColoured) {
    PreferencesSheet sheet(frame_, GetPreferences(), &GetApp().State().scratchFolder);
    PreferencesPage* labels = sheet.Page(1);
    Control<wxTextCtrl>(labels, 1467)->ChangeValue("Urgent");
    Control<CColourPickerButton>(labels, 1457)->SetColour(wxColour(0x12, 0x34, 0x56));
    sheet.Apply();
    Str255 name;
    RGBColor color{};
    LabelGetInfo(3, name, &color);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name + 1), name[0]), "Urgent");
    LabelGetInfo(2, name, &color);
    EXPECT_EQ(color.red, 0x1212);
    EXPECT_EQ(color.blue, 0x5656);
    LabelTableInit();  // the table is the process's: the next test starts from the defaults
}

TEST_F(PreferencesSheetTest, ACancelledSheetLeavesTheRecordLabelsAndScratchFolderAsTheyWere) {
    PreferencesRec* prefs = GetPreferences();
    const std::vector<UInt8> before = Bytes(*prefs);
    Str255 labelBefore;
    LabelGetInfo(1, labelBefore, nullptr);
    const std::string scratchBefore = GetApp().State().scratchFolder;
    // The command's own road: the sheet answered with Cancel after its controls changed.
    class ChangeThenCancel : public wxExpectModalBase<PreferencesSheet> {
    protected:
        int OnInvoked(PreferencesSheet* sheet) const override {
            auto* general = sheet->Page(0);
            general->Controls().Get<wxChoice>(1108)->SetSelection(4);
            general->Controls().Get<wxCheckBox>(1104)->SetValue(!general->Controls().Get<wxCheckBox>(1104)->GetValue());
            sheet->Page(1)->Controls().Get<wxTextCtrl>(1465)->ChangeValue("changed");
            auto* scratch = dynamic_cast<CPrefsScratch*>(sheet->Page(2));
            scratch->Browser().SetChooser([](wxWindow*, const wxString&, const wxString&, wxString* chosen) {
                *chosen = "/tmp";
                return int(wxID_OK);
            });
            scratch->Choose();
            sheet->GetBookCtrl()->ChangeSelection(2);
            return wxID_CANCEL;
        }
    };
    bool confirmed = true;
    wxTEST_DIALOG(confirmed = RunPreferences(frame_), ChangeThenCancel());
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(Bytes(*prefs), before);
    Str255 labelAfter;
    LabelGetInfo(1, labelAfter, nullptr);
    EXPECT_EQ(std::memcmp(labelBefore, labelAfter, size_t(labelBefore[0]) + 1), 0);
    EXPECT_EQ(GetApp().State().scratchFolder, scratchBefore);
}

TEST_F(PreferencesSheetTest, AConfirmedScratchFolderBecomesTheProgramsScratchFolder) {
    class ChooseThenOk : public wxExpectModalBase<PreferencesSheet> {
    public:
        explicit ChooseThenOk(std::string folder) : folder_(std::move(folder)) {}

    protected:
        int OnInvoked(PreferencesSheet* sheet) const override {
            auto* scratch = dynamic_cast<CPrefsScratch*>(sheet->Page(2));
            const std::string folder = folder_;
            scratch->Browser().SetChooser([folder](wxWindow*, const wxString&, const wxString&, wxString* chosen) {
                *chosen = WxFromUtf8(folder);
                return int(wxID_OK);
            });
            scratch->Choose();
            return wxID_OK;
        }

    private:
        std::string folder_;
    };
    bool confirmed = false;
    wxTEST_DIALOG(confirmed = RunPreferences(frame_), ChooseThenOk(files_.path()));
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(GetApp().State().scratchFolder, files_.path());
}

}  // namespace
