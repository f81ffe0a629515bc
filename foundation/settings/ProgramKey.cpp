#include "foundation/settings/ProgramKey.h"

#include <string>

namespace {

bool OpenProgramKey(CRegistryKey* key, HKEY root, std::u16string_view subKeyName, int readOnly) {
    if (!key) return false;
    key->SetRoot(root);
    std::u16string path = kProgramKeyPath;
    path += subKeyName;
    return key->SetSubKey(path, true, readOnly);
}

}  // namespace

bool OpenUserKey(CRegistryKey* key, std::u16string_view subKeyName) {
    return OpenProgramKey(key, HKEY_CURRENT_USER, subKeyName, 0);
}

bool OpenMachineKey(CRegistryKey* key, std::u16string_view subKeyName, int readOnly) {
    return OpenProgramKey(key, HKEY_LOCAL_MACHINE, subKeyName, readOnly);
}
