#include "app/ui/commands/GridCommands.h"

#include "app/ui/CMainFrame.h"
#include "app/ui/commands/CommandRules.h"
#include "app/ui/commands/GridCopyFormats.h"
#include "window/ui/CGridView.h"

#include <wx/dataobj.h>
#include <wx/textentry.h>
#include <wx/window.h>

namespace {

constexpr int kUndo = 57643, kCut = 57635, kCopy = 57634, kPaste = 57637;
constexpr int kShowMediaFile = 32800, kMoveToLocation = 32901;

// The edit field that has the focus (an in-place edit, the search field), or null.
wxTextEntry* FocusedEntry() { return dynamic_cast<wxTextEntry*>(wxWindow::FindFocus()); }

const Rule kCanUndo([](const CommandContext&) {
    wxTextEntry* entry = FocusedEntry();
    return entry && entry->CanUndo();
});
// In an edit field: some text is selected; else at least one item is.
const Rule kCanCutOrCopy([](const CommandContext& c) {
    if (wxTextEntry* entry = FocusedEntry()) {
        long from = 0, to = 0;
        entry->GetSelection(&from, &to);
        return from != to;
    }
    return kHasSelection(c);
});
const Rule kCanPaste([](const CommandContext& c) { return CommandView(c) && CGridView::CanPaste(); });

void CutOrCopy(const CommandContext& c, int mode) {
    CMainFrame* frame = c.frame;
    frame->GetGridView()->CopySelection(mode, [frame](wxDataObjectComposite& data) { AddViewFormats(frame, data); });
}

}  // namespace

void AddGridCommands(CommandRowAdder& add) {
    add(kUndo, kUndo, kCanUndo, {}, [](const CommandContext&) { CGridView::UndoInFocusedEdit(); });
    add(kCut, kCut, kCanCutOrCopy, {}, [](const CommandContext& c) { CutOrCopy(c, CGridView::kCut); });
    add(kCopy, kCopy, kCanCutOrCopy, {}, [](const CommandContext& c) { CutOrCopy(c, CGridView::kCopy); });
    add(kPaste, kPaste, kCanPaste, {}, [](const CommandContext& c) { c.frame->GetGridView()->Paste(); });
    add(kShowMediaFile, kShowMediaFile, kHasSelection, {}, [](const CommandContext& c) { c.frame->GetGridView()->ShowMediaFile(); });
    add(kMoveToLocation, kMoveToLocation, kHasSelection, {}, [](const CommandContext& c) { c.frame->GetGridView()->BeginMoveToLocation(); });
}
