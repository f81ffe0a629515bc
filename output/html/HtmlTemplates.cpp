#include "output/html/HtmlTemplates.h"

#include "foundation/resources/ResourceStrings.h"
#include "platform/Handles.h"
#include "platform/ProgramFolders.h"

#include <filesystem>
#include <system_error>
#include <vector>

bool LoadBuiltInTemplate(long id, std::string* text) {
    Handle h = nullptr;
    if (LoadResourceHandle(&h, 'TEXT', id) != noErr || !h) return false;
    text->assign(reinterpret_cast<const char*>(*h), std::size_t(GetHandleSize(h)));
    DisposeHandle(h);
    return !text->empty();
}

OSErr FindTemplateItem(const std::string& folderName, int kind, const std::string& setName, FSSpec* item) {
    if (kind != 1 && kind != 5) return paramErr;
    // A set name is one folder name: anything that could leave the templates folder is no set.
    if (setName.find('/') != std::string::npos || setName == "." || setName == "..") return fnfErr;
    std::vector<std::string> roots;
    if (!setName.empty()) roots.push_back(UserDataFolder() + "/Lyrex");
    roots.push_back(CommonDataFolder() + "/Lyrex");
    roots.push_back(ProgramDataFolder());
    const char* itemName = kind == 1 ? "index.html" : "assets";
    for (const auto& root : roots) {
        if (root.empty() || root[0] != '/') continue;
        std::filesystem::path p = std::filesystem::path(root) / folderName;
        if (!setName.empty()) p /= setName;
        p /= itemName;
        std::error_code ec;
        const bool present = kind == 5 ? std::filesystem::is_directory(p, ec) : std::filesystem::is_regular_file(p, ec);
        if (present) return FSMakeFSSpecFromPath(p.string(), item);
    }
    return fnfErr;
}
