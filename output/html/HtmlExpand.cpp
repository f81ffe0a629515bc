#include "output/html/HtmlExpand.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/fields/FieldValue.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/format/DateFormat.h"
#include "foundation/format/NumberFormat.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/Unicode.h"
#include "output/html/HtmlEncode.h"
#include "platform/MacDates.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr UInt32 Htm(char c) { return ('h' << 24) | ('t' << 16) | ('m' << 8) | UInt32(UInt8(c)); }

// The fields the Fields token lists.
enum : UInt32 { kListFilename = 2, kListCaption = 632, kListEvent = 534, kListLocation = 604, kListPeople = 630,
                kListAuthor = 592 };

// The movie players' download addresses: the plug-ins these tags name are long gone from
// browsers, so the tags point at no download.
constexpr const char* kMoviePluginCodebase = "";
constexpr const char* kMoviePluginPage = "";
constexpr const char* kWindowsPlayerCodebase = "";
constexpr const char* kWindowsPlayerPage = "";

std::string PText(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

std::string IndexedString(long list, long index) {
    Str255 s = {0};
    LoadIndexedString(s, list, index);
    return PText(s);
}

// Windows-1252 text of the program as HTML of the page's encoding.
std::string EncodeAnsi(const GalleryBuildState& state, const std::string& ansi, bool passThrough) {
    if (state.Japanese()) return HtmlEncodeUtf8(AnsiToUtf8(ansi), passThrough, true);
    return HtmlEncodeText(ansi, passThrough, false);
}

std::string ByteSizeText(UInt32 count) {
    Str255 number = {0};
    const short unit = FormatByteSize(count, number, 0);
    return PText(number) + " " + IndexedString(kByteUnitList, unit);
}

// Item n-1 and n+1 of count, wrapping around.
SInt32 Previous(SInt32 n, SInt32 count) { return n <= 1 ? count : n - 1; }
SInt32 Next(SInt32 n, SInt32 count) { return n >= count ? 1 : n + 1; }

const GalleryItemRec* ItemAt(const GalleryBuildState& state, SInt32 n) {
    if (n < 1 || n > state.ItemCount()) return nullptr;
    return &state.items[std::size_t(n - 1)];
}

bool IsAnnotationField(UInt32 id) {
    const FieldDef* def = FieldFindDef(id);
    return def && def->storage == kFieldStorageAnnotation;
}

// The item's file name as the file system spells it, when the catalog's 8-bit form of it is
// name: letters outside Windows-1252 then show as themselves instead of "?".
std::string FileNameHtml(const GalleryBuildState& state, SInt32 n, const std::string& ansiName) {
    FSSpec file;
    if (CatalogFindItemPath(state.catalog, n, &file) == noErr) {
        const std::size_t slash = file.path.rfind('/');
        const std::string utf8 = slash == std::string::npos ? file.path : file.path.substr(slash + 1);
        if (Utf8ToAnsi(utf8) == ansiName) return HtmlEncodeUtf8(utf8, false, state.Japanese());
    }
    return EncodeAnsi(state, ansiName, false);
}

// One value of a field of item n as HTML: text values encoded, others through their display
// format.
std::string ValueHtml(const GalleryBuildState& state, SInt32 n, UInt32 id, UInt8 type, const FieldValue& value) {
    const bool pass = id == kListCaption && state.settings.htmlInCaptions;
    if (type == 5) {
        const std::string bytes(value.text.bytes, std::size_t(std::clamp<int>(value.text.length, 0, kFieldTextMax)));
        if (value.text.encoding == kFieldTextUtf8) return HtmlEncodeUtf8(bytes, pass, state.Japanese());
        if (id == kListFilename) return FileNameHtml(state, n, bytes);
        return EncodeAnsi(state, bytes, pass);
    }
    Str255 shown = {0};
    FieldValueToText(&value, type, id, shown, true);
    if (id == kListFilename) return FileNameHtml(state, n, PText(shown));
    return EncodeAnsi(state, PText(shown), pass);
}

// A name without a final 3- or 4-letter extension and its dot.
std::string WithoutExtension(const std::string& html) {
    for (std::size_t letters : {3u, 4u}) {
        if (html.size() > letters && html[html.size() - letters - 1] == '.') return html.substr(0, html.size() - letters - 1);
    }
    return html;
}

// Appends pieces while the whole stays within 255 bytes; a piece that would pass it is left out.
void AddPiece(std::string* s, const std::string& piece) {
    if (s->size() + piece.size() <= 255) *s += piece;
}

std::string Number(long n) { return std::to_string(n); }

std::string DateText(const GalleryBuildState& state, bool date) {
    UInt32 now = state.now;
    if (now == 0) GetDateTime(&now);
    Str255 s = {0};
    FormatDateTime(s, now, date, !date, !date);
    std::string text = PText(s);
    while (!text.empty() && text.front() == ' ') text.erase(text.begin());
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string IndexFileName(const GalleryBuildState& state, SInt32 page) {
    return "index" + (page > 1 ? Number(page) : std::string()) + state.extension;
}

}  // namespace

std::string UrlPathEncode(const std::string& path) {
    static const char* kHex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~' || c == '/' || c == '(' || c == ')';
        if (plain) {
            out += char(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string FieldValueHtml(const GalleryBuildState& state, UInt32 id, SInt32 n) {
    auto value = std::make_unique<FieldValue>();
    std::string out;
    const bool annotation = IsAnnotationField(id);
    for (SInt32 index = 1;; ++index) {
        FieldValueClear(value.get());
        const UInt8 type = ItemGetFieldVisible(state.catalog, n, index, id, value.get());
        if (type == 0) {
            if (index == 1) return " ";
            break;
        }
        const std::string html = ValueHtml(state, n, id, type, *value);
        if (index > 1 && html.empty()) break;
        if (index > 1 && type == 5) out += ", ";
        out += html;
        if (!annotation) break;
    }
    return out;
}

std::string FieldListHtml(const GalleryBuildState& state, SInt32 n, const UInt32* ids, int count, bool labels) {
    auto value = std::make_unique<FieldValue>();
    std::string out;
    for (int f = 0; f < count; ++f) {
        const UInt32 id = ids[f];
        const bool annotation = IsAnnotationField(id);
        for (SInt32 index = 1;; ++index) {
            FieldValueClear(value.get());
            const UInt8 type = ItemGetFieldVisible(state.catalog, n, index, id, value.get());
            if (type == 0) break;
            if (index == 1) {
                if (f > 0) out += "<br>";
                if (labels) {
                    if (f > 0) out += "<br>";
                    Str255 name = {0};
                    FieldGetName(state.catalog, id, name);
                    out += "<b>" + EncodeAnsi(state, PText(name), false) + ":</b><br>";
                }
            }
            std::string html = ValueHtml(state, n, id, type, *value);
            if (id == kListFilename) html = WithoutExtension(html);
            if (index > 1 && type == 5) out += ", ";
            out += html;
            if (!annotation) break;
        }
    }
    return out;
}

std::string PreviewLinkHtml(const GalleryBuildState& state, const GalleryItemRec& item) {
    const bool index = state.side == GallerySide::Index;
    std::string s;
    AddPiece(&s, "<a href=\"");
    if (index) AddPiece(&s, "source/");
    AddPiece(&s, UrlPathEncode(item.pageName));
    AddPiece(&s, "\"><img src=\"");
    if (!index) AddPiece(&s, "../");
    AddPiece(&s, "preview/");
    AddPiece(&s, UrlPathEncode(item.previewName));
    AddPiece(&s, "\" alt=\"");
    const std::string alt = item.previewName.size() > 4 ? item.previewName.substr(0, item.previewName.size() - 4) : "";
    AddPiece(&s, HtmlEncodeText(alt, false, false));
    AddPiece(&s, "\" width=\"");
    AddPiece(&s, Number(item.previewWidth));
    AddPiece(&s, "\" height=\"");
    AddPiece(&s, Number(item.previewHeight));
    AddPiece(&s, "\" border=\"0\" /></a>");
    return s;
}

std::string MediaTagHtml(const GalleryBuildState& state, UInt32 code, const GalleryItemRec& item) {
    const bool media = code == Htm('I');
    const std::string name = UrlPathEncode(item.sourceName);
    const std::string nameText = HtmlEncodeText(item.sourceName, false, false);
    const long w = item.sourceWidth, h = item.sourceHeight;
    const char* a = state.settings.autoPlay ? "true" : "false";
    const char* c = state.settings.showController ? "true" : "false";
    const char* l = state.settings.continuous ? "true" : "false";
    char buffer[4096];
    switch (item.mediaKind) {
        case kGalleryMediaNone:
            return {};
        case kGalleryMediaMovie:
            if (!media) return {};
            std::snprintf(buffer, sizeof buffer,
                          "<object classid=\"clsid:02bf25d5-8c17-4b23-bc80-d3488abddc6b\" width=\"%ld\" height=\"%ld\" "
                          "codebase=\"%s\"> <param name=\"src\" value=\"./image/%s\" /> <param name=\"autoplay\" "
                          "value=\"%s\" /> <param name=\"controller\" value=\"%s\" /> <param name=\"loop\" value=\"%s\" /> "
                          "<embed src=\"./image/%s\" width=\"%ld\" height=\"%ld\" autoplay=\"%s\" controller=\"%s\"  "
                          "loop=\"%s\" pluginspage=\"%s\"> </embed> </object>",
                          w, h, kMoviePluginCodebase, name.c_str(), a, c, l, name.c_str(), w, h, a, c, l, kMoviePluginPage);
            return buffer;
        case kGalleryMediaWindows:
            if (!media) return {};
            std::snprintf(buffer, sizeof buffer,
                          "<object id=\"NSPlay\" classid=\"CLSID:22d6f312-b0f6-11d0-94ab-0080c74c7e95\" "
                          "codebase=\"%s#Version=2,0,0,912\" viewastext=\"\" width=\"%ld\" height=\"%ld\">\n"
                          "<param name=\"ControlType\" value=\"1\" />\n"
                          "<param name=\"filename\" value=\"./image/%s\" />\n"
                          "<param name=\"AutoStart\" value=\"%s\" />\n"
                          "<param name=\"ShowControls\" value=\"%s\" />\n"
                          "<param name=\"ShowStatusBar\" value=\"True\" />\n"
                          "<param name=\"AnimationStart\" value=\"true\" />\n"
                          "<param name=\"TransparentAtStart\" value=\"false\" />\n"
                          "<embed type=\"video/x-ms-asf-plugin\" src=\"./image/%s\" pluginspage=\"%s\" controltype=\"1\" "
                          "autostart=\"%s\" transparentatstart=\"true\" animationatstart=\"true\" filename=\"./image/%s\" "
                          "animationstart=\"true\" showstatusbar=\"1\" Displaysize=\"4\" showcontrols=\"%s\" width=\"%ld\" "
                          "height=\"%ld\">\n</embed>\n</object>",
                          kWindowsPlayerCodebase, w, h, name.c_str(), a, c, name.c_str(), kWindowsPlayerPage, a,
                          name.c_str(), c, w, h);
            return buffer;
        default: {
            const char* folder = item.mediaKind == kGalleryMediaImage ? "image" : "../assets";
            const long width = media ? w : 1, height = media ? h : 1;
            std::snprintf(buffer, sizeof buffer, "<img src=\"%s/%s\" alt=\"%s\" border=\"0\" width=\"%ld\" height=\"%ld\" />",
                          folder, name.c_str(), nameText.c_str(), width, height);
            return buffer;
        }
    }
}

std::string IndexNavigationHtml(const GalleryBuildState& state, SInt32 current) {
    const SInt32 perPage = std::max<SInt32>(1, state.PerPage());
    const bool index = state.side == GallerySide::Index;
    if (!index) current = (current + perPage - 1) / perPage;
    if (state.indexPages < 2) return " ";
    std::string out;
    for (SInt32 p = 1; p <= state.indexPages; ++p) {
        if (p > 1) out += " | ";
        const std::string entry =
            Number((p - 1) * perPage + 1) + "-" + Number(std::min<SInt32>(p * perPage, state.ItemCount()));
        if (index && p == current) {
            out += entry;
            continue;
        }
        out += index ? "<a href=\"index" : "<a href=\"../index";
        if (p > 1) out += Number(p);
        out += state.extension;
        out += index ? "\" target=\"_self\">" : "\" target=\"_index\">";
        out += entry + "</a>";
    }
    return out;
}

std::string IndexPageFileName(const GalleryBuildState& state, SInt32 page, bool next) {
    if (state.indexPages < 2) return {};
    const SInt32 q = next ? Next(page, state.indexPages) : Previous(page, state.indexPages);
    return IndexFileName(state, q);
}

bool ExpandTokenText(const GalleryBuildState& state, const std::string& token, SInt32 n, std::string* out) {
    const HtmlTokenEntry* entry = LookUpTemplateToken(TokenName(token));
    const bool index = state.side == GallerySide::Index;
    const SInt32 count = state.ItemCount();
    if (!entry) {
        std::string shown = token;
        if (!shown.empty()) shown[0] = '?';
        *out = EncodeAnsi(state, shown, false);
        return true;
    }
    const GalleryItemRec* item = ItemAt(state, n);
    const GalleryItemRec empty;
    const GalleryItemRec& it = item ? *item : empty;
    const HtmlSettingsRec& s = state.settings;
    if (entry->kind == kHtmlItemToken && entry->code >> 8 != Htm(0) >> 8) {
        // A catalog field, or one of the few whose values the build knows better.
        switch (entry->code) {
            case 5: *out = EncodeAnsi(state, ByteSizeText(it.sourceFileSize), false); return true;
            case 6: *out = Number(it.sourceWidth); return true;
            case 7: *out = Number(it.sourceHeight); return true;
            case 65: *out = Number(it.sourceWidth) + "x" + Number(it.sourceHeight); return true;
            default: *out = item ? FieldValueHtml(state, entry->code, n) : std::string(); return true;
        }
    }
    switch (entry->code) {
        case Htm('A'): *out = EncodeAnsi(state, GalleryGetSiteTitle(state.catalog), false); return true;
        case Htm('Y'): {
            Str255 info = {0};
            CatalogGetInfoText(state.catalog, info);
            *out = EncodeAnsi(state, PText(info), s.htmlInCaptions != 0);
            return true;
        }
        case Htm('C'): *out = Number(n); return true;
        case Htm('D'): *out = Number(index ? state.indexPages : count); return true;
        case Htm('O'): *out = EncodeAnsi(state, DateText(state, true), false); return true;
        case Htm('P'): *out = EncodeAnsi(state, DateText(state, false), false); return true;
        case Htm('T'): *out = EncodeAnsi(state, IndexedString(143, 3), false); return true;
        case Htm('U'): *out = EncodeAnsi(state, IndexedString(143, 1), false); return true;
        case Htm('V'): *out = EncodeAnsi(state, IndexedString(143, 2), false); return true;
        case Htm('Q'): *out = state.Japanese() ? "x-sjis" : "iso-8859-1"; return true;
        case Htm('B'): *out = IndexNavigationHtml(state, n); return true;
        case Htm('E'):
            if (index) {
                *out = IndexNavigationHtml(state, n);
            } else {
                const SInt32 perPage = std::max<SInt32>(1, state.PerPage());
                const SInt32 page = (n + perPage - 1) / perPage;
                *out = "../" + IndexFileName(state, page);
            }
            return true;
        case Htm('F'):
        case Htm('G'): {
            const bool next = entry->code == Htm('G');
            if (index) {
                *out = IndexPageFileName(state, n, next);
            } else {
                const GalleryItemRec* other = ItemAt(state, next ? Next(n, count) : Previous(n, count));
                *out = other ? UrlPathEncode(other->pageName) : std::string();
            }
            return true;
        }
        case Htm('I'):
        case Htm('W'):
        case Htm('X'): {
            if (index) return false;
            const SInt32 which = entry->code == Htm('I') ? n : entry->code == Htm('W') ? Next(n, count) : Previous(n, count);
            const GalleryItemRec* other = ItemAt(state, which);
            *out = other ? MediaTagHtml(state, entry->code, *other) : std::string();
            return true;
        }
        case Htm('J'): *out = item ? PreviewLinkHtml(state, it) : std::string(); return true;
        case Htm('R'):
        case Htm('S'): {
            if (index) return false;
            const GalleryItemRec* other = ItemAt(state, entry->code == Htm('R') ? Next(n, count) : Previous(n, count));
            *out = other ? PreviewLinkHtml(state, *other) : std::string();
            return true;
        }
        case Htm('K'): *out = Number(100 / std::max<SInt32>(1, state.columns)); return true;
        case Htm('L'): *out = EncodeAnsi(state, ByteSizeText(it.previewFileSize), false); return true;
        case Htm('M'): *out = Number(it.previewWidth); return true;
        case Htm('N'): *out = Number(it.previewHeight); return true;
        case Htm('H'): {
            out->clear();
            if (!item) return true;
            if (index && s.includeFileNames) {
                const UInt32 ids[] = {kListFilename};
                *out = FieldListHtml(state, n, ids, 1, false);
            } else if (!index && s.includeMediaInfo) {
                const UInt32 ids[] = {kListFilename, kListEvent, kListLocation, kListPeople, kListAuthor, kListCaption};
                *out = FieldListHtml(state, n, ids, 6, true);
            }
            return true;
        }
        case Htm('a'):
        case Htm('b'): return false;
        case Htm('g'): *out = HtmlEncodeText(it.previewName, false, false); return true;
        case Htm('h'): *out = HtmlEncodeText(it.pageName, false, false); return true;
        case Htm('i'): *out = HtmlEncodeText(it.sourceName, false, false); return true;
        case Htm('j'): *out = HtmlEncodeText(it.originalName, false, false); return true;
        case Htm('0'): *out = (index ? "preview/" : "../preview/") + UrlPathEncode(it.previewName); return true;
        case Htm('1'): *out = (index ? "source/" : "") + UrlPathEncode(it.pageName); return true;
        case Htm('2'): *out = (index ? "source/image/" : "image/") + UrlPathEncode(it.sourceName); return true;
        case Htm('c'): *out = (index ? "original/" : "../original/") + UrlPathEncode(it.originalName); return true;
        case Htm('d'): *out = EncodeAnsi(state, ByteSizeText(it.originalFileSize), false); return true;
        case Htm('e'): *out = Number(it.originalWidth); return true;
        case Htm('f'): *out = Number(it.originalHeight); return true;
        case Htm('3'): *out = ColourToHex(s.background); return true;
        case Htm('4'): *out = ColourToHex(s.link); return true;
        case Htm('5'): *out = ColourToHex(s.text); return true;
        case Htm('6'): *out = ColourToHex(s.textBackground); return true;
        default: return false;
    }
}

std::size_t ExpandGalleryToken(const GalleryBuildState& state, SInt32 first, SInt32 last, std::string* text,
                               std::size_t offset, const std::string& token) {
    for (SInt32 n = first; n <= last; ++n) {
        const std::size_t at = text->find(token, offset);
        if (at == std::string::npos) break;
        std::string replacement;
        if (n > state.ItemCount()) {
            replacement.clear();
        } else if (!ExpandTokenText(state, token, n, &replacement)) {
            offset = at + token.size();
            continue;
        }
        text->replace(at, token.size(), replacement);
        offset = at + replacement.size();
    }
    return offset;
}

OSErr ExpandPageTokens(const GalleryBuildState& state, SInt32 n, std::string* text) {
    const std::vector<std::string> tokens = CollectTemplateTokens(*text, 0, text->size());
    for (const std::string& token : tokens) ExpandGalleryToken(state, n, n, text, 0, token);
    return noErr;
}
