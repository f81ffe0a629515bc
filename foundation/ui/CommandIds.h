// Command ids between the program and wx. The program's commands keep their documented
// numbers (190, 32791, 57600 ...), but wx accepts menu and tool ids only below 0x7FFF; ids from
// 32768 up travel through wx moved down to 6000 and up, just above wx's own reserved range.
// Every place that hands a command id to wx or takes one back goes through these two.
#pragma once

#include <wx/defs.h>

inline constexpr int kCommandShiftFrom = 32768;
inline constexpr int kWxShiftedBase = 6000;
static_assert(kWxShiftedBase > wxID_HIGHEST, "shifted ids must clear wx's reserved range");

constexpr int WxIdOf(int command) {
    return command >= kCommandShiftFrom ? command - kCommandShiftFrom + kWxShiftedBase : command;
}
constexpr int CommandOf(int wxId) {
    return (wxId >= kWxShiftedBase && wxId < 10000) || (wxId >= 30000 && wxId < 0x7FFF)
               ? wxId - kWxShiftedBase + kCommandShiftFrom
               : wxId;
}
static_assert(WxIdOf(57664) < 0x7FFF && CommandOf(WxIdOf(57664)) == 57664);
static_assert(CommandOf(WxIdOf(32791)) == 32791 && CommandOf(WxIdOf(190)) == 190 && CommandOf(10001) == 10001);
static_assert(WxIdOf(33466) < 10000 && WxIdOf(57600) >= 30000);
