// Gathers the command rows that each menu area keeps in its own file, so adding an area's
// commands touches one line here rather than the main table.
#include "app/ui/commands/CommandTable.h"
#include "app/ui/commands/FindCommands.h"
#include "app/ui/commands/GridCommands.h"
#include "app/ui/commands/SlideShowCommands.h"

void AddMoreCommandRows(CommandRowAdder& add) {
    AddSlideShowCommands(add);
    AddFindCommands(add);
    AddGridCommands(add);
}
