#include "foundation/text/PString.h"

#include "foundation/text/CodePages.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

void PStrCopy(StringPtr dst, ConstStr255Param src) {
    if (!dst || !src) return;
    std::memmove(dst, src, size_t(src[0]) + 1);
}

void PStrFromBytes(StringPtr dst, const void* bytes, long count) {
    if (!dst) return;
    long n = std::clamp<long>(count, 0, 255);
    if (!bytes) n = 0;
    if (n) std::memmove(dst + 1, bytes, size_t(n));
    dst[0] = std::uint8_t(n);
}

namespace {

void AppendCut(StringPtr dst, const void* bytes, long count) {
    long room = 255 - long(dst[0]);
    long n = std::clamp<long>(count, 0, room);
    if (n <= 0 || !bytes) return;
    std::memmove(dst + 1 + dst[0], bytes, size_t(n));
    dst[0] = std::uint8_t(dst[0] + n);
}

}  // namespace

void PStrAppend(StringPtr dst, ConstStr255Param src) {
    if (!dst || !src) return;
    AppendCut(dst, src + 1, src[0]);
}

void PStrAppendNumber(StringPtr dst, SInt32 number) {
    if (!dst) return;
    char digits[16];
    int n = 0;
    std::int64_t v = number;
    bool negative = v < 0;
    if (negative) v = -v;
    do {
        digits[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    if (negative) digits[n++] = '-';
    std::reverse(digits, digits + n);
    AppendCut(dst, digits, n);
}

void PStrAppendBytes(StringPtr dst, const void* bytes, long count) {
    if (!dst || count <= 0 || !bytes) return;
    if (long(dst[0]) + count > 255) return;
    std::memmove(dst + 1 + dst[0], bytes, size_t(count));
    dst[0] = std::uint8_t(dst[0] + count);
}

char* PStrToCStrInPlace(StringPtr s) {
    if (!s) return nullptr;
    size_t n = s[0];
    std::memmove(s, s + 1, n);
    s[n] = 0;
    return reinterpret_cast<char*>(s);
}

bool PStrEndsWith(ConstStr255Param s, ConstStr255Param suffix) {
    if (!s || !suffix) return false;
    if (suffix[0] == 0) return true;
    if (suffix[0] > s[0]) return false;
    return std::memcmp(s + 1 + (s[0] - suffix[0]), suffix + 1, suffix[0]) == 0;
}

int ComparePStr(ConstStr255Param a, ConstStr255Param b) {
    int la = a ? a[0] : 0;
    int lb = b ? b[0] : 0;
    int n = std::min(la, lb);
    for (int i = 0; i < n; ++i) {
        std::uint8_t ca = AnsiToLower(a[1 + i]);
        std::uint8_t cb = AnsiToLower(b[1 + i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return la - lb;
}

namespace {

int DecimalDigits(long long x) {
    int d = 1;
    long long limit = 10;
    while (x >= limit && d < 19) {
        ++d;
        limit *= 10;
    }
    return d;
}

}  // namespace

void LeadingZeros(StringPtr dst, long value, long largest) {
    if (!dst) return;
    int want = DecimalDigits(largest);
    int have = DecimalDigits(value);
    int n = want > have ? want - have : 0;
    std::memset(dst + 1, '0', size_t(n));
    dst[0] = std::uint8_t(n);
}

void PStrFromCString(StringPtr dst, const char* text) {
    PStrFromBytes(dst, text, text ? long(std::strlen(text)) : 0);
}
