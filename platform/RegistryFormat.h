// The in-memory tree of one registry store and its text form.
//
// The text form is made to be read and diffed by people and to give back every value exactly:
//
//   LyrexRegistry 1
//   [SOFTWARE\Lyrex\Ondrel2]
//   "LastCatalog"=sz:"/home/ann/Pictures/Trip \"2004\".lxc"
//   "Version"=dword:00000190
//
//   [SOFTWARE\Lyrex\Ondrel2\Preferences]
//   "Preferences"=binary:5864
//     00 00 00 00 ... (32 bytes a line)
//   end
//
// - The first line names the format; the last line is "end", so a cut-off file is noticed.
// - A key is a section: its path from the root in brackets, names joined by "\". Inside a key
//   name "%%" is a percent sign, "%xHH" a character below 0x20 (or 0x7F) and "%uHHHH" a lone
//   UTF-16 surrogate; everything else is plain UTF-8. "[]" is the root itself.
// - A value is its quoted name, "=", then its data. Inside quotes "\\" and "\"" stand for
//   themselves and "\xHH" and "\uHHHH" as above.
//     sz:"text" / expand_sz:"text"   a string of that type whose data is UTF-16LE text with one
//                                    terminating zero and no other zero
//     dword:HHHHHHHH                 a REG_DWORD of exactly four bytes, as a number
//     binary:N                       REG_BINARY of N bytes, on the indented lines that follow
//     hex(T):N                       any other value of type T (decimal) as N bytes
// - Blank lines and lines starting with ";" or "#" are ignored; anything else is an error.
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct RegistryValue {
    std::u16string name;
    DWORD type = 0;
    std::vector<std::uint8_t> data;
};

struct RegistryKeyNode {
    std::u16string name;
    std::vector<RegistryValue> values;       // in the order they were first set
    std::vector<RegistryKeyNode> subKeys;    // kept sorted by CompareRegistryNames

    RegistryKeyNode* FindSubKey(std::u16string_view keyName);
    const RegistryKeyNode* FindSubKey(std::u16string_view keyName) const;
    // The existing sub-key of that name, or a new one inserted at its sorted place.
    RegistryKeyNode& SubKey(std::u16string_view keyName, bool* created = nullptr);
    bool RemoveSubKey(std::u16string_view keyName);

    RegistryValue* FindValue(std::u16string_view valueName);
    const RegistryValue* FindValue(std::u16string_view valueName) const;
    // Replaces the value of that name (keeping its place and its name's spelling) or appends it.
    void SetValue(std::u16string_view valueName, DWORD type, std::vector<std::uint8_t> data);
    bool RemoveValue(std::u16string_view valueName);
};

// Names compare without regard to the case of ASCII letters.
int CompareRegistryNames(std::u16string_view a, std::u16string_view b);
bool RegistryNamesEqual(std::u16string_view a, std::u16string_view b);

std::string SerializeRegistry(const RegistryKeyNode& root);
// Parses a whole store. On failure answers false with a message naming the line, and leaves
// *root empty: a store is taken whole or not at all.
bool ParseRegistry(std::string_view text, RegistryKeyNode* root, std::string* error);
