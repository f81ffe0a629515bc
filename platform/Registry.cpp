#include "platform/Registry.h"

#include "platform/ProgramFolders.h"
#include "platform/RegistryStore.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <string_view>
#include <vector>

struct RegistryKeyHandle {
    RegistryStore* store;
    std::vector<std::u16string> path;
    REGSAM access;
};

namespace {

constexpr std::size_t kMaxKeyNameLength = 255;
constexpr REGSAM kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

struct Registry {
    std::mutex mutex;
    RegistryStore user{UserSettingsStoreFolder, "user-registry.txt", 0600};
    RegistryStore machine{MachineSettingsStoreFolder, "machine-registry.txt", 0644};
    std::set<RegistryKeyHandle*> open;
    RegistryProblemHook hook;
};

Registry& TheRegistry() {
    static Registry* r = new Registry;   // open handles may outlive static destruction
    return *r;
}

// Holds the registry for one call and hands the problems found to the hook afterwards, so that
// a hook may itself use the registry.
class Call {
public:
    Call() : lock_(TheRegistry().mutex) {}
    ~Call() {
        RegistryProblemHook hook = TheRegistry().hook;
        lock_.unlock();
        for (const RegistryProblem& p : problems) {
            if (hook) {
                hook(p.code, p.message);
            } else {
                std::fprintf(stderr, "lyrex-ondrel: %s\n", p.message.c_str());
            }
        }
    }
    std::vector<RegistryProblem> problems;

private:
    std::unique_lock<std::mutex> lock_;
};

std::uintptr_t HandleBits(HKEY k) { return reinterpret_cast<std::uintptr_t>(k); }

bool IsPredefined(HKEY k) {
    std::uintptr_t v = HandleBits(k);
    return v >= 0x80000000u && v <= 0x80000005u;
}

struct Resolved {
    RegistryStore* store = nullptr;   // null: a root without a store
    std::vector<std::u16string> path;
    REGSAM access = 0;
};

LONG Resolve(HKEY key, Resolved* out) {
    Registry& r = TheRegistry();
    if (key == HKEY_CURRENT_USER) {
        *out = Resolved{&r.user, {}, KEY_ALL_ACCESS};
    } else if (key == HKEY_LOCAL_MACHINE) {
        *out = Resolved{&r.machine, {}, KEY_ALL_ACCESS};
    } else if (key == HKEY_CLASSES_ROOT || key == HKEY_USERS) {
        *out = Resolved{nullptr, {}, KEY_ALL_ACCESS};
    } else if (key && !IsPredefined(key) && r.open.count(key)) {
        *out = Resolved{key->store, key->path, key->access};
    } else {
        return ERROR_INVALID_HANDLE;
    }
    return ERROR_SUCCESS;
}

std::u16string_view Text(LPCWSTR s) {
    return s ? std::u16string_view(s) : std::u16string_view();
}

// Splits a key path at backslashes; empty parts (a trailing backslash) are skipped.
LONG SplitPath(LPCWSTR subKey, std::vector<std::u16string>* parts) {
    std::u16string_view s = Text(subKey);
    std::size_t start = 0;
    while (start <= s.size()) {
        std::size_t end = s.find(u'\\', start);
        std::u16string_view part = s.substr(start, end == std::u16string_view::npos ? end : end - start);
        if (part.size() > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
        if (!part.empty()) parts->emplace_back(part);
        if (end == std::u16string_view::npos) break;
        start = end + 1;
    }
    return ERROR_SUCCESS;
}

const RegistryKeyNode* Walk(const RegistryKeyNode& root, const std::vector<std::u16string>& path) {
    const RegistryKeyNode* node = &root;
    for (const auto& name : path) {
        node = node->FindSubKey(name);
        if (!node) return nullptr;
    }
    return node;
}

RegistryKeyNode* Walk(RegistryKeyNode& root, const std::vector<std::u16string>& path) {
    return const_cast<RegistryKeyNode*>(Walk(static_cast<const RegistryKeyNode&>(root), path));
}

HKEY NewHandle(RegistryStore* store, std::vector<std::u16string> path, REGSAM access) {
    HKEY h = new RegistryKeyHandle{store, std::move(path), access};
    TheRegistry().open.insert(h);
    return h;
}

// Copies a name into a caller buffer of *length characters (the terminating zero included);
// on return *length is the name's length.
LONG CopyName(const std::u16string& name, LPWSTR buffer, DWORD* length) {
    if (!length) return ERROR_INVALID_PARAMETER;
    if (!buffer || *length < name.size() + 1) {
        *length = DWORD(name.size());
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, name.data(), name.size() * sizeof(char16_t));
    buffer[name.size()] = 0;
    *length = DWORD(name.size());
    return ERROR_SUCCESS;
}

// The data part shared by the value query and the value enumeration.
LONG CopyData(const RegistryValue& v, DWORD* type, BYTE* data, DWORD* dataSize) {
    if (type) *type = v.type;
    if (data && !dataSize) return ERROR_INVALID_PARAMETER;
    if (!dataSize) return ERROR_SUCCESS;
    DWORD size = DWORD(v.data.size());
    if (data) {
        if (*dataSize < size) {
            *dataSize = size;
            return ERROR_MORE_DATA;
        }
        if (size) std::memcpy(data, v.data.data(), size);
    }
    *dataSize = size;
    return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Call call;
    Resolved parent;
    if (LONG err = Resolve(root, &parent)) return err;
    std::vector<std::u16string> path = parent.path;
    if (LONG err = SplitPath(subKey, &path)) return err;
    if (!parent.store) return ERROR_FILE_NOT_FOUND;
    parent.store->Refresh(&call.problems);
    if (!Walk(parent.store->Tree(), parent.path)) return ERROR_KEY_DELETED;
    if (!Walk(parent.store->Tree(), path)) return ERROR_FILE_NOT_FOUND;
    if ((access & kWriteRights) && !parent.store->Writable()) return ERROR_ACCESS_DENIED;
    *result = NewHandle(parent.store, std::move(path), access);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD reserved, LPWSTR classText, DWORD options,
                     REGSAM access, const void* security, PHKEY result, DWORD* disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Call call;
    Resolved parent;
    if (LONG err = Resolve(root, &parent)) return err;
    if (!(parent.access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    std::vector<std::u16string> path = parent.path;
    if (LONG err = SplitPath(subKey, &path)) return err;
    if (!parent.store) return ERROR_ACCESS_DENIED;
    parent.store->Refresh(&call.problems);
    const RegistryKeyNode* existing = Walk(parent.store->Tree(), path);
    bool madeNew = false;
    if (!existing || (access & kWriteRights)) {
        // Creating, or asking for write rights: the store must be one that can be written.
        if (!parent.store->Writable()) return ERROR_ACCESS_DENIED;
    }
    if (!existing) {
        LONG err = parent.store->Modify(
            [&](RegistryKeyNode& tree, bool* changed) -> LONG {
                RegistryKeyNode* node = Walk(tree, parent.path);
                if (!node) return ERROR_KEY_DELETED;
                for (std::size_t i = parent.path.size(); i < path.size(); ++i) {
                    bool created = false;
                    node = &node->SubKey(path[i], &created);
                    if (created && i + 1 == path.size()) madeNew = true;
                    *changed = *changed || created;
                }
                return ERROR_SUCCESS;
            },
            &call.problems);
        if (err) return err;
    }
    if (disposition) *disposition = madeNew ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewHandle(parent.store, std::move(path), access);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (IsPredefined(key)) return ERROR_SUCCESS;
    Call call;
    Registry& r = TheRegistry();
    auto it = r.open.find(key);
    if (it == r.open.end()) return ERROR_INVALID_HANDLE;
    r.open.erase(it);
    delete key;
    return ERROR_SUCCESS;
}

LONG RegFlushKey(HKEY key) {
    Call call;
    Resolved k;
    return Resolve(key, &k);
}

LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
    Call call;
    Resolved k;
    if (LONG err = Resolve(key, &k)) return err;
    if (!(k.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    if (!k.store) return ERROR_FILE_NOT_FOUND;
    k.store->Refresh(&call.problems);
    const RegistryKeyNode* node = Walk(k.store->Tree(), k.path);
    if (!node) return ERROR_KEY_DELETED;
    const RegistryValue* v = node->FindValue(Text(valueName));
    if (!v) return ERROR_FILE_NOT_FOUND;
    return CopyData(*v, type, data, dataSize);
}

LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize) {
    Call call;
    Resolved k;
    if (LONG err = Resolve(key, &k)) return err;
    if (!(k.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (!data && dataSize) return ERROR_INVALID_PARAMETER;
    if (!k.store) return ERROR_ACCESS_DENIED;
    std::vector<std::uint8_t> bytes(data, data + dataSize);
    std::u16string_view name = Text(valueName);
    return k.store->Modify(
        [&](RegistryKeyNode& tree, bool* changed) -> LONG {
            RegistryKeyNode* node = Walk(tree, k.path);
            if (!node) return ERROR_KEY_DELETED;
            const RegistryValue* old = node->FindValue(name);
            if (old && old->type == type && old->data == bytes) return ERROR_SUCCESS;
            node->SetValue(name, type, std::move(bytes));
            *changed = true;
            return ERROR_SUCCESS;
        },
        &call.problems);
}

LONG RegDeleteValueW(HKEY key, LPCWSTR valueName) {
    Call call;
    Resolved k;
    if (LONG err = Resolve(key, &k)) return err;
    if (!(k.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (!k.store) return ERROR_FILE_NOT_FOUND;
    std::u16string_view name = Text(valueName);
    return k.store->Modify(
        [&](RegistryKeyNode& tree, bool* changed) -> LONG {
            RegistryKeyNode* node = Walk(tree, k.path);
            if (!node) return ERROR_KEY_DELETED;
            if (!node->RemoveValue(name)) return ERROR_FILE_NOT_FOUND;
            *changed = true;
            return ERROR_SUCCESS;
        },
        &call.problems);
}

LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
    Call call;
    Resolved k;
    if (LONG err = Resolve(key, &k)) return err;
    std::vector<std::u16string> path = k.path;
    if (LONG err = SplitPath(subKey, &path)) return err;
    if (path.size() == k.path.size()) return ERROR_INVALID_PARAMETER;   // no sub-key named
    if (!k.store) return ERROR_FILE_NOT_FOUND;
    return k.store->Modify(
        [&](RegistryKeyNode& tree, bool* changed) -> LONG {
            if (!Walk(tree, k.path)) return ERROR_KEY_DELETED;
            std::vector<std::u16string> parentPath(path.begin(), path.end() - 1);
            RegistryKeyNode* parent = Walk(tree, parentPath);
            RegistryKeyNode* target = parent ? parent->FindSubKey(path.back()) : nullptr;
            if (!target) return ERROR_FILE_NOT_FOUND;
            if (!target->subKeys.empty()) return ERROR_ACCESS_DENIED;
            parent->RemoveSubKey(path.back());
            *changed = true;
            return ERROR_SUCCESS;
        },
        &call.problems);
}

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, DWORD* nameLength, DWORD* reserved,
                   LPWSTR classText, DWORD* classLength, FILETIME* lastWriteTime) {
    Call call;
    Resolved k;
    if (LONG err = Resolve(key, &k)) return err;
    if (!(k.access & KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
    if (!nameLength) return ERROR_INVALID_PARAMETER;
    if (!k.store) return ERROR_NO_MORE_ITEMS;
    k.store->Refresh(&call.problems);
    const RegistryKeyNode* node = Walk(k.store->Tree(), k.path);
    if (!node) return ERROR_KEY_DELETED;
    if (index >= node->subKeys.size()) return ERROR_NO_MORE_ITEMS;
    if (classLength) {
        if (classText && *classLength) classText[0] = 0;
        *classLength = 0;
    }
    if (lastWriteTime) *lastWriteTime = FILETIME{0, 0};
    return CopyName(node->subKeys[index].name, name, nameLength);
}

LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR valueName, DWORD* valueNameLength,
                   DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) {
    Call call;
    Resolved k;
    if (LONG err = Resolve(key, &k)) return err;
    if (!(k.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    if (!valueNameLength) return ERROR_INVALID_PARAMETER;
    if (!k.store) return ERROR_NO_MORE_ITEMS;
    k.store->Refresh(&call.problems);
    const RegistryKeyNode* node = Walk(k.store->Tree(), k.path);
    if (!node) return ERROR_KEY_DELETED;
    if (index >= node->values.size()) return ERROR_NO_MORE_ITEMS;
    const RegistryValue& v = node->values[index];
    if (LONG err = CopyName(v.name, valueName, valueNameLength)) return err;
    return CopyData(v, type, data, dataSize);
}

void SetRegistryProblemHook(RegistryProblemHook hook) {
    Call call;
    TheRegistry().hook = std::move(hook);
}

std::string RegistryStorePath(HKEY root) {
    Call call;
    if (root == HKEY_CURRENT_USER) return TheRegistry().user.Path();
    if (root == HKEY_LOCAL_MACHINE) return TheRegistry().machine.Path();
    return std::string();
}

void RegistryForgetCachedStores() {
    Call call;
    TheRegistry().user.Forget();
    TheRegistry().machine.Forget();
}

namespace {
thread_local int gUnflushedScopes = 0;
}  // namespace

RegistryUnflushedWrites::RegistryUnflushedWrites() { ++gUnflushedScopes; }
RegistryUnflushedWrites::~RegistryUnflushedWrites() { --gUnflushedScopes; }
bool RegistryWritesFlushed() { return gUnflushedScopes == 0; }
