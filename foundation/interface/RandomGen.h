// The program's random generator: an additive lagged generator over 30-bit values, kept for
// the process. Callers of RandomNext alone must seed first; RandomPermutation seeds itself.
#pragma once

#include "platform/MacTypes.h"

// Seeds from the current time in seconds.
void RandomSeed();
// Seeds from the given value as if the clock said it (the same sequence every time).
void RandomSeedWith(UInt32 seconds);
// A value low..high; low itself, without drawing, when the range holds fewer than two values.
long RandomNext(long low, long high);
// count values drawn from first..last, each at most once when distinct is set (else a value may
// come again). Reseeds from the clock. Null when count is below 1 or above the size of the
// range, or without memory;
// the array belongs to the caller, who frees it with free().
SInt32* RandomPermutation(SInt32 first, SInt32 last, long count, bool distinct);
