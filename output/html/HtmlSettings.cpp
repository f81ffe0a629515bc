#include "output/html/HtmlSettings.h"

#include "catalog/file/CatalogRec.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/ProgramKey.h"
#include "foundation/settings/RegistryKey.h"
#include "output/html/HtmlTemplates.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstring>

namespace {

// The preferences byte that says whether the first index page opens once a build is done.
constexpr std::size_t kLaunchBrowserOffset = 0xAF;

}  // namespace

HtmlSettingsRec HtmlSettingsDefaults() {
    HtmlSettingsRec s;
    std::memset(&s, 0, sizeof s);
    s.version = kHtmlSettingsVersion;
    s.mediaSizeCode = 1;
    s.thumbnailSize = 96;
    s.thumbnailSizeCode = 2;
    s.textEncoding = 1;
    s.templateChoice = 1;
    s.columns = 4;
    s.rows = 4;
    s.previewFit = 2;
    s.mediaFit = 2;
    s.mediaWidth = 640;
    s.mediaHeight = 480;
    s.background = {0xFFFF, 0xFFFF, 0xFFFF};
    s.link = {0x0000, 0x0000, 0xFFFF};
    s.text = {0x0000, 0x0000, 0x0000};
    s.textBackground = {0xEEEE, 0xEEEE, 0xEEEE};
    s.reserved124 = 1;
    s.autoPlay = 1;
    s.continuous = 0;
    s.showController = 1;
    s.targetKilobytes = 100;
    return s;
}

void ValidateHtmlSettings(HtmlSettingsRec* s) {
    if (s->rows < 1) s->rows = 4;
    if (s->columns < 1) s->columns = 4;
    if (s->thumbnailSize < 16 || s->thumbnailSize > 512) s->thumbnailSize = 96;
    if (s->mediaWidth < 16 || s->mediaWidth > 16000) s->mediaWidth = 640;
    if (s->mediaHeight < 16 || s->mediaHeight > 16000) s->mediaHeight = 480;
    if (s->previewFit != 2 && s->previewFit != 3) s->previewFit = 2;
    if (s->mediaFit < 1 || s->mediaFit > 3) s->mediaFit = 2;
    if (s->targetKilobytes < 1) s->targetKilobytes = 100;
    s->templateSet[0] = std::min<UInt8>(s->templateSet[0], 63);
}

bool LoadHtmlSettings(HtmlSettingsRec* settings, const std::string& templatesFolder) {
    HtmlSettingsRec stored;
    bool valid = false;
    CRegistryKey key;
    if (OpenUserKey(&key, kRegHTMLSettings)) {
        DWORD size = 0;
        valid = key.ReadBinary(kRegHTMLSettings, &stored, DWORD(sizeof stored), &size) && size == sizeof stored &&
                stored.version == kHtmlSettingsVersion;
    }
    *settings = valid ? stored : HtmlSettingsDefaults();
    ValidateHtmlSettings(settings);
    if (settings->templateSet[0] != 0) {
        const std::string set(reinterpret_cast<const char*>(settings->templateSet + 1), settings->templateSet[0]);
        FSSpec found;
        if (FindTemplateItem(templatesFolder, 1, set, &found) != noErr) {
            settings->templateChoice = 1;
            std::memset(settings->templateSet, 0, sizeof settings->templateSet);
            return false;
        }
    }
    return true;
}

OSErr SaveHtmlSettings(HtmlSettingsRec* settings) {
    settings->version = kHtmlSettingsVersion;
    CRegistryKey key;
    if (!OpenUserKey(&key, kRegHTMLSettings)) return -193;
    if (!key.WriteBinary(kRegHTMLSettings, settings, DWORD(sizeof *settings))) return -192;
    return noErr;
}

UInt8 HtmlQualityCodeShown(UInt8 stored) { return stored >= 1 && stored <= 5 ? stored : 3; }

SInt16 HtmlThumbnailSizeForCode(UInt8 code) { return SInt16((code + 1) * 32); }

void HtmlMediaBoxForCode(UInt8 code, SInt16* width, SInt16* height) {
    switch (code) {
        case 1: *width = 320; *height = 240; break;
        case 2: *width = 480; *height = 360; break;
        case 3: *width = 640; *height = 480; break;
        default: *width = 800; *height = 600; break;
    }
}

std::string PageExtensionText(UInt8 code) {
    switch (code) {
        case 2: return "html";
        case 3: return "shtml";
        case 4: return "php";
        case 5: return "asp";
        case 6: return "xml";
        default: return "htm";
    }
}

std::string HtmlOutputSummary(SInt32 items, SInt32 columns, SInt32 rows) {
    auto text = [](long id) {
        Str255 s = {0};
        LoadIndexedString(s, id / 100, id % 100);
        return std::string(reinterpret_cast<const char*>(s + 1), s[0]);
    };
    if (columns <= 0 || rows <= 0) return "--";
    const long long perPage = (long long)columns * rows;
    const long long pages = (items + perPage - 1) / perPage;
    return text(12815) + std::to_string(pages) + text(pages == 1 ? 12816 : 12817) + std::to_string(items) + " " +
           text(items == 1 ? 12808 : 12809);
}

std::string GalleryGetSiteTitle(const CatalogRec* catalog) {
    if (!catalog) return {};
    const unsigned char* t = catalog->viewPrefs.text704;
    return std::string(reinterpret_cast<const char*>(t + 1), std::min<std::size_t>(t[0], 63));
}

void GallerySetSiteTitle(CatalogRec* catalog, const std::string& title) {
    if (!catalog) return;
    const std::size_t n = std::min<std::size_t>(title.size(), 63);
    if (GalleryGetSiteTitle(catalog) == title.substr(0, n)) return;
    unsigned char* t = catalog->viewPrefs.text704;
    std::memset(t, 0, 64);
    t[0] = UInt8(n);
    std::memcpy(t + 1, title.data(), n);
    CatalogSetModified(catalog);
}

bool GalleryLaunchBrowserPreference() {
    return reinterpret_cast<const UInt8*>(GetPreferences())[kLaunchBrowserOffset] != 0;
}

void GallerySetLaunchBrowserPreference(bool on) {
    reinterpret_cast<UInt8*>(GetPreferences())[kLaunchBrowserOffset] = on ? 1 : 0;
}
