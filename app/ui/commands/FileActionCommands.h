// The commands that change media files on disk for the selected items and keep the catalog
// pointing at them: Batch Rename, Transfer to Folder, Move and Copy to Folder, and Backup. Each
// asks its dialog and its destination, settles name conflicts with the file-conflict dialog,
// and tells the user which file a failure concerns.
#pragma once

#include "app/ui/commands/CommandTable.h"
#include "output/fileactions/FileConflicts.h"

#include <wx/string.h>

#include <functional>
#include <string>

class wxWindow;

void AddFileActionCommands(CommandRowAdder& add);

class CMainFrame;
// Moves the frame's selected items into the folder (a drop on the side panel's folder list),
// asking about name conflicts and reporting a failure with the file it concerns.
void MoveSelectionIntoFolder(CMainFrame* frame, const std::string& folderPath);

// Where the commands ask for a destination. The desktop's choosers unless replaced: GTK fills in
// a choice only when a person accepts it, so tests answer in its place. Each answers false when
// cancelled.
struct FileActionChoosers {
    // A folder (start: where to begin, may be empty).
    std::function<bool(wxWindow* owner, const wxString& prompt, const wxString& start, wxString* chosen)> folder;
    // A new disc image file.
    std::function<bool(wxWindow* owner, wxString* chosen)> imageFile;
};
FileActionChoosers& GetFileActionChoosers();
// The desktop's choosers (what GetFileActionChoosers holds at start).
FileActionChoosers DesktopFileActionChoosers();

// The conflict asker the commands install while they run; null: the conflict dialog.
void SetCommandConflictAsker(FileConflictAsker* asker);
