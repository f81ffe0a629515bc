// The Import From Camera sheet and command against libgphoto2's "Directory Browse" driver on a
// test folder: the camera list as detection changes, the count (and OK) following the skip
// option and the folder, the download from the sheet's choices into the catalog, no camera,
// and a camera that another program holds. Detection is the one part a folder cannot answer
// (libgphoto2 finds only real devices), so the test's source names the folder camera there and
// leaves everything else to libgphoto2.
#include "catalog/tables/CatalogTables.h"
#include "import/ImportHooks.h"
#include "import/camera/GPhotoCameraSource.h"
#include "import/ui/CImportCameraPages.h"
#include "import/ui/CImportFromCamera.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "platform/UiHooks.h"
#include "support/TempFolder.h"
#include "ui/WxTestSupport.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/testing.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

const bool kAttached = (ImportAttachToCatalogs(), true);

// libgphoto2's own source; detection answers the cameras the test has "plugged in", and a
// camera may be marked as held by another program.
class PluggedCameras : public CameraSource {
public:
    std::vector<CameraDevice> plugged;
    bool held = false;

    std::vector<CameraDevice> Detect() override { return plugged; }
    OSErr Open(const CameraDevice& device) override { return held ? kCameraBusyErr : real_->Open(device); }
    OSErr ListItems(std::vector<CameraItem>* items) override { return real_->ListItems(items); }
    OSErr Download(const CameraItem& item, int fd, const CameraTransferProgress& progress) override {
        return real_->Download(item, fd, progress);
    }
    OSErr Delete(const CameraItem& item) override { return real_->Delete(item); }
    void Close() override { real_->Close(); }

private:
    std::unique_ptr<CameraSource> real_ = NewGPhotoCameraSource();
};

// Answers a message box with a button, keeping its text.
class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage> {
public:
    ExpectMessage(wxString* seen, int answer) : seen_(seen), answer_(answer) {}

protected:
    int OnInvoked(wxMessageDialog* dialog) const override {
        *seen_ = dialog->GetMessage();
        return answer_;
    }

private:
    wxString* seen_;
    int answer_;
};

// Keeps the lines the progress window was given.
class RecordingProgress : public UiHooks {
public:
    std::vector<std::string> lines;
    void ProgressOpen(short, long, const std::string&) override { lines.clear(); }
    OSErr ProgressUpdate(const long*, const std::string* line1, const std::string*, const std::string*) override {
        if (line1) lines.push_back(*line1);
        return noErr;
    }
};

class CameraSheetTest : public WxTest {
protected:
    void SetUp() override {
        WxTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_EQ(noErr, KindEngineInit(nullptr, 0, kEditionCodeStandard, kFormatLevelStandard));
        FSSpec workSpec;
        ASSERT_EQ(fnfErr, FSMakeFSSpecFromPath(work_ / "catalog.work", &workSpec)) << "a new work file";
        ASSERT_EQ(noErr, CatalogOpen(&catalog_, nullptr, &workSpec, nullptr, nullptr, nullptr, 0));
        for (const char* rel : {"DCIM/100CAM/IMG_0001.jpg", "DCIM/100CAM/IMG_0002.jpg", "DCIM/101CAM/IMG_0001.jpg"}) {
            fs::create_directories(fs::path(camera_ / rel).parent_path());
            fs::copy_file(std::string(LYREX_SHARED_FIXTURES) + "/orientation/landscape_1.jpg", camera_ / rel);
            fs::permissions(camera_ / rel, fs::perms::owner_read | fs::perms::owner_write);
        }
        device_ = {"Directory Browse", "disk:" + camera_.path()};
        cameras_.plugged = {device_};
        FSSpec folder;
        ASSERT_EQ(noErr, FSMakeFSSpecFromPath(downloads_.path(), &folder));
        ASSERT_TRUE(CatalogSetFolderRef(catalog_, kFolderRefCamera, &folder));
    }
    void TearDown() override {
        if (catalog_) {
            CatalogClose(catalog_, false);
            KindEngineShutdown();
            KindTableClear();
        }
        WxTest::TearDown();
    }
    TempFolder work_;
    TempFolder camera_;
    TempFolder downloads_;
    CameraDevice device_;
    PluggedCameras cameras_;
    CatalogRec* catalog_ = nullptr;
};

}  // namespace

TEST_F(CameraSheetTest, TheSheetCountsThePicturesAndFollowsTheSkipOptionAndTheCameraList) {
    fs::copy_file(camera_ / "DCIM/100CAM/IMG_0002.jpg", downloads_ / "IMG_0002.jpg");
    CImportFromCamera sheet(catalog_, cameras_, frame_);
    ASSERT_TRUE(sheet.HasCameras());
    EXPECT_EQ("Directory Browse", sheet.CameraList()->GetStringSelection());
    EXPECT_EQ(3, sheet.ItemCount());
    EXPECT_EQ("Items to download: 3", sheet.CountLabel()->GetLabel());
    EXPECT_TRUE(sheet.FindWindow(wxID_OK)->IsThisEnabled());
    EXPECT_EQ(downloads_.path(), sheet.Options().folder) << "the catalog's camera folder";

    wxCheckBox* skip = sheet.OptionsPage()->Box(CImportCameraOptions::kSkipId);
    skip->SetValue(true);
    wxCommandEvent click(wxEVT_CHECKBOX, skip->GetId());
    click.SetEventObject(skip);
    click.SetInt(1);
    skip->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(2, sheet.ItemCount()) << "the name already in the folder is not counted";

    // The camera is unplugged while the sheet is open, then plugged in again.
    cameras_.plugged.clear();
    sheet.RefreshCameras();
    EXPECT_EQ("None detected", sheet.CameraList()->GetStringSelection());
    EXPECT_EQ(0, sheet.ItemCount());
    EXPECT_FALSE(sheet.FindWindow(wxID_OK)->IsThisEnabled());
    cameras_.plugged = {device_};
    sheet.RefreshCameras();
    EXPECT_EQ(2, sheet.ItemCount());

    // Another folder is stored in the catalog and counted against.
    TempFolder other;
    sheet.SetFolder(other.path());
    EXPECT_EQ(3, sheet.ItemCount());
    FSSpec stored;
    ASSERT_EQ(noErr, CatalogGetFolderRef(catalog_, kFolderRefCamera, &stored));
    EXPECT_EQ(other.path(), stored.path);
}

TEST_F(CameraSheetTest, OkDownloadsThePicturesWithTheAnnotationsIntoTheCatalog) {
    WhenModal([] {
        auto* sheet = ShownTop<CImportFromCamera>();
        ASSERT_TRUE(sheet);
        sheet->AnnotationsPage()->SetText(CImportCameraAnnotations::kAuthorId, "Ana");
        sheet->OptionsPage()->Box(CImportCameraOptions::kLockId)->SetValue(true);
        Press(sheet, wxID_OK);
    });
    RecordingProgress progress;
    SetUiHooks(&progress);
    EXPECT_EQ(3, ImportFromCameraCommand(catalog_, frame_, cameras_));
    SetUiHooks(nullptr);
    EXPECT_EQ(3, catalog_->itemCount);
    EXPECT_EQ((std::vector<std::string>{"Downloading media: IMG_0001.jpg (1/3)", "Downloading media: IMG_0002.jpg (2/3)",
                                        "Downloading media: IMG_0001 1.jpg (3/3)"}),
              progress.lines);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(downloads_.path())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"IMG_0001 1.jpg", "IMG_0001.jpg", "IMG_0002.jpg"}), names);
    EXPECT_EQ(fs::perms::none, fs::status(downloads_ / "IMG_0001.jpg").permissions() & fs::perms::owner_write);
}

TEST_F(CameraSheetTest, WithoutACameraTheCommandSaysSoAndAddsNothing) {
    cameras_.plugged.clear();
    wxString message;
    int added = -1;
    wxTEST_DIALOG(added = ImportFromCameraCommand(catalog_, frame_, cameras_), ExpectMessage(&message, wxID_OK));
    EXPECT_EQ(0, added);
    EXPECT_EQ("No camera connected.", message);
}

TEST_F(CameraSheetTest, ACameraHeldByAnotherProgramIsNamedInAnAlert) {
    cameras_.held = true;
    std::vector<std::string> reported;
    wxString message;
    wxTEST_DIALOG(
        {
            CImportFromCamera sheet(catalog_, cameras_, frame_);
            EXPECT_EQ(0, sheet.ItemCount());
            EXPECT_FALSE(sheet.FindWindow(wxID_OK)->IsThisEnabled());
        },
        ExpectMessage(&message, wxID_OK));
    EXPECT_TRUE(message.Contains("'Directory Browse'")) << message;
    EXPECT_TRUE(message.Contains("in use by another program")) << message;
}
