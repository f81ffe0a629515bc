// The application's folders and the installation's "Settings.txt" switches.
//
// The installation folder is the value "Path" of the machine-wide program key, else the
// installed program's data folder (platform/ProgramFolders.h). The per-user folder is
// "Lyrex" in $XDG_DATA_HOME (~/.local/share), the all-users folder "Lyrex" in the first
// folder of $XDG_DATA_DIRS. Each has a "Plug-ins" sub-folder.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <cstddef>

enum : SInt16 {
    kAppFolderInstall = 0,
    kAppFolderCommonData = SInt16(0x8003),
    kAppFolderUserData = SInt16(0x8005),
};

enum : OSErr {
    kNoInstallFolderErr = -19,   // neither the installation's "Path" nor the program's folder
};

// The folder "Plug-ins" inside the folder of that kind, or the sub-folder subFolderName
// (length-prefixed, native bytes; null for none) inside it. With create every missing folder
// on the way is made; without it a missing one answers fnfErr. Other kinds answer fnfErr.
OSErr GetAppFolder(ConstStr255Param subFolderName, SInt16 folderKind, bool create, FSSpec* folder);

// Three switches read from "Settings.txt"; only alfa_detect has an effect (alpha-channel
// drawing of PNG, Photoshop and TIFF images).
struct SettingsSwitches {
    UInt8 usb_detect;
    UInt8 alfa_detect;
    UInt8 inspector_key;
};
static_assert(sizeof(SettingsSwitches) == 3);

SettingsSwitches* GetSettingsSwitches();
// Reads "Settings.txt" in the installation's "Plug-ins/General" folder: lines of a name, white
// space and a signed number; the exact names above take the number's low byte, other lines
// are ignored. A missing folder or file leaves the switches as they are.
void ReadSettingsTxt();
