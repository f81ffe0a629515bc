// Helpers of the metadata tests: file specs for fixtures, reading list items, building small
// TIFF, JPEG and Photoshop byte fixtures, and running exiftool as an oracle.
#pragma once

#include "media/metadata/IptcBlock.h"
#include "platform/ByteOrder.h"
#include "platform/Files.h"
#include "platform/Handles.h"
#include "platform/UserData.h"
#include "support/FileSpecs.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace metatest {

using Bytes = std::vector<unsigned char>;

inline std::string SharedFixture(const std::string& rel) { return std::string(LYREX_SHARED_FIXTURES) + "/" + rel; }

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
inline void WriteBytes(const std::string& path, const Bytes& b) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}
inline std::string Str(const Bytes& b) { return std::string(b.begin(), b.end()); }
inline Bytes BytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline Handle NewHandleOf(const Bytes& b) {
    Handle h = nullptr;
    EXPECT_EQ(PtrToHand(b.data(), &h, static_cast<Size>(b.size())), noErr);
    return h;
}
inline Handle NewHandleOf(const std::string& s) { return NewHandleOf(BytesOf(s)); }
inline Bytes HandleBytes(Handle h) {
    if (!h) return {};
    auto* p = reinterpret_cast<unsigned char*>(*h);
    return Bytes(p, p + GetHandleSize(h));
}

struct HandleGuard {
    Handle h = nullptr;
    explicit HandleGuard(Handle x = nullptr) : h(x) {}
    ~HandleGuard() { if (h) DisposeHandle(h); }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;
};

struct List {
    UserData ud = nullptr;
    List() { NewUserData(&ud); }
    ~List() { DisposeUserData(ud); }
    List(const List&) = delete;
    List& operator=(const List&) = delete;
};

// Item bytes, or empty with *found false.
inline Bytes Item(UserData ud, OSType type, long index = 1, bool* found = nullptr) {
    Handle h = NewHandle(0);
    OSErr err = GetUserData(ud, h, type, index);
    if (found) *found = err == noErr;
    Bytes b = err ? Bytes() : HandleBytes(h);
    DisposeHandle(h);
    return b;
}
// Text item (region 0) with trailing NULs taken off, as a person reads it.
inline std::string Text(UserData ud, OSType type, long index = 1) {
    Handle h = NewHandle(0);
    std::string s;
    if (GetUserDataText(ud, h, type, index, 0) == noErr) s = Str(HandleBytes(h));
    DisposeHandle(h);
    while (!s.empty() && (s.back() == '\0' || s.back() == ' ')) s.pop_back();
    return s;
}

// ---- byte builders --------------------------------------------------------------------------

struct Order {
    bool big;
    Bytes U16(unsigned v) const {
        Bytes b(2);
        big ? WriteBE16(b.data(), std::uint16_t(v)) : WriteLE16(b.data(), std::uint16_t(v));
        return b;
    }
    Bytes U32(std::uint32_t v) const {
        Bytes b(4);
        big ? WriteBE32(b.data(), v) : WriteLE32(b.data(), v);
        return b;
    }
    Bytes Rational(std::uint32_t n, std::uint32_t d) const {
        Bytes b = U32(n), c = U32(d);
        b.insert(b.end(), c.begin(), c.end());
        return b;
    }
    Bytes Shorts(std::initializer_list<unsigned> values) const {
        Bytes b;
        for (unsigned v : values) {
            Bytes x = U16(v);
            b.insert(b.end(), x.begin(), x.end());
        }
        return b;
    }
    Bytes Longs(std::initializer_list<std::uint32_t> values) const {
        Bytes b;
        for (std::uint32_t v : values) {
            Bytes x = U32(v);
            b.insert(b.end(), x.begin(), x.end());
        }
        return b;
    }
};
inline Bytes Ascii(const std::string& s) {
    Bytes b(s.begin(), s.end());
    b.push_back(0);
    return b;
}
inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct IfdEntry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    Bytes value;  // in the file's order; up to 4 bytes inline, else placed after the directory
};

// Puts a directory at `at` in buf (growing it), its out-of-line values right after it;
// answers the offset just past what it wrote. Offsets in values are relative to `base`.
inline std::size_t PutIfd(Bytes& buf, std::size_t base, std::size_t at, const Order& o,
                          const std::vector<IfdEntry>& entries, std::uint32_t next) {
    std::size_t dirEnd = at + 2 + 12 * entries.size() + 4;
    std::size_t data = dirEnd;
    if (buf.size() < dirEnd) buf.resize(dirEnd);
    auto put = [&](std::size_t pos, const Bytes& b) {
        if (buf.size() < pos + b.size()) buf.resize(pos + b.size());
        std::memcpy(buf.data() + pos, b.data(), b.size());
    };
    put(at, o.U16(unsigned(entries.size())));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const IfdEntry& e = entries[i];
        std::size_t p = at + 2 + 12 * i;
        put(p, o.U16(e.tag));
        put(p + 2, o.U16(e.type));
        put(p + 4, o.U32(e.count));
        if (e.value.size() <= 4) {
            Bytes v = e.value;
            v.resize(4, 0);
            put(p + 8, v);
        } else {
            if (data & 1) ++data;
            put(p + 8, o.U32(std::uint32_t(data - base)));
            put(data, e.value);
            data += e.value.size();
        }
    }
    put(dirEnd - 4, o.U32(next));
    return data;
}

inline Bytes TiffHeader(const Order& o, std::uint32_t firstIfd) {
    return Cat({o.big ? Bytes{'M', 'M'} : Bytes{'I', 'I'}, o.U16(42), o.U32(firstIfd)});
}

// One IPTC dataset: its marker, the record and dataset numbers of the key, a 16-bit length.
inline Bytes Dataset(UInt8 marker, UInt16 key, const std::string& data) {
    Bytes b(5 + data.size());
    b[0] = marker;
    b[1] = UInt8(key >> 8);
    b[2] = UInt8(key);
    WriteBE16(b.data() + 3, UInt16(data.size()));
    std::copy(data.begin(), data.end(), b.begin() + 5);
    return b;
}
inline Bytes Dataset(UInt16 key, const std::string& data) { return Dataset(IptcMarkerAnsi, key, data); }

// The annotations the writers' tests embed: caption, two keywords, creator and date created.
inline Bytes SampleAnnotations(const std::string& caption = "A caption") {
    return Cat({Dataset(632, caption), Dataset(537, "alpha"), Dataset(537, "beta"), Dataset(592, "Jane Doe"),
                Dataset(567, "20040709")});
}

inline Bytes Segment(unsigned marker, const Bytes& payload) {
    Bytes b = {0xFF, std::uint8_t(marker), 0, 0};
    WriteBE16(b.data() + 2, std::uint16_t(payload.size() + 2));
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}

// The names of the writers' temporary files ("~~Temporary IO" and what follows) in a folder.
inline std::vector<std::string> TemporaryFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().filename().string().rfind("~~Temporary IO", 0) == 0) names.push_back(e.path().filename());
    return names;
}

// ---- processes ------------------------------------------------------------------------------

// Runs a program with an argument list and answers what it wrote on its standard output.
inline std::string RunProgram(const std::vector<std::string>& args, int* status = nullptr) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) out.append(buf, std::size_t(n));
    close(fds[0]);
    int st = 0;
    waitpid(pid, &st, 0);
    if (status) *status = st;
    return out;
}

// One tag's value as exiftool prints it (-s3), e.g. Exiftool("XMP-photoshop:Caption", path).
inline std::string Exiftool(const std::vector<std::string>& tags, const std::string& path) {
    std::vector<std::string> args = {"exiftool", "-s3", "-n"};
    for (const auto& t : tags) args.push_back("-" + t);
    args.push_back(path);
    std::string out = RunProgram(args);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

}  // namespace metatest
