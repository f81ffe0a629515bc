#include "app/ui/commands/PrintCommands.h"

#include "app/ui/CMainFrame.h"
#include "app/ui/commands/CommandRules.h"
#include "output/ui/print/PrintCommand.h"
#include "output/ui/print/PrintSetup.h"

namespace {

constexpr int kPageSetupCommand = 57605;
constexpr int kPrintCommand = 57607;

}  // namespace

void AddPrintCommands(CommandRowAdder& add) {
    // The system's page setup: the paper and orientation the next print and its preview use.
    add(kPageSetupCommand, kPageSetupCommand, {}, {}, [](const CommandContext& c) { RunPageSetup(c.frame); });
    add(kPrintCommand, kPrintCommand, kHasItems, {}, [](const CommandContext& c) {
        RunPrintCommand(c.frame, CommandCatalog(c), CommandView(c));
    });
}
