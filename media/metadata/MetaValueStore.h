// The metadata list of a file: a user-data list whose items are keyed by field id
// ('ex' << 16 | EXIF tag, 0x0677 << 16 | GPS tag, four-character codes). Numbers are kept
// big-endian there, the form the catalog stores. MetaStoreValue is the one door through which
// readers put a known value: it converts a few APEX values into what the catalog shows, turns
// native byte order into big-endian, refuses values that are not valid, and adds the item.
#pragma once

#include "platform/MacTypes.h"
#include "platform/UserData.h"

constexpr OSType ExifFieldId(std::uint16_t tag) { return (OSType('ex') << 16) | tag; }
constexpr OSType GpsFieldId(std::uint16_t tag) { return (OSType(0x0677) << 16) | tag; }

// Text item types: the byte 0xA9 followed by three letters.
constexpr OSType kUdText_mak = 0xA96D616B;  // ©mak camera maker
constexpr OSType kUdText_mod = 0xA96D6F64;  // ©mod camera model
constexpr OSType kUdText_swr = 0xA9737772;  // ©swr software
constexpr OSType kUdText_fmt = 0xA9666D74;  // ©fmt format text
constexpr OSType kUdText_nam = 0xA96E616D;  // ©nam ImageDescription
constexpr OSType kUdText_ART = 0xA9415254;  // ©ART Artist
constexpr OSType kUdText_cpy = 0xA9637079;  // ©cpy Copyright
constexpr OSType kUdText_src = 0xA9737263;  // ©src UserComment
constexpr OSType kUdText_inf = 0xA9696E66;  // ©inf XPTitle
constexpr OSType kUdText_cmt = 0xA9636D74;  // ©cmt XPComment, JPEG COM
constexpr OSType kUdText_aut = 0xA9617574;  // ©aut XPAuthor
constexpr OSType kUdText_key = 0xA96B6579;  // ©key XPKeywords
constexpr OSType kUdText_PRD = 0xA9505244;  // ©PRD XPSubject
constexpr OSType kUdText_url = 0xA975726C;  // ©url

constexpr std::size_t kTrackRecordSize = 284;

// Stores the value (native order, in the layout of its EXIF type) under the type when the type
// is a known field, converting the caller's handle in place (byte order, and for some types its
// size). False, with nothing stored, for any other type or a value that is refused.
bool MetaStoreValue(UserData list, Handle value, OSType type);
// The same door under the name the EXIF reader uses.
inline bool ExifStoreKnownField(UserData list, Handle value, OSType fieldId) {
    return MetaStoreValue(list, value, fieldId);
}

// In-place value rewrites; each answers false (handle untouched) when it cannot.
bool ApexShutterToExposureTime(Handle value);  // APEX Tv rational -> exposure time rational
bool ApexApertureToFNumber(Handle value);      // APEX Av rational -> f-number rational
bool RationalToShortHandle(Handle value);      // rational -> one 16-bit integer (handle of 2)
bool SwapLongAt256(Handle value);              // the chapter record's 32-bit value at byte 256
bool TrackListSwapBytes(Handle value);         // every 284-byte track record
// Reverses the ten 32-bit values at bytes 240..279 of one track record.
void RecordListSwapBytes(void* trackRecord);

// Removes item index of the type; index 0 removes every item of the type.
void UserDataRemove(UserData list, OSType type, long index);
inline void CountResourcesOfType(UserData list, OSType type, long index) { UserDataRemove(list, type, index); }
// Adds a copy of the bytes as a further plain item / as text (index 1, region 0).
OSErr AppendToMetaList(UserData list, OSType type, const void* bytes, long count);
OSErr UserDataAddTextBytes(UserData list, OSType type, const void* bytes, long count);

// Fetches item (type, index): mode 0 as user-data text, other modes as plain data, at most
// capacity bytes copied into out. Mode 2 answers a 32-bit integer in out: a 2-byte item
// sign-extended, a 4-byte item as it is, an 8-byte item numerator / denominator, read in the
// program's native order (the order of the bare TIFF tag items the camera readers ask for);
// any other size or a zero denominator gives userDataItemNotFound (-2026).
// When actualSize is given it receives the number of bytes written to out.
OSErr MetaGetValue(UserData list, OSType type, long index, short mode, long capacity, void* out,
                   long* actualSize = nullptr);
