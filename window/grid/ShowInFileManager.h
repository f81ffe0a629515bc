// Shows a file selected in the desktop's file manager: the freedesktop FileManager1 service on
// the session bus when one answers, else the file's folder opened with its default program.
#pragma once

#include <string>

// False when neither way worked (no session bus, no program for folders).
bool ShowInFileManager(const std::string& path);
