// The about box and the first-start wizard's last page: what they show, what their links ask
// for, and the answers the page hands back only when the wizard finishes. Screenshots of a few
// dialogs go to the build folder for people to look at when LYREX_SCREENSHOTS names a folder.
#include "foundation/ui/CAbout.h"
#include "foundation/ui/CLyrexWizard.h"
#include "foundation/ui/CWelcomeScreen4.h"
#include "foundation/ui/Clxsavechanges.h"
#include "ui/WxTestSupport.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/hyperlink.h>
#include <wx/stattext.h>

#include <cstdlib>

namespace {

// Writes what the window shows now as a PNG, when a folder for screenshots is given.
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

}  // namespace

class AboutTest : public WxTest {};

TEST_F(AboutTest, TheAboutCommandShowsTheWholeBoxWithVersionBuildAndOk) {
    frame_->Show();
    auto* about = new CAbout(true, frame_);
    about->InitDialog();
    about->Show();
    Screenshot(about, "about");
    EXPECT_EQ("About Lyrex Ondrel", about->GetTitle());
    EXPECT_EQ("Version 2.7.0", dynamic_cast<wxStaticText*>(about->FindWindow(1081))->GetLabel());
    EXPECT_EQ("(Build 4026)", dynamic_cast<wxStaticText*>(about->FindWindow(1084))->GetLabel());
    EXPECT_TRUE(about->FindWindow(wxID_OK)->IsShown());
    EXPECT_TRUE(about->FindWindow(15553)->IsShown());
    about->Destroy();

    auto* splash = new CAbout(false, frame_);
    splash->InitDialog();
    EXPECT_FALSE(splash->FindWindow(wxID_OK)->IsShown());
    EXPECT_FALSE(splash->FindWindow(15553)->IsShown());
    EXPECT_TRUE(splash->FindWindow(1081)->IsShown());
    splash->Destroy();
}

TEST_F(AboutTest, TheHomePageLinkAsksTheWindowBelowForItsCommand) {
    std::vector<int> commands;
    frame_->Bind(wxEVT_MENU, [&](wxCommandEvent& e) { commands.push_back(e.GetId()); });
    auto* about = new CAbout(true, frame_);
    about->InitDialog();
    wxHyperlinkEvent click(about->FindWindow(15553), 15553, wxString());
    about->FindWindow(15553)->GetEventHandler()->ProcessEvent(click);
    Pump();
    EXPECT_EQ((std::vector<int>{kAboutHomePageCommand}), commands);
    about->Destroy();
}

TEST_F(AboutTest, TheWelcomePageAnswersOnlyWhenTheWizardFinishes) {
    int chooseFolder = -1, pictures = -1;
    auto* wizard = new CLyrexWizard(0, 1, "Welcome", frame_);
    EXPECT_FALSE(wizard->HasHeader());  // no picture: a plain sheet
    auto* page = new CWelcomeScreen4(&chooseFolder, &pictures);
    wizard->AddPage(page);
    wizard->InitDialog();
    wizard->Show();
    Screenshot(wizard, "welcome");
    EXPECT_EQ("Continue", wizard->WizardButton(ID_WIZFINISH)->GetLabel());
    EXPECT_FALSE(wizard->FindWindow(wxID_CANCEL)->IsShown());
    dynamic_cast<wxCheckBox*>(page->FindWindow(15557))->SetValue(true);
    EXPECT_EQ(-1, chooseFolder);
    // Escape does not leave a wizard.
    wxKeyEvent escape(wxEVT_CHAR_HOOK);
    escape.m_keyCode = WXK_ESCAPE;
    wizard->GetEventHandler()->ProcessEvent(escape);
    EXPECT_TRUE(wizard->IsShown());
    wxCommandEvent finish(wxEVT_BUTTON, ID_WIZFINISH);
    wizard->GetEventHandler()->ProcessEvent(finish);
    EXPECT_EQ(1, chooseFolder);
    EXPECT_EQ(0, pictures);
    wizard->Destroy();
}

TEST_F(AboutTest, AnAlertForPeopleToLookAt) {
    if (!std::getenv("LYREX_SCREENSHOTS")) GTEST_SKIP() << "no screenshot folder";
    WhenModal([] {
        for (wxWindow* w : wxTopLevelWindows) {
            if (auto* box = dynamic_cast<Clxsavechanges*>(w)) {
                Screenshot(box, "alert");
                box->EndModal(wxID_CANCEL);
            }
        }
    });
    EXPECT_EQ(2, ShowAlertSimple(kAlertWarning, 70, 0, 3, 2, 4));
}
