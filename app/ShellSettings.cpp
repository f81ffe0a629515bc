#include "app/ShellSettings.h"

#include "foundation/settings/ProgramKey.h"
#include "foundation/text/Unicode.h"

#include <cstdlib>
#include <sys/stat.h>

namespace {

std::string ReadText(std::u16string_view name) { return LoadSettingText(name, name); }

bool WriteText(std::u16string_view name, const std::string& utf8) { return SaveSettingText(name, name, utf8); }

bool IsFolder(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string LoadSettingText(std::u16string_view subKey, std::u16string_view name) {
    CRegistryKey key;
    if (!OpenUserKey(&key, subKey)) return {};
    // Read as bytes so that a path of any length comes back whole.
    DWORD size = 0;
    key.ReadBinary(name, nullptr, 0, &size);
    if (size == 0) return {};
    std::u16string text((size + 1) / 2, u'\0');
    if (!key.ReadBinary(name, text.data(), size, &size)) return {};
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    return Utf16ToUtf8(text);
}

bool SaveSettingText(std::u16string_view subKey, std::u16string_view name, const std::string& utf8) {
    CRegistryKey key;
    if (!OpenUserKey(&key, subKey)) return false;
    const std::u16string text = Utf8ToUtf16(utf8);
    if (text.size() < 255) return key.WriteString(name, text);
    // A long path is kept whole as a binary value rather than silently not stored.
    std::u16string withZero = text;
    withZero.push_back(u'\0');
    return key.WriteBinary(name, withZero.data(), DWORD(withZero.size() * 2));
}

std::string LoadScratchFolder() {
    const std::string stored = ReadText(kRegScratchFolder);
    if (IsFolder(stored)) return stored;
    const char* tmp = std::getenv("TMPDIR");
    if (tmp && IsFolder(tmp)) return tmp;
    return "/tmp";
}

bool SaveScratchFolder(const std::string& folder) { return WriteText(kRegScratchFolder, folder); }
std::string LoadLastCatalog() { return ReadText(kRegLastCatalog); }
bool SaveLastCatalog(const std::string& path) { return WriteText(kRegLastCatalog, path); }
std::string LoadImportDirectory() { return ReadText(kRegImportDirectory); }
bool SaveImportDirectory(const std::string& path) { return WriteText(kRegImportDirectory, path); }
