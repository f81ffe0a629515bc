#include "app/ui/commands/GalleryCommands.h"

#include "app/ui/commands/CommandRules.h"
#include "app/ui/CMainFrame.h"
#include "output/ui/html/HtmlGalleryCommand.h"

void AddGalleryCommands(CommandRowAdder& add) {
    // "HTML Gallery...": a web site of the catalog's shown items.
    add(33116, 33116, kHasItems, {}, [](const CommandContext& c) { HtmlGalleryCommand(c.frame, CommandCatalog(c)); });
}
