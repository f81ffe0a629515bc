// Turns one field value, as the field getter delivers it, into display text (ANSI, at most
// 255 bytes) by the field's display format, with its unit name on request.
#pragma once

#include "catalog/fields/FieldIds.h"
#include "catalog/fields/FieldValue.h"
#include "platform/MacTypes.h"

#include <cstdint>

// Always answers; the text is empty when the type is 0, when nothing applies, or when the
// number is zero and the field hides zeros.
void FieldValueToText(const FieldValue* value, std::uint8_t valueType, FieldId fieldId,
                      Str255 text, bool withUnit);
