#include "media/metadata/MetaFile.h"

#include "platform/Handles.h"

#include <algorithm>
#include <cstring>

const char kTemporaryIoName[] = "~~Temporary IO";

namespace {
constexpr std::size_t kCacheSize = 64 * 1024;
constexpr std::size_t kCopyChunk = 256 * 1024;
}  // namespace

MetaReader::~MetaReader() { Close(); }

OSErr MetaReader::Open(const FSSpec* spec) {
    Close();
    if (!spec) return paramErr;
    SInt16 ref = 0;
    if (OSErr err = FSpOpenDF(spec, fsRdPerm, &ref)) return err;
    SInt64 size = 0;
    if (OSErr err = GetEOF64(ref, &size)) {
        FSClose(ref);
        return err;
    }
    ref_ = ref;
    size_ = size;
    return noErr;
}

void MetaReader::OpenBytes(const void* bytes, std::size_t size) {
    Close();
    static const std::uint8_t kNothing = 0;
    bytes_ = bytes ? static_cast<const std::uint8_t*>(bytes) : &kNothing;
    size_ = bytes ? static_cast<SInt64>(size) : 0;
}

void MetaReader::Close() {
    if (ref_) FSClose(ref_);
    ref_ = 0;
    bytes_ = nullptr;
    size_ = 0;
    cache_.clear();
    cacheStart_ = -1;
}

OSErr MetaReader::ReadAt(SInt64 position, void* buffer, std::size_t count) {
    if (!IsOpen()) return rfNumErr;
    if (count == 0) return noErr;
    if (!Fits(position, count)) return eofErr;
    if (bytes_) {
        std::memcpy(buffer, bytes_ + position, count);
        return noErr;
    }
    // Small reads come from the cache window; large ones go straight to the file.
    if (count > kCacheSize / 4) {
        long n = static_cast<long>(count);
        OSErr err = FSReadAt(ref_, position, &n, buffer);
        if (err == noErr && static_cast<std::size_t>(n) != count) err = eofErr;
        return err;
    }
    if (cacheStart_ < 0 || position < cacheStart_ ||
        std::uint64_t(position - cacheStart_) + count > cache_.size()) {
        std::size_t want = static_cast<std::size_t>(std::min<SInt64>(kCacheSize, size_ - position));
        cache_.resize(want);
        long n = static_cast<long>(want);
        OSErr err = FSReadAt(ref_, position, &n, cache_.data());
        if (err != noErr && err != eofErr) {
            cache_.clear();
            cacheStart_ = -1;
            return err;
        }
        cache_.resize(static_cast<std::size_t>(std::max<long>(n, 0)));
        cacheStart_ = position;
        if (cache_.size() < count) return eofErr;
    }
    std::memcpy(buffer, cache_.data() + (position - cacheStart_), count);
    return noErr;
}

OSErr MetaReader::ReadVector(SInt64 position, std::size_t count, std::vector<std::uint8_t>* out) {
    if (!Fits(position, count)) return eofErr;
    try {
        out->resize(count);
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
    return ReadAt(position, out->data(), count);
}

OSErr MetaReader::ReadHandle(SInt64 position, std::size_t count, Handle* out) {
    *out = nullptr;
    if (!Fits(position, count)) return eofErr;
    Handle h = NewHandle(static_cast<Size>(count));
    if (!h) return memFullErr;
    if (OSErr err = ReadAt(position, *h, count)) {
        DisposeHandle(h);
        return err;
    }
    *out = h;
    return noErr;
}

OSErr BeginMediaRewrite(SafeRewrite& out, const FSSpec* original) {
    SafeRewriteOptions options;
    options.tempPrefix = kTemporaryIoName;
    return out.Begin(original, options);
}

OSErr CopyMetaBytes(SafeRewrite& out, MetaReader& source, SInt64 position, SInt64 count) {
    if (count < 0) count = source.Length() - position;
    if (count < 0 || !source.Fits(position, static_cast<std::uint64_t>(count))) return eofErr;
    std::vector<std::uint8_t> buffer;
    try {
        buffer.resize(static_cast<std::size_t>(std::min<SInt64>(count, kCopyChunk)));
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
    while (count > 0) {
        std::size_t n = static_cast<std::size_t>(std::min<SInt64>(count, SInt64(buffer.size())));
        if (OSErr err = source.ReadAt(position, buffer.data(), n)) return err;
        if (OSErr err = out.Write(buffer.data(), n)) return err;
        position += SInt64(n);
        count -= SInt64(n);
    }
    return noErr;
}
