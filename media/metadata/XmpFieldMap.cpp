#include "media/metadata/XmpFieldMap.h"

#include "foundation/text/Unicode.h"
#include "media/metadata/IptcBlock.h"
#include "media/metadata/MetadataLevel.h"
#include "media/metadata/Xmp.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

const char kXmpNsPhotoshop[] = "http://ns.adobe.com/photoshop/1.0/";
const char kXmpNsRights[] = "http://ns.adobe.com/xap/1.0/rights/";
const char kXmpNsBasic[] = "http://ns.adobe.com/xap/1.0/";
const char kXmpNsIptcCore[] = "http://iptc.org/std/Iptc4xmpCore/1.0/xmlns/";
const char kXmpNsQuantaro[] = "http://ns.lyrex-ondrel.example/quantaro/1.0/";
const char kXmpPrefixQuantaro[] = "quantaro";
const char kXmpPrefixIptcCore[] = "Iptc4xmpCore";

namespace {

XmpFieldMapRow gRows[kXmpFieldMapRows];

// RAII holder of a toolkit string.
struct XmpText {
    XmpStringPtr s = xmp_string_new();
    ~XmpText() { xmp_string_free(s); }
    std::string str() const { return std::string(xmp_string_cstr(s), xmp_string_len(s)); }
};

constexpr char kDefaultAltSuffix[] = "/*[@xml:lang='x-default']";

// A row's path as the toolkit takes it. Struct field steps after the first are qualified with
// the schema's prefix; the x-default alternative of a language array is reached through the
// toolkit's localized-text calls instead of a path.
struct PropertyPath {
    std::string name;
    bool defaultAlt = false;
};

PropertyPath Resolve(const char* ns, const char* path) {
    PropertyPath out;
    std::string p(path);
    const std::size_t suffixLength = sizeof kDefaultAltSuffix - 1;
    if (p.size() > suffixLength && p.compare(p.size() - suffixLength, suffixLength, kDefaultAltSuffix) == 0) {
        out.name = p.substr(0, p.size() - suffixLength);
        out.defaultAlt = true;
        return out;
    }
    std::size_t slash = p.find('/');
    if (slash == std::string::npos) {
        out.name = p;
        return out;
    }
    XmpText prefix;  // "Prefix:"
    xmp_namespace_prefix(ns, prefix.s);
    std::string qualified = p.substr(0, slash);
    while (slash != std::string::npos) {
        std::size_t next = p.find('/', slash + 1);
        std::string step = p.substr(slash + 1, next == std::string::npos ? std::string::npos : next - slash - 1);
        qualified += '/';
        if (step.find(':') == std::string::npos) qualified += prefix.str();
        qualified += step;
        slash = next;
    }
    out.name = qualified;
    return out;
}

bool GetValue(XmpPtr xmp, const char* ns, const PropertyPath& path, std::string* value) {
    if (path.name.empty()) return false;
    XmpText text;
    bool found = path.defaultAlt
                     ? xmp_get_localized_text(xmp, ns, path.name.c_str(), "", "x-default", nullptr, text.s, nullptr)
                     : xmp_get_property(xmp, ns, path.name.c_str(), text.s, nullptr);
    if (found) *value = text.str();
    return found;
}

void SetValue(XmpPtr xmp, const char* ns, const PropertyPath& path, const std::string& value) {
    if (path.name.empty()) return;
    if (path.defaultAlt)
        xmp_set_localized_text(xmp, ns, path.name.c_str(), "", "x-default", value.c_str(), 0);
    else
        xmp_set_property(xmp, ns, path.name.c_str(), value.c_str(), 0);
}

void Delete(XmpPtr xmp, const char* ns, const PropertyPath& path) {
    if (path.name.empty()) return;
    if (path.defaultAlt)
        xmp_delete_localized_text(xmp, ns, path.name.c_str(), "", "x-default");
    else
        xmp_delete_property(xmp, ns, path.name.c_str());
}

std::vector<std::string> ArrayItems(XmpPtr xmp, const char* ns, const PropertyPath& path) {
    std::vector<std::string> items;
    if (path.name.empty() || path.defaultAlt) return items;
    XmpText text;
    for (int i = 1;; ++i) {
        std::string itemPath = path.name + "[" + std::to_string(i) + "]";
        if (!xmp_get_property(xmp, ns, itemPath.c_str(), text.s, nullptr)) break;
        items.push_back(text.str());
    }
    return items;
}

UInt8 LevelMarker() { return MetadataFormatLevel() >= 300 ? IptcMarkerUtf8 : IptcMarkerAnsi; }

// A UTF-8 property value as dataset bytes for the marker, cut to the longest dataset (at a
// character boundary for UTF-8).
std::string DatasetBytes(const std::string& utf8, UInt8 marker) {
    std::string bytes = marker == IptcMarkerUtf8 ? utf8 : Utf8ToAnsi(utf8);
    if (bytes.size() > kIptcMaxDatasetLength) {
        std::size_t cut = kIptcMaxDatasetLength;
        if (marker == IptcMarkerUtf8)
            while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
        bytes.resize(cut);
    }
    return bytes;
}

// A dataset's value in UTF-8.
std::string DatasetUtf8(const char* data, UInt16 length, UInt8 marker) {
    std::string_view bytes(data, length);
    return marker == IptcMarkerAnsi ? AnsiToUtf8(bytes) : std::string(bytes);
}

// The property already says what the dataset says: an 8-bit dataset read from this very
// value (characters outside the 8-bit set came in as '?') must not overwrite the original.
bool PropertyMatches(const std::string& propertyUtf8, const char* data, UInt16 length, UInt8 marker) {
    std::string_view bytes(data, length);
    if (marker == IptcMarkerAnsi) return Utf8ToAnsi(propertyUtf8) == bytes;
    return propertyUtf8 == bytes;
}

struct Occurrence {
    std::string bytes;
    UInt8 marker;
};

std::vector<Occurrence> Occurrences(UInt32 fieldId, Handle block) {
    std::vector<Occurrence> out;
    for (SInt16 n = 1; n > 0; ++n) {
        UInt16 length = 0;
        UInt8 marker = 0;
        Ptr data = IptcFindDataset(UInt16(fieldId), n, block, &length, &marker);
        if (!data) break;
        out.push_back({std::string(data, length), marker});
    }
    return out;
}

bool ParseDigits(const char* p, int count, int* out) {
    int v = 0;
    for (int i = 0; i < count; ++i) {
        if (p[i] < '0' || p[i] > '9') return false;
        v = v * 10 + (p[i] - '0');
    }
    *out = v;
    return true;
}

struct MapInitializer {
    MapInitializer() { XmpFieldMapInit(); }
} gMapInitializer;

}  // namespace

bool XmpReadText(XmpPtr xmp, const char* ns, const char* path, UInt32 fieldId, Handle block) {
    std::string value;
    if (!GetValue(xmp, ns, Resolve(ns, path), &value)) return false;
    UInt8 marker = LevelMarker();
    std::string bytes = DatasetBytes(value, marker);
    return IptcSetDataset(UInt16(fieldId), 1, bytes.data(), SInt16(bytes.size()), block, kIptcReplace, marker);
}

bool XmpReadDate(XmpPtr xmp, const char* ns, const char* path, UInt32 fieldId, Handle block) {
    PropertyPath p = Resolve(ns, path);
    if (p.name.empty()) return false;
    XmpDateTime date{};
    if (!xmp_get_property_date(xmp, ns, p.name.c_str(), &date, nullptr)) return false;
    if (date.year < 1 || date.year > 9999 || date.month < 0 || date.month > 12 || date.day < 0 || date.day > 31)
        return false;
    char digits[32];
    std::snprintf(digits, sizeof digits, "%04d%02d%02d", int(date.year), int(date.month), int(date.day));
    return IptcSetDataset(UInt16(fieldId), 1, digits, 8, block, kIptcReplace, IptcMarkerAnsi);
}

bool XmpReadArray(XmpPtr xmp, const char* ns, const char* path, UInt32 fieldId, Handle block) {
    bool stored = false;
    UInt8 marker = LevelMarker();
    for (const std::string& item : ArrayItems(xmp, ns, Resolve(ns, path))) {
        if (item.empty() || item.size() > kIptcMaxDatasetLength * 4u) continue;
        std::string bytes = DatasetBytes(item, marker);
        if (bytes.empty()) continue;
        if (IptcFindDatasetValue(UInt16(fieldId), item.data(), SInt16(std::min<std::size_t>(item.size(), kIptcMaxDatasetLength)),
                                 IptcMarkerUtf8, block))
            continue;
        if (IptcSetDataset(UInt16(fieldId), 0, bytes.data(), SInt16(bytes.size()), block, kIptcAppend, marker))
            stored = true;
    }
    return stored;
}

void XmpWriteText(XmpPtr xmp, const char* ns, const char* path, UInt32 fieldId, Handle block) {
    PropertyPath p = Resolve(ns, path);
    UInt16 length = 0;
    UInt8 marker = 0;
    Ptr data = IptcFindDataset(UInt16(fieldId), 1, block, &length, &marker);
    if (!data || length == 0) {
        Delete(xmp, ns, p);
        return;
    }
    std::string current;
    if (GetValue(xmp, ns, p, &current) && PropertyMatches(current, data, length, marker)) return;
    SetValue(xmp, ns, p, DatasetUtf8(data, length, marker));
}

void XmpWriteDate(XmpPtr xmp, const char* ns, const char* path, UInt32 fieldId, Handle block) {
    PropertyPath p = Resolve(ns, path);
    if (p.name.empty()) return;
    UInt16 length = 0;
    Ptr data = IptcFindDataset(UInt16(fieldId), 1, block, &length, nullptr);
    if (!data || length < 8) {
        Delete(xmp, ns, p);
        return;
    }
    int year, month, day;
    // A value that is not a date is left alone rather than turned into a wrong one.
    if (!ParseDigits(data, 4, &year) || !ParseDigits(data + 4, 2, &month) || !ParseDigits(data + 6, 2, &day) ||
        year == 0 || month > 12 || day > 31 || (month == 0 && day != 0))
        return;
    XmpDateTime current{};
    if (xmp_get_property_date(xmp, ns, p.name.c_str(), &current, nullptr) && current.year == year &&
        current.month == month && current.day == day)
        return;  // keeps a time of day the packet holds
    char text[32];
    if (month == 0)
        std::snprintf(text, sizeof text, "%04d", year);
    else if (day == 0)
        std::snprintf(text, sizeof text, "%04d-%02d", year, month);
    else
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    xmp_set_property(xmp, ns, p.name.c_str(), text, 0);
}

void XmpWriteArray(XmpPtr xmp, const char* ns, const char* path, UInt32 fieldId, Handle block) {
    PropertyPath p = Resolve(ns, path);
    if (p.name.empty() || p.defaultAlt) return;
    std::vector<Occurrence> occurrences;
    for (Occurrence& o : Occurrences(fieldId, block))
        if (!o.bytes.empty()) occurrences.push_back(std::move(o));

    std::vector<std::string> current = ArrayItems(xmp, ns, p);
    if (!occurrences.empty() && current.size() == occurrences.size()) {
        bool same = true;
        for (std::size_t i = 0; i < current.size() && same; ++i)
            same = PropertyMatches(current[i], occurrences[i].bytes.data(), UInt16(occurrences[i].bytes.size()),
                                   occurrences[i].marker);
        if (same) return;
    }
    xmp_delete_property(xmp, ns, p.name.c_str());
    for (const Occurrence& o : occurrences) {
        std::string utf8 = DatasetUtf8(o.bytes.data(), UInt16(o.bytes.size()), o.marker);
        xmp_append_array_item(xmp, ns, p.name.c_str(), XMP_PROP_VALUE_IS_ARRAY, utf8.c_str(), 0);
    }
}

void XmpFieldMapInit() {
    struct Seed {
        UInt32 fieldId;
        char kind;  // 'T' text, 'D' date, 'A' array, 'R' text read only
        const char* ns;
        const char* path;
    };
    static const Seed seeds[kXmpFieldMapRows] = {
        {522, 'T', kXmpNsPhotoshop, ""},
        {527, 'T', kXmpNsPhotoshop, "Category"},
        {552, 'T', kXmpNsPhotoshop, "Instructions"},
        {602, 'T', kXmpNsPhotoshop, "City"},
        {607, 'T', kXmpNsPhotoshop, "State"},
        {613, 'T', kXmpNsPhotoshop, "Country"},
        {615, 'T', kXmpNsPhotoshop, "TransmissionReference"},
        {617, 'T', kXmpNsPhotoshop, "Headline"},
        {622, 'T', kXmpNsPhotoshop, "Credit"},
        {627, 'T', kXmpNsPhotoshop, "Source"},
        {634, 'T', kXmpNsPhotoshop, "CaptionWriter"},
        {597, 'T', kXmpNsPhotoshop, "AuthorsPosition"},
        {567, 'D', kXmpNsPhotoshop, "DateCreated"},
        {532, 'A', kXmpNsPhotoshop, "SupplementalCategories"},
        {592, 'T', kXmpNsPhotoshop, "Author"},
        {537, 'A', kXmpNsPhotoshop, "Keywords"},
        {632, 'T', kXmpNsPhotoshop, "Caption"},
        {517, 'T', kXmpNsPhotoshop, "Title"},
        {628, 'T', kXmpNsPhotoshop, "Copyright"},
        {739, 'T', kXmpNsPhotoshop, "WebStatement"},
        {738, 'T', kXmpNsRights, "UsageTerms/*[@xml:lang='x-default']"},
        {754, 'T', kXmpNsBasic, "Rating"},
        {604, 'T', kXmpNsIptcCore, "Location"},
        {550, 'T', kXmpNsIptcCore, "CountryCode"},
        {737, 'T', kXmpNsIptcCore, "IntellectualGenre"},
        {720, 'T', kXmpNsIptcCore, "CreatorContactInfo/CiAdrExtadr"},
        {721, 'T', kXmpNsIptcCore, "CreatorContactInfo/CiAdrCity"},
        {722, 'T', kXmpNsIptcCore, "CreatorContactInfo/CiAdrRegion"},
        {723, 'T', kXmpNsIptcCore, "CreatorContactInfo/CiAdrPcode"},
        {724, 'T', kXmpNsIptcCore, "CreatorContactInfo/CiAdrCtry"},
        {725, 'T', kXmpNsIptcCore, "CreatorContactInfo/CiTelWork"},
        {726, 'T', kXmpNsIptcCore, "CreatorContactInfo/CiEmailWork"},
        {727, 'T', kXmpNsIptcCore, "CreatorContactInfo/CiUrlWork"},
        {524, 'A', kXmpNsIptcCore, "SubjectCode"},
        {736, 'A', kXmpNsIptcCore, "Scene"},
        {519, 'T', kXmpNsQuantaro, "Status"},
        {534, 'T', kXmpNsQuantaro, "Event"},
        {604, 'R', kXmpNsQuantaro, "Location"},
        {630, 'A', kXmpNsQuantaro, "People"},
        {766, 'A', kXmpNsQuantaro, "UserFields"},
        {767, 'A', kXmpNsQuantaro, "CatalogSets"},
    };
    for (int i = 0; i < kXmpFieldMapRows; ++i) {
        const Seed& s = seeds[i];
        XmpFieldMapRow& row = gRows[i];
        row.fieldId = s.fieldId;
        row.ns = s.ns;
        std::snprintf(row.path, sizeof row.path, "%s", s.path);
        switch (s.kind) {
        case 'D': row.read = XmpReadDate; row.write = XmpWriteDate; break;
        case 'A': row.read = XmpReadArray; row.write = XmpWriteArray; break;
        case 'R': row.read = XmpReadText; row.write = nullptr; break;
        default: row.read = XmpReadText; row.write = XmpWriteText; break;
        }
        // The label field has no XMP property of its own: its row is kept with an empty path
        // and moves nothing.
        if (row.path[0] == 0) row.read = nullptr, row.write = nullptr;
    }
}

const XmpFieldMapRow* XmpFieldMap() { return gRows; }
