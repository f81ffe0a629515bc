#include "foundation/resources/ResourceStrings.h"

#include "foundation/text/PString.h"
#include "foundation/text/Unicode.h"
#include "platform/Handles.h"
#include "resources/ResourceStore.h"
#include "resources/StringTableFormat.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <string_view>
#include <sys/stat.h>
#include <unordered_map>
#include <vector>
#include <cstdint>

struct ResourceModule {
    const ResStringTable* builtIn = nullptr;           // a table compiled into the program
    std::unordered_map<UInt16, std::string> strings;  // or one loaded from a file
    bool loaded = false;
};

namespace {

std::atomic<ResourceModule*> gCurrentModule{nullptr};

// Built-in modules live for the whole process; one per compiled-in table.
ResourceModule* BuiltInModuleAt(std::size_t index) {
    static std::vector<ResourceModule> modules = [] {
        std::vector<ResourceModule> v(ResStringTableCount());
        for (std::size_t i = 0; i < v.size(); ++i) v[i].builtIn = ResStringTableAt(i);
        return v;
    }();
    return index < modules.size() ? &modules[index] : nullptr;
}

bool FindIn(const ResourceModule* module, UInt16 id, std::string_view* text) {
    if (!module) return false;
    if (module->builtIn) {
        const ResStringEntry* e = ResFindString(module->builtIn, id);
        if (!e) return false;
        *text = std::string_view(e->text, e->length);
        return true;
    }
    auto it = module->strings.find(id);
    if (it == module->strings.end()) return false;
    *text = it->second;
    return true;
}

// The current module first; what it lacks comes from the program's own table.
bool FindString(UInt16 id, std::string_view* text) {
    if (FindIn(gCurrentModule.load(), id, text)) return true;
    const ResStringEntry* e = ResFindString(ResFindStringTable(kResBaseLanguage), id);
    if (!e) return false;
    *text = std::string_view(e->text, e->length);
    return true;
}

}  // namespace

void SetResourceModule(ResourceModule* module) { gCurrentModule.store(module); }

ResourceModule* GetResourceModule() { return gCurrentModule.load(); }

ResourceModule* GetBuiltInResourceModule(const char* language) {
    if (!language) return nullptr;
    for (std::size_t i = 0; i < ResStringTableCount(); ++i)
        if (std::string_view(ResStringTableAt(i)->language) == language) return BuiltInModuleAt(i);
    return nullptr;
}

OSErr LoadResourceModuleFile(const char* utf8Path, ResourceModule** module, std::string* problem) {
    if (!module) return paramErr;
    *module = nullptr;
    if (!utf8Path) return paramErr;
    struct stat st {};
    if (::stat(utf8Path, &st) != 0) return errno == ENOENT || errno == ENOTDIR ? fnfErr : ioErr;
    if (!S_ISREG(st.st_mode)) return fnfErr;
    if (std::uintmax_t(st.st_size) > kMaxStringTableFileSize) {
        if (problem) *problem = "file too large";
        return paramErr;
    }
    std::ifstream in(utf8Path, std::ios::binary);
    if (!in) return ioErr;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return ioErr;

    std::vector<StringTableEntry> entries;
    StringTableError error;
    if (!ParseStringTable(bytes.str(), &entries, &error)) {
        if (problem)
            *problem = (error.line ? "line " + std::to_string(error.line) + ": " : std::string()) + error.message;
        return paramErr;
    }
    auto* m = new ResourceModule;
    m->loaded = true;
    for (auto& e : entries) m->strings.emplace(e.id, std::move(e.text));
    *module = m;
    return noErr;
}

void DisposeResourceModule(ResourceModule* module) {
    if (!module || !module->loaded) return;
    ResourceModule* expected = module;
    gCurrentModule.compare_exchange_strong(expected, nullptr);
    delete module;
}

UInt16 IndexedStringId(long list, long index) {
    return UInt16((static_cast<unsigned long>(list) * 100u + static_cast<unsigned long>(index)) & 0xFFFFu);
}

void LoadIndexedString(StringPtr dst, long list, long index) {
    if (!dst) return;
    dst[0] = 0;
    std::string_view utf8;
    if (!FindString(IndexedStringId(list, index), &utf8)) return;
    std::string ansi = Utf8ToAnsi(utf8);
    // The text goes through a 255-byte buffer with its terminating zero: 254 characters at
    // most, and an embedded zero ends it.
    std::size_t n = std::min<std::size_t>(ansi.find('\0') == std::string::npos ? ansi.size() : ansi.find('\0'), 254);
    PStrFromBytes(dst, ansi.data(), long(n));
}

void AppendIndexedString(StringPtr dst, long list, long index) {
    if (!dst) return;
    Str255 piece;
    LoadIndexedString(piece, list, index);
    PStrAppend(dst, piece);
}

bool LoadResourceStringUtf8(UInt16 id, std::string* text) {
    std::string_view found;
    bool ok = FindString(id, &found);
    if (text) text->assign(ok ? found : std::string_view());
    return ok;
}

OSErr LoadResourceHandle(Handle* out, OSType type, long id) {
    if (!out) return paramErr;
    *out = nullptr;
    if (id < INT32_MIN || id > INT32_MAX) return resNotFound;
    const ResTypedResource* r = ResFindTypedResource(type, std::int32_t(id));
    if (!r) return resNotFound;
    Handle h = nullptr;
    OSErr err = PtrToHand(r->bytes, &h, Size(r->size));
    if (err != noErr) return err;
    *out = h;
    return noErr;
}
