// Length-prefixed strings (Str255 and its smaller kin): one length byte, then the text, no
// terminating zero. Text is Windows-1252. Every routine here keeps the text within 255 bytes;
// the destination must be a full 256-byte buffer. Source and destination may overlap.
#pragma once

#include "platform/MacTypes.h"

// Copies the length byte and the text (source length + 1 bytes).
void PStrCopy(StringPtr dst, ConstStr255Param src);

// Makes a string of count bytes; a count above 255 is taken as 255, a negative one as 0.
void PStrFromBytes(StringPtr dst, const void* bytes, long count);

// Appends src; when the sum would pass 255 only the first 255 - length(dst) bytes go in
// (the result is cut, never refused).
void PStrAppend(StringPtr dst, ConstStr255Param src);

// Appends the decimal text of number ("-" before negatives), cut like PStrAppend.
void PStrAppendNumber(StringPtr dst, SInt32 number);

// Appends count bytes only when the result fits in 255 bytes; otherwise dst is left as it was
// (refused, not cut).
void PStrAppendBytes(StringPtr dst, const void* bytes, long count);

// Turns the string into a zero-terminated one in the same buffer (the text moves down one
// byte). Answers the buffer as a C string.
char* PStrToCStrInPlace(StringPtr s);

// True when suffix is empty, or when the last bytes of s equal suffix byte for byte.
bool PStrEndsWith(ConstStr255Param s, ConstStr255Param suffix);

// Compares the common length without regard to letter case (Windows-1252 case folding);
// -1 or 1 when the bytes differ, else length(a) - length(b), not clamped.
int ComparePStr(ConstStr255Param a, ConstStr255Param b);

// The run of "0" characters that, put before the decimal text of value, gives it as many
// digits as largest has; empty when value already has that many.
void LeadingZeros(StringPtr dst, long value, long largest);

// Small conveniences for callers that build strings from C text.
void PStrFromCString(StringPtr dst, const char* text);
inline long PStrLength(ConstStr255Param s) { return s ? s[0] : 0; }
