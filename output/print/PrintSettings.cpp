#include "output/print/PrintSettings.h"

#include "foundation/settings/NamedSettings.h"
#include "foundation/settings/ProgramKey.h"
#include "foundation/settings/RegistryKey.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kMarginsOffset = 80;
constexpr std::size_t kGridsOffset = 112;
constexpr std::size_t kBandsOffset = 148;
constexpr std::size_t kLayoutOffset = 1252;
// A stored margin whose eight bytes, read as a big-endian integer, are below this was written
// as a whole number by the older conversion (a double of any margin from 1e-300 up has far
// larger bits).
constexpr std::uint64_t kOldIntegerMarginLimit = std::uint64_t(1) << 20;

UInt16 Swap16(UInt16 v) { return UInt16((v >> 8) | (v << 8)); }
UInt32 Swap32(UInt32 v) { return __builtin_bswap32(v); }

void SwapWords(const UInt8* from, UInt8* to, std::size_t offset, std::size_t bytes, std::size_t width) {
    for (std::size_t i = offset; i < offset + bytes; i += width) {
        if (width == 2) {
            UInt16 v;
            std::memcpy(&v, from + i, 2);
            v = Swap16(v);
            std::memcpy(to + i, &v, 2);
        } else {
            UInt32 v;
            std::memcpy(&v, from + i, 4);
            v = Swap32(v);
            std::memcpy(to + i, &v, 4);
        }
    }
}

// Everything but the margins: the conversion is its own inverse.
void SwapAllButMargins(const UInt8* from, UInt8* to) {
    std::memcpy(to, from, 12);
    SwapWords(from, to, 12, 4, 2);
    SwapWords(from, to, 16, 64, 4);
    for (int g = 0; g < 3; ++g) {
        const std::size_t o = kGridsOffset + std::size_t(g) * sizeof(PrintGridBlock);
        // Bytes and the two cell sizes are copied as they are; only the reserved word turns.
        std::memcpy(to + o, from + o, 8);
        SwapWords(from, to, o + 8, 4, 4);
    }
    for (int b = 0; b < 4; ++b) {
        const std::size_t o = kBandsOffset + std::size_t(b) * sizeof(HeaderFooterBlock);
        SwapNamedSettings(from + o, to + o);
    }
    SwapWords(from, to, kLayoutOffset, 2, 2);
    std::memcpy(to + kLayoutOffset + 2, from + kLayoutOffset + 2, 2);
}

void ForceScalingCode(PrintSettingsRec* r) {
    const UInt8 c = r->scalingCode;
    if (c < 1 || c > 16 || c == 3 || c == 9) r->scalingCode = kScaleToFit;
}

void DefaultBand(HeaderFooterBlock* b) {
    std::memset(b, 0, sizeof *b);
    b->fontNumber = 3;
    b->size = 10;
    b->backColor[0] = b->backColor[1] = b->backColor[2] = 0xFFFF;
}

}  // namespace

void DefaultPrintSettings(PrintSettingsRec* r) {
    std::memset(r, 0, sizeof *r);
    r->printBox = 1;
    r->pageChoice = kPageChoiceDialog;
    r->printItemIcons = 1;
    r->printLabelRow = 1;
    r->printViewFields = 1;
    r->marginBetween = 1;
    r->scalingCode = kScaleToFit;
    r->reserved12 = 200;
    for (int g = 0; g < 3; ++g) r->grids[g] = PrintGridBlock{kGridDefault, 1, 1, 1, 1, 1, 0};
    r->grids[kPrintContactSheet] = PrintGridBlock{kGridDefault, 5, 5, 5, 5, 5, 0};
    for (auto& b : r->bands) DefaultBand(&b);
    r->layout = kPrintContentList;
}

void PrintSettingsToBigEndian(const PrintSettingsRec& native, UInt8 out[kPrintSettingsSize]) {
    const auto* from = reinterpret_cast<const UInt8*>(&native);
    SwapAllButMargins(from, out);
    for (int m = 0; m < 4; ++m) {
        std::uint64_t bits;
        std::memcpy(&bits, &native.margins[m], 8);
        WriteBE64(out + kMarginsOffset + std::size_t(m) * 8, bits);
    }
}

void PrintSettingsFromBigEndian(const UInt8 stored[kPrintSettingsSize], PrintSettingsRec* out) {
    auto* to = reinterpret_cast<UInt8*>(out);
    SwapAllButMargins(stored, to);
    for (int m = 0; m < 4; ++m) {
        const std::uint64_t bits = ReadBE64(stored + kMarginsOffset + std::size_t(m) * 8);
        double v;
        if (bits < kOldIntegerMarginLimit)
            v = double(bits);
        else
            std::memcpy(&v, &bits, 8);
        out->margins[m] = v;
    }
}

bool ReadReportSettings(PrintSettingsRec* out) {
    CRegistryKey key;
    if (!OpenUserKey(&key, kRegReportSettings)) return false;
    PrintSettingsRec r;
    DWORD size = 0;
    if (!key.ReadBinary(kRegReportSettings, &r, DWORD(sizeof r), &size) || size != sizeof r) return false;
    *out = r;
    return true;
}

bool WriteReportSettings(const PrintSettingsRec& settings) {
    CRegistryKey key;
    return OpenUserKey(&key, kRegReportSettings) && key.WriteBinary(kRegReportSettings, &settings, DWORD(sizeof settings));
}

void LoadPrintSettings(const CatalogRec* catalog, PrintSettingsRec* out) {
    DefaultPrintSettings(out);
    Handle copy = catalog ? catalog->printSettings : nullptr;
    if (copy && *copy) {
        // A short copy is taken as far as it goes over the defaults in stored order.
        UInt8 stored[kPrintSettingsSize];
        PrintSettingsToBigEndian(*out, stored);
        const std::size_t n = std::min<std::size_t>(std::size_t(GetHandleSize(copy)), kPrintSettingsSize);
        std::memcpy(stored, *copy, n);
        PrintSettingsFromBigEndian(stored, out);
    } else {
        ReadReportSettings(out);
    }
    ForceScalingCode(out);
}

bool SavePrintSettings(CatalogRec* catalog, const PrintSettingsRec& settings) {
    UInt8 stored[kPrintSettingsSize];
    PrintSettingsToBigEndian(settings, stored);
    const bool written = WriteReportSettings(settings);
    if (catalog) {
        if (catalog->printSettings) DisposeHandle(catalog->printSettings);
        catalog->printSettings = nullptr;
        Handle h = nullptr;
        if (PtrToHand(stored, &h, Size(kPrintSettingsSize)) == noErr && h) {
            catalog->printSettings = h;
            CatalogSetModified(catalog);
        }
    }
    return written;
}

bool PrintUnitIsMetric() {
    // The measurement category of the user's environment, whatever the program set with
    // setlocale: 1 metric, 2 US.
    locale_t loc = newlocale(LC_MEASUREMENT_MASK, "", locale_t(0));
    if (!loc) return true;
    const char* m = nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, loc);
    const bool metric = !(m && m[0] == 2);
    freelocale(loc);
    return metric;
}

double PrintPointsPerUnit(bool metric) { return metric ? 28.333333330972224 : 72.2700007227; }
