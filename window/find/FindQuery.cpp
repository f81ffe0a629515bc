#include "window/find/FindQuery.h"

#include "catalog/fields/FieldDef.h"
#include "foundation/settings/ProgramKey.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

struct FindQueries {
    FindQuery current{};
    FindQuerySet saved{};
    bool hasCurrent = false;
};

FindQueries& State() {
    static FindQueries state = [] {
        FindQueries s;
        FindQueryDefault(&s.current);
        return s;
    }();
    return state;
}

// First operator string id and count for each find kind; text for every other kind.
struct OperatorList {
    UInt16 first;
    int count;
};

OperatorList OperatorsOf(UInt8 findKind) {
    switch (findKind) {
    case kFindKindNumber: return {59401, 5};
    case kFindKindDate: return {59406, 3};
    case kFindKindTypeCode: return {59409, 2};
    default: return {59394, 7};
    }
}

UInt32 ReadU32(const UInt8* p) {
    UInt32 v;
    std::memcpy(&v, p, 4);
    return v;
}

void WriteU32(UInt8* p, UInt32 v) { std::memcpy(p, &v, 4); }

}  // namespace

SInt32 FindRowNumber(const FindCriterion& row) { return SInt32(ReadU32(row.value)); }
void FindRowSetNumber(FindCriterion* row, SInt32 number) { WriteU32(row->value, UInt32(number)); }
UInt32 FindRowDate(const FindCriterion& row) { return ReadU32(row.value); }
void FindRowSetDate(FindCriterion* row, UInt32 macSeconds) { WriteU32(row->value, macSeconds); }

OSType FindRowCode(const FindCriterion& row) {
    return OSType(row.value[0]) << 24 | OSType(row.value[1]) << 16 | OSType(row.value[2]) << 8 | row.value[3];
}

void FindRowSetCode(FindCriterion* row, OSType code) {
    row->value[0] = UInt8(code >> 24);
    row->value[1] = UInt8(code >> 16);
    row->value[2] = UInt8(code >> 8);
    row->value[3] = UInt8(code);
}

void FindRowText(const FindCriterion& row, Str255 text) {
    const int n = std::min<int>(row.value[0], kFindTextMax);
    text[0] = UInt8(n);
    std::memcpy(text + 1, row.value + 1, size_t(n));
}

void FindRowSetText(FindCriterion* row, const void* bytes, long length) {
    const long n = std::clamp<long>(length, 0, kFindTextMax);
    std::memset(row->value, 0, sizeof row->value);
    row->value[0] = UInt8(n);
    if (n) std::memcpy(row->value + 1, bytes, size_t(n));
}

int FindOperatorCount(UInt8 findKind) { return OperatorsOf(findKind).count; }

UInt16 FindOperatorStringId(UInt8 findKind, int op) {
    const OperatorList list = OperatorsOf(findKind);
    if (op < 1 || op > list.count) return 0;
    return UInt16(list.first + op - 1);
}

void FindQueryDefault(FindQuery* query) {
    std::memset(query, 0, sizeof *query);
    query->rowCount = 1;
    for (FindCriterion& row : query->rows) {
        row.fieldId = kFieldFileName;
        row.conjunction = kFindAnd;
        row.op = 1;
    }
}

void FindQueryRepair(FindQuery* query) {
    if (query->rowCount < 1 || query->rowCount > UInt32(kFindRowCount)) query->rowCount = 1;
}

void FindQuerySetAdd(FindQuerySet* set, const FindQuery& query) {
    std::memmove(&set->slots[1], &set->slots[0], sizeof(FindQuery) * (kFindSavedQueryCount - 1));
    set->slots[0] = query;
    set->count = std::min<UInt32>(UInt32(kFindSavedQueryCount), FindQuerySetCount(*set) + 1);
}

bool FindQuerySetDelete(FindQuerySet* set, UInt32 index) {
    const UInt32 count = FindQuerySetCount(*set);
    if (index >= count) return false;
    std::memmove(&set->slots[index], &set->slots[index + 1],
                 sizeof(FindQuery) * (kFindSavedQueryCount - 1 - index));
    std::memset(&set->slots[kFindSavedQueryCount - 1], 0, sizeof(FindQuery));
    set->count = count - 1;
    return true;
}

UInt32 FindQuerySetCount(const FindQuerySet& set) {
    return std::min<UInt32>(set.count, UInt32(kFindSavedQueryCount));
}

void LoadFindQueries() {
    FindQueries& s = State();
    FindQueryDefault(&s.current);
    std::memset(&s.saved, 0, sizeof s.saved);
    CRegistryKey key;
    if (OpenUserKey(&key, kRegFindQuery)) {
        FindQuery read{};
        DWORD size = 0;
        // A value of another size is not a query of ours: the default stands.
        if (key.ReadBinary(kRegFindQuery, &read, DWORD(sizeof read), &size) && size == sizeof read) {
            FindQueryRepair(&read);
            s.current = read;
        }
    }
    CRegistryKey setKey;
    if (OpenUserKey(&setKey, kRegFindQuerySet)) {
        auto read = std::make_unique_for_overwrite<FindQuerySet>();
        DWORD size = 0;
        if (setKey.ReadBinary(kRegFindQuerySet, read.get(), DWORD(sizeof(FindQuerySet)), &size) &&
            size == sizeof(FindQuerySet)) {
            s.saved = *read;
            s.saved.count = FindQuerySetCount(s.saved);
        }
    }
    s.hasCurrent = true;
}

bool SaveFindQueries() {
    const FindQueries& s = State();
    CRegistryKey key, setKey;
    const bool current = OpenUserKey(&key, kRegFindQuery) &&
                         key.WriteBinary(kRegFindQuery, &s.current, DWORD(sizeof s.current));
    const bool saved = OpenUserKey(&setKey, kRegFindQuerySet) &&
                       setKey.WriteBinary(kRegFindQuerySet, &s.saved, DWORD(sizeof s.saved));
    return current && saved;
}

void ResetFindQueries() {
    FindQueries& s = State();
    FindQueryDefault(&s.current);
    std::memset(&s.saved, 0, sizeof s.saved);
    s.hasCurrent = false;
}

void GetFindQuery(FindQuery* out) { *out = State().current; }

void SetFindQuery(const FindQuery& query) {
    State().current = query;
    FindQueryRepair(&State().current);
    State().hasCurrent = true;
}

bool HasFindQuery() { return State().hasCurrent; }
UInt32 GetSavedQueryCount() { return FindQuerySetCount(State().saved); }

bool GetSavedQuery(UInt32 index, FindQuery* out) {
    if (index >= GetSavedQueryCount()) return false;
    *out = State().saved.slots[index];
    return true;
}

void AddSavedQuery(const FindQuery& query) { FindQuerySetAdd(&State().saved, query); }
bool DeleteSavedQuery(UInt32 index) { return FindQuerySetDelete(&State().saved, index); }
