// Where an importer reads its bytes from: a file (read with pread, never mapped, so a file
// that shrinks under us gives short reads, not a crash), a handle, or a block of memory.
#pragma once

#include "platform/MacTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ByteSource {
public:
    // -43 when the file cannot be opened.
    static std::unique_ptr<ByteSource> OpenFile(const std::string& path, OSErr* err);
    // The handle stays the caller's and must outlive the source; its block may move.
    static std::unique_ptr<ByteSource> FromHandle(Handle h);
    // The bytes stay the caller's and must outlive the source.
    static std::unique_ptr<ByteSource> FromMemory(const void* data, std::size_t size);

    ~ByteSource();
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

    std::uint64_t Size() const;
    // Whether the bytes come from a file (read on demand) rather than from memory.
    bool IsFile() const { return fd_ >= 0; }
    // Copies up to n bytes from the offset; answers how many were copied.
    std::size_t ReadSome(std::uint64_t offset, void* buf, std::size_t n) const;
    // True only when all n bytes were there.
    bool ReadAt(std::uint64_t offset, void* buf, std::size_t n) const {
        return ReadSome(offset, buf, n) == n;
    }
    // The whole content in memory (read once for a file); null when it is larger than the
    // limit or cannot be read. The pointer lives as long as the source (or until the handle
    // is resized).
    const std::uint8_t* Contents(std::uint64_t limit = kDefaultContentsLimit);

    static constexpr std::uint64_t kDefaultContentsLimit = 512ull * 1024 * 1024;

private:
    ByteSource() = default;
    int fd_ = -1;
    Handle handle_ = nullptr;
    const std::uint8_t* memory_ = nullptr;
    std::size_t memorySize_ = 0;
    std::uint64_t fileSize_ = 0;
    std::vector<std::uint8_t> contents_;
    bool contentsRead_ = false;
};

// Sequential reading with bounds checks, over a source: big- or little-endian numbers.
// Reads past the end answer zero and set the failed flag.
class ByteReader {
public:
    ByteReader(const ByteSource& src, std::uint64_t offset = 0) : src_(src), pos_(offset) {}
    std::uint8_t U8();
    std::uint16_t BE16();
    std::uint32_t BE32();
    std::uint16_t LE16();
    std::uint32_t LE32();
    bool Bytes(void* buf, std::size_t n);
    void Skip(std::uint64_t n) { pos_ += n; }
    void Seek(std::uint64_t pos) { pos_ = pos; }
    std::uint64_t Pos() const { return pos_; }
    bool Failed() const { return failed_; }
    std::uint64_t Remaining() const { return pos_ < src_.Size() ? src_.Size() - pos_ : 0; }

private:
    bool Fill(void* buf, std::size_t n);
    const ByteSource& src_;
    std::uint64_t pos_;
    bool failed_ = false;
};
