#include "foundation/text/TextEncoding.h"

#include "foundation/text/CodePages.h"
#include "foundation/text/PString.h"
#include "foundation/text/Unicode.h"

#include <algorithm>
#include <cstring>

unsigned short GetDefaultTextEncoding() { return 0xFFFF; }

namespace {

// Copies text into the destination only when all of it fits.
long StoreIfFits(const std::string& text, void* destination, long capacity) {
    if (text.empty() || capacity < 0 || text.size() > size_t(capacity)) return 0;
    std::memcpy(destination, text.data(), text.size());
    return long(text.size());
}

}  // namespace

void ConvertToAnsi(const void* source, long sourceLength, void* destination, long capacity,
                   long* outLength, short encoding) {
    if (encoding != kTextEncodingUtf16 && encoding != kTextEncodingUtf8) return;
    if (!outLength) return;
    if (!source || !destination || sourceLength <= 0) {
        *outLength = 0;
        return;
    }
    std::string ansi;
    if (encoding == kTextEncodingUtf16)
        ansi = Utf16ToAnsi(Utf16LEBytesToUtf16(source, size_t(sourceLength)));
    else
        ansi = Utf8ToAnsi(std::string_view(static_cast<const char*>(source), size_t(sourceLength)));
    *outLength = StoreIfFits(ansi, destination, capacity);
}

void ConvertFromAnsi(const void* source, long sourceLength, void* destination, long capacity,
                     long* inOutLength, short encoding) {
    if (encoding != kTextEncodingUtf16 && encoding != kTextEncodingUtf8) return;
    if (!inOutLength) return;
    if (!source || !destination || sourceLength <= 0) {
        *inOutLength = 0;
        return;
    }
    std::string_view ansi(static_cast<const char*>(source), size_t(sourceLength));
    if (encoding == kTextEncodingUtf16) {
        // Whole characters only: an odd capacity leaves its last byte unused.
        *inOutLength = StoreIfFits(Utf16ToUtf16LEBytes(AnsiToUtf16(ansi)), destination,
                                   capacity / 2 * 2);
    } else {
        // The length on entry is the caller's idea of the room; never trust it past the real
        // capacity of the buffer.
        long room = std::min(capacity, *inOutLength);
        *inOutLength = StoreIfFits(AnsiToUtf8(ansi), destination, room);
    }
}

namespace {

enum class CodePageKind { Ansi, Utf8, Unknown };

CodePageKind KindOf(unsigned codePage) {
    switch (codePage) {
    case kCodePageAnsi:
    case kCodePageThreadAnsi:
    case kCodePage1252:
        return CodePageKind::Ansi;
    case kCodePageUtf8:
        return CodePageKind::Utf8;
    default:
        return CodePageKind::Unknown;
    }
}

}  // namespace

char16_t* AnsiToWide(char16_t* destination, const char* source, long destinationSize,
                     unsigned codePage) {
    if (!destination || !source || destinationSize <= 0) return nullptr;
    destination[0] = 0;
    CodePageKind kind = KindOf(codePage);
    if (kind == CodePageKind::Unknown) return nullptr;
    std::string_view text(source);
    std::u16string wide = kind == CodePageKind::Ansi ? AnsiToUtf16(text) : Utf8ToUtf16(text);
    if (wide.size() + 1 > size_t(destinationSize)) return nullptr;
    std::copy(wide.begin(), wide.end(), destination);
    destination[wide.size()] = 0;
    return destination;
}

char* WideToMultiByte(char* destination, const char16_t* source, long destinationSize,
                      unsigned codePage) {
    if (!destination || !source || destinationSize <= 0) return nullptr;
    destination[0] = 0;
    CodePageKind kind = KindOf(codePage);
    if (kind == CodePageKind::Unknown) return nullptr;
    std::u16string_view text(source);
    std::string bytes = kind == CodePageKind::Ansi ? Utf16ToAnsi(text) : Utf16ToUtf8(text);
    if (bytes.size() + 1 > size_t(destinationSize)) return nullptr;
    std::memcpy(destination, bytes.data(), bytes.size());
    destination[bytes.size()] = 0;
    return destination;
}

std::u16string PStrToCString(ConstStr255Param s) {
    if (!s) return {};
    return AnsiToUtf16(std::string_view(reinterpret_cast<const char*>(s + 1), s[0]));
}

std::string PStrToUtf8(ConstStr255Param s) {
    if (!s) return {};
    return AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(s + 1), s[0]));
}

namespace {

void StoreAnsi(const std::string& ansi, StringPtr dst, long maximum) {
    long n = std::min<long>(long(ansi.size()), std::max<long>(maximum, 0));
    PStrFromBytes(dst, ansi.data(), n);
}

}  // namespace

void CStringToPStr(std::u16string_view text, StringPtr dst, long maximum) {
    if (!dst) return;
    StoreAnsi(Utf16ToAnsi(text), dst, maximum);
}

void CStringToPStr(std::string_view utf8, StringPtr dst, long maximum) {
    if (!dst) return;
    StoreAnsi(Utf8ToAnsi(utf8), dst, maximum);
}
