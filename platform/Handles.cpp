#include "platform/Handles.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The master pointer is the first member, so a Handle (the address of the master pointer)
// is also the address of its block header.
struct HandleBlock {
    char* data;
    Size size;
    Size capacity;
    bool locked;
    std::uint32_t magic;
};
constexpr std::uint32_t kLiveMagic = 0x48444C21;  // "HDL!"

thread_local OSErr gMemError = noErr;

HandleBlock* BlockOf(Handle h) {
    if (!h) return nullptr;
    auto* b = reinterpret_cast<HandleBlock*>(h);
    return b->magic == kLiveMagic ? b : nullptr;
}

// Under the sanitizers every resize moves the block, so a pointer kept across a resize is
// caught as a use after free instead of working by luck.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAlwaysMove = true;
#else
constexpr bool kAlwaysMove = false;
#endif

bool Reserve(HandleBlock* b, Size newSize) {
    if (!kAlwaysMove && newSize <= b->capacity) return true;
    Size cap = kAlwaysMove ? std::max<Size>(newSize, 1) : std::max<Size>({newSize, b->capacity * 2, 16});
    char* p = static_cast<char*>(std::malloc(static_cast<size_t>(cap)));
    if (!p) return false;
    if (b->size) std::memcpy(p, b->data, static_cast<size_t>(std::min(b->size, newSize)));
    std::free(b->data);
    b->data = p;
    b->capacity = cap;
    return true;
}

}  // namespace

OSErr MemError() { return gMemError; }

Handle NewHandle(Size size) {
    if (size < 0) {
        gMemError = paramErr;
        return nullptr;
    }
    auto* b = new (std::nothrow) HandleBlock{nullptr, 0, 0, false, kLiveMagic};
    if (!b) {
        gMemError = memFullErr;
        return nullptr;
    }
    Size cap = std::max<Size>(size, 1);
    b->data = static_cast<char*>(std::malloc(static_cast<size_t>(cap)));
    if (!b->data) {
        delete b;
        gMemError = memFullErr;
        return nullptr;
    }
    b->size = size;
    b->capacity = cap;
    gMemError = noErr;
    return &b->data;
}

Handle NewHandleClear(Size size) {
    Handle h = NewHandle(size);
    if (h && size) std::memset(*h, 0, static_cast<size_t>(size));
    return h;
}

void DisposeHandle(Handle h) {
    HandleBlock* b = BlockOf(h);
    if (!b) {
        gMemError = h ? memWZErr : nilHandleErr;
        return;
    }
    b->magic = 0;
    std::free(b->data);
    delete b;
    gMemError = noErr;
}

Size GetHandleSize(Handle h) {
    HandleBlock* b = BlockOf(h);
    if (!b) {
        gMemError = nilHandleErr;
        return 0;
    }
    gMemError = noErr;
    return b->size;
}

void SetHandleSize(Handle h, Size newSize) {
    HandleBlock* b = BlockOf(h);
    if (!b) {
        gMemError = nilHandleErr;
        return;
    }
    if (newSize < 0) {
        gMemError = paramErr;
        return;
    }
    if (!Reserve(b, newSize)) {
        gMemError = memFullErr;
        return;
    }
    if (newSize > b->size) std::memset(b->data + b->size, 0, static_cast<size_t>(newSize - b->size));
    b->size = newSize;
    gMemError = noErr;
}

OSErr PtrAndHand(const void* ptr, Handle h, Size size) {
    HandleBlock* b = BlockOf(h);
    if (!b) return gMemError = nilHandleErr;
    if (size < 0 || (size > 0 && !ptr)) return gMemError = paramErr;
    Size old = b->size;
    // ptr may point into the handle itself; copy it out before the block can move.
    const char* src = static_cast<const char*>(ptr);
    bool inside = size > 0 && src >= b->data && src < b->data + b->size;
    Size insideOffset = inside ? src - b->data : 0;
    if (!Reserve(b, old + size)) return gMemError = memFullErr;
    if (inside) src = b->data + insideOffset;
    if (size) std::memmove(b->data + old, src, static_cast<size_t>(size));
    b->size = old + size;
    return gMemError = noErr;
}

OSErr PtrToHand(const void* src, Handle* dst, Size size) {
    if (!dst || size < 0 || (size > 0 && !src)) return gMemError = paramErr;
    *dst = NewHandle(size);
    if (!*dst) return gMemError;
    if (size) std::memcpy(**dst, src, static_cast<size_t>(size));
    return gMemError = noErr;
}

OSErr HandToHand(Handle* h) {
    if (!h || !BlockOf(*h)) return gMemError = nilHandleErr;
    Handle copy = nullptr;
    OSErr err = PtrToHand(**h, &copy, GetHandleSize(*h));
    if (err) return err;
    *h = copy;
    return gMemError = noErr;
}

OSErr HandAndHand(Handle src, Handle dst) {
    if (!BlockOf(src) || !BlockOf(dst)) return gMemError = nilHandleErr;
    return PtrAndHand(*src, dst, GetHandleSize(src));
}

long Munger(Handle h, long offset, const void* ptr1, long len1, const void* ptr2, long len2) {
    HandleBlock* b = BlockOf(h);
    if (!b) {
        gMemError = nilHandleErr;
        return -1;
    }
    if (offset < 0 || offset > b->size || len2 < 0) {
        gMemError = paramErr;
        return -1;
    }
    long start = offset;
    long count;
    if (ptr1) {
        if (len1 <= 0) {
            count = 0;
        } else {
            const char* hay = b->data + offset;
            long hayLen = b->size - offset;
            const char* found = nullptr;
            if (len1 <= hayLen) {
                for (long i = 0; i + len1 <= hayLen; ++i) {
                    if (std::memcmp(hay + i, ptr1, static_cast<size_t>(len1)) == 0) {
                        found = hay + i;
                        break;
                    }
                }
            }
            if (!found) {
                gMemError = noErr;
                return -1;
            }
            start = found - b->data;
            count = len1;
        }
    } else {
        count = (len1 < 0 || len1 > b->size - offset) ? b->size - offset : len1;
    }
    if (!ptr2) {
        gMemError = noErr;
        return start;
    }
    // ptr2 may lie inside the block; keep a copy while the block is rearranged.
    const char* src = static_cast<const char*>(ptr2);
    char* tmp = nullptr;
    if (len2 > 0 && src >= b->data && src < b->data + b->capacity) {
        tmp = static_cast<char*>(std::malloc(static_cast<size_t>(len2)));
        if (!tmp) {
            gMemError = memFullErr;
            return -1;
        }
        std::memcpy(tmp, src, static_cast<size_t>(len2));
        src = tmp;
    }
    Size oldSize = b->size;
    Size newSize = oldSize - count + len2;
    if (newSize > oldSize && !Reserve(b, newSize)) {
        std::free(tmp);
        gMemError = memFullErr;
        return -1;
    }
    std::memmove(b->data + start + len2, b->data + start + count, static_cast<size_t>(oldSize - start - count));
    if (len2) std::memcpy(b->data + start, src, static_cast<size_t>(len2));
    b->size = newSize;
    std::free(tmp);
    gMemError = noErr;
    return start + len2;
}

void HLock(Handle h) {
    if (HandleBlock* b = BlockOf(h)) b->locked = true;
}
void HUnlock(Handle h) {
    if (HandleBlock* b = BlockOf(h)) b->locked = false;
}
bool HIsLocked(Handle h) {
    HandleBlock* b = BlockOf(h);
    return b && b->locked;
}
