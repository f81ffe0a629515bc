#include "media/readers/text/TextReader.h"

#include "foundation/files/FileData.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "platform/Handles.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

constexpr SInt16 kMaxPage = 640;
constexpr int kInset = 4;
constexpr int kMoreMarkAbove = 20;
constexpr int kDefaultTextPixels = 12;
// Only the first characters are ever shown; a huge file is not read whole for them.
constexpr std::uintmax_t kMaxTextFileBytes = 64u << 20;

SInt16 gThumbWidth = 400, gThumbHeight = 400;

// The text preview font number of the settings as a fontconfig family: the classic numbers of
// the serif and fixed-width faces, the sans-serif face for every other number.
const char* FamilyOfFontNumber(UInt16 number) {
    switch (number) {
    case 2: case 20: return "Serif";
    case 4: case 22: return "Monospace";
    default: return "Sans";
    }
}

// Cuts UTF-8 or 8-bit text at a character boundary.
std::size_t CutAt(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) return text.size();
    while (bytes > 0 && (std::uint8_t(text[bytes]) & 0xC0) == 0x80) --bytes;
    return bytes;
}

// Text files may be in any 8-bit code page; bytes that are not UTF-8 are shown as Latin-1.
std::string AsUtf8(const std::string& text) {
    if (g_utf8_validate(text.data(), gssize(text.size()), nullptr)) return text;
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

void KindRegisterText() {
    for (OSType type : {OSType('TEXT'), OSType('TXT '), OSType('ttro')})
        KindRegister(type, kKindHandlerText, "Text", kKindCategoryText);
    KindRegister('CWWP', kKindHandlerText, "AppleWorks Document", kKindCategoryText);
}

void TextSetThumbnailPageSize(SInt16 width, SInt16 height) {
    gThumbWidth = width;
    gThumbHeight = height;
}

NormalizedText NormalizeText(std::string_view bytes) {
    NormalizedText out;
    out.text.reserve(bytes.size());
    bool crSeen = false, lfSeen = false;
    UInt32 breaks = 0, crlf = 0;
    for (char ch : bytes) {
        const auto c = std::uint8_t(ch);
        if (c == '\r') {
            ++breaks, ++crlf;
            if (!out.text.empty()) out.text += '\r';
            crSeen = true;
        } else if (c == '\n') {
            ++crlf;
            // Once a CR has been seen the file's lines end in CR (or CR LF): LFs add nothing.
            if (!crSeen) {
                ++breaks;
                if (!out.text.empty()) out.text += '\r';
            }
            lfSeen = true;
        } else if (c == '\t') {
            if (!out.text.empty()) out.text += ' ';
        } else if (c == ' ') {
            if (!out.text.empty()) out.text += ' ';
        } else if (c >= 0x20) {
            out.text += char(c);
        }
    }
    out.lineEnding = !lfSeen ? kLineEndingMac : crSeen ? kLineEndingDos : kLineEndingUnix;
    out.lines = 1 + breaks;
    out.characters = UInt32(bytes.size() - crlf);
    return out;
}

NormalizedText LoadNormalizedText(const FSSpec* spec, OSType type, OSErr* err) {
    OSErr dummy;
    if (!err) err = &dummy;
    *err = noErr;
    if (type == 'CWWP') {
        *err = kTextDocumentErr;
        return {};
    }
    if (!spec) {
        *err = paramErr;
        return {};
    }
    std::error_code ec;
    const std::uintmax_t length = std::filesystem::file_size(spec->path, ec);
    if (ec) {
        *err = fnfErr;
        return {};
    }
    if (length > kMaxTextFileBytes) {
        *err = kBadMediaDataErr;
        return {};
    }
    Handle data = nullptr;
    long size = 0;
    if (length == 0) return NormalizeText({});
    if ((*err = LoadFileData(spec, &data, &size)) != noErr || !data) {
        if (*err == noErr) *err = ioErr;
        return {};
    }
    HLock(data);
    NormalizedText text = NormalizeText(std::string_view(reinterpret_cast<const char*>(*data), std::size_t(size)));
    DisposeHandle(data);
    return text;
}

const char* LineEndingName(UInt8 style) {
    switch (style) {
    case kLineEndingUnix: return "UNIX";
    case kLineEndingDos: return "DOS";
    default: return "Macintosh";
    }
}

OSErr DrawTextPage(const std::string& text, SInt16 width, SInt16 height, GWorldPtr* offscreen) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    if (width <= 2 * kInset || height <= 2 * kInset) return paramErr;
    const Rect page{0, 0, height, width};
    GWorldPtr world = nullptr;
    if (OSErr err = NewGWorldFromFormat(&world, k32BGRAPixelFormat, &page)) return err;
    if (!LockPixels(world)) {
        DisposeGWorld(world);
        return memFullErr;
    }
    cairo_t* cr = cairo_create(GetGWorldSurface(world));
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);

    const std::size_t shown = CutAt(text, kTextPageCharacters);
    std::string body = AsUtf8(text.substr(0, shown));
    std::replace(body.begin(), body.end(), '\r', '\n');
    const KindEngineState& engine = KindEngineGlobals();
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string(FamilyOfFontNumber(engine.textPreviewFont));
    const int pixels = engine.textPreviewSize > 0 ? std::min<int>(engine.textPreviewSize, 200) : kDefaultTextPixels;
    pango_font_description_set_absolute_size(font, pixels * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_width(layout, (width - 2 * kInset) * PANGO_SCALE);
    pango_layout_set_height(layout, (height - 2 * kInset) * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_text(layout, body.c_str(), -1);
    cairo_save(cr);
    cairo_rectangle(cr, kInset, kInset, width - 2 * kInset, height - 2 * kInset);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, kInset, kInset);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
    g_object_unref(layout);

    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 0.5, 0.5, width - 1, height - 1);
    cairo_stroke(cr);
    if (shown < text.size()) {
        // The text goes on past what the page shows.
        PangoLayout* more = pango_cairo_create_layout(cr);
        PangoFontDescription* d = pango_font_description_from_string("Sans Bold");
        pango_font_description_set_absolute_size(d, kDefaultTextPixels * PANGO_SCALE);
        pango_layout_set_font_description(more, d);
        pango_font_description_free(d);
        pango_layout_set_text(more, ".....", -1);
        PangoRectangle box{};
        pango_layout_get_pixel_extents(more, nullptr, &box);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_rectangle(cr, kInset, height - kMoreMarkAbove - box.height, width - 2 * kInset, box.height);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_move_to(cr, (width - box.width) / 2, height - kMoreMarkAbove - box.height);
        pango_cairo_show_layout(cr, more);
        g_object_unref(more);
    }
    cairo_destroy(cr);
    cairo_surface_flush(GetGWorldSurface(world));
    UnlockPixels(world);
    *offscreen = world;
    return noErr;
}

OSErr TextGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen, UserData, Handle*,
                  UInt32, UInt32, SInt32 size) {
    if (!info) return paramErr;
    if (picture) *picture = nullptr;
    if (offscreen) *offscreen = nullptr;
    OSErr err = noErr;
    const NormalizedText text = LoadNormalizedText(spec, info->type, &err);
    if (err) return err;
    const char* name = LineEndingName(text.lineEnding);
    info->encoding[0] = UInt8(std::strlen(name));
    std::memcpy(info->encoding + 1, name, info->encoding[0]);
    info->characters = text.characters;
    info->paragraphs = text.lines;
    if (!offscreen) return noErr;
    const SInt32 side = std::clamp<SInt32>(size - 2, 0, kMaxPage);
    err = DrawTextPage(text.text, SInt16(side), SInt16(side), offscreen);
    if (err && *offscreen) {
        DisposeGWorld(*offscreen);
        *offscreen = nullptr;
    }
    return err;
}

OSErr TextMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32, OSType type, UInt32* imageIndex, UInt16) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    if (imageIndex) *imageIndex = 1;
    SInt16 width = gThumbWidth, height = gThumbHeight;
    if (width <= 0 || height <= 0 || width > kMaxPage || height > kMaxPage) width = height = kMaxPage;
    OSErr err = noErr;
    const NormalizedText text = LoadNormalizedText(spec, type, &err);
    if (err) return err;
    return DrawTextPage(text.text, width, height, offscreen);
}
