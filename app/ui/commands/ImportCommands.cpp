#include "app/ui/commands/ImportCommands.h"

#include "app/ui/CMainFrame.h"
#include "app/ui/commands/CommandRules.h"
#include "import/camera/GPhotoCameraSource.h"
#include "import/ui/CImportFromCamera.h"
#include "import/ui/CImportOptionsDlg.h"
#include "import/ui/Clxmediaimp.h"

namespace {
constexpr int kImportOptions = 32832;
constexpr int kMediaImporters = 197;
constexpr int kFromCamera = 274;
}  // namespace

void AddImportCommands(CommandRowAdder& add) {
    add(kImportOptions, kImportOptions, kHasView, {},
        [](const CommandContext& c) { ImportOptionsCommand(CommandCatalog(c), c.frame); });
    add(kFromCamera, kFromCamera, kHasView, {}, [](const CommandContext& c) {
        const std::unique_ptr<CameraSource> cameras = NewGPhotoCameraSource();
        if (ImportFromCameraCommand(CommandCatalog(c), c.frame, *cameras) > 0) c.frame->StartReadingNewItems();
    });
    add(kMediaImporters, kMediaImporters, {}, {}, [](const CommandContext& c) {
        Clxmediaimp dialog(c.frame);
        dialog.DoModal();
    });
}
