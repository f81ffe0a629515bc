// The printer settings of the run (paper, orientation, the printer the system dialogs chose
// last), the page measures the print dialog computes its preview with before a printer is
// reached, and the system's page setup dialog over them.
#pragma once

#include "output/print/PrintLayout.h"

#include <wx/cmndata.h>
#include <wx/window.h>

wxPrintData& PrintSetupData();
// The paper of the settings at 300 dots per inch; the printer's own unprintable edges are
// known only once it prints, so the preview shows the whole sheet.
PrintDeviceMetrics PrintSetupMetrics();
// The page setup dialog (paper and orientation); true when the user confirmed it.
bool RunPageSetup(wxWindow* parent);
// Font numbers of the bands name faces through the program's font table.
void InstallPrintFontFaces();
