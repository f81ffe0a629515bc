#include "platform/ProgramFolders.h"

#include "platform/Files.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string_view>
#include <vector>

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string WithoutTrailingSlash(std::string p) {
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

// The XDG rules: a relative path in one of these variables is ignored.
std::string XdgFolder(const char* variable, const char* fallbackBelowHome) {
    std::string v = Env(variable);
    if (!v.empty() && v[0] == '/') return WithoutTrailingSlash(v);
    std::string home = Env("HOME");
    if (home.empty() || home[0] != '/') {
        if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) home = pw->pw_dir;
    }
    if (home.empty()) return std::string();
    return WithoutTrailingSlash(home) + "/" + fallbackBelowHome;
}

}  // namespace

std::string ExecutablePath() {
    std::vector<char> buf(PATH_MAX + 1);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return std::string();
        if (std::size_t(n) < buf.size()) return std::string(buf.data(), std::size_t(n));
        buf.resize(buf.size() * 2);
    }
}

std::string ProgramDataFolder() {
    std::string v = Env("LYREX_DATA_DIR");
    if (!v.empty()) return WithoutTrailingSlash(v);
    std::string exe = ExecutablePath();
    std::size_t slash = exe.rfind('/');
    if (slash == std::string::npos) return std::string();
    std::filesystem::path p = std::filesystem::path(exe.substr(0, slash)) / ".." / "share" / "lyrex-ondrel";
    return WithoutTrailingSlash(p.lexically_normal().string());
}

std::string UserConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }

std::string UserDataFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

std::string CommonDataFolder() {
    std::string dirs = Env("XDG_DATA_DIRS");
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        std::string one = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!one.empty() && one[0] == '/') return WithoutTrailingSlash(one);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return "/usr/local/share";
}

std::string UserSettingsStoreFolder() {
    std::string base = UserConfigFolder();
    return base.empty() ? std::string() : base + "/Lyrex/Ondrel2";
}

std::string MachineSettingsStoreFolder() {
    std::string v = Env("LYREX_MACHINE_STORE");
    if (!v.empty()) return WithoutTrailingSlash(v);
    return ProgramDataFolder();
}

OSErr CreateFolderPath(const std::string& path) {
    if (path.empty()) return fnfErr;
    struct stat st;
    if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? noErr : dupFNErr;
    if (errno != ENOENT) return OSErrFromErrno(errno);
    std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        if (OSErr err = CreateFolderPath(path.substr(0, slash)); err != noErr) return err;
    }
    if (mkdir(path.c_str(), 0777) == 0) return noErr;
    const int e = errno;
    // Made meanwhile by someone else: fine when it is a folder.
    if (e == EEXIST) return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? noErr : dupFNErr;
    return OSErrFromErrno(e);
}

OSErr GetSpecialFolderPath(int csidl, bool create, std::string* path) {
    path->clear();
    std::string folder;
    if (csidl == CSIDL_APPDATA) {
        folder = UserDataFolder();
    } else if (csidl == CSIDL_COMMON_APPDATA) {
        folder = CommonDataFolder();
    } else {
        return paramErr;
    }
    if (folder.empty()) return fnfErr;
    if (create) {
        if (OSErr err = CreateFolderPath(folder); err != noErr) return err;
    } else {
        struct stat st;
        if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return fnfErr;
    }
    *path = folder;
    return noErr;
}
