// Memory handles of the core kept as settings: binary values named by a number under the
// per-user sub-key "Preferences\TYPE" of the program key, TYPE being the four characters of a
// type code.
#pragma once

#include "platform/Handles.h"
#include "platform/MacTypes.h"

#include <bit>
#include <cstddef>
#include <string>

// "Preferences\" and the type code's characters, most significant byte first (a zero byte
// ends them).
std::u16string TypedSettingKeyName(OSType type);

// A new handle holding the stored bytes. When nothing can be read and default bytes with a
// non-zero size are given, a new handle holding a copy of them; otherwise null.
Handle LoadTypedSetting(OSType type, SInt16 index, const void* defaultBytes, Size defaultSize);
// Stores the handle's bytes; a null handle deletes the value (the sub-key stays).
void SaveTypedSetting(OSType type, SInt16 index, Handle handle);

// The two logo pictures of one logo setting ('LOGO' index and index + 100); each out pointer
// given receives its handle or null.
void LoadLogoSettings(SInt16 index, Handle* first, Handle* second);

// The two field-layout settings of the catalog window ('FLDS' 1 and 2).
Handle LoadFieldSettings();
void SaveFieldSettings(Handle handle);
Handle LoadFieldSettings2();
void SaveFieldSettings2(Handle handle);

// One label as the 'LABL' setting stores it: its name, then its colour as three
// little-endian 16-bit values.
struct LabelSettingRec {
    Str255 name;
    UInt16 red;
    UInt16 green;
    UInt16 blue;
};
static_assert(sizeof(LabelSettingRec) == 262);
static_assert(offsetof(LabelSettingRec, red) == 256 && offsetof(LabelSettingRec, green) == 258 &&
              offsetof(LabelSettingRec, blue) == 260);
static_assert(std::endian::native == std::endian::little,
              "the stored colours are little-endian, as the record is in memory");

inline constexpr int kLabelSettingCount = 9;
inline constexpr Size kLabelSettingsSize = kLabelSettingCount * Size(sizeof(LabelSettingRec));   // 2,358
inline constexpr OSType kLabelSettingType = 'LABL';
inline constexpr SInt16 kLabelSettingIndex = 1;

// The nine labels of a 'LABL' setting; false (and nothing filled) unless the handle holds
// exactly 2,358 bytes.
bool DecodeLabelSettings(Handle handle, LabelSettingRec labels[kLabelSettingCount]);
// A new 2,358-byte handle holding the nine labels; null when memory runs out.
Handle EncodeLabelSettings(const LabelSettingRec labels[kLabelSettingCount]);
