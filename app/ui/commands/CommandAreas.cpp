// Gathers the command rows that each menu area keeps in its own file, so adding an area's
// commands touches one line here rather than the main table.
#include "app/ui/commands/CommandTable.h"

#include "app/ui/commands/FileActionCommands.h"
#include "app/ui/commands/FindCommands.h"
#include "app/ui/commands/GalleryCommands.h"
#include "app/ui/commands/GridCommands.h"
#include "app/ui/commands/ImportCommands.h"
#include "app/ui/commands/ItemCommands.h"
#include "app/ui/commands/OpenWithCommands.h"
#include "app/ui/commands/PrintCommands.h"
#include "app/ui/commands/ShellCommands.h"
#include "app/ui/commands/SidePanelCommands.h"
#include "app/ui/commands/SlideShowCommands.h"

void AddMoreCommandRows(CommandRowAdder& add) {
    AddImportCommands(add);
    AddSidePanelCommands(add);
    AddSlideShowCommands(add);
    AddFindCommands(add);
    AddGalleryCommands(add);
    AddPrintCommands(add);
    AddItemCommands(add);
    AddFileActionCommands(add);
    AddOpenWithCommands(add);
    AddShellCommands(add);
    AddGridCommands(add);
}
