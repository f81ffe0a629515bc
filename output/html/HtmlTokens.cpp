#include "output/html/HtmlTokens.h"

#include "foundation/text/CodePages.h"

#include <array>

namespace {

constexpr UInt32 Htm(char c) { return ('h' << 24) | ('t' << 16) | ('m' << 8) | UInt32(UInt8(c)); }
constexpr UInt32 Exif(UInt32 tag) { return (UInt32('e') << 24) | (UInt32('x') << 16) | tag; }
constexpr UInt32 Movie(char a, char b, char c) { return (0xA9u << 24) | (UInt32(a) << 16) | (UInt32(b) << 8) | UInt32(c); }

constexpr UInt32 P = kHtmlPageToken;
constexpr UInt32 I = kHtmlItemToken;

constexpr std::array<HtmlTokenEntry, kHtmlTokenCount> kTable = {{
    // Page tokens.
    {P, Htm('A'), "Catalog"}, {P, Htm('Y'), "CatalogComment"}, {P, Htm('E'), "GoIndex"},
    {P, Htm('F'), "GoPrevious"}, {P, Htm('G'), "GoNext"}, {P, Htm('B'), "Index"}, {P, Htm('I'), "Media"},
    {P, Htm('W'), "PreloadNext"}, {P, Htm('X'), "PreloadPrevious"}, {P, Htm('C'), "Running"},
    {P, Htm('D'), "Total"}, {P, Htm('O'), "Date"}, {P, Htm('P'), "Time"}, {P, Htm('T'), "WordIndex"},
    {P, Htm('U'), "WordNext"}, {P, Htm('V'), "WordPrevious"}, {P, Htm('Q'), "HTMLCharset"},
    // Item tokens of the gallery.
    {I, Htm('J'), "Preview"}, {I, Htm('K'), "PreviewScale"}, {I, Htm('L'), "PreviewSize"},
    {I, Htm('M'), "PreviewWidth"}, {I, Htm('N'), "PreviewHeight"}, {I, Htm('R'), "PreviewNext"},
    {I, Htm('S'), "PreviewPrevious"}, {I, Htm('H'), "Fields"}, {I, Htm('a'), "IPTCFields"},
    {I, Htm('b'), "EXIFFields"},
    // Field tokens: the catalog field each shows.
    {I, 2, "Filename"}, {I, 5, "FileSize"}, {I, 6, "Width"}, {I, 7, "Height"}, {I, 65, "Dimensions"},
    {I, 16, "Duration"}, {I, 11, "Created"}, {I, 12, "Modified"}, {I, 10, "Added"}, {I, 33, "Annotated"},
    {I, 66, "MediaType"}, {I, 632, "Caption"}, {I, 634, "Writer"}, {I, 567, "EventDate"},
    {I, 617, "Headline"}, {I, 552, "Instructions"}, {I, 537, "Keywords"}, {I, 532, "Categories"},
    {I, 527, "Classification"}, {I, 592, "Author"}, {I, 597, "AuthorTitle"}, {I, 622, "Credit"},
    {I, 627, "Source"}, {I, 517, "Product"}, {I, 602, "City"}, {I, 607, "State"}, {I, 613, "Country"},
    {I, 615, "Transmission"}, {I, 628, "Copyright"}, {I, 522, "Label"}, {I, 534, "Event"},
    {I, 604, "Location"}, {I, 630, "People"}, {I, 519, "Status"}, {I, 739, "URL"},
    {I, 769, "Field_1"}, {I, 770, "Field_2"}, {I, 771, "Field_3"}, {I, 772, "Field_4"},
    {I, 773, "Field_5"}, {I, 774, "Field_6"}, {I, 775, "Field_7"}, {I, 776, "Field_8"},
    {I, 777, "Field_9"}, {I, 778, "Field_10"}, {I, 779, "Field_11"}, {I, 780, "Field_12"},
    {I, 781, "Field_13"}, {I, 782, "Field_14"}, {I, 783, "Field_15"}, {I, 784, "Field_16"},
    {I, Movie('m', 'a', 'k'), "Maker"}, {I, Movie('m', 'o', 'd'), "Model"},
    {I, Movie('s', 'w', 'r'), "Software"}, {I, Movie('f', 'm', 't'), "Format"},
    {I, Exif(0x9000), "ExifVersion"}, {I, Exif(0xA000), "FlashPixVersion"}, {I, Exif(0x9003), "CaptureDate"},
    {I, Exif(0x829D), "Aperture"}, {I, Exif(0x829A), "ShutterSpeed"}, {I, Exif(0x9204), "ExposureBias"},
    {I, Exif(0x8822), "ExposureProgram"}, {I, Exif(0x920A), "FocalLength"},
    {I, Exif(0x9206), "FocusDistance"}, {I, Exif(0xA217), "Sensing"}, {I, Exif(0x9208), "LightSource"},
    {I, Exif(0x9209), "Flash"}, {I, Exif(0x9207), "MeteringMode"}, {I, Exif(0x8827), "ISOSpeed"},
    {I, Exif(0x9102), "Ratio"}, {I, Exif(0xB002), "Lens"}, {I, 69, "Orientation"},
    {I, 'LATD', "Latitude"}, {I, 'LOTD', "Longitude"}, {I, 'ALTD', "Altitude"},
    // More item tokens of the gallery.
    {I, Htm('g'), "PreviewFile"}, {I, Htm('h'), "SourceFile"}, {I, Htm('i'), "MediaFile"},
    {I, Htm('j'), "OriginalFile"}, {I, Htm('0'), "PreviewURL"}, {I, Htm('1'), "SourceURL"},
    {I, Htm('2'), "MediaURL"}, {I, Htm('c'), "OriginalURL"}, {I, Htm('d'), "OriginalSize"},
    {I, Htm('e'), "OriginalWidth"}, {I, Htm('f'), "OriginalHeight"}, {I, Htm('3'), "BackgroundColor"},
    {I, Htm('4'), "LinkColor"}, {I, Htm('5'), "TextColor"}, {I, Htm('6'), "TextBackColor"},
}};

static_assert(kTable[kHtmlPageTokenCount - 1].kind == P && kTable[kHtmlPageTokenCount].kind == I);

// A Windows-1252 byte without case and diacritics: the base letter in upper case.
UInt8 FoldByte(UInt8 b) {
    // 0xC0..0xFF: the letter each accented form is made of (upper case); 0 keeps the byte.
    static constexpr char kBase[64 + 1] =
        "AAAAAAACEEEEIIII" "DNOOOOO\0OUUUUY\0\0"
        "AAAAAAACEEEEIIII" "DNOOOOO\0OUUUUY\0Y";
    if (b >= 0xC0 && kBase[b - 0xC0]) return UInt8(kBase[b - 0xC0]);
    if (b == 0x8A || b == 0x9A) return 'S';
    if (b == 0x8E || b == 0x9E) return 'Z';
    if (b == 0x9F) return 'Y';
    return AnsiToUpper(b);
}

}  // namespace

const HtmlTokenEntry* HtmlTokenTable() { return kTable.data(); }

const HtmlTokenEntry* LookUpTemplateToken(std::string_view name) {
    for (const auto& row : kTable) {
        const std::string_view rowName(row.name);
        if (rowName.size() != name.size()) continue;
        bool equal = true;
        for (std::size_t i = 0; i < name.size() && equal; ++i)
            equal = FoldByte(UInt8(rowName[i])) == FoldByte(UInt8(name[i]));
        if (equal) return &row;
    }
    return nullptr;
}

std::string_view TokenName(std::string_view token) {
    if (token.size() < kHtmlTokenOpening.size() + 1) return {};
    return token.substr(kHtmlTokenOpening.size(), token.size() - kHtmlTokenOpening.size() - 1);
}

std::vector<std::string> CollectTemplateTokens(std::string_view text, std::size_t from, std::size_t to) {
    std::vector<std::string> tokens;
    to = std::min(to, text.size());
    std::size_t at = from;
    while (at < to) {
        const std::size_t open = text.find(kHtmlTokenOpening, at);
        if (open == std::string_view::npos || open >= to) break;
        const std::size_t close = text.find(')', open + kHtmlTokenOpening.size());
        if (close == std::string_view::npos || close - open > kHtmlTokenMax - 1 || close >= to) break;
        tokens.emplace_back(text.substr(open, close - open + 1));
        at = close + 1;
    }
    return tokens;
}
