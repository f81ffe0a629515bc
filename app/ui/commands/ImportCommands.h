// The import area's commands of the catalog window: Import Options, Import From Camera and
// the Media Importers dialog.
#pragma once

class CommandRowAdder;

void AddImportCommands(CommandRowAdder& add);
