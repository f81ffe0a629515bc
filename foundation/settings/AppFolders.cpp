#include "foundation/settings/AppFolders.h"

#include "foundation/settings/ProgramKey.h"
#include "foundation/text/Unicode.h"
#include "platform/ProgramFolders.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace {

constexpr char kVendorFolder[] = "Lyrex";
constexpr char kPlugInsFolder[] = "Plug-ins";
constexpr unsigned char kGeneralFolder[] = "\x07General";
constexpr char kSettingsFileName[] = "Settings.txt";
constexpr std::size_t kSettingsFileLimit = 1 << 20;   // far more than the few lines it holds

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Takes path as the next folder: it must be there, or be made when create is set.
OSErr TakeFolder(const std::string& path, bool create) {
    if (IsFolder(path)) return noErr;
    if (!create) return fnfErr;
    return CreateFolderPath(path);
}

// The installation folder: "Path" under the machine-wide program key when it holds an
// absolute path, else the installed program's data folder.
std::string InstallFolder() {
    CRegistryKey key;
    if (OpenMachineKey(&key, u"", 1)) {
        std::string path = Utf16ToUtf8(key.ReadString(kRegPath, u""));
        // An empty or relative value would put the folders wherever the program was started.
        if (!path.empty() && path[0] == '/') {
            while (path.size() > 1 && path.back() == '/') path.pop_back();
            return path;
        }
    }
    return ProgramDataFolder();
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// One line scanned as a name (a run of non-blank characters) and a signed decimal number.
bool ScanSetting(std::string_view line, std::string_view* name, long long* number) {
    std::size_t i = 0;
    while (i < line.size() && IsSpace(line[i])) ++i;
    std::size_t start = i;
    while (i < line.size() && !IsSpace(line[i])) ++i;
    if (i == start) return false;
    *name = line.substr(start, i - start);
    while (i < line.size() && IsSpace(line[i])) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    if (i >= line.size() || line[i] < '0' || line[i] > '9') return false;
    unsigned long long value = 0;   // only the low byte counts, so wrapping is harmless
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') value = value * 10 + unsigned(line[i++] - '0');
    *number = negative ? -static_cast<long long>(value) : static_cast<long long>(value);
    return true;
}

bool ReadSmallFile(const std::string& path, std::string* text) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buf[8192];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text->append(buf, std::size_t(n));
        if (text->size() >= kSettingsFileLimit) break;
    }
    close(fd);
    return true;
}

}  // namespace

OSErr GetAppFolder(ConstStr255Param subFolderName, SInt16 folderKind, bool create, FSSpec* folder) {
    if (!folder) return paramErr;
    *folder = FSSpec();
    std::string path;
    if (folderKind == kAppFolderInstall) {
        path = InstallFolder();
        if (path.empty()) return kNoInstallFolderErr;
        if (OSErr err = TakeFolder(path, create)) return err;
    } else if (folderKind == kAppFolderUserData || folderKind == kAppFolderCommonData) {
        std::string special;
        OSErr err = GetSpecialFolderPath(folderKind == kAppFolderUserData ? CSIDL_APPDATA : CSIDL_COMMON_APPDATA,
                                         create, &special);
        if (err != noErr || special.empty()) return fnfErr;
        path = special + "/" + kVendorFolder;
        if ((err = TakeFolder(path, create))) return err;
    } else {
        return fnfErr;
    }
    path += "/";
    path += kPlugInsFolder;
    if (OSErr err = TakeFolder(path, create)) return err;
    if (subFolderName && subFolderName[0]) {
        std::string_view name(reinterpret_cast<const char*>(subFolderName + 1), subFolderName[0]);
        if (!IsValidFileName(name)) return bdNamErr;
        path += "/";
        path += name;
        if (OSErr err = TakeFolder(path, create)) return err;
    }
    return FSMakeFSSpecFromPath(path, folder);
}

SettingsSwitches* GetSettingsSwitches() {
    static SettingsSwitches switches{};
    return &switches;
}

void ReadSettingsTxt() {
    FSSpec general;
    if (GetAppFolder(kGeneralFolder, kAppFolderInstall, false, &general) != noErr) return;
    std::string text;
    if (!ReadSmallFile(general.path + "/" + kSettingsFileName, &text)) return;
    SettingsSwitches* s = GetSettingsSwitches();
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        std::string_view name;
        long long number = 0;
        if (!ScanSetting(line, &name, &number)) continue;
        const UInt8 low = UInt8(static_cast<unsigned long long>(number) & 0xFF);
        if (name == "usb_detect") {
            s->usb_detect = low;
        } else if (name == "alfa_detect") {
            s->alfa_detect = low;
        } else if (name == "inspector_key") {
            s->inspector_key = low;
        }
    }
}
