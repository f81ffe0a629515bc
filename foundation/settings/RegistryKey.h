// The one wrapper through which every persistent setting is read and written. It remembers a
// root and a sub-key path and opens the key afresh for every operation, so no key stays open
// between calls. It never raises: failures answer false, 0, the caller's default or null.
#pragma once

#include "platform/Handles.h"
#include "platform/Registry.h"

#include <string>
#include <string_view>

class CRegistryKey {
public:
    CRegistryKey() = default;
    ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = default;
    CRegistryKey& operator=(const CRegistryKey&) = default;

    // Accepts only HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE and HKEY_USERS.
    bool SetRoot(HKEY root);
    // An empty path clears the stored path and answers true without touching the registry.
    // Otherwise opens the path (for reading when readOnly > 0, else with all rights) or, with
    // create, creates it; only on success is the path stored.
    bool SetSubKey(std::u16string_view path, bool create, int readOnly);
    bool DeleteValue(std::u16string_view valueName);
    // The value's registry type; 0 when the key or the value is missing.
    DWORD GetValueType(std::u16string_view valueName);
    bool ValueExists(std::u16string_view valueName);
    // At most four bytes, whatever the stored type; the default when the key or the value is
    // missing or the value is longer than four bytes.
    DWORD ReadDword(std::u16string_view valueName, DWORD defaultValue);
    // Reads at most capacity bytes. *outSize (may be null) is 0 first, then the value's size
    // (the size needed when the buffer was too small). A null buffer with capacity 0 answers
    // true with the size.
    bool ReadBinary(std::u16string_view valueName, void* buffer, DWORD capacity, DWORD* outSize);
    // Refused (nothing written) for texts of 255 characters or more; REG_SZ with its zero.
    bool WriteString(std::u16string_view valueName, std::u16string_view text);
    // Four little-endian bytes stored as REG_BINARY.
    bool WriteDword(std::u16string_view valueName, DWORD value);
    bool WriteBinary(std::u16string_view valueName, const void* data, DWORD length);
    // A new handle holding the value. The handle is stored through outHandle as soon as it is
    // made, so after a failed read it is the caller's to dispose.
    bool ReadHandle(std::u16string_view valueName, Handle* outHandle);
    bool WriteHandle(std::u16string_view valueName, Handle handle);
    // REG_SZ or REG_EXPAND_SZ values (the latter not expanded) of at most 254 characters plus
    // their zero; anything else gives the default.
    std::u16string ReadString(std::u16string_view valueName, std::u16string_view defaultText);

    LONG LastError() const { return lastError_; }
    HKEY Root() const { return root_; }
    const std::u16string& SubKeyPath() const { return subKey_; }
    // With a non-zero flag (the state after construction) writes are not followed by a flush.
    void SetNoFlush(DWORD noFlush) { noFlush_ = noFlush; }

private:
    LONG Open(REGSAM access, HKEY* key) const;
    void FlushAndClose(HKEY key, bool wrote) const;

    LONG lastError_ = ERROR_SUCCESS;
    HKEY root_ = HKEY_CURRENT_USER;
    DWORD noFlush_ = 1;
    std::u16string subKey_;
};
