#include "catalog/fields/FieldFormat.h"
#include "catalog/info/InfoInternal.h"
#include "foundation/format/DateParse.h"

#include <cstring>

bool InfoParseEventDate(ConstStr255Param typed, Str255 shown, Str255 digits) {
    Str255 normalized;
    normalized[0] = 0;
    if (!ParseDateText(typed, normalized) || normalized[0] != 8) return false;
    char eight[9];
    std::memcpy(eight, normalized + 1, 8);
    eight[8] = 0;
    FieldValue value;
    FieldValueClear(&value);
    value.u32 = ParseYYYYMMDD(eight);
    if (value.u32 == 0) return false;
    std::memcpy(digits, normalized, 9);
    FieldValueToText(&value, 3, kFieldEventDate, shown, true);
    return shown[0] != 0;
}
