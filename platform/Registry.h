// The registry the core keeps its settings in: HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, each
// one text file of our own format (platform/RegistryFormat.h), with the Win32 calls the core
// is written against. Key paths keep their Windows form ("SOFTWARE\Lyrex\Ondrel2\...");
// names of keys and values compare without regard to ASCII letter case, as the registry does.
//
// Where the stores live:
//   HKEY_CURRENT_USER   $XDG_CONFIG_HOME/Lyrex/Ondrel2/user-registry.txt (~/.config when unset)
//   HKEY_LOCAL_MACHINE  machine-registry.txt in $LYREX_MACHINE_STORE when that is set, else in
//                       the program's installed data folder (platform/ProgramFolders.h)
// The locations are looked up at every call, so a test may point them elsewhere at any time.
//
// Every change is written through at once: the whole store goes to a temporary file in the
// same folder, is flushed, renamed over the old file and the folder is flushed, under an
// advisory lock on the folder so that two processes never interleave. A store changed on disk
// by another process is re-read before the next call. A store file that cannot be parsed is
// reported through the problem hook and renamed to "<name>.corrupt-<time>"; the store then
// starts empty. A store file that cannot be read is reported and never overwritten: the calls
// that would change it answer ERROR_REGISTRY_IO_FAILED.
//
// HKEY_CLASSES_ROOT and HKEY_USERS are valid roots with no store behind them: nothing opens
// under them.
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <functional>
#include <string>

struct RegistryKeyHandle;
using HKEY = RegistryKeyHandle*;
using REGSAM = DWORD;
using PHKEY = HKEY*;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t(0x80000000u));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t(0x80000001u));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t(0x80000002u));
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(std::uintptr_t(0x80000003u));
inline HKEY const HKEY_CURRENT_CONFIG = reinterpret_cast<HKEY>(std::uintptr_t(0x80000005u));

// Value types.
enum : DWORD {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_MULTI_SZ = 7,
    REG_QWORD = 11,
};

// Access rights of an open key.
enum : REGSAM {
    KEY_QUERY_VALUE = 0x0001,
    KEY_SET_VALUE = 0x0002,
    KEY_CREATE_SUB_KEY = 0x0004,
    KEY_ENUMERATE_SUB_KEYS = 0x0008,
    KEY_NOTIFY = 0x0010,
    KEY_READ = 0x20019,
    KEY_WRITE = 0x20006,
    KEY_ALL_ACCESS = 0xF003F,
};

enum : DWORD {
    REG_OPTION_NON_VOLATILE = 0,
    REG_CREATED_NEW_KEY = 1,
    REG_OPENED_EXISTING_KEY = 2,
};

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

// Opens root\subKey (an empty or null subKey opens another handle to root itself). Asking for
// write rights on a store whose folder may not be written answers ERROR_ACCESS_DENIED.
LONG RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
// Opens root\subKey, creating every missing key on the way. classText and security are
// accepted and ignored; disposition (may be null) tells whether the last key was made.
LONG RegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD reserved, LPWSTR classText, DWORD options,
                     REGSAM access, const void* security, PHKEY result, DWORD* disposition);
LONG RegCloseKey(HKEY key);
// Changes are durable when they return, so this only checks the handle.
LONG RegFlushKey(HKEY key);
// The usual query: data may be null to learn the size; a buffer smaller than the value answers
// ERROR_MORE_DATA with *dataSize set to the size needed and copies nothing.
LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize);
LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize);
LONG RegDeleteValueW(HKEY key, LPCWSTR valueName);
// Deletes key\subKey with its values; a key that still has sub-keys answers ERROR_ACCESS_DENIED.
LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey);
// Sub-keys in the order of their names (ignoring ASCII case); values in the order they were
// first set. *nameLength is the buffer size in characters on entry and the name's length
// (without its terminating zero) on return; too small a buffer answers ERROR_MORE_DATA.
LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, DWORD* nameLength, DWORD* reserved,
                   LPWSTR classText, DWORD* classLength, FILETIME* lastWriteTime);
LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR valueName, DWORD* valueNameLength,
                   DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize);

// Problems with a store file (code ERROR_BADDB for a file that was set aside as corrupt,
// ERROR_REGISTRY_IO_FAILED for one that could not be read or written) go to this hook; without
// one they are written to standard error. The message names the file.
using RegistryProblemHook = std::function<void(LONG code, const std::string& message)>;
void SetRegistryProblemHook(RegistryProblemHook hook);

// The file that holds a root's store (empty for roots without one).
std::string RegistryStorePath(HKEY root);
// Forgets everything read from the stores; the next call reads them again.
void RegistryForgetCachedStores();

// While one of these lives on a thread, the changes that thread makes stay atomic (a temporary
// file renamed into place, under the folder lock) but are not flushed to the disk: for values
// rewritten very often whose only purpose is to outlive a crash of the process, which the page
// cache does (the import journal, written before and after every media file is read).
class RegistryUnflushedWrites {
public:
    RegistryUnflushedWrites();
    ~RegistryUnflushedWrites();
    RegistryUnflushedWrites(const RegistryUnflushedWrites&) = delete;
    RegistryUnflushedWrites& operator=(const RegistryUnflushedWrites&) = delete;
};
// Whether the calling thread's registry writes are flushed now.
bool RegistryWritesFlushed();
