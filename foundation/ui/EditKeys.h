// The rules of the small edit controls, apart from any window: which key ends an edit with
// which end code, which part of a file name a rename selects, and how the favorites drop-down
// completes what is typed.
#pragma once

#include <string>
#include <vector>

enum class EditKeyAction { kNone, kDone, kCancel, kOpenList, kCloseList };

struct EditKey {
    EditKeyAction action = EditKeyAction::kNone;
    long code = 0;  // the end code of kDone (ComboDoneEnd)
};

// The rename field: Tab (Shift: 2) ends with 1; Enter ends with 0 when the field is one line
// (a multi-line field takes it as a line break); Escape cancels; Ctrl with an arrow ends with
// 3 (left), 4 (up), 5 (right), 6 (down). keyCode is wx's key code.
EditKey RenameEditKey(int keyCode, bool shift, bool ctrl, bool singleLine);
// The favorites drop-down: as the rename field, and Alt+Up / Alt+Down close / open the list.
EditKey RenameComboKey(int keyCode, bool shift, bool ctrl, bool alt);

// The part of a name a rename selects: from its start up to its last "." (the whole name
// without one), so that the extension stays as it is. [from, to) in characters.
void BaseNameRange(const std::u32string& name, long* from, long* to);

// Completion of typed text from the entries: only when nothing is selected and the caret is
// at the end, the first entry that begins with the text (letter case aside) replaces it, the
// completed tail selected. False when nothing completes.
bool CompleteFromEntries(const std::vector<std::u32string>& entries, const std::u32string& typed, long caret,
                         long selectionFrom, long selectionTo, std::u32string* completed);
