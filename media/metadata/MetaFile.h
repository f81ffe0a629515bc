// Bounded random-access reading and the safe rewrite of media files for the metadata code.
//
// MetaReader reads a file (or a byte block) at absolute positions through a small cache;
// every read is checked against the real length, so a parser that follows offsets from the
// file can only get an error, never bytes from outside it.
//
// The writers rewrite a file through the platform's safe rewrite: the new version goes to a
// temporary file of their own in the same folder and takes the original's place at the end,
// so a failure at any point leaves the original as it was.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/SafeRewrite.h"

#include <cstdint>
#include <vector>

class MetaReader {
public:
    MetaReader() = default;
    ~MetaReader();
    MetaReader(const MetaReader&) = delete;
    MetaReader& operator=(const MetaReader&) = delete;

    // Opens the file's data fork read-only.
    OSErr Open(const FSSpec* spec);
    // Reads from bytes held in memory instead of a file (the caller keeps them alive).
    void OpenBytes(const void* bytes, std::size_t size);
    void Close();
    bool IsOpen() const { return ref_ != 0 || bytes_ != nullptr; }

    SInt64 Length() const { return size_; }
    // Reads exactly count bytes at the position; eofErr (nothing useful in the buffer) when they
    // are not all there.
    OSErr ReadAt(SInt64 position, void* buffer, std::size_t count);
    // Reads count bytes into a vector; the same answers.
    OSErr ReadVector(SInt64 position, std::size_t count, std::vector<std::uint8_t>* out);
    // Reads count bytes into a new handle (null on error).
    OSErr ReadHandle(SInt64 position, std::size_t count, Handle* out);
    bool Fits(SInt64 position, std::uint64_t count) const {
        return position >= 0 && position <= size_ && count <= std::uint64_t(size_ - position);
    }
    SInt16 RefNum() const { return ref_; }

private:
    SInt16 ref_ = 0;
    const std::uint8_t* bytes_ = nullptr;
    SInt64 size_ = 0;
    // One window of the file kept in memory: the walkers read small pieces close together.
    std::vector<std::uint8_t> cache_;
    SInt64 cacheStart_ = -1;
};

// Starts the rewrite of a media file (platform/SafeRewrite.h) with the metadata writers'
// temporary files, "~~Temporary IO-" and a unique suffix, in the file's folder.
OSErr BeginMediaRewrite(SafeRewrite& out, const FSSpec* original);
// Appends count bytes of the source from the position (the rest of the file for -1).
OSErr CopyMetaBytes(SafeRewrite& out, MetaReader& source, SInt64 position, SInt64 count);

extern const char kTemporaryIoName[];  // "~~Temporary IO", the prefix of their names
