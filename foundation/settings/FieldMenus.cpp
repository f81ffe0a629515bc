#include "foundation/settings/FieldMenus.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

namespace {

struct Entry {
    UInt32 code;
    int flag;
};

constexpr Entry Cmd(OSType code) { return {code, 0}; }
constexpr Entry Grp(UInt8 group) { return {FieldMenuGroup(group), 1}; }
constexpr Entry Fld(UInt32 id) { return {id, 1}; }

constexpr Entry kTableA[] = {
    Cmd('----'), Cmd('LIST'), Cmd('SAVE'), Cmd('LOAD'), Cmd('----'), Cmd('DSC1'),
    Grp(2), Grp(9), Grp(13), Grp(14),
    Cmd('----'), Cmd('DSC2'),
    Fld(617), Fld(517), Fld(527), Fld(534), Fld(567), Fld(592), Fld(597), Fld(622), Fld(627),
    Fld(628), Fld(615), Fld(739), Fld(613), Fld(607), Fld(602), Fld(604), Fld(552), Fld(519),
    Fld(634),
    Cmd('----'), Cmd('DSC3'),
    Grp(17), Grp(15), Grp(16), Grp(10),
};
static_assert(std::size(kTableA) == 37);

constexpr Entry kTableB[] = {
    Cmd('----'), Cmd('LIST'), Cmd('SAVE'), Cmd('LOAD'), Cmd('----'), Cmd('DSC1'),
    Fld(522), Fld(162), Fld(161),
    Cmd('----'), Cmd('DSC2'),
    Fld(3), Fld(67), Fld(24), Fld(27),
    Cmd('----'), Cmd('DSC3'),
    Fld(517), Fld(527), Fld(534), Fld(519), Fld(592), Fld(622), Fld(627), Fld(615), Fld(628),
    Fld(613), Fld(607), Fld(602), Fld(604), Fld(630), Fld(537), Fld(532),
    Fld(769), Fld(770), Fld(771), Fld(772), Fld(773), Fld(774), Fld(775), Fld(776),
    Fld(777), Fld(778), Fld(779), Fld(780), Fld(781), Fld(782), Fld(783), Fld(784),
};
static_assert(std::size(kTableB) == 49);

template <std::size_t N>
UInt32 Lookup(const Entry (&table)[N], int index, int* flag) {
    if (index < 0 || std::size_t(index) >= N) {
        if (flag) *flag = 0;
        return 0;
    }
    if (flag) *flag = table[index].flag;
    return table[index].code;
}

}  // namespace

UInt32 FieldMenuTableA(int index, int* flag) { return Lookup(kTableA, index, flag); }
UInt32 FieldMenuTableB(int index, int* flag) { return Lookup(kTableB, index, flag); }

void ApplyFieldMenu(UInt32 (*table)(int, int*), Handle codes, const FieldMenuSet& set) {
    if (!table || !codes || !*codes || !set.contains || !set.change) return;
    std::vector<UInt32> wanted(std::size_t(GetHandleSize(codes)) / sizeof(UInt32));
    if (!wanted.empty()) std::memcpy(wanted.data(), *codes, wanted.size() * sizeof(UInt32));
    for (int i = 0;; ++i) {
        int flag = 0;
        UInt32 code = table(i, &flag);
        if (code == 0) break;
        if (flag != 1) continue;
        bool want = std::find(wanted.begin(), wanted.end(), code) != wanted.end();
        if (set.contains(code) != want) set.change(code, want);
    }
}
