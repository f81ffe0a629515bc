#include "app/StandardFolders.h"

#include <glib.h>

#include <filesystem>

std::vector<std::string> StandardMediaFolders() {
    std::vector<std::string> folders;
    for (GUserDirectory kind : {G_USER_DIRECTORY_VIDEOS, G_USER_DIRECTORY_PICTURES}) {
        const char* path = g_get_user_special_dir(kind);
        std::error_code ec;
        if (path && *path && std::filesystem::is_directory(path, ec)) folders.emplace_back(path);
    }
    return folders;
}
