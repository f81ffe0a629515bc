#include "app/ui/commands/PrintCommands.h"

#include "app/ui/CMainFrame.h"
#include "app/ui/commands/CommandRules.h"
#include "output/ui/print/PrintCommand.h"

namespace {

constexpr int kPrintCommand = 57607;

}  // namespace

void AddPrintCommands(CommandRowAdder& add) {
    add(kPrintCommand, kPrintCommand, kHasItems, {}, [](const CommandContext& c) {
        RunPrintCommand(c.frame, CommandCatalog(c), CommandView(c));
    });
}
