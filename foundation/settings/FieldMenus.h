// The two field menus of the catalog window's field layouts ('FLDS' 1 uses table A, 'FLDS' 2
// table B): four-character codes ('----' a separator; 'LIST', 'SAVE', 'LOAD' commands;
// 'DSC1'..'DSC3' captions; 'GRP' and a byte a field group) and plain field ids. Entries with
// flag 1 are the ones a saved layout switches on or off.
#pragma once

#include "platform/Handles.h"
#include "platform/MacTypes.h"

#include <functional>

inline constexpr OSType kFieldMenuSeparator = '----';
constexpr OSType FieldMenuGroup(UInt8 group) { return ('GRP' << 8) | group; }

// The code of entry index (from 0) and its flag, or 0 after the last entry. flag may be null.
UInt32 FieldMenuTableA(int index, int* flag);
UInt32 FieldMenuTableB(int index, int* flag);

// The field set a menu works on: whether it holds a code, and adding or removing one.
struct FieldMenuSet {
    std::function<bool(UInt32 code)> contains;
    std::function<void(UInt32 code, bool add)> change;
};

// For each flagged entry of the table, in order: the code is wanted when it is among the
// handle's 32-bit codes (native order); when the set differs, the code is added or removed.
// A null handle changes nothing.
void ApplyFieldMenu(UInt32 (*table)(int, int*), Handle codes, const FieldMenuSet& set);
