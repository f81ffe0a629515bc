// The conversion dialogs and the option-set button in windows: what a dialog opens with, how
// the format, size and resolution change the record and what "Convert..." stores; the option-set
// menu's items, saving a dialog's records as a set and loading them back.
#include "foundation/settings/Preferences.h"
#include "foundation/settings/TypedSettings.h"
#include "output/convert/ExporterLists.h"
#include "output/optionsets/OptionSetMenu.h"
#include "output/ui/convert/CConvertImagesDialog.h"
#include "output/ui/convert/CConvertSoundsDialog.h"
#include "output/ui/convert/CExportSizeDialog.h"
#include "output/ui/convert/WxConvertPrompts.h"
#include "foundation/ui/Clxsavechanges.h"
#include "output/ui/optionsets/CSuitcaseButton.h"
#include "platform/Handles.h"
#include "ui/WxTestSupport.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cstring>

namespace {

ConvertOptionsRec StoredImageOptions() {
    ConvertOptionsRec r{};
    Handle h = LoadTypedSetting('EXPO', 3, nullptr, 0);
    if (h && GetHandleSize(h) == 160) std::memcpy(&r, *h, 160);
    if (h) DisposeHandle(h);
    return r;
}

// Picks scripted positions from the menu and remembers what it showed.
class ScriptedButton : public CSuitcaseButton {
public:
    using CSuitcaseButton::CSuitcaseButton;
    int answer = 0;
    std::vector<std::string> shown;
    std::vector<bool> enabled;

protected:
    int TrackMenu(wxMenu& menu, const wxPoint&) override {
        shown.clear();
        enabled.clear();
        for (wxMenuItem* item : menu.GetMenuItems()) {
            shown.push_back(item->IsSeparator() ? "-" : item->GetItemLabel().ToStdString());
            enabled.push_back(item->IsEnabled());
        }
        return answer;
    }
};

class NamedPrompts : public OptionSetPrompts {
public:
    bool AskSetName(const std::string&, int, std::string* n) override {
        *n = name;
        return true;
    }
    std::string name;
};

class ConvertDialogsTest : public WxTest {
protected:
    void SetUp() override {
        WxTest::SetUp();
        if (IsSkipped()) return;
        LoadPreferences();
    }
    void TearDown() override {
        FreeExporterLists();
        SetOptionSetPrompts(nullptr);
        WxTest::TearDown();
    }
};

}  // namespace

TEST_F(ConvertDialogsTest, TheImageDialogShowsItsFormatAndStoresTheChoiceOnConvert) {
    auto* dialog = new CConvertImagesDialog(frame_, true);
    WhenModal([] {
        auto* d = ShownTop<CConvertImagesDialog>();
        ASSERT_TRUE(d);
        EXPECT_EQ("Convert Image Files", d->GetTitle());
        EXPECT_EQ("JPEG", d->FormatList()->GetStringSelection());
        EXPECT_EQ("Quality: 85\n", dynamic_cast<wxStaticText*>(d->FindWindow(130))->GetLabel());
        EXPECT_EQ("Use natural bounds\nUse natural resolution\n",
                  dynamic_cast<wxStaticText*>(d->FindWindow(1130))->GetLabel());
        EXPECT_TRUE(d->OptionsButton());
        // PNG: no settings of its own, no metadata written.
        d->ChooseFormat(GetImageExporters()->PositionOf('PNGf'));
        dynamic_cast<wxCheckBox*>(d->FindWindow(1511))->SetValue(true);
        Press(d, wxID_OK);
    });
    EXPECT_EQ(IDOK, dialog->DoModal());
    EXPECT_FALSE(dynamic_cast<wxCheckBox*>(dialog->FindWindow(1510))->IsEnabled());
    EXPECT_FALSE(dynamic_cast<wxButton*>(dialog->FindWindow(136))->IsEnabled());
    dialog->Destroy();
    const ConvertOptionsRec stored = StoredImageOptions();
    EXPECT_EQ(stored.subType, OSType('PNGf'));
    EXPECT_EQ(stored.position, UInt32(GetImageExporters()->PositionOf('PNGf')));
    EXPECT_EQ(reinterpret_cast<unsigned char*>(GetPreferences())[0xB1], 0xFF);
}

TEST_F(ConvertDialogsTest, TypingASizeChoosesScaleToFit) {
    ConvertOptionsRec options = DefaultConvertOptions(ConvertMediaKind::Image);
    auto* dialog = new CExportSizeDialog(frame_, options);
    WhenModal([] {
        auto* d = ShownTop<CExportSizeDialog>();
        ASSERT_TRUE(d);
        EXPECT_TRUE(dynamic_cast<wxRadioButton*>(d->FindWindow(1201))->GetValue());
        auto* width = dynamic_cast<wxTextCtrl*>(d->FindWindow(1122));
        EXPECT_EQ("640", width->GetValue());
        width->SetValue("1600");
        EXPECT_TRUE(dynamic_cast<wxRadioButton*>(d->FindWindow(1202))->GetValue());
        Press(d, wxID_OK);
    });
    EXPECT_EQ(IDOK, dialog->DoModal());
    EXPECT_EQ(dialog->Options().sizeMode, 1);
    EXPECT_EQ(dialog->Options().width, 1600u);
    EXPECT_EQ(dialog->Options().height, 480u);
    dialog->Destroy();
}

TEST_F(ConvertDialogsTest, TheOptionsButtonSavesADialogsRecordsAndLoadsThemBack) {
    NamedPrompts prompts;
    prompts.name = "Small";
    SetOptionSetPrompts(&prompts);
    auto* dialog = new CConvertSoundsDialog(frame_, false);
    auto* button = new ScriptedButton(frame_, wxID_ANY, "Options");
    WhenModal([button] {
        auto* d = ShownTop<CConvertSoundsDialog>();
        ASSERT_TRUE(d);
        const ConvertEntryIds ids = ConvertEntries(ConvertMediaKind::Sound);
        button->SetClient(d, ids.optionSetKind, ids.options, ids.settings, 0);
        // No set yet: Save, and Remove disabled.
        button->answer = 0;
        button->ShowOptionSetMenu();
        EXPECT_EQ(button->shown, (std::vector<std::string>{"&Save...", "&Remove..."}));
        EXPECT_EQ(button->enabled, (std::vector<bool>{true, false}));
        // Save the dialog's records with WAVE chosen.
        d->ChooseFormat(GetSoundExporters()->PositionOf('WAVE'));
        button->answer = 1;
        button->ShowOptionSetMenu();
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(d->setName + 1), d->setName[0]), "Small");
        // Back to AIFF, then load the set: WAVE again.
        d->ChooseFormat(GetSoundExporters()->PositionOf('AIFF'));
        button->answer = 4;
        button->ShowOptionSetMenu();
        EXPECT_EQ(button->shown, (std::vector<std::string>{"&Save...", "&Remove...", "-", "Small"}));
        EXPECT_EQ(d->State().options.subType, OSType('WAVE'));
        EXPECT_EQ("Wave", d->FormatList()->GetStringSelection());
        Press(d, wxID_CANCEL);
    });
    EXPECT_EQ(IDCANCEL, dialog->DoModal());
    dialog->Destroy();
    button->Destroy();
}

TEST_F(ConvertDialogsTest, TheReplaceQuestionNamesTheFileAndAnswersEachButton) {
    WxConvertPrompts prompts;
    struct Case {
        int slot;
        SInt16 answer;
    } cases[] = {{1, kConflictReplace}, {2, kConflictSkip}, {3, kConflictReplaceAll}};
    for (const Case& c : cases) {
        wxString message, labels;
        WhenModal([&message, &labels, slot = c.slot] {
            auto* box = ShownTop<Clxsavechanges>();
            ASSERT_TRUE(box);
            message = box->MessageStatic()->GetLabel();
            labels = box->Button(1)->GetLabel() + "|" + box->Button(2)->GetLabel() + "|" + box->Button(3)->GetLabel();
            wxCommandEvent click(wxEVT_BUTTON, box->Button(slot)->GetId());
            click.SetEventObject(box->Button(slot));
            box->Button(slot)->GetEventHandler()->ProcessEvent(click);
        });
        EXPECT_EQ(prompts.AskReplace("a.jpg", "/photos/out"), c.answer) << c.slot;
        EXPECT_EQ("Replace file?", message);
        EXPECT_EQ("&Replace|&Skip|Replace &All", labels);
    }
}
