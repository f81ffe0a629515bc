// Basic Mac-toolbox types the core is written against: result codes, four-character
// codes, length-prefixed strings and QuickDraw geometry.
#pragma once

#include <cstdint>

using OSErr = std::int16_t;
using OSStatus = std::int32_t;
using OSType = std::uint32_t;
using ResType = OSType;
using FourCharCode = OSType;
using Boolean = unsigned char;
using Byte = std::uint8_t;
using SInt8 = std::int8_t;
using UInt8 = std::uint8_t;
using SInt16 = std::int16_t;
using UInt16 = std::uint16_t;
using SInt32 = std::int32_t;
using UInt32 = std::uint32_t;
using SInt64 = std::int64_t;
using UInt64 = std::uint64_t;
using Fixed = std::int32_t;   // 16.16
using Ptr = char*;
using Handle = Ptr*;
using Size = long;

// Length-prefixed strings: one length byte, then the text; no terminating zero.
using Str255 = unsigned char[256];
using Str63 = unsigned char[64];
using Str31 = unsigned char[32];
using Str15 = unsigned char[16];
using StringPtr = unsigned char*;
using ConstStringPtr = const unsigned char*;
using ConstStr255Param = const unsigned char*;

// Result codes the program tests or returns. Toolbox names where the toolbox has one.
enum : OSErr {
    noErr = 0,
    abortErr = -27,         // save failed after it began writing
    notOpenErr = -28,       // a file that could not be opened for reading as text
    dskFulErr = -34,        // disk full, or the work file could not be written
    nsvErr = -35,           // no such volume
    ioErr = -36,
    bdNamErr = -37,         // bad name; also "save without catalog and work file"
    fnOpnErr = -38,         // file not open
    eofErr = -39,
    posErr = -40,
    mFulErr = -41,          // catalog full
    tmfoErr = -42,          // too many files open
    fnfErr = -43,           // file not found
    wPrErr = -44,
    fLckdErr = -45,
    vLckdErr = -46,
    fBsyErr = -47,
    dupFNErr = -48,         // duplicate file name
    opWrErr = -49,          // in-place save while other users have the catalog open
    paramErr = -50,
    rfNumErr = -51,
    wrPermErr = -61,        // written through a reference opened for reading only
    permErr = -54,          // opened without a work file, or all lock slots in use
    memFullErr = -108,
    nilHandleErr = -109,
    memWZErr = -111,
    dirNFErr = -120,
    wrgVolTypErr = -123,
    userCanceledErr = -128,
    resNotFound = -192,     // also: stored folder reference missing, no preview made
    resFNotFound = -193,    // stored folder reference unresolvable
    notAFileErr = -1302,             // a folder where a file was expected
    diffVolErr = -1303,              // a move between two volumes
    fileBoundsErr = -1309,           // a position or size beyond what the file can have
    kLoadLibraryErr = -2817,         // a dynamic library that does not load
    afpAccessDenied = -5000,         // the user may not do this to the item
    kCatalogBadFileErr = -812,       // bad catalog header, or more items than the capacity
    kCatalogTooLargeErr = -1310,     // the catalog would reach 2 GB
    kNoMediaReaderErr = -2008,       // no reader or thumbnail maker for the kind
    kReaderDeclinesErr = -2053,      // this reader does not handle the file
    kNoImporterForTypeErr = -8961,
    kNoWordTextErr = -8962,
    kBadMediaDataErr = -8969,        // unreadable media data
    kNoDecompressorErr = -8970,      // no importer or decompressor
    kWrongPasswordErr = -10004,
};

// Four-character codes are written as 'TEXT' in the source (first character in the high
// byte). MakeOSType builds one from a string where a literal cannot be used.
constexpr OSType MakeOSType(const char (&s)[5]) {
    return (OSType(std::uint8_t(s[0])) << 24) | (OSType(std::uint8_t(s[1])) << 16) |
           (OSType(std::uint8_t(s[2])) << 8) | OSType(std::uint8_t(s[3]));
}
static_assert('TEXT' == MakeOSType("TEXT"), "multi-character literals must pack big-endian");

// QuickDraw geometry; Rect is stored top, left, bottom, right.
struct Point {
    std::int16_t v;
    std::int16_t h;
};
struct Rect {
    std::int16_t top;
    std::int16_t left;
    std::int16_t bottom;
    std::int16_t right;
};
struct RGBColor {
    std::uint16_t red;
    std::uint16_t green;
    std::uint16_t blue;
};
static_assert(sizeof(Point) == 4 && sizeof(Rect) == 8 && sizeof(RGBColor) == 6);

inline constexpr Fixed kFixed1 = 0x10000;
constexpr Fixed Long2Fix(long x) { return Fixed(x * 65536L); }
constexpr long Fix2Long(Fixed x) { return (x + (x < 0 ? -0x8000 + 1 : 0x8000)) / 65536L; }
constexpr double FixedToDouble(Fixed x) { return double(x) / 65536.0; }
constexpr Fixed DoubleToFixed(double d) {
    return Fixed(d >= 0 ? d * 65536.0 + 0.5 : d * 65536.0 - 0.5);
}

void SetRect(Rect* r, int left, int top, int right, int bottom);
void OffsetRect(Rect* r, int dh, int dv);
void InsetRect(Rect* r, int dh, int dv);
bool EmptyRect(const Rect* r);
bool EqualRect(const Rect* a, const Rect* b);
bool PtInRect(Point pt, const Rect* r);
// Intersection; answers false (and an empty result) when the two do not overlap.
bool SectRect(const Rect* a, const Rect* b, Rect* out);
void UnionRect(const Rect* a, const Rect* b, Rect* out);

// An RGBColor to an 0x00BBGGRR colour value, by the high byte of each channel.
constexpr std::uint32_t RGBColorToColorRef(const RGBColor& c) {
    return std::uint32_t(c.red >> 8) | (std::uint32_t(c.green >> 8) << 8) |
           (std::uint32_t(c.blue >> 8) << 16);
}
constexpr RGBColor ColorRefToRGBColor(std::uint32_t ref) {
    auto widen = [](std::uint32_t b) { return std::uint16_t((b & 0xFF) * 0x101); };
    return RGBColor{widen(ref), widen(ref >> 8), widen(ref >> 16)};
}
