// The Print command of a catalog window: the settings of the catalog, the Print dialog, the
// system's print dialog and the job on the chosen printer (or a PDF file, which the system
// dialog offers). A cancel anywhere ends it silently, Escape during the job too; a failure to
// start or to print is told with the printing-services alert.
#pragma once

#include <wx/window.h>

struct CatalogRec;
struct ViewRec;

void RunPrintCommand(wxWindow* parent, CatalogRec* catalog, ViewRec* view);
