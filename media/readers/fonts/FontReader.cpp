#include "media/readers/fonts/FontReader.h"

#include "media/kinds/KindTable.h"
#include "media/readers/fonts/FontNameTable.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// The sample lines; the short text is the first three.
const char* const kSampleLines[8] = {
    "abcdefghijklmnopqrstuvwxyz",
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
    "0123456789 @$€¥£&&¢",
    "ÆÀÁÂÃÄÅÇÈÉÊËÌÍÎÏÐÑŒÒÓÔÕÖØŠÞßÙÚÛÜÝŸŽ",
    "æàáâãäåçèéêëìíîïðñœòóôõöøšþùúûüýÿž",
    "ƒ™©®ªº†‡§*!¡?¿.,;:‘’“”‚„…'\"`´\"",
    "<>«»()[]{}|/\\–—_¸¨ˆ˜¯",
    "#%‰=-+×~•‹±›÷^°¦¤µ•¼½¾¹²³",
};

constexpr int kDefaultSampleSize = 36;
constexpr int kLetterPreviewSize = 100;
constexpr int kMaxSampleBytes = 100;
constexpr int kMargin = 5;
constexpr int kCaptionBand = 15;
constexpr int kCaptionPixels = 11;  // the interface's small text
constexpr SInt32 kDefaultInfoSize = 128;
constexpr SInt32 kMaxInfoSize = 2048;
// The specimen is drawn at its natural size; a size set beyond reason is held to this.
constexpr int kMaxSampleSize = 512;

// Windows-1252 to UTF-8 (the user's text and the preview letters are stored in that code page).
std::string FromWindows1252(const unsigned char* text, std::size_t length) {
    static const char16_t kHigh[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string out;
    for (std::size_t i = 0; i < length; ++i) {
        char32_t c = text[i];
        if (c >= 0x80 && c < 0xA0) c = kHigh[c - 0x80];
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

int StartSize(const KindFontSample& settings) {
    if (settings.size <= 0) return kDefaultSampleSize;
    return std::min<int>(settings.size, kMaxSampleSize);
}

// Cuts UTF-8 text to at most `bytes` bytes without splitting a character.
std::string CutUtf8(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    std::size_t end = bytes;
    while (end > 0 && (std::uint8_t(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

struct PatternDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};

// One pango font map for the font readers, kept for the life of the process: pango keeps
// the fonts a map has opened alive as long as the map, so a map per call would never go away.
// Each call hands it a fontconfig set of its own, so the font being read is never added to the
// process's configuration; calls take the map one at a time.
std::mutex gFontMapLock;
PangoFontMap* gFontMap = nullptr;

// One font file made available to this call only.
class PrivateFont {
public:
    PrivateFont(const std::string& path, const std::string& family) : lock_(gFontMapLock) {
        config_ = FcConfigCreate();
        if (!config_ || !FcConfigAppFontAddFile(config_, reinterpret_cast<const FcChar8*>(path.c_str()))) return;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_INDEX, nullptr);
        styles_.reset(FcFontList(config_, pattern, objects));
        FcObjectSetDestroy(objects);
        FcPatternDestroy(pattern);
        if (!gFontMap) gFontMap = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
        if (gFontMap) pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(gFontMap), config_);
    }
    ~PrivateFont() {
        // The map keeps this call's set until the next call hands it another (handing it none
        // would make it list every font of the system).
        styles_.reset();
        if (config_) FcConfigDestroy(config_);
    }
    PrivateFont(const PrivateFont&) = delete;
    PrivateFont& operator=(const PrivateFont&) = delete;

    int StyleCount() const { return styles_ && gFontMap ? styles_->nfont : 0; }
    // The n-th style (from 1) at a pixel height; null when there is no such style.
    PangoFontDescription* Style(int n, int pixels) const {
        if (n < 1 || n > StyleCount()) return nullptr;
        PangoFontDescription* d = pango_fc_font_description_from_pattern(styles_->fonts[n - 1], FALSE);
        pango_font_description_set_absolute_size(d, double(pixels) * PANGO_SCALE);
        return d;
    }
    PangoLayout* NewLayout(cairo_t* cr) const {
        PangoContext* context = pango_font_map_create_context(gFontMap);
        pango_cairo_update_context(cr, context);
        PangoLayout* layout = pango_layout_new(context);
        g_object_unref(context);
        return layout;
    }

private:
    std::unique_lock<std::mutex> lock_;
    FcConfig* config_ = nullptr;
    std::unique_ptr<FcFontSet, PatternDeleter> styles_;
};

struct CairoOn {
    explicit CairoOn(GWorldPtr world) {
        LockPixels(world);
        surface = GetGWorldSurface(world);
        cr = surface ? cairo_create(surface) : nullptr;
        const Rect bounds = GetPortBounds(world);
        if (cr) cairo_translate(cr, -bounds.left, -bounds.top);
        this->world = world;
    }
    ~CairoOn() {
        if (cr) cairo_destroy(cr);
        if (surface) cairo_surface_flush(surface);
        UnlockPixels(world);
    }
    GWorldPtr world;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
};

void FillRect(cairo_t* cr, const Rect& r, double grey) {
    cairo_set_source_rgb(cr, grey, grey, grey);
    cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    cairo_fill(cr);
}

std::string PathOf(const FSSpec* spec) {
    return spec ? spec->path : std::string();
}

// The family name of a readable font file, else empty.
std::string FamilyOf(const std::string& path) {
    char family[100];
    return ReadFontFamilyName(path, family, sizeof family) ? std::string(family) : std::string();
}

// The caption font: the interface's small text from the system's fonts.
PangoLayout* CaptionLayout(cairo_t* cr, const std::string& text) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* d = pango_font_description_from_string("Sans");
    pango_font_description_set_absolute_size(d, kCaptionPixels * PANGO_SCALE);
    pango_layout_set_font_description(layout, d);
    pango_font_description_free(d);
    pango_layout_set_text(layout, text.c_str(), -1);
    return layout;
}

}  // namespace

void KindRegisterFonts() {
    KindRegister('TTF ', kKindHandlerFont, "TrueType Font", kKindCategoryFont);
    KindRegister('OTF ', kKindHandlerFont, "OpenType Font", kKindCategoryFont);
}

std::string GetFontSampleText(const KindFontSample& settings) {
    if (settings.sampleChoice == 2) return FromWindows1252(settings.text + 1, settings.text[0]);
    const int lines = settings.sampleChoice == 0 ? 8 : 3;
    std::string text;
    for (int i = 0; i < lines; ++i) {
        if (i) text += '\n';
        text += kSampleLines[i];
    }
    return text;
}

int CountFontStyles(const std::string& path, const std::string& family) {
    if (path.empty() || family.empty()) return 0;
    return PrivateFont(path, family).StyleCount();
}

int DrawFontSample(GWorldPtr world, const Rect& rect, const std::string& text, const std::string& path,
                   const std::string& family, const KindFontSample& settings) {
    PrivateFont font(path, family);
    CairoOn draw(world);
    if (!draw.cr || font.StyleCount() == 0) return 0;
    FillRect(draw.cr, rect, 1.0);
    std::string sample;
    int start;
    if (settings.previewStyle == 1) {
        const unsigned char letters[2] = {settings.letters[0] ? settings.letters[0] : (unsigned char)'A',
                                          settings.letters[1]};
        sample = FromWindows1252(letters, letters[1] ? 2 : 1);
        start = kLetterPreviewSize;
    } else {
        sample = CutUtf8(text, kMaxSampleBytes);
        start = StartSize(settings);
    }
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    PangoLayout* layout = font.NewLayout(draw.cr);
    pango_layout_set_text(layout, sample.c_str(), -1);
    pango_layout_set_width(layout, width * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
    pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
    int used = 1;
    PangoRectangle ink{}, logical{};
    for (int s = start; s >= 1; --s) {
        PangoFontDescription* d = font.Style(1, s);
        pango_layout_set_font_description(layout, d);
        pango_font_description_free(d);
        pango_layout_get_pixel_extents(layout, &ink, &logical);
        used = s;
        if (logical.width <= width && logical.height <= height) break;
    }
    // Centre the measured text in the rectangle (the layout already centres each line).
    cairo_set_source_rgb(draw.cr, 0, 0, 0);
    cairo_move_to(draw.cr, rect.left, rect.top + (height - logical.height) / 2 - logical.y);
    pango_cairo_show_layout(draw.cr, layout);
    g_object_unref(layout);
    return used;
}

OSErr FontGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen, UserData,
                  Handle*, UInt32, UInt32, SInt32 size) {
    if (!info) return paramErr;
    if (picture) *picture = nullptr;
    if (offscreen) *offscreen = nullptr;
    const std::string path = PathOf(spec);
    const std::string family = FamilyOf(path);
    if (family.empty()) return kReaderDeclinesErr;
    const int styles = CountFontStyles(path, family);
    if (styles == 0) return kReaderDeclinesErr;
    static const char kEncoding[] = "TrueType";
    info->encoding[0] = sizeof kEncoding - 1;
    std::memcpy(info->encoding + 1, kEncoding, sizeof kEncoding - 1);
    info->pages = UInt32(styles);
    if (!offscreen) return noErr;
    if (size <= 0 || size > kMaxInfoSize) size = kDefaultInfoSize;
    const Rect square{0, 0, SInt16(size), SInt16(size)};
    GWorldPtr world = nullptr;
    if (OSErr err = NewGWorldFromFormat(&world, k32BGRAPixelFormat, &square)) return err;
    if (DrawFontSample(world, square, family, path, family, KindEngineGlobals().fontSample) == 0) {
        DisposeGWorld(world);
        return kReaderDeclinesErr;
    }
    info->width = UInt32(size);
    info->height = UInt32(size);
    *offscreen = world;
    return noErr;
}

OSErr FontMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32, OSType, UInt32* imageIndex, UInt16) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    const std::string path = PathOf(spec);
    const std::string family = FamilyOf(path);
    if (family.empty()) return kReaderDeclinesErr;
    const KindFontSample& settings = KindEngineGlobals().fontSample;
    const std::string sample = GetFontSampleText(settings);
    PrivateFont font(path, family);
    if (font.StyleCount() == 0) return kReaderDeclinesErr;
    UInt32 style = imageIndex && *imageIndex ? *imageIndex : 1;
    if (imageIndex) *imageIndex = style;
    if (style > UInt32(font.StyleCount())) return paramErr;
    const int pixels = StartSize(settings);
    char caption[260];
    std::snprintf(caption, sizeof caption, "%s @ %d", family.c_str(), pixels);

    // Measuring pass on a scratch surface: the sample moved by the margin, the caption below.
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    PangoLayout* text = font.NewLayout(cr);
    PangoFontDescription* d = font.Style(int(style), pixels);
    pango_layout_set_font_description(text, d);
    pango_font_description_free(d);
    pango_layout_set_text(text, sample.c_str(), -1);
    PangoRectangle textBox{}, captionBox{};
    pango_layout_get_pixel_extents(text, nullptr, &textBox);
    PangoLayout* label = CaptionLayout(cr, caption);
    pango_layout_get_pixel_extents(label, nullptr, &captionBox);
    g_object_unref(label);
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);

    const int bandHeight = std::max(kCaptionBand, captionBox.height + 4);
    const int width = std::min(kMaxWorldSide, std::max(textBox.width, captionBox.width) + 2 * kMargin);
    const int sampleBottom = textBox.height + 2 * kMargin;
    const int height = std::min(kMaxWorldSide, sampleBottom + bandHeight);
    const Rect bounds{0, 0, SInt16(height), SInt16(width)};
    GWorldPtr world = nullptr;
    if (OSErr err = NewGWorldFromFormat(&world, k32BGRAPixelFormat, &bounds)) {
        g_object_unref(text);
        return err;
    }
    {
        CairoOn draw(world);
        if (!draw.cr) {
            g_object_unref(text);
            DisposeGWorld(world);
            return memFullErr;
        }
        FillRect(draw.cr, bounds, 1.0);
        cairo_set_source_rgb(draw.cr, 0, 0, 0);
        cairo_set_line_width(draw.cr, 1);
        cairo_rectangle(draw.cr, 0.5, 0.5, width - 1, height - 1);
        cairo_stroke(draw.cr);
        FillRect(draw.cr, Rect{SInt16(sampleBottom), 0, SInt16(height), SInt16(width)}, 0.0);
        cairo_set_source_rgb(draw.cr, 0, 0, 0);
        cairo_move_to(draw.cr, kMargin - textBox.x, kMargin - textBox.y);
        pango_cairo_update_layout(draw.cr, text);
        pango_cairo_show_layout(draw.cr, text);
        PangoLayout* drawnLabel = CaptionLayout(draw.cr, caption);
        cairo_set_source_rgb(draw.cr, 1, 1, 1);
        cairo_move_to(draw.cr, kMargin, sampleBottom + (bandHeight - captionBox.height) / 2 - captionBox.y);
        pango_cairo_show_layout(draw.cr, drawnLabel);
        g_object_unref(drawnLabel);
    }
    g_object_unref(text);
    *offscreen = world;
    return noErr;
}
