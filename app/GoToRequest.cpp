#include "app/GoToRequest.h"

bool GoToIsValid(UInt8 kind, SInt32 number, ConstStr255Param text, SInt32 visibleCount, SInt32 labelledCount) {
    switch (kind) {
    case kGoToItemNumber: return number >= 1 && number <= visibleCount;
    case kGoToContaining: return text && text[0] != 0;
    case kGoToLabelled: return labelledCount > 0;
    default: return false;
    }
}
