// Small scanners over byte buffers and lines of 8-bit text: comparisons, delimited fields,
// line endings, tokens of delimited text lines and a run-length decoder.
#pragma once

#include "platform/MacTypes.h"

// True when both ranges hold the same bytes; a length of 0 (or less) is equal.
bool BytesEqual(const void* a, const void* b, long length);

// Case-sensitive comparison of at most min(lengthA, lengthB) bytes, stopping at a zero byte;
// negative, 0 or positive.
int CompareTextN(const char* a, const char* b, SInt16 lengthA, SInt16 lengthB);

// 1 + the number of non-overlapping occurrences of the delimiter (an empty delimiter has none).
long CountFields(const void* buffer, long length, const void* delimiter, long delimiterLength);

// Finds field n (1-based). False when the buffer is empty or field n does not begin before
// its end; else *start is the field's 1-based offset and *fieldLength runs to the next
// delimiter or to the end.
bool FindField(const void* buffer, long length, long* start, long* fieldLength, long n,
               const void* delimiter, long delimiterLength);

enum : short {
    kLineEndingCR = 1,  // CR only, no line break at all, or an empty buffer
    kLineEndingLF = 2,
    kLineEndingCRLF = 3,
};
// Counts CR and LF bytes from the start: both seen gives 3 at once; the scan stops after
// three of either kind.
short DetectLineEnding(const void* buffer, long length);

// The next token of a delimited text line, which ends with CR, LF or a zero byte (the caller
// guarantees one). Blanks before the token are skipped; a leading single or double quote
// starts a quoted token that the next quote of either kind closes (bytes after the closing
// quote up to the separator are dropped). Outside quotes ",", ";" and TAB end the token and
// *position moves just past the separator; at the end of the line *position becomes -1.
// A token not closed by a quote loses its trailing blanks. Answers the token's start and sets
// *tokenLength; with *position already -1 answers null and a length of 0.
const char* NextTextToken(const char* line, long* tokenLength, long* position);

// Decodes a run-length stream into a new handle of exactly outputSize bytes. A byte other than
// 0xFD is copied; FD FD writes one FD; FD c v writes c copies of v (c = 0 writes nothing).
// Runs are cut at the output size; bytes the source does not reach are zero; an escape cut off
// by the end of the source ends the decoding. Null when the handle cannot be had.
Handle RunLengthDecode(const void* source, long sourceLength, long outputSize);
