// The conversion commands as the menu handler calls them: the dialog, then (unless the
// originals are replaced) the destination folder, then the run over the view's selected items
// (all shown items when "Selected items only" is off).
#pragma once

#include "platform/MacTypes.h"

class wxWindow;
struct ViewRec;

// Installs the windows that answer the conversions' and the option-set menu's questions.
void InstallOutputPrompts();

// Each answers userCanceledErr when a dialog or the folder chooser was cancelled, else what the
// run answers.
OSErr ConvertImageFilesCommand(wxWindow* parent, ViewRec* view);
OSErr ConvertMovieFilesCommand(wxWindow* parent, ViewRec* view);
OSErr ConvertSoundFilesCommand(wxWindow* parent, ViewRec* view);
