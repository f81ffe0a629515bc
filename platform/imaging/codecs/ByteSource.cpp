#include "platform/imaging/codecs/ByteSource.h"

#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::unique_ptr<ByteSource> ByteSource::OpenFile(const std::string& path, OSErr* err) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (err) *err = fnfErr;
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (err) *err = fnfErr;
        return nullptr;
    }
    std::unique_ptr<ByteSource> s(new ByteSource);
    s->fd_ = fd;
    s->fileSize_ = std::uint64_t(st.st_size);
    if (err) *err = noErr;
    return s;
}

std::unique_ptr<ByteSource> ByteSource::FromHandle(Handle h) {
    std::unique_ptr<ByteSource> s(new ByteSource);
    s->handle_ = h;
    return s;
}

std::unique_ptr<ByteSource> ByteSource::FromMemory(const void* data, std::size_t size) {
    std::unique_ptr<ByteSource> s(new ByteSource);
    s->memory_ = static_cast<const std::uint8_t*>(data);
    s->memorySize_ = data ? size : 0;
    return s;
}

ByteSource::~ByteSource() {
    if (fd_ >= 0) ::close(fd_);
}

std::uint64_t ByteSource::Size() const {
    if (fd_ >= 0) return fileSize_;
    if (handle_) return *handle_ ? std::uint64_t(GetHandleSize(handle_)) : 0;
    return memorySize_;
}

std::size_t ByteSource::ReadSome(std::uint64_t offset, void* buf, std::size_t n) const {
    if (n == 0) return 0;
    if (fd_ >= 0) {
        std::size_t done = 0;
        while (done < n) {
            ssize_t got = ::pread(fd_, static_cast<char*>(buf) + done, n - done, off_t(offset + done));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            done += std::size_t(got);
        }
        return done;
    }
    const std::uint8_t* base = handle_ ? reinterpret_cast<const std::uint8_t*>(handle_ ? *handle_ : nullptr)
                                       : memory_;
    std::uint64_t size = Size();
    if (!base || offset >= size) return 0;
    std::size_t count = std::size_t(std::min<std::uint64_t>(n, size - offset));
    std::memcpy(buf, base + offset, count);
    return count;
}

const std::uint8_t* ByteSource::Contents(std::uint64_t limit) {
    if (handle_) return Size() <= limit ? reinterpret_cast<const std::uint8_t*>(*handle_) : nullptr;
    if (fd_ < 0) return memorySize_ <= limit ? memory_ : nullptr;
    if (!contentsRead_) {
        contentsRead_ = true;
        if (fileSize_ > limit) return nullptr;
        try {
            contents_.resize(std::size_t(fileSize_));
        } catch (...) {
            return nullptr;
        }
        std::size_t got = ReadSome(0, contents_.data(), contents_.size());
        contents_.resize(got);
        fileSize_ = got;
    }
    return contents_.empty() && fileSize_ == 0 ? reinterpret_cast<const std::uint8_t*>("")
                                               : contents_.data();
}

bool ByteReader::Fill(void* buf, std::size_t n) {
    if (failed_ || !src_.ReadAt(pos_, buf, n)) {
        failed_ = true;
        std::memset(buf, 0, n);
        pos_ += n;
        return false;
    }
    pos_ += n;
    return true;
}

std::uint8_t ByteReader::U8() {
    std::uint8_t b[1];
    Fill(b, 1);
    return b[0];
}
std::uint16_t ByteReader::BE16() {
    std::uint8_t b[2];
    Fill(b, 2);
    return ReadBE16(b);
}
std::uint32_t ByteReader::BE32() {
    std::uint8_t b[4];
    Fill(b, 4);
    return ReadBE32(b);
}
std::uint16_t ByteReader::LE16() {
    std::uint8_t b[2];
    Fill(b, 2);
    return ReadLE16(b);
}
std::uint32_t ByteReader::LE32() {
    std::uint8_t b[4];
    Fill(b, 4);
    return ReadLE32(b);
}
bool ByteReader::Bytes(void* buf, std::size_t n) {
    return Fill(buf, n);
}
