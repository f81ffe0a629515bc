#include "foundation/settings/RegistryKey.h"

#include <vector>

namespace {

constexpr std::size_t kMaxStringCharacters = 254;             // 255 with the terminating zero
constexpr DWORD kStringBufferBytes = 2 * (kMaxStringCharacters + 1);

std::u16string Terminated(std::u16string_view s) { return std::u16string(s); }

}  // namespace

CRegistryKey::~CRegistryKey() {
    subKey_.clear();
    root_ = HKEY_CURRENT_USER;
    noFlush_ = 1;
}

LONG CRegistryKey::Open(REGSAM access, HKEY* key) const {
    return RegOpenKeyExW(root_, subKey_.c_str(), 0, access, key);
}

void CRegistryKey::FlushAndClose(HKEY key, bool wrote) const {
    if (wrote && noFlush_ == 0) RegFlushKey(key);
    RegCloseKey(key);
}

bool CRegistryKey::SetRoot(HKEY root) {
    if (root != HKEY_CLASSES_ROOT && root != HKEY_CURRENT_USER && root != HKEY_LOCAL_MACHINE &&
        root != HKEY_USERS)
        return false;
    root_ = root;
    return true;
}

bool CRegistryKey::SetSubKey(std::u16string_view path, bool create, int readOnly) {
    if (path.empty()) {
        subKey_.clear();
        return true;
    }
    const std::u16string p = Terminated(path);
    const REGSAM access = readOnly > 0 ? KEY_READ : KEY_ALL_ACCESS;
    HKEY key = nullptr;
    LONG result;
    if (create) {
        DWORD disposition = 0;
        result = RegCreateKeyExW(root_, p.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                 &key, &disposition);
    } else {
        result = RegOpenKeyExW(root_, p.c_str(), 0, access, &key);
        lastError_ = result;
    }
    if (result != ERROR_SUCCESS) return false;
    subKey_ = p;
    FlushAndClose(key, true);
    return true;
}

bool CRegistryKey::DeleteValue(std::u16string_view valueName) {
    HKEY key = nullptr;
    if (Open(KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
    LONG result = RegDeleteValueW(key, Terminated(valueName).c_str());
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

DWORD CRegistryKey::GetValueType(std::u16string_view valueName) {
    HKEY key = nullptr;
    lastError_ = Open(KEY_QUERY_VALUE, &key);
    if (lastError_ != ERROR_SUCCESS) return 0;
    DWORD type = 0;
    lastError_ = RegQueryValueExW(key, Terminated(valueName).c_str(), nullptr, &type, nullptr, nullptr);
    RegCloseKey(key);
    return lastError_ == ERROR_SUCCESS ? type : 0;
}

bool CRegistryKey::ValueExists(std::u16string_view valueName) {
    HKEY key = nullptr;
    if (Open(KEY_READ, &key) != ERROR_SUCCESS) return false;
    LONG result = RegQueryValueExW(key, Terminated(valueName).c_str(), nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

DWORD CRegistryKey::ReadDword(std::u16string_view valueName, DWORD defaultValue) {
    HKEY key = nullptr;
    if (Open(KEY_READ, &key) != ERROR_SUCCESS) return defaultValue;
    BYTE bytes[4] = {0, 0, 0, 0};
    DWORD size = sizeof bytes;
    LONG result = RegQueryValueExW(key, Terminated(valueName).c_str(), nullptr, nullptr, bytes, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return defaultValue;
    return DWORD(bytes[0]) | DWORD(bytes[1]) << 8 | DWORD(bytes[2]) << 16 | DWORD(bytes[3]) << 24;
}

bool CRegistryKey::ReadBinary(std::u16string_view valueName, void* buffer, DWORD capacity, DWORD* outSize) {
    if (outSize) *outSize = 0;
    HKEY key = nullptr;
    if (Open(KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = capacity;
    LONG result = RegQueryValueExW(key, Terminated(valueName).c_str(), nullptr, nullptr,
                                   static_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    // The size means something only when the value was found.
    if (outSize && (result == ERROR_SUCCESS || result == ERROR_MORE_DATA)) *outSize = size;
    return result == ERROR_SUCCESS;
}

bool CRegistryKey::WriteString(std::u16string_view valueName, std::u16string_view text) {
    if (text.size() > kMaxStringCharacters) return false;
    std::vector<BYTE> data;
    data.reserve(2 * text.size() + 2);
    for (char16_t c : text) {
        data.push_back(BYTE(c));
        data.push_back(BYTE(c >> 8));
    }
    data.push_back(0);
    data.push_back(0);
    HKEY key = nullptr;
    if (Open(KEY_WRITE, &key) != ERROR_SUCCESS) return false;
    LONG result = RegSetValueExW(key, Terminated(valueName).c_str(), 0, REG_SZ, data.data(), DWORD(data.size()));
    FlushAndClose(key, result == ERROR_SUCCESS);
    return result == ERROR_SUCCESS;
}

bool CRegistryKey::WriteDword(std::u16string_view valueName, DWORD value) {
    const BYTE bytes[4] = {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
    return WriteBinary(valueName, bytes, sizeof bytes);
}

bool CRegistryKey::WriteBinary(std::u16string_view valueName, const void* data, DWORD length) {
    if (!data && length) return false;
    HKEY key = nullptr;
    if (Open(KEY_WRITE, &key) != ERROR_SUCCESS) return false;
    LONG result = RegSetValueExW(key, Terminated(valueName).c_str(), 0, REG_BINARY,
                                 static_cast<const BYTE*>(data), length);
    FlushAndClose(key, result == ERROR_SUCCESS);
    return result == ERROR_SUCCESS;
}

bool CRegistryKey::ReadHandle(std::u16string_view valueName, Handle* outHandle) {
    if (!outHandle) return false;
    DWORD size = 0;
    ReadBinary(valueName, nullptr, 0, &size);
    Handle h = NewHandle(Size(size));
    *outHandle = h;
    if (!h) return false;
    const bool wasLocked = HIsLocked(h);
    HLock(h);
    DWORD got = 0;
    bool ok = ReadBinary(valueName, *h, size, &got) && got == size;
    if (!wasLocked) HUnlock(h);
    return ok;
}

bool CRegistryKey::WriteHandle(std::u16string_view valueName, Handle handle) {
    if (!handle || !*handle) return false;
    const bool wasLocked = HIsLocked(handle);
    HLock(handle);
    bool ok = WriteBinary(valueName, *handle, DWORD(GetHandleSize(handle)));
    if (!wasLocked) HUnlock(handle);
    return ok;
}

std::u16string CRegistryKey::ReadString(std::u16string_view valueName, std::u16string_view defaultText) {
    HKEY key = nullptr;
    lastError_ = Open(KEY_READ, &key);
    if (lastError_ != ERROR_SUCCESS) return std::u16string(defaultText);
    const std::u16string name = Terminated(valueName);
    DWORD type = 0;
    lastError_ = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, nullptr);
    if (lastError_ != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        RegCloseKey(key);
        return std::u16string(defaultText);
    }
    BYTE buffer[kStringBufferBytes];
    DWORD size = sizeof buffer;
    lastError_ = RegQueryValueExW(key, name.c_str(), nullptr, &type, buffer, &size);
    RegCloseKey(key);
    if (lastError_ != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::u16string(defaultText);
    std::u16string text;
    for (DWORD i = 0; i + 1 < size; i += 2) {
        char16_t c = char16_t(buffer[i] | buffer[i + 1] << 8);
        if (c == 0) break;
        text.push_back(c);
    }
    return text;
}
