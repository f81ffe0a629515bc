#include "foundation/text/TextScan.h"

#include "platform/Handles.h"

#include <algorithm>
#include <cstring>

bool BytesEqual(const void* a, const void* b, long length) {
    if (length <= 0) return true;
    if (!a || !b) return a == b;
    return std::memcmp(a, b, size_t(length)) == 0;
}

int CompareTextN(const char* a, const char* b, SInt16 lengthA, SInt16 lengthB) {
    int n = std::max(0, int(std::min(lengthA, lengthB)));
    if (n == 0 || !a || !b) return 0;
    return std::strncmp(a, b, size_t(n));
}

namespace {

bool DelimiterAt(const unsigned char* p, long at, long length, const void* delimiter,
                 long delimiterLength) {
    return at + delimiterLength <= length && std::memcmp(p + at, delimiter, size_t(delimiterLength)) == 0;
}

}  // namespace

long CountFields(const void* buffer, long length, const void* delimiter, long delimiterLength) {
    if (!buffer || !delimiter || length <= 0 || delimiterLength <= 0) return 1;
    auto* p = static_cast<const unsigned char*>(buffer);
    long count = 1;
    for (long i = 0; i + delimiterLength <= length;) {
        if (DelimiterAt(p, i, length, delimiter, delimiterLength)) {
            ++count;
            i += delimiterLength;
        } else {
            ++i;
        }
    }
    return count;
}

bool FindField(const void* buffer, long length, long* start, long* fieldLength, long n,
               const void* delimiter, long delimiterLength) {
    if (!buffer || length <= 0 || n < 1) return false;
    auto* p = static_cast<const unsigned char*>(buffer);
    bool hasDelimiter = delimiter && delimiterLength > 0;
    long at = 0;  // 0-based start of the current field
    for (long field = 1; field < n; ++field) {
        if (!hasDelimiter) return false;
        long i = at;
        while (i < length && !DelimiterAt(p, i, length, delimiter, delimiterLength)) ++i;
        if (i >= length) return false;
        at = i + delimiterLength;
    }
    if (at >= length) return false;
    long end = at;
    while (end < length && !(hasDelimiter && DelimiterAt(p, end, length, delimiter, delimiterLength)))
        ++end;
    if (start) *start = at + 1;
    if (fieldLength) *fieldLength = end - at;
    return true;
}

short DetectLineEnding(const void* buffer, long length) {
    if (!buffer) return kLineEndingCR;
    auto* p = static_cast<const unsigned char*>(buffer);
    int cr = 0, lf = 0;
    for (long i = 0; i < length && cr < 3 && lf < 3; ++i) {
        if (p[i] == '\r') ++cr;
        else if (p[i] == '\n') ++lf;
        if (cr && lf) return kLineEndingCRLF;
    }
    return lf ? kLineEndingLF : kLineEndingCR;
}

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n' || c == 0; }
bool IsQuote(char c) { return c == '"' || c == '\''; }
bool IsSeparator(char c) { return c == ',' || c == ';' || c == '\t'; }

}  // namespace

const char* NextTextToken(const char* line, long* tokenLength, long* position) {
    if (tokenLength) *tokenLength = 0;
    if (!line || !position || *position < 0) return nullptr;
    long p = *position;
    while (line[p] == ' ') ++p;
    bool quoted = false;
    if (IsQuote(line[p])) {
        quoted = true;
        ++p;
    }
    const char* start = line + p;
    long count = 0;
    bool closedByQuote = false;
    for (;;) {
        char c = line[p];
        if (IsLineEnd(c)) {
            *position = -1;
            break;
        }
        if (quoted) {
            if (IsQuote(c)) {
                quoted = false;
                closedByQuote = true;
            } else {
                ++count;
            }
            ++p;
            continue;
        }
        if (IsSeparator(c)) {
            *position = p + 1;
            break;
        }
        if (!closedByQuote) ++count;
        ++p;
    }
    if (!closedByQuote)
        while (count > 0 && start[count - 1] == ' ') --count;
    if (tokenLength) *tokenLength = count;
    return start;
}

Handle RunLengthDecode(const void* source, long sourceLength, long outputSize) {
    Handle h = NewHandleClear(outputSize);
    if (!h) return nullptr;
    if (!source || sourceLength <= 0) return h;
    auto* in = static_cast<const unsigned char*>(source);
    auto* out = reinterpret_cast<unsigned char*>(*h);
    long i = 0, o = 0;
    while (i < sourceLength && o < outputSize) {
        unsigned char b = in[i++];
        if (b != 0xFD) {
            out[o++] = b;
            continue;
        }
        if (i >= sourceLength) break;  // escape with nothing after it
        unsigned char count = in[i++];
        if (count == 0xFD) {
            out[o++] = 0xFD;
            continue;
        }
        if (i >= sourceLength) break;  // count without its value byte
        unsigned char value = in[i++];
        long n = std::min<long>(count, outputSize - o);
        std::memset(out + o, value, size_t(n));
        o += n;
    }
    return h;
}
