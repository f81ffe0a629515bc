#include "media/readers/documents/ShellDocuments.h"

#include "media/imaging/ImportToOffscreen.h"
#include "media/imaging/Offscreen.h"
#include "foundation/files/FileNames.h"
#include "platform/Handles.h"
#include "platform/Files.h"

#include <cairo.h>
#include <poppler.h>
#include <zip.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <regex>

namespace {

// A thumbnail inside a document larger than this is not one we read.
constexpr zip_uint64_t kMaxThumbnailBytes = 16u << 20;
// PDF pages are drawn at most this large whatever size is asked.
constexpr SInt32 kMaxDocumentSide = 4096;

std::string FirstBytes(const std::string& path, std::size_t n) {
    std::string out(n, '\0');
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return {};
    std::size_t got = std::fread(out.data(), 1, n, f);
    std::fclose(f);
    out.resize(got);
    return out;
}

// Poppler's cairo renderer shares its font engine state between documents without saying it is
// safe to use from several threads; readers run on the import's worker threads, so PDF pages
// are opened and drawn one at a time.
std::mutex& PopplerLock() {
    static std::mutex lock;
    return lock;
}

GWorldPtr PdfFirstPage(const std::string& path, SInt32 size) {
    const std::lock_guard<std::mutex> serialised(PopplerLock());
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    if (!uri) return nullptr;
    PopplerDocument* doc = poppler_document_new_from_file(uri, nullptr, nullptr);
    g_free(uri);
    if (!doc) return nullptr;
    GWorldPtr world = nullptr;
    if (poppler_document_get_n_pages(doc) > 0) {
        if (PopplerPage* page = poppler_document_get_page(doc, 0)) {
            double w = 0, h = 0;
            poppler_page_get_size(page, &w, &h);
            if (w > 0 && h > 0 && std::isfinite(w) && std::isfinite(h)) {
                double scale = double(std::clamp<SInt32>(size, 1, kMaxDocumentSide)) / std::max(w, h);
                int pw = std::max(1, int(std::lround(w * scale)));
                int ph = std::max(1, int(std::lround(h * scale)));
                Rect bounds{0, 0, SInt16(ph), SInt16(pw)};
                RGBColor white{0xFFFF, 0xFFFF, 0xFFFF};
                if (OffscreenNewFilled(&world, k32BGRAPixelFormat, &bounds, &white) == noErr) {
                    cairo_t* cr = cairo_create(GetGWorldSurface(world));
                    cairo_scale(cr, scale, scale);
                    poppler_page_render(page, cr);
                    cairo_destroy(cr);
                    cairo_surface_flush(GetGWorldSurface(world));
                }
            }
            g_object_unref(page);
        }
    }
    g_object_unref(doc);
    return world;
}

bool ReadEntry(zip_t* zip, const std::string& name, std::string* out) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(zip, name.c_str(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) || st.size == 0 ||
        st.size > kMaxThumbnailBytes)
        return false;
    zip_file_t* f = zip_fopen(zip, name.c_str(), 0);
    if (!f) return false;
    out->assign(std::size_t(st.size), '\0');
    zip_int64_t n = zip_fread(f, out->data(), st.size);
    zip_fclose(f);
    return n == zip_int64_t(st.size);
}

// OOXML names its thumbnail in the package relationships; OpenDocument keeps it at a fixed name.
std::vector<std::string> ThumbnailNames(zip_t* zip) {
    std::vector<std::string> names;
    std::string rels;
    if (ReadEntry(zip, "_rels/.rels", &rels)) {
        static const std::regex kRel("<Relationship\\b[^>]*>");
        static const std::regex kType("Type=\"[^\"]*/metadata/thumbnail\"");
        static const std::regex kTarget("Target=\"/?([^\"]+)\"");
        for (std::sregex_iterator it(rels.begin(), rels.end(), kRel), end; it != end; ++it) {
            std::string tag = it->str();
            std::smatch m;
            if (std::regex_search(tag, kType) && std::regex_search(tag, m, kTarget)) names.push_back(m[1].str());
        }
    }
    names.push_back("docProps/thumbnail.jpeg");
    names.push_back("Thumbnails/thumbnail.png");
    return names;
}

GWorldPtr ZipThumbnail(const std::string& path) {
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!zip) return nullptr;
    GWorldPtr world = nullptr;
    for (const std::string& name : ThumbnailNames(zip)) {
        std::string bytes;
        if (!ReadEntry(zip, name, &bytes) || bytes.size() < 8) continue;
        OSType subtype = 0;
        if (std::uint8_t(bytes[0]) == 0xFF && std::uint8_t(bytes[1]) == 0xD8) subtype = 'JPEG';
        else if (bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) subtype = 'PNGf';
        if (!subtype) continue;  // metafile thumbnails are not drawn here
        Handle h = NewHandle(Size(bytes.size()));
        if (!h) break;
        std::memcpy(*h, bytes.data(), bytes.size());
        OSErr err = noErr;
        world = GraphicsImportToOffscreen(h, subtype, k32BGRAPixelFormat, 0, nullptr, &err);
        DisposeHandle(h);
        if (world) break;
    }
    zip_close(zip);
    return world;
}

}  // namespace

GWorldPtr ShellDocumentBitmap(const std::string& path, SInt32 size) {
    if (size <= 0) return nullptr;
    std::string head = FirstBytes(path, 1024);
    GWorldPtr world = nullptr;
    if (head.find("%PDF-") != std::string::npos) world = PdfFirstPage(path, size);
    else if (head.compare(0, 4, "PK\x03\x04") == 0) world = ZipThumbnail(path);
    if (!world) return nullptr;
    Rect box{0, 0, SInt16(std::min<SInt32>(size, kMaxWorldSide)), SInt16(std::min<SInt32>(size, kMaxWorldSide))};
    Rect b = GetPortBounds(world);
    if (b.right - b.left <= box.right && b.bottom - b.top <= box.bottom) return world;
    GWorldPtr fitted = OffscreenScaledCopy(world, &box, k32BGRAPixelFormat);
    DisposeGWorld(world);
    return fitted;
}

SInt32 ShellDocumentThumbnailSize(OSType type) {
    switch (type) {
    case 'DOC ': case 'DOT ': return 1123;
    case 'XLS ': case 'XLT ': return 347;
    case 'PPT ': case 'POT ': return 815;
    case 'PDF ': return 600;
    default: return 800;
    }
}

OSErr GetShellDocumentInfo(const FSSpec* spec, KindInfoRec*, GWorldPtr* preview, UserData, SInt32 size) {
    if (!spec || !preview) return paramErr;
    *preview = ShellDocumentBitmap(spec->path, size == kKindDisplaySize ? 800 : size);
    return *preview ? OSErr(noErr) : OSErr(resNotFound);
}

OSErr MakeShellDocumentThumbnail(const FSSpec* spec, GWorldPtr* preview) {
    if (!spec || !preview) return paramErr;
    std::string leaf = spec->path.substr(spec->path.find_last_of('/') + 1);
    Str255 name;
    name[0] = UInt8(std::min<std::size_t>(leaf.size(), 255));
    std::memcpy(name + 1, leaf.data(), name[0]);
    OSType ext = ExtensionToOSType(name);
    *preview = ShellDocumentBitmap(spec->path, ShellDocumentThumbnailSize(ext));
    return *preview ? OSErr(noErr) : OSErr(resNotFound);
}
