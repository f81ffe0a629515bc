#include "catalog/fields/FieldValue.h"

#include <cstring>

int FieldValueSetText(FieldValue* value, const void* bytes, long length, std::int16_t encoding) {
    if (!value) return 0;
    if (length < 0 || !bytes) length = 0;
    if (length > kFieldTextMax) length = kFieldTextMax;
    value->text.encoding = encoding;
    value->text.length = std::int16_t(length);
    if (length) std::memmove(value->text.bytes, bytes, std::size_t(length));
    return int(length);
}
