#include "output/html/HtmlEncode.h"

#include "foundation/text/Unicode.h"

#include <iconv.h>

#include <array>
#include <cstdio>
#include <mutex>

namespace {

// The names of 0x80..0xFF; "" for the five bytes Windows-1252 leaves undefined.
constexpr std::array<const char*, 128> kHighEntities = {
    "&euro;", "", "&sbquo;", "&fnof;", "&bdquo;", "&hellip;", "&dagger;", "&Dagger;",          // 80
    "&circ;", "&permil;", "&Scaron;", "&lsaquo;", "&OElig;", "", "&#142;", "",                 // 88
    "", "&lsquo;", "&rsquo;", "&ldquo;", "&rdquo;", "&bull;", "&ndash;", "&mdash;",            // 90
    "&tilde;", "&trade;", "&scaron;", "&rsaquo;", "&oelig;", "", "&#158;", "&Yuml;",           // 98
    "&nbsp;", "&iexcl;", "&cent;", "&pound;", "&curren;", "&yen;", "&brvbar;", "&sect;",       // A0
    "&uml;", "&copy;", "&ordf;", "&laquo;", "&not;", "&shy;", "&reg;", "&macr;",               // A8
    "&deg;", "&plusmn;", "&sup2;", "&sup3;", "&acute;", "&micro;", "&para;", "&middot;",       // B0
    "&cedil;", "&sup1;", "&ordm;", "&raquo;", "&frac14;", "&frac12;", "&frac34;", "&iquest;",  // B8
    "&Agrave;", "&Aacute;", "&Acirc;", "&Atilde;", "&Auml;", "&Aring;", "&AElig;", "&Ccedil;", // C0
    "&Egrave;", "&Eacute;", "&Ecirc;", "&Euml;", "&Igrave;", "&Iacute;", "&Icirc;", "&Iuml;",  // C8
    "&ETH;", "&Ntilde;", "&Ograve;", "&Oacute;", "&Ocirc;", "&Otilde;", "&Ouml;", "&times;",   // D0
    "&Oslash;", "&Ugrave;", "&Uacute;", "&Ucirc;", "&Uuml;", "&Yacute;", "&THORN;", "&szlig;", // D8
    "&agrave;", "&aacute;", "&acirc;", "&atilde;", "&auml;", "&aring;", "&aelig;", "&ccedil;", // E0
    "&egrave;", "&eacute;", "&ecirc;", "&euml;", "&igrave;", "&iacute;", "&icirc;", "&iuml;",  // E8
    "&eth;", "&ntilde;", "&ograve;", "&oacute;", "&ocirc;", "&otilde;", "&ouml;", "&divide;",  // F0
    "&oslash;", "&ugrave;", "&uacute;", "&ucirc;", "&uuml;", "&yacute;", "&thorn;", "&yuml;",  // F8
};

// Appends whole pieces while the result stays within the cap; the first piece that does not
// fit ends the value, so it never ends inside an entity or a character.
class CappedText {
public:
    bool Add(std::string_view piece) {
        if (full_ || out_.size() + piece.size() > kHtmlEncodedMax) {
            full_ = true;
            return false;
        }
        out_ += piece;
        return true;
    }
    bool Full() const { return full_; }
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
    bool full_ = false;
};

bool IsMarkup(std::uint8_t b) { return b == '<' || b == '>' || b == '"' || b == '&'; }

void AddByte(CappedText* out, std::uint8_t b, bool passThrough) {
    if (passThrough && IsMarkup(b)) {
        const char c = char(b);
        out->Add(std::string_view(&c, 1));
    } else {
        out->Add(HtmlEntityText(b));
    }
}

bool IsLeadByte(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF); }
bool IsTrailByte(std::uint8_t b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

std::string NumericReference(char32_t cp) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "&#%u;", unsigned(cp));
    return buffer;
}

// One character as Shift-JIS (Windows' code page 932) bytes; empty when it has none.
std::string ShiftJisOf(std::string_view utf8Character) {
    static std::mutex lock;
    static iconv_t converter = iconv_open("CP932", "UTF-8");
    if (converter == iconv_t(-1)) return {};
    std::lock_guard<std::mutex> guard(lock);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char in[8] = {};
    utf8Character.copy(in, std::min<std::size_t>(utf8Character.size(), sizeof in));
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = utf8Character.size(), outLeft = sizeof out;
    if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == std::size_t(-1) || inLeft != 0) return {};
    return std::string(out, sizeof out - outLeft);
}

}  // namespace

std::string_view HtmlEntityText(std::uint8_t b) {
    static const char* const kLow[] = {"&quot;", "&amp;", "&lt;", "&gt;", "<br />"};
    static const std::string ascii = [] {
        std::string s(128, ' ');
        for (int c = 0; c < 128; ++c) s[std::size_t(c)] = char(c);
        return s;
    }();
    if (b >= 0x80) return kHighEntities[b - 0x80];
    switch (b) {
        case '"': return kLow[0];
        case '&': return kLow[1];
        case '<': return kLow[2];
        case '>': return kLow[3];
        case '\r':
        case '\n': return kLow[4];
        default: break;
    }
    if (b < 0x20) return {};
    return std::string_view(ascii).substr(b, 1);
}

std::string HtmlEncodeText(std::string_view bytes, bool passThrough, bool shiftJis) {
    CappedText out;
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n && !out.Full(); ++i) {
        if (shiftJis && i + 1 < n && IsLeadByte(p[i]) && IsTrailByte(p[i + 1]) && !(p[i] == 0xEF && p[i + 1] >= 0x9F)) {
            out.Add(std::string_view(reinterpret_cast<const char*>(p + i), 2));
            ++i;
            continue;
        }
        AddByte(&out, p[i], passThrough);
    }
    return out.Take();
}

std::string HtmlEncodeUtf8(std::string_view utf8, bool passThrough, bool shiftJis) {
    CappedText out;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    std::size_t i = 0;
    while (i < utf8.size() && !out.Full()) {
        char32_t cp = 0;
        std::size_t used = DecodeUtf8(p + i, utf8.size() - i, &cp);
        if (used == 0) used = 1;
        const std::string_view character = utf8.substr(i, used);
        i += used;
        if (cp < 0x80) {
            AddByte(&out, std::uint8_t(cp), passThrough);
            continue;
        }
        if (shiftJis) {
            // Only double-byte characters pass as bytes; the page's reader would take a single
            // high byte for half of a pair.
            const std::string sjis = ShiftJisOf(character);
            if (sjis.size() == 2 && IsLeadByte(std::uint8_t(sjis[0])))
                out.Add(sjis);
            else
                out.Add(NumericReference(cp));
            continue;
        }
        std::string ansi;
        if (Utf8ToAnsiExact(character, &ansi) && ansi.size() == 1 && !HtmlEntityText(std::uint8_t(ansi[0])).empty())
            out.Add(HtmlEntityText(std::uint8_t(ansi[0])));
        else
            out.Add(NumericReference(cp));
    }
    return out.Take();
}

std::string ColourToHex(const RGBColor& c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02X%02X%02X", c.red >> 8, c.green >> 8, c.blue >> 8);
    return buffer;
}
