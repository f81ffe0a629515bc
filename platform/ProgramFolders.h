// Where the program and its user keep things on Linux: the executable, the installed data, the
// per-user configuration and data folders (XDG base directories), and the two application-data
// folders the core asks for by their Windows special-folder numbers.
//
// Environment variables that move these places (used by tests and by packaging):
//   LYREX_DATA_DIR        the installed program's data folder (default: "../share/lyrex-ondrel"
//                         beside the folder of the executable)
//   LYREX_MACHINE_STORE   the folder of the machine-wide settings store (default: the data
//                         folder above)
//   XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_DATA_DIRS, HOME   as the XDG base directories define
// Every call looks them up afresh. All paths are absolute UTF-8 paths without a trailing "/".
#pragma once

#include "platform/MacTypes.h"

#include <string>

// The running executable's path; empty when it cannot be had.
std::string ExecutablePath();
// The installed program's data folder (resources, the machine store, "Plug-ins").
std::string ProgramDataFolder();
// $XDG_CONFIG_HOME, else ~/.config.
std::string UserConfigFolder();
// $XDG_DATA_HOME, else ~/.local/share.
std::string UserDataFolder();
// The first entry of $XDG_DATA_DIRS, else /usr/local/share.
std::string CommonDataFolder();

// The folder of the per-user settings store: UserConfigFolder()/Lyrex/Ondrel2.
std::string UserSettingsStoreFolder();
// The folder of the machine-wide settings store.
std::string MachineSettingsStoreFolder();

// Special folders the core asks for.
enum : int {
    CSIDL_APPDATA = 0x001A,          // per-user application data: UserDataFolder()
    CSIDL_COMMON_APPDATA = 0x0023,   // all users' application data: CommonDataFolder()
};
// The folder's path; with create, the folder and its missing parents are made. Answers noErr,
// paramErr for a folder number not listed above, fnfErr when the folder is missing (or the
// path is empty), or the error of the creation.
OSErr GetSpecialFolderPath(int csidl, bool create, std::string* path);

// Makes a folder and its missing parents (an existing folder is fine). Answers noErr or the
// result code of the first step that failed.
OSErr CreateFolderPath(const std::string& path);
