// Dynamic libraries and the name of the user.
#pragma once

#include "platform/MacTypes.h"

// Loads a shared library (dlopen, symbols resolved now); *module is null on failure, which
// answers kLoadLibraryErr.
OSErr LoadLibraryChecked(void** module, const char* fileName);
// Unloads a loaded library and sets the variable to null.
void FreeLibraryChecked(void** module);
// The address of a symbol of a loaded library, or null.
void* GetProcAddressChecked(void* module, const char* name);

// The logged-on user's name as Windows-1252 text (from the account database, else $USER);
// empty when neither knows it.
void GetUserNamePStr(StringPtr name);
