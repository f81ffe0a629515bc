#include "output/print/PrintTemplates.h"

#include "foundation/settings/AppFolders.h"
#include "output/print/PrintSettings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

struct TemplateTable {
    PrintTemplateRec records[kMaxPrintTemplates];
    int count = 0;
    bool loaded = false;
};

TemplateTable& Table() {
    static TemplateTable table;
    return table;
}

// Only the beginning of a file counts; a large file dropped there by mistake is not read whole.
constexpr std::size_t kReadLimit = 4096;

const char* SkipSpace(const char* p, const char* end) {
    while (p < end && std::isspace(static_cast<unsigned char>(*p))) ++p;
    return p;
}

double Convert(float value, char unit) {
    if (value == -1.0f) return -1;
    switch (std::tolower(static_cast<unsigned char>(unit))) {
        case 'i': return double(value) * PrintPointsPerUnit(false);
        case 'c': return double(value) * PrintPointsPerUnit(true);
        case 'm': return double(value) * 0.1 * PrintPointsPerUnit(true);
        default: return double(value);
    }
}

}  // namespace

bool ParsePrintTemplate(std::string_view text, PrintTemplateRec* out) {
    std::string s(text.substr(0, kReadLimit));
    std::replace(s.begin(), s.end(), ',', '.');
    const char* p = s.data();
    const char* end = p + s.size();
    float v[4];
    for (float& f : v) {
        p = SkipSpace(p, end);
        // from_chars does not take a leading "+", which "%f" does.
        if (p < end && *p == '+') ++p;
        auto [next, ec] = std::from_chars(p, end, f);
        if (ec != std::errc()) return false;
        p = next;
    }
    p = SkipSpace(p, end);
    if (p >= end) return false;
    const char unit = *p;
    out->left = Convert(v[0], unit);
    out->top = Convert(v[1], unit);
    out->width = Convert(v[2], unit);
    out->height = Convert(v[3], unit);
    return true;
}

bool AddPrintTemplateFile(const std::string& path) {
    TemplateTable& t = Table();
    if (t.count >= kMaxPrintTemplates) return false;
    const std::filesystem::path p(path);
    const std::string name = p.filename().string();
    std::error_code ec;
    if (name.empty() || name[0] == '.' || !std::filesystem::is_regular_file(p, ec)) return false;
    std::ifstream in(p, std::ios::binary);
    if (!in) return false;
    std::string text(kReadLimit, '\0');
    in.read(text.data(), std::streamsize(text.size()));
    text.resize(std::size_t(in.gcount()));
    PrintTemplateRec r;
    if (!ParsePrintTemplate(text, &r)) return false;
    const std::size_t n = std::min<std::size_t>(name.size(), 63);
    r.name[0] = UInt8(n);
    std::memcpy(r.name + 1, name.data(), n);
    t.records[t.count++] = r;
    return true;
}

void LoadPrintTemplates() {
    TemplateTable& t = Table();
    if (t.loaded) return;
    t.count = 0;
    static const UInt8 kFolderName[] = "\x0FPrint Templates";
    const struct {
        SInt16 kind;
        bool create;
    } folders[] = {{kAppFolderUserData, true}, {kAppFolderCommonData, false}, {kAppFolderInstall, false}};
    std::vector<std::string> seen;
    for (const auto& f : folders) {
        FSSpec folder;
        if (GetAppFolder(kFolderName, f.kind, f.create, &folder) != noErr || folder.path.empty()) continue;
        // The same folder reached twice (an installation inside the data folder) is read once.
        if (std::find(seen.begin(), seen.end(), folder.path) != seen.end()) continue;
        seen.push_back(folder.path);
        std::vector<std::string> files;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(folder.path, ec)) files.push_back(e.path().string());
        std::sort(files.begin(), files.end());
        for (const auto& file : files) AddPrintTemplateFile(file);
    }
    t.loaded = true;
}

int GetPrintTemplateCount() { return Table().count; }

std::string GetPrintTemplateName(int n) {
    const PrintTemplateRec* r = GetPrintTemplate(n);
    return r ? std::string(reinterpret_cast<const char*>(r->name + 1), r->name[0]) : std::string();
}

const PrintTemplateRec* GetPrintTemplate(int n) {
    const TemplateTable& t = Table();
    return n >= 0 && n < t.count ? &t.records[n] : nullptr;
}

void ResetPrintTemplates() {
    TemplateTable& t = Table();
    t.count = 0;
    t.loaded = false;
}
