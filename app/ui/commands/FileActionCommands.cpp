#include "app/ui/commands/FileActionCommands.h"

#include "app/ui/CMainFrame.h"
#include "app/ui/commands/CommandRules.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/PreferencesRec.h"
#include "foundation/text/TextEncoding.h"
#include "foundation/ui/CFolderBrowser.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/UiText.h"
#include "output/backup/BackupDestinations.h"
#include "output/backup/BackupToDisc.h"
#include "output/fileactions/BatchRename.h"
#include "output/fileactions/FileActions.h"
#include "output/ui/backup/Clxbackup.h"
#include "output/ui/fileactions/CXferToFolder.h"
#include "output/ui/fileactions/Clxbatchrn.h"
#include "output/ui/fileactions/WxFileConflictAsker.h"
#include "platform/Files.h"
#include "window/ui/CGridView.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewSelection.h"

#include <wx/filedlg.h>

#include <cerrno>

namespace {

ViewRec* View(const CommandContext& c) { return CommandView(c); }
CatalogRec* Catalog(const CommandContext& c) { return CommandCatalog(c); }

FileConflictAsker* gTestAsker = nullptr;

// Alert messages (list 130) and buttons (list 129).
enum : short {
    kFailedFilesMissing = 61,
    kFailedIo = 65,
    kFailedPermission = 66,
    kMessageAndDetail = 79,
    kSaveBeforeBackup = 88,
    kButtonOk = 1,
    kButtonCancel = 2,
    kButtonSave = 3,
    kButtonSaveAs = 20,
};

void Refresh(const CommandContext& c) {
    c.frame->GetGridView()->RedrawAll();
    c.frame->UpdateTitle();
}

// The conflict dialog over this frame for the length of one command; the earlier asker comes
// back afterwards.
class ConflictAskerScope {
public:
    explicit ConflictAskerScope(wxWindow* parent) : dialog_(parent), previous_(GetFileConflictAsker()) {
        SetFileConflictAsker(gTestAsker ? gTestAsker : &dialog_);
    }
    ~ConflictAskerScope() { SetFileConflictAsker(previous_); }

private:
    WxFileConflictAsker dialog_;
    FileConflictAsker* previous_;
};

// "<what went wrong>" with the file it concerns below it, and the error code.
void ReportFailure(short message, const FileFailure& failure) {
    Str255 head, detail;
    CStringToPStr(std::string_view(Utf8FromWx(LoadIndexedUiString(130, message))), head, 255);
    CStringToPStr(std::string_view(failure.path), detail, 255);
    ShowAlert(kAlertStop, kMessageAndDetail, failure.err, kButtonOk, 0, 0, head, detail);
}

short MessageForError(OSErr err) {
    switch (err) {
    case fnfErr:
    case dirNFErr: return kFailedFilesMissing;
    case permErr:
    case wrPermErr:
    case afpAccessDenied:
    case fLckdErr:
    case vLckdErr:
    case wPrErr: return kFailedPermission;
    default: return kFailedIo;
    }
}

void ReportFileAction(const FileActionReport& report) {
    if (report.err == noErr || report.err == userCanceledErr) return;
    FileFailure failure = report.failure;
    if (failure.err == noErr) failure.err = report.err;
    ReportFailure(MessageForError(failure.err), failure);
}

bool ChooseFolder(const CommandContext& c, FSSpec* folder) {
    wxString chosen;
    if (!GetFileActionChoosers().folder(c.frame, LoadUiString(13808), wxString(), &chosen)) return false;
    const std::string path = Utf8FromWx(chosen);
    if (FSMakeFSSpecFromPath(path, folder) != noErr) return false;
    folder->path = path;
    return true;
}

void BatchRename(const CommandContext& c) {
    ViewRec* view = View(c);
    RenameSpec& spec = LastRenameSpec();
    Clxbatchrn dialog(c.frame, &spec, ViewCountSelected(view));
    if (dialog.DoModal() != IDOK) return;
    ConflictAskerScope asker(c.frame);
    const FileActionReport report = BatchRenameSelection(view, &spec);
    ViewDrawHeaderBar(view);
    Refresh(c);
    // A name that could not be given is reported once, naming the first such file.
    for (const FileFailure& f : report.passedOver) {
        if (f.err == noErr) continue;
        ReportFailure(MessageForError(f.err), f);
        break;
    }
}

void ToFolder(const CommandContext& c) {
    ViewRec* view = View(c);
    if (c.id == 33391) {
        UInt8 mode = GetPreferences()->transferMode;
        CXferToFolder dialog(c.frame, &mode);
        if (dialog.DoModal() != IDOK) return;
        GetPreferences()->transferMode = mode;
    }
    FSSpec folder;
    if (!ChooseFolder(c, &folder)) return;
    ConflictAskerScope asker(c.frame);
    FileActionReport report;
    if (c.id == 33391) report = TransferSelectionToFolder(view, folder, GetPreferences()->transferMode);
    else if (c.id == 32868) report = MoveSelectionToFolder(view, folder);
    else report = CopySelectionToFolder(view, folder);
    Refresh(c);
    ReportFileAction(report);
}

// Backup works on the saved catalog: an untitled or changed one is saved first (or the
// command ends).
bool SavedForBackup(const CommandContext& c) {
    CatalogRec* catalog = Catalog(c);
    if (!catalog->fileSpec.path.empty() && !CatalogIsModified(catalog)) return true;
    Str255 name;
    CatalogGetDisplayName(catalog, name, false);
    const short answer = ShowAlert(kAlertInformation, kSaveBeforeBackup, 0, kButtonSave, kButtonCancel, kButtonSaveAs, name);
    if (answer == 1) c.frame->Save();
    else if (answer == 3) c.frame->SaveAs();
    else return false;
    return !catalog->fileSpec.path.empty() && !CatalogIsModified(catalog);
}

void Backup(const CommandContext& c) {
    if (!SavedForBackup(c)) return;
    VolumeTable volumes;
    VolumeTableRefresh(&volumes);
    Clxbackup dialog(c.frame, ListBackupDestinations(volumes, FindWritableDrives()));
    if (dialog.DoModal() != IDOK || !dialog.Chosen()) return;
    const BackupDestination destination = *dialog.Chosen();
    BackupRequest request;
    request.options = dialog.Options();
    wxString chosen;
    switch (destination.kind) {
    case BackupDestination::Kind::kVolume:
        if (!GetFileActionChoosers().folder(c.frame, LoadUiString(13808), WxFromUtf8(destination.path), &chosen)) return;
        request.target = BackupTarget::kFolder;
        request.folder = Utf8FromWx(chosen);
        break;
    case BackupDestination::Kind::kImage:
        if (!GetFileActionChoosers().imageFile(c.frame, &chosen)) return;
        request.target = BackupTarget::kDisc;
        request.imagePath = Utf8FromWx(chosen);
        break;
    case BackupDestination::Kind::kDrive:
        // The image is written beside the program's other scratch files and burnt, then removed.
        request.target = BackupTarget::kDisc;
        request.imagePath = c.frame->ScratchFolder() + "/backup.iso";
        request.driveAddress = destination.path;
        request.keepImage = false;
        break;
    }
    BackupReport report;
    {
        ConflictAskerScope asker(c.frame);
        report = BackupToDisc(View(c), &request);
    }
    Refresh(c);
    if (report.alert != 0) {
        if (report.failure.path.empty()) ShowAlertSimple(kAlertStop, short(report.alert), report.err, kButtonOk, 0, 0);
        else ReportFailure(short(report.alert), FileFailure{report.err, report.failure.path});
    }
}

const Rule kHoldsItems([](const CommandContext& c) { return Catalog(c) && Catalog(c)->itemCount > 0; });
const Rule kTwoSelected([](const CommandContext& c) { return CommandView(c) && ViewCountSelected(CommandView(c)) >= 2; });

}  // namespace

FileActionChoosers DesktopFileActionChoosers() {
    FileActionChoosers choosers;
    choosers.folder = [](wxWindow* owner, const wxString& prompt, const wxString& start, wxString* chosen) {
        return CFolderBrowser::NativeChooser(owner, prompt, start, chosen) == wxID_OK;
    };
    choosers.imageFile = [](wxWindow* owner, wxString* chosen) {
        wxFileDialog dialog(owner, LoadUiString(62710), wxString(), "Backup.iso", "Disc images (*.iso)|*.iso",
                            wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
        if (dialog.ShowModal() != wxID_OK) return false;
        *chosen = dialog.GetPath();
        return true;
    };
    return choosers;
}

FileActionChoosers& GetFileActionChoosers() {
    static FileActionChoosers choosers = DesktopFileActionChoosers();
    return choosers;
}

void SetCommandConflictAsker(FileConflictAsker* asker) { gTestAsker = asker; }

void MoveSelectionIntoFolder(CMainFrame* frame, const std::string& folderPath) {
    ViewRec* view = frame ? frame->GetViewRec() : nullptr;
    if (!view || ViewCountSelected(view) == 0) return;
    FSSpec folder;
    if (FSMakeFSSpecFromPath(folderPath, &folder) != noErr) return;
    folder.path = folderPath;
    FileActionReport report;
    {
        ConflictAskerScope asker(frame);
        report = MoveSelectionToFolder(view, folder);
    }
    frame->GetGridView()->RedrawAll();
    frame->UpdateTitle();
    ReportFileAction(report);
}

void AddFileActionCommands(CommandRowAdder& add) {
    add(32819, 32819, kTwoSelected, {}, BatchRename);
    add(33391, 33391, kHoldsItems, {}, ToFolder);
    add(32868, 32869, kHasSelection, {}, ToFolder);
    add(32874, 32874, kHoldsItems, {}, Backup);
}
