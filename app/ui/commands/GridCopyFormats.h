// What Cut and Copy put on the clipboard beside the items, by view mode: in List view the
// selected items as text (file names, path names or the shown columns, as the text-copy
// dialog chooses) and the current item's picture; in Thumbnail view its picture; in Media
// view its thumbnail or its file at full size, as the picture-copy dialog chooses. Cancelling
// a dialog leaves out only that format.
#pragma once

#include "platform/MacTypes.h"

#include <string>

class CMainFrame;
class wxDataObjectComposite;
struct CatalogRec;
struct ViewRec;

// The selected items' text: choice 0 file names, 1 path names, 2 the List view's columns
// separated by tabs; one line per item, each ended by CR LF.
std::string SelectionText(CatalogRec* catalog, ViewRec* view, UInt8 choice);
// Asks the mode's dialog and adds its formats.
void AddViewFormats(CMainFrame* frame, wxDataObjectComposite& data);
