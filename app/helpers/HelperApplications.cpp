#include "app/helpers/HelperApplications.h"

#include "foundation/resources/ResourceStrings.h"
#include "foundation/settings/AppFolders.h"
#include "foundation/settings/ProgramKey.h"
#include "foundation/settings/RegistryKey.h"
#include "foundation/text/TextEncoding.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

constexpr const char* kGroup = G_KEY_FILE_DESKTOP_GROUP;

template <class T, void (*Free)(T*)>
struct GFree {
    void operator()(T* p) const {
        if (p) Free(p);
    }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, GFree<GKeyFile, g_key_file_free>>;

void FreeCharPtr(char* p) { g_free(p); }
using CharPtr = std::unique_ptr<char, GFree<char, FreeCharPtr>>;

std::string Take(char* text) {
    CharPtr owned(text);
    return text ? std::string(text) : std::string();
}

// The program's file name without its extension (up to the first dot of that name).
std::string NameFromProgram(const std::string& program) {
    std::string leaf = fs::path(program).filename().string();
    const auto dot = leaf.find('.');
    return dot == std::string::npos ? leaf : leaf.substr(0, dot);
}

// argv[0] of an entry as a path: as it is when it names a file, else searched in PATH.
std::string ResolveProgram(const std::string& word) {
    if (word.empty()) return word;
    if (word.find('/') != std::string::npos) return word;
    std::string found = Take(g_find_program_in_path(word.c_str()));
    return found.empty() ? word : found;
}

std::vector<std::string> SplitExec(const std::string& exec) {
    std::vector<std::string> words;
    int argc = 0;
    char** argv = nullptr;
    if (!g_shell_parse_argv(exec.c_str(), &argc, &argv, nullptr)) return words;
    for (int i = 0; i < argc; ++i) words.emplace_back(argv[i]);
    g_strfreev(argv);
    return words;
}

// A word of an Exec line: in double quotes, with the four characters that are special inside
// them escaped.
std::string QuoteExecWord(const std::string& word) {
    std::string out = "\"";
    for (char ch : word) {
        if (ch == '"' || ch == '`' || ch == '$' || ch == '\\') out += '\\';
        out += ch;
    }
    return out + "\"";
}

// "<folder>/<base>.desktop", or with " 2", " 3" ... when the name is taken.
std::string FreeHelperPath(const std::string& folder, const std::string& base) {
    std::string path = folder + "/" + base + ".desktop";
    for (int n = 2; fs::exists(path) && n < 1000; ++n) path = folder + "/" + base + " " + std::to_string(n) + ".desktop";
    return path;
}

bool SaveKeyFile(GKeyFile* keys, const std::string& path) {
    GError* error = nullptr;
    const bool ok = g_key_file_save_to_file(keys, path.c_str(), &error);
    if (error) g_error_free(error);
    return ok;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ea, eb;
    const fs::path ca = fs::canonical(a, ea), cb = fs::canonical(b, eb);
    if (ea || eb) return a == b;
    return ca == cb;
}

}  // namespace

std::string HelperEntry::GetName() const {
    if (!name.empty()) return name;
    std::string fallback;
    LoadResourceStringUtf8(2711, &fallback);
    return fallback;
}

const HelperEntry* HelperList::At(std::size_t position) const {
    return position < entries_.size() ? &entries_[position] : nullptr;
}

void HelperList::AddHelper(const std::string& file, const std::string& program, const std::string& name,
                           const std::string& icon) {
    HelperEntry entry;
    entry.file = file;
    entry.program = program;
    entry.name = name.empty() ? NameFromProgram(program) : name;
    entry.icon = icon;
    entries_.push_back(std::move(entry));
}

void HelperList::RemoveHelper(std::size_t position) {
    if (position < entries_.size()) entries_.erase(entries_.begin() + std::ptrdiff_t(position));
}

HelperList& Helpers() {
    static HelperList list;
    return list;
}

std::string HelperFolder() {
    Str255 name;
    CStringToPStr(std::string_view("Helper Applications"), name, 255);
    FSSpec folder;
    if (GetAppFolder(name, kAppFolderUserData, true, &folder) != noErr) return std::string();
    return folder.path;
}

void CollectHelperShortcuts() {
    HelperList& list = Helpers();
    list.Clear();
    const std::string folder = HelperFolder();
    if (folder.empty()) return;
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        if (e.path().extension() == ".desktop" && e.is_regular_file(ec)) files.push_back(e.path().string());
    }
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        KeyFilePtr keys(g_key_file_new());
        if (!g_key_file_load_from_file(keys.get(), file.c_str(), G_KEY_FILE_NONE, nullptr)) continue;
        if (Take(g_key_file_get_string(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_TYPE, nullptr)) != "Application")
            continue;
        const std::vector<std::string> words =
            SplitExec(Take(g_key_file_get_string(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_EXEC, nullptr)));
        if (words.empty()) continue;
        const std::string name =
            Take(g_key_file_get_locale_string(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_NAME, nullptr, nullptr));
        const std::string icon = Take(g_key_file_get_string(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_ICON, nullptr));
        const std::string program = ResolveProgram(words.front());
        list.AddHelper(file, program, name.empty() ? GetHelperDisplayName(program) : name, icon);
    }
}

std::string GetHelperDisplayName(const std::string& program) {
    std::string name;
    GList* all = g_app_info_get_all();
    for (GList* p = all; p && name.empty(); p = p->next) {
        auto* info = G_APP_INFO(p->data);
        const char* executable = g_app_info_get_executable(info);
        if (executable && SameFile(ResolveProgram(executable), program)) name = g_app_info_get_name(info);
    }
    g_list_free_full(all, g_object_unref);
    return name;
}

std::string CreateHelperFile(const std::string& program, const std::string& name, const std::string& folder) {
    if (folder.empty() || program.empty()) return std::string();
    KeyFilePtr keys(g_key_file_new());
    g_key_file_set_string(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_TYPE, "Application");
    const std::string shown = name.empty() ? fs::path(program).filename().string() : name;
    g_key_file_set_string(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_NAME, shown.c_str());
    g_key_file_set_string(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_EXEC, (QuoteExecWord(program) + " %f").c_str());
    g_key_file_set_string(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_PATH,
                          fs::path(program).parent_path().string().c_str());
    const std::string path = FreeHelperPath(folder, fs::path(program).filename().string());
    return SaveKeyFile(keys.get(), path) ? path : std::string();
}

std::string CreateHelperFileFromApplication(const std::string& desktopId, const std::string& folder) {
    GDesktopAppInfo* info = g_desktop_app_info_new(desktopId.c_str());
    if (!info || folder.empty()) {
        if (info) g_object_unref(info);
        return std::string();
    }
    KeyFilePtr source(g_key_file_new());
    const char* from = g_desktop_app_info_get_filename(info);
    const bool loaded = from && g_key_file_load_from_file(source.get(), from, G_KEY_FILE_NONE, nullptr);
    g_object_unref(info);
    if (!loaded) return std::string();
    KeyFilePtr keys(g_key_file_new());
    g_key_file_set_string(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_TYPE, "Application");
    for (const char* key : {G_KEY_FILE_DESKTOP_KEY_NAME, G_KEY_FILE_DESKTOP_KEY_EXEC, G_KEY_FILE_DESKTOP_KEY_ICON,
                            G_KEY_FILE_DESKTOP_KEY_PATH}) {
        const std::string value = Take(g_key_file_get_string(source.get(), kGroup, key, nullptr));
        if (!value.empty()) g_key_file_set_string(keys.get(), kGroup, key, value.c_str());
    }
    std::string base = desktopId;
    if (base.size() > 8 && base.compare(base.size() - 8, 8, ".desktop") == 0) base.resize(base.size() - 8);
    const std::string path = FreeHelperPath(folder, base);
    return SaveKeyFile(keys.get(), path) ? path : std::string();
}

void ScanHelperApplications() {
    CRegistryKey key;
    if (!OpenUserKey(&key, u"")) return;
    if (key.ReadDword(kRegHelpersScanned, 0) != 0) return;
    std::vector<std::string> ids;
    for (const char* extension : {".jpg", ".bmp", ".mov", ".mpg", ".mp3", ".wav", ".avi", ".gif", ".psd"}) {
        const std::string sample = std::string("file") + extension;
        const std::string type = Take(g_content_type_guess(sample.c_str(), nullptr, 0, nullptr));
        if (type.empty()) continue;
        GAppInfo* app = g_app_info_get_default_for_type(type.c_str(), FALSE);
        if (!app) continue;
        const char* id = g_app_info_get_id(app);
        if (id && std::find(ids.begin(), ids.end(), id) == ids.end()) ids.emplace_back(id);
        g_object_unref(app);
    }
    const std::string folder = HelperFolder();
    for (const std::string& id : ids) CreateHelperFileFromApplication(id, folder);
    const UInt32 scanned = 1;
    key.WriteBinary(kRegHelpersScanned, &scanned, sizeof scanned);
}

void LoadHelperApplications() {
    ScanHelperApplications();
    CollectHelperShortcuts();
}

std::vector<std::string> HelperArguments(const HelperEntry& helper, const std::string& file) {
    KeyFilePtr keys(g_key_file_new());
    if (!g_key_file_load_from_file(keys.get(), helper.file.c_str(), G_KEY_FILE_NONE, nullptr)) return {};
    const std::vector<std::string> words =
        SplitExec(Take(g_key_file_get_string(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_EXEC, nullptr)));
    if (words.empty()) return {};
    const std::string uri = Take(g_filename_to_uri(file.c_str(), nullptr, nullptr));
    std::vector<std::string> argv;
    bool fileGiven = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (i > 0 && (w == "%f" || w == "%F")) {
            argv.push_back(file);
            fileGiven = true;
        } else if (i > 0 && (w == "%u" || w == "%U")) {
            argv.push_back(uri.empty() ? file : uri);
            fileGiven = true;
        } else if (i > 0 && w == "%i") {
            if (!helper.icon.empty()) {
                argv.push_back("--icon");
                argv.push_back(helper.icon);
            }
        } else if (i > 0 && w == "%c") {
            argv.push_back(helper.GetName());
        } else if (i > 0 && w == "%k") {
            argv.push_back(helper.file);
        } else if (i > 0 && w.size() == 2 && w[0] == '%' && w[1] != '%') {
            // The deprecated codes (%d, %D, %n, %N, %v, %m) stand for nothing.
        } else {
            std::string word;
            for (std::size_t k = 0; k < w.size(); ++k) {
                if (w[k] == '%' && k + 1 < w.size() && w[k + 1] == '%') ++k;
                word += w[k];
            }
            argv.push_back(i == 0 ? ResolveProgram(word) : word);
        }
    }
    // An entry without a field code for files still gets the file, at the end.
    if (!fileGiven) argv.push_back(file);
    return argv;
}

LaunchResult LaunchHelper(const HelperEntry& helper, const std::vector<std::string>& files, std::string* error) {
    KeyFilePtr keys(g_key_file_new());
    std::string folder;
    if (g_key_file_load_from_file(keys.get(), helper.file.c_str(), G_KEY_FILE_NONE, nullptr))
        folder = Take(g_key_file_get_string(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_PATH, nullptr));
    if (!folder.empty() && !fs::is_directory(folder)) folder.clear();
    for (const std::string& file : files) {
        const std::vector<std::string> args = HelperArguments(helper, file);
        if (args.empty()) {
            if (error) *error = "the helper's entry cannot be read: " + helper.file;
            return LaunchResult::kProgramMissing;
        }
        if (access(args.front().c_str(), X_OK) != 0) {
            if (error) *error = "the program is missing: " + args.front();
            return LaunchResult::kProgramMissing;
        }
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        GError* spawnError = nullptr;
        const gboolean ok = g_spawn_async(folder.empty() ? nullptr : folder.c_str(), argv.data(), nullptr,
                                          GSpawnFlags(G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL),
                                          nullptr, nullptr, nullptr, &spawnError);
        if (!ok) {
            const bool missing = spawnError && spawnError->domain == G_SPAWN_ERROR && spawnError->code == G_SPAWN_ERROR_NOENT;
            if (error) *error = spawnError ? spawnError->message : "the program could not be started";
            if (spawnError) g_error_free(spawnError);
            return missing ? LaunchResult::kProgramMissing : LaunchResult::kFailed;
        }
    }
    return LaunchResult::kStarted;
}
