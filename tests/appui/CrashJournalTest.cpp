// The import journal's road, and the import commands of the catalog window: a process that dies (SIGKILL) while a media reader works on a
// file leaves the file named in the journal; the next start of the program shows the
// import-problem dialog for that file once, and "Move to Recycle Bin" moves it to the trash.
#include "AppTestSupport.h"

#include "app/ui/CCrashDialog.h"
#include "app/ui/commands/CommandTable.h"
#include "foundation/ui/CommandIds.h"
#include "import/adding/AddFiles.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindEngine.h"
#include "support/ChildProcess.h"

#include <glib.h>
#include <unistd.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/testing.h>

#include <filesystem>

// Answers the import-problem dialog with a button, keeping the texts it showed.
template <>
class wxExpectModal<CCrashDialog> : public wxExpectModalBase<CCrashDialog> {
public:
    wxExpectModal(int answer, std::vector<wxString>* texts) : answer_(answer), texts_(texts) {}

protected:
    int OnInvoked(CCrashDialog* dialog) const override {
        for (int id : {1231, 1232, 1233})
            if (auto* text = dynamic_cast<wxStaticText*>(dialog->FindWindow(id))) texts_->push_back(text->GetLabel());
        return answer_;
    }

private:
    int answer_;
    std::vector<wxString>* texts_;
};

namespace {

ChildProcess* gChild = nullptr;

// The program's journal hook, after which the "reader" never returns: the parent kills the
// process while the file is being read.
void JournalThenHang(const MediaFileRec* file) {
    ImportJournalWrite(file);
    if (!file) return;
    gChild->Send("reading");
    for (;;) pause();
}

// Reads the file in a child process that is killed in the middle of the reading.
void CrashWhileReading(const std::string& path) {
    ChildProcess child([&](ChildProcess& self) {
        gChild = &self;
        KindSetFileHook(&JournalThenHang);
        KindFileRec file{};
        if (FSMakeFSSpecFromPath(path, &file.spec) != noErr) return 2;
        file.type = 'JPEG';
        KindInfoRec info{};
        KindGetInfo(&file, &info, false, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        return 3;  // the reading was meant never to end
    });
    ASSERT_EQ("reading", child.Receive());
    const int status = child.Kill();
    ASSERT_TRUE(WIFSIGNALED(status));
}

// Takes the trashed file out of the trash again (the user's, or the one at the top of the
// file's file system); false when it is in neither.
bool TakeOutOfTrash(const std::string& name, const std::string& folder) {
    namespace fs = std::filesystem;
    const std::string roots[] = {std::string(g_get_user_data_dir()) + "/Trash",
                                 "/tmp/.Trash-" + std::to_string(getuid()), folder};
    for (const std::string& root : roots) {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec)) {
            if (it->path().filename() != name || it->path().parent_path().filename() != "files") continue;
            fs::remove(it->path());
            fs::remove(it->path().parent_path().parent_path() / "info" / (name + ".trashinfo"));
            return true;
        }
    }
    return false;
}

}  // namespace

TEST_F(AppTest, AFileWhoseReadingKilledTheProgramIsOfferedAtTheNextStartAndCanBeTrashed) {
    const std::string name = "Beach " + std::to_string(getpid()) + ".jpg";  // found again in the trash
    const std::string picture = files_ / name;
    std::filesystem::copy_file(std::string(LYREX_SHARED_FIXTURES) + "/orientation/landscape_1.jpg", picture);
    CrashWhileReading(picture);
    if (HasFatalFailure()) return;

    std::vector<wxString> texts;
    wxTEST_DIALOG(ASSERT_TRUE(Start({})), wxExpectModal<CCrashDialog>(CCrashDialog::kMoveToTrash, &texts));
    ASSERT_EQ(3u, texts.size());
    EXPECT_EQ(wxString::FromUTF8(picture.c_str()), texts[0]);
    EXPECT_TRUE(texts[1].StartsWith("There was a problem importing the ")) << texts[1];
    EXPECT_TRUE(texts[1].EndsWith(" file:")) << texts[1];
    EXPECT_FALSE(texts[1].Contains("^")) << texts[1];
    EXPECT_EQ("Saving '" + name + "' again with the creator application may fix this problem.", texts[2]);
    EXPECT_FALSE(std::filesystem::exists(picture)) << "moved to the trash";
    EXPECT_TRUE(TakeOutOfTrash(name, files_.path()));
    MediaFileRec journal;
    EXPECT_NE(noErr, ImportJournalRead(&journal)) << "the journal is emptied, so it is offered once";
}

TEST_F(AppTest, TheImportCommandsRunFromTheCatalogWindow) {
    ASSERT_TRUE(Start({}));
    CMainFrame* frame = Frame(0);
    ASSERT_TRUE(frame && frame->GetCatalog());
    // Import From Camera with no camera on this machine says so and adds nothing.
    wxTEST_DIALOG(
        {
            wxCommandEvent camera(wxEVT_MENU, WxIdOf(274));
            frame->GetEventHandler()->ProcessEvent(camera);
        },
        wxExpectModal<wxMessageDialog>(wxID_OK).Describe("No camera connected."));
    EXPECT_EQ(0, frame->GetCatalog()->itemCount);
    // Import Options and Media Importers have their rows and are enabled.
    EXPECT_TRUE(CommandIsEnabled({frame, 32832}));
    EXPECT_TRUE(CommandIsEnabled({frame, 197}));
}
