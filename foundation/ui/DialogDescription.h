// Dialog layouts are data: each dialog's description is a small text resource (resources/
// dialogs/, compiled in as typed resources 'DLOG' under the dialog's template id). This file
// reads a description into a tree of plain records, headless; DialogBuilder.h turns the tree
// into controls and sizers.
//
// One control or group a line, words separated by blanks, "#" starts a comment:
//   caption @<string id>           the dialog's caption (none when absent)
//   column | row | group @<id> [<control id>]   open a vertical, horizontal, or labelled
//                                  vertical group (the id names the group's frame)
//   end                            closes the innermost group
//   <kind> <control id> [@<string id>] [flags...]
//   space <pixels>
// Kinds: text, edit, password, multiline, list, date, radio, check, button, link, picture,
// bitmap, line, drive, choice (a drop-down list the dialog fills), push (a push button placed in
// the layout), colour (a colour picker button), trackbar (a horizontal slider the dialog sets
// up), report (a one-column list of rows without a header, one row chosen at a time). Flags: grow (takes the spare room of its group), wide (at least 300 pixels wide),
// tall (at least 120 pixels high), right (text aligned right), bold, group (the
// first radio button of a group), hidden. Push buttons named by "button" are created but left
// out of the sizers: the dialog base lays them out along the bottom edge.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct DialogItem {
    std::string kind;  // a control kind, or "column", "row", "group", "space"
    int id = 0;
    int stringId = 0;  // 0: no text
    int size = 0;      // pixels of a space
    bool grow = false, wide = false, tall = false, right = false, bold = false;
    bool groupStart = false, hidden = false;
    std::vector<DialogItem> children;  // of a column, row or group
};

struct DialogDescription {
    int captionId = 0;
    DialogItem root;  // a column
};

// Reads a description; false with problem set (line and what is wrong) when it is not valid.
bool ParseDialogDescription(std::string_view text, DialogDescription* out, std::string* problem);

// The description compiled in for a template id; false when there is none or it is not valid.
bool LoadDialogDescription(int templateId, DialogDescription* out, std::string* problem = nullptr);
