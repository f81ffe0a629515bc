// The program's entry: the wx application object runs everything.
#include "app/ui/CQuantaroApp.h"

wxIMPLEMENT_APP(CQuantaroApp);
