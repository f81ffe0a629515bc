// The menu commands the view engine serves: which engine operation each command id runs and
// when it is enabled, so that the command handler and the engine agree. Commands whose
// enabling is the frame's or the label menu's decision answer kDecidedElsewhere; commands
// that need a dialog or an item procedure first are run by the command handler itself.
#pragma once

#include "window/view/ViewRec.h"

enum : int { kCommandDisabled = 0, kCommandEnabled = 1, kDecidedElsewhere = -1 };

enum : UInt32 {
    kCmdDelete = 57632, kCmdDelete2 = 57633,
    kCmdSelectAll = 32854, kCmdDeselectAll = 32855, kCmdInvertSelection = 32856,
    kCmdShowAll = 32857, kCmdShowHidden = 32858, kCmdShowSelected = 32859, kCmdHideSelected = 32917,
    kCmdShowAnyLabel = 33001, kCmdShowNoLabel = 33002, kCmdShowLabelFirst = 33004, kCmdShowLabelLast = 33012,
    kCmdShowLastImport = 33013, kCmdShowDuplicates = 32861,
    kCmdRebuildItem = 32866, kCmdRecycle = 32867, kCmdRecycle2 = 32801, kCmdFileAction1 = 32868, kCmdFileAction2 = 32869,
    kCmdTransferToFolder = 33391,
    kCmdRotateLeft = 32870, kCmdRotateRight = 32871, kCmdFlipHorizontal = 33105, kCmdFlipVertical = 33106,
    kCmdDefaultOrientation = 33107,
    kCmdZoomIn = 32872, kCmdZoomOut = 32873, kCmdActualSize = 33104,
    kCmdRemoveLabel = 32937, kCmdLabelFirst = 32890, kCmdLabelLast = 32898,
    kCmdMoveToTop = 32899, kCmdMoveToBottom = 32900, kCmdMoveAgain = 33144,
    kCmdPreviousState = 33272, kCmdNextState = 33273, kCmdGoAgain = 33140,
    kCmdPlay = 33121, kCmdPlay2 = 32808,
    kCmdListView = 32791, kCmdThumbnailView = 32792, kCmdMediaView = 32793,
};

// kCommandEnabled, kCommandDisabled, or kDecidedElsewhere for commands the engine leaves to
// the frame or the label menu (and for ids it does not serve).
int ViewCommandEnabled(const ViewRec* view, UInt32 command);
// Whether the command's menu item is checked: the active view mode, and Play while playing.
bool ViewCommandChecked(const ViewRec* view, UInt32 command);
// The Actual Size item's text: "Actual Size" while the Media view is scaled to fit, else
// "Scale to Fit", each followed by "\tCtrl+0".
const char* ViewActualSizeMenuText(const ViewRec* view);
// Runs a command that needs nothing but the view; false for the others (the command handler
// runs those: dialogs, item procedures, Move Again, Go Again, Rebuild Item).
bool ViewRunCommand(ViewRec* view, UInt32 command);
