// One registry root kept in one file: the tree as last read, brought up to date before each
// call and written through after each change (platform/Registry.h tells the whole contract).
// Used by the registry calls only; the caller serialises access.
#pragma once

#include "platform/RegistryFormat.h"
#include "platform/WinTypes.h"

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

struct RegistryProblem {
    LONG code;
    std::string message;
};

class RegistryStore {
public:
    RegistryStore(std::function<std::string()> folder, std::string fileName, mode_t fileMode);

    std::string Path() const;
    // Re-reads the file when it changed since it was last read or written. A corrupt file is
    // set aside; problems are appended to *problems.
    void Refresh(std::vector<RegistryProblem>* problems);
    const RegistryKeyNode& Tree() const { return tree_; }
    // False when changes cannot be stored: the folder may not be written, or the file could
    // not be read (it is then never overwritten).
    bool Writable() const;
    // Applies change to a copy of the up-to-date tree under the folder lock and, when change
    // answers ERROR_SUCCESS and set *changed, writes the copy and keeps it. Answers change's
    // result or the error of the write (the tree is then as before).
    LONG Modify(const std::function<LONG(RegistryKeyNode&, bool* changed)>& change,
                std::vector<RegistryProblem>* problems);
    void Forget();

private:
    struct Identity {
        bool exists = false;
        dev_t dev = 0;
        ino_t ino = 0;
        off_t size = 0;
        long long mtimeSec = 0;
        long mtimeNsec = 0;
        bool operator==(const Identity&) const = default;
    };
    static Identity IdentityOf(const struct stat& st);
    void Load(const std::string& path, bool haveLock, std::vector<RegistryProblem>* problems);
    std::string SetAside(const std::string& path, int* error);

    std::function<std::string()> folder_;
    std::string fileName_;
    mode_t fileMode_;
    std::string loadedPath_;
    Identity loaded_;
    bool unreadable_ = false;
    RegistryKeyNode tree_;
};
