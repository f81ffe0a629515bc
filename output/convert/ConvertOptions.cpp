#include "output/convert/ConvertOptions.h"

#include "output/optionsets/OptionSets.h"
#include "platform/Handles.h"

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

// The first line of every settings text; a text without it is not ours.
const char kSettingsHeader[] = "LXEXPORT 1 ";

std::string TypeChars(OSType t) {
    std::string s(4, ' ');
    for (int i = 0; i < 4; ++i) s[std::size_t(i)] = char((t >> (24 - 8 * i)) & 0xFF);
    return s;
}

}  // namespace

ConvertEntryIds ConvertEntries(ConvertMediaKind kind) {
    switch (kind) {
        case ConvertMediaKind::Image: return {3, 4, kOptionSetImageConversion};
        case ConvertMediaKind::Movie: return {5, 6, kOptionSetMovieConversion};
        case ConvertMediaKind::Sound: return {7, 8, kOptionSetSoundConversion};
    }
    return {0, 0, 0};
}

ConvertOptionsRec DefaultConvertOptions(ConvertMediaKind kind) {
    ConvertOptionsRec r{};
    switch (kind) {
        case ConvertMediaKind::Image:
            r.position = 4;
            r.subType = 'JPEG';
            r.loaded = 1;
            r.unused9[0] = r.unused9[1] = 1;
            r.keepMetadata = 1;
            r.keepProfile = 1;
            r.value140 = 100;
            r.width = 640;
            r.height = 480;
            r.dpi = 72;
            break;
        case ConvertMediaKind::Movie:
            r.position = 2;
            r.subType = 'MooV';
            break;
        case ConvertMediaKind::Sound:
            r.position = 1;
            r.subType = 'AIFF';
            break;
    }
    return r;
}

ConvertOptionsRec ConvertOptionsFromHandle(Handle h, ConvertMediaKind kind) {
    if (!h || GetHandleSize(h) != Size(sizeof(ConvertOptionsRec))) return DefaultConvertOptions(kind);
    ConvertOptionsRec r;
    std::memcpy(&r, *h, sizeof r);
    return r;
}

Handle ConvertOptionsToHandle(const ConvertOptionsRec& options) {
    Handle h = nullptr;
    PtrToHand(&options, &h, sizeof options);
    return h;
}

int ExporterSettings::Int(const std::string& key, int fallback) const {
    auto it = values.find(key);
    if (it == values.end() || it->second.empty()) return fallback;
    char* end = nullptr;
    const long v = std::strtol(it->second.c_str(), &end, 10);
    return end && *end == 0 ? int(v) : fallback;
}

std::string ExporterSettings::Text(const std::string& key, const std::string& fallback) const {
    auto it = values.find(key);
    return it == values.end() ? fallback : it->second;
}

ExporterSettings DefaultExporterSettings(OSType subType) {
    ExporterSettings s;
    s.subType = subType;
    switch (subType) {
        case 'JPEG': s.values = {{"quality", "85"}}; break;
        default: break;
    }
    return s;
}

ExporterSettings ExporterSettingsFromHandle(Handle h, OSType subType) {
    if (!h) return DefaultExporterSettings(subType);
    const std::string text(*h, std::size_t(GetHandleSize(h)));
    const std::string header = kSettingsHeader + TypeChars(subType) + "\n";
    if (text.compare(0, header.size(), header) != 0) return DefaultExporterSettings(subType);
    ExporterSettings s;
    s.subType = subType;
    std::istringstream lines(text.substr(header.size()));
    std::string line;
    while (std::getline(lines, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        s.values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return s;
}

Handle ExporterSettingsToHandle(const ExporterSettings& settings) {
    std::string text = kSettingsHeader + TypeChars(settings.subType) + "\n";
    for (const auto& [k, v] : settings.values) text += k + "=" + v + "\n";
    Handle h = nullptr;
    PtrToHand(text.data(), &h, Size(text.size()));
    return h;
}

std::string ExporterSettingsText(const ExporterSettings& settings) {
    static const std::map<std::string, std::string> labels = {
        {"quality", "Quality"},          {"compression", "Compression"}, {"videocodec", "Video codec"},
        {"videobitrate", "Video bit rate (kbit/s)"}, {"width", "Frame width"}, {"height", "Frame height"},
        {"audiocodec", "Sound codec"},   {"audiobitrate", "Sound bit rate (kbit/s)"},
        {"samplerate", "Sample rate (Hz)"}, {"channels", "Channels"},
    };
    std::string out;
    for (const auto& [k, v] : settings.values) {
        auto it = labels.find(k);
        out += (it == labels.end() ? k : it->second) + ": " + v + "\n";
    }
    return out;
}
