// Open files: reference numbers, marks, reading, writing and lengths.
#include "platform/FileDescriptors.h"
#include "platform/FileFaults.h"
#include "platform/Files.h"
#include "platform/MappedCopy.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace {

// What all opens of one file in this process share: the length as this process knows it (the
// length found at the latest open, moved by every write and length change made through any of
// the opens), so that bounds can be checked without asking the system each time.
struct SharedFile {
    dev_t device = 0;
    ino_t inode = 0;
    std::atomic<SInt64> knownLength{0};
    // A read from the map found the file shortened under it by another program: from then on
    // every read goes to the file itself, which answers what the file holds now.
    std::atomic<bool> mapFaulted{false};

    void Grow(SInt64 end) {
        SInt64 now = knownLength.load();
        while (end > now && !knownLength.compare_exchange_weak(now, end)) {
        }
    }
};

// A read-only shared memory map of a whole file, unmapped when the last open (or read in
// progress) that holds it lets go.
struct FileMap {
    const char* bytes = nullptr;
    size_t size = 0;
    FileMap(const char* b, size_t n) : bytes(b), size(n) {}
    FileMap(const FileMap&) = delete;
    FileMap& operator=(const FileMap&) = delete;
    ~FileMap() { munmap(const_cast<char*>(bytes), size); }
};

// What a read or write needs of an open file; copied out of the table so the transfer runs
// without its lock.
struct OpenIo {
    int fd = -1;
    UInt32 generation = 0;   // tells a reopened slot from the open it had before
    SInt64 mark = 0;
    bool canRead = false;
    bool canWrite = false;
    std::shared_ptr<SharedFile> shared;
    std::shared_ptr<const FileMap> map;   // set when reads may be served from memory
    bool mapWanted = false;               // reads asked to come from memory (FSMapForReading)
    bool remap = false;                   // a read found the file grown past its map
};

struct OpenFile : OpenIo {
    FSSpec spec;
};

// Reference numbers are 1-based indexes into this table; a closed slot is reused.
struct OpenTable {
    std::mutex lock;
    std::vector<OpenFile> files;
};

OpenTable& Table() {
    static OpenTable t;
    return t;
}

constexpr size_t kMaxOpenFiles = 32000;

// Counts every call that may change an open file under the table's lock (opens, closes, new
// maps, marks): a thread's kept copy of an open (below) is good only while the count stands.
std::atomic<std::uint64_t> gTableChanges{0};

// Runs f on the open file of refNum under the table's lock.
template <class F>
OSErr WithFile(SInt16 refNum, F&& f) {
    OpenTable& t = Table();
    std::lock_guard<std::mutex> g(t.lock);
    gTableChanges.fetch_add(1, std::memory_order_release);
    if (refNum <= 0 || size_t(refNum) > t.files.size() || t.files[size_t(refNum) - 1].fd < 0)
        return rfNumErr;
    return f(t.files[size_t(refNum) - 1]);
}

// The same, for a look that changes nothing.
template <class F>
OSErr WithFileToRead(SInt16 refNum, F&& f) {
    OpenTable& t = Table();
    std::lock_guard<std::mutex> g(t.lock);
    if (refNum <= 0 || size_t(refNum) > t.files.size() || t.files[size_t(refNum) - 1].fd < 0)
        return rfNumErr;
    return f(t.files[size_t(refNum) - 1]);
}

// Positioned reads on several threads at once (a search over a whole catalog) would all queue
// on the table's lock and on the reference counts of the same map. Each thread therefore keeps
// its copies of the opens it reads, and uses them without the lock while nothing in the table
// has changed since they were taken.
struct ThreadReadCache {
    std::uint64_t changes = ~std::uint64_t(0);
    std::vector<std::pair<SInt16, OpenIo>> opens;
};

OpenIo* CachedOpenForRead(SInt16 refNum) {
    thread_local ThreadReadCache cache;
    const std::uint64_t now = gTableChanges.load(std::memory_order_acquire);
    if (cache.changes != now) {
        cache.opens.clear();
        cache.changes = now;
    }
    for (auto& [ref, io] : cache.opens)
        if (ref == refNum) return &io;
    OpenIo copy;
    if (WithFileToRead(refNum, [&](OpenFile& of) {
            copy = of;
            return noErr;
        }) != noErr)
        return nullptr;
    // A change that slipped in while the copy was taken: use it once, keep nothing.
    if (gTableChanges.load(std::memory_order_acquire) != now) return nullptr;
    if (cache.opens.size() >= 8) cache.opens.erase(cache.opens.begin());
    cache.opens.emplace_back(refNum, std::move(copy));
    return &cache.opens.back().second;
}

OSErr LengthOf(int fd, SInt64* length) {
    struct stat st{};
    if (fstat(fd, &st) != 0) return OSErrFromErrno(errno);
    *length = SInt64(st.st_size);
    return noErr;
}

// (Re)makes the open's map over the whole file. An open that may write reserves room for the
// file to grow to twice its length (at least 1 MiB), so that a file growing by this process's
// writes is remapped only now and then: the pages past the end of the file are never touched,
// since reads stop at the length this process knows. A file the system will not map keeps the
// map it had, if any (reads past it go to the file).
void MapWhole(OpenFile& f) {
    SInt64 length = 0;
    if (LengthOf(f.fd, &length) != noErr) return;
    f.shared->knownLength.store(length);
    // A map that still covers the file (with room to spare, for an open that may write) stays.
    const SInt64 mapped = f.map ? SInt64(f.map->size) : 0;
    if (mapped > length || (mapped > 0 && mapped == length && !f.canWrite)) return;
    const SInt64 reserve = f.canWrite ? std::max<SInt64>(2 * length, SInt64(1) << 20) : length;
    if (reserve <= 0 || UInt64(reserve) > UInt64(SIZE_MAX) / 2) return;
    void* bytes = mmap(nullptr, size_t(reserve), PROT_READ, MAP_SHARED, f.fd, 0);
    if (bytes == MAP_FAILED) return;
    try {
        f.map = std::make_shared<const FileMap>(static_cast<const char*>(bytes), size_t(reserve));
    } catch (const std::bad_alloc&) {
        munmap(bytes, size_t(reserve));
    }
}

// Reads and writes run outside the table's lock, on a copy of the open file, so one long
// transfer never holds up the file calls of other threads; the mark is then moved on if the
// reference still names the same open.
template <class F>
OSErr WithFileUnlocked(SInt16 refNum, F&& f) {
    OpenIo copy;
    OSErr err = WithFileToRead(refNum, [&](OpenFile& of) {
        copy = of;
        return noErr;
    });
    if (err) return err;
    SInt64 markBefore = copy.mark;
    err = f(copy);
    if (copy.mark != markBefore || copy.remap) {
        WithFile(refNum, [&](OpenFile& of) {
            if (of.generation != copy.generation) return noErr;
            if (copy.mark != markBefore) of.mark = copy.mark;
            if (copy.remap && of.map == copy.map) MapWhole(of);
            return noErr;
        });
    }
    return err;
}

OSErr OpenErr(int e) {
    switch (e) {
    case EACCES:
    case EPERM: return permErr;
    case EISDIR: return notAFileErr;
    default: return OSErrFromErrno(e);
    }
}

OSErr ReadAt(OpenIo& f, SInt64 pos, long* count, void* buffer) {
    if (!count) return paramErr;
    if (*count < 0 || (*count > 0 && !buffer) || !f.canRead) {
        bool badArgs = *count < 0 || (*count > 0 && !buffer);
        *count = 0;
        return badArgs ? OSErr(paramErr) : OSErr(permErr);
    }
    long want = *count, done = 0;
    auto* p = static_cast<char*>(buffer);
    if (f.map && want > 0 && !f.shared->mapFaulted.load(std::memory_order_relaxed)) {
        // Only bytes the file still holds as far as this process knows: a length change made
        // through another open since the map was made limits what the map may serve, and
        // anything outside goes to the file itself.
        SInt64 limit = std::min<SInt64>(SInt64(f.map->size), f.shared->knownLength.load());
        if (pos < limit && SInt64(want) <= limit - pos) {
            if (MappedCopy(p, f.map->bytes + pos, size_t(want))) return noErr;
            // Another program shortened or rewrote the file in place: this read failed (the
            // caller reports it), and the map serves no more reads of the file.
            f.shared->mapFaulted.store(true);
            *count = 0;
            return ioErr;
        }
    }
    // The file has outgrown its map: the next reads should come from a new one.
    if (f.mapWanted && want > 0 && !f.shared->mapFaulted.load() && f.shared->knownLength.load() > (f.map ? SInt64(f.map->size) : 0))
        f.remap = true;
    while (done < want) {
        ssize_t n = pread(f.fd, p + done, size_t(want - done), off_t(pos + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            *count = done;
            return OSErrFromErrno(errno);
        }
        if (n == 0) break;
        done += long(n);
    }
    *count = done;
    return done < want ? eofErr : noErr;
}

OSErr WriteAt(OpenIo& f, SInt64 pos, long* count, const void* buffer) {
    if (!count) return paramErr;
    if (*count < 0 || (*count > 0 && !buffer) || !f.canWrite) {
        bool badArgs = *count < 0 || (*count > 0 && !buffer);
        *count = 0;
        return badArgs ? OSErr(paramErr) : OSErr(wrPermErr);
    }
    long want = *count, done = 0;
    auto* p = static_cast<const char*>(buffer);
    while (done < want) {
        ssize_t n = pwrite(f.fd, p + done, size_t(want - done), off_t(pos + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            int e = errno;
            *count = done;
            f.shared->Grow(pos + done);
            return OSErrFromErrno(e);
        }
        if (n == 0) {
            *count = done;
            f.shared->Grow(pos + done);
            return dskFulErr;
        }
        done += long(n);
    }
    *count = done;
    f.shared->Grow(pos + done);
    return noErr;
}

}  // namespace

OSErr FSpOpenDF(const FSSpec* spec, SInt8 permission, SInt16* refNum) {
    if (!spec || !refNum) return paramErr;
    *refNum = 0;
    if (spec->path.empty()) return bdNamErr;
    int fd = -1;
    bool canRead = true, canWrite = true;
    switch (permission) {
    case fsRdPerm:
        fd = open(spec->path.c_str(), O_RDONLY | O_CLOEXEC);
        canWrite = false;
        break;
    case fsWrPerm:
        fd = open(spec->path.c_str(), O_WRONLY | O_CLOEXEC);
        canRead = false;
        break;
    case fsRdWrPerm:
    case fsRdWrShPerm:
        fd = open(spec->path.c_str(), O_RDWR | O_CLOEXEC);
        break;
    case fsCurPerm:
        fd = open(spec->path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
            fd = open(spec->path.c_str(), O_RDONLY | O_CLOEXEC);
            canWrite = false;
        }
        break;
    default: return paramErr;
    }
    if (fd < 0) return OpenErr(errno);
    struct stat st{};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        int e = errno;
        bool dir = S_ISDIR(st.st_mode);
        close(fd);
        return dir ? OSErr(notAFileErr) : OSErrFromErrno(e);
    }
    return AdoptFileDescriptor(fd, canRead, canWrite, *spec, refNum);
}

OSErr AdoptFileDescriptor(int fd, bool canRead, bool canWrite, const FSSpec& spec,
                          SInt16* refNum) {
    *refNum = 0;
    struct stat st{};
    if (fstat(fd, &st) != 0) {
        int e = errno;
        close(fd);
        return OSErrFromErrno(e);
    }
    OpenTable& t = Table();
    std::lock_guard<std::mutex> g(t.lock);
    gTableChanges.fetch_add(1, std::memory_order_release);
    // Another open of the same file shares its length; this open has just learnt the true one.
    std::shared_ptr<SharedFile> shared;
    for (const OpenFile& other : t.files)
        if (other.fd >= 0 && other.shared && other.shared->device == st.st_dev && other.shared->inode == st.st_ino) {
            shared = other.shared;
            break;
        }
    if (!shared) {
        shared = std::make_shared<SharedFile>();
        shared->device = st.st_dev;
        shared->inode = st.st_ino;
    }
    shared->knownLength.store(SInt64(st.st_size));
    size_t slot = 0;
    while (slot < t.files.size() && t.files[slot].fd >= 0) ++slot;
    if (slot == t.files.size()) {
        if (slot >= kMaxOpenFiles) {
            close(fd);
            return tmfoErr;
        }
        t.files.emplace_back();
    }
    static UInt32 generations = 0;
    OpenFile& f = t.files[slot];
    f.fd = fd;
    f.generation = ++generations;
    f.mark = 0;
    f.canRead = canRead;
    f.canWrite = canWrite;
    f.shared = std::move(shared);
    f.map.reset();
    f.mapWanted = false;
    f.remap = false;
    f.spec = spec;
    *refNum = SInt16(slot + 1);
    return noErr;
}

OSErr WithOpenFileDescriptor(SInt16 refNum,
                             const std::function<OSErr(int fd, const FSSpec& spec)>& f) {
    return WithFile(refNum, [&](OpenFile& file) { return f(file.fd, file.spec); });
}

OSErr FSpCreateOpen(const FSSpec* spec, SInt16* refNum) {
    if (!spec || !refNum) return paramErr;
    *refNum = 0;
    if (spec->path.empty()) return paramErr;
    if (!IsValidFileName(FSSpecName(*spec))) return bdNamErr;
    int fd = open(spec->path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return OSErrFromErrno(errno);
    return AdoptFileDescriptor(fd, true, true, *spec, refNum);
}

OSErr FSRead(SInt16 refNum, long* count, void* buffer) {
    return WithFileUnlocked(refNum, [&](OpenIo& f) {
        OSErr err = ReadAt(f, f.mark, count, buffer);
        if (count && *count > 0) f.mark += *count;
        return err;
    });
}

OSErr FSWrite(SInt16 refNum, long* count, const void* buffer) {
    if (OSErr fault = FileFaultCheck(refNum, FileFaultPoint::kWrite, count ? *count : 0)) {
        if (count) *count = 0;
        return fault;
    }
    return WithFileUnlocked(refNum, [&](OpenIo& f) {
        OSErr err = WriteAt(f, f.mark, count, buffer);
        if (count && *count > 0) f.mark += *count;
        return err;
    });
}

OSErr FSReadAt(SInt16 refNum, SInt64 position, long* count, void* buffer) {
    if (position < 0) return posErr;
    if (OpenIo* kept = CachedOpenForRead(refNum)) {
        kept->remap = false;
        const OSErr err = ReadAt(*kept, position, count, buffer);
        if (kept->remap) {
            const UInt32 generation = kept->generation;
            const std::shared_ptr<const FileMap> map = kept->map;
            WithFile(refNum, [&](OpenFile& of) {
                if (of.generation == generation && of.map == map) MapWhole(of);
                return noErr;
            });
        }
        return err;
    }
    return WithFileUnlocked(refNum, [&](OpenIo& f) { return ReadAt(f, position, count, buffer); });
}

OSErr FSWriteAt(SInt16 refNum, SInt64 position, long* count, const void* buffer) {
    if (position < 0) return posErr;
    if (OSErr fault = FileFaultCheck(refNum, FileFaultPoint::kWrite, count ? *count : 0)) {
        if (count) *count = 0;
        return fault;
    }
    return WithFileUnlocked(refNum, [&](OpenIo& f) { return WriteAt(f, position, count, buffer); });
}

OSErr SetFPos64(SInt16 refNum, SInt16 posMode, SInt64 posOff) {
    return WithFile(refNum, [&](OpenFile& f) -> OSErr {
        SInt64 base;
        switch (posMode) {
        case fsAtMark: return noErr;
        case fsFromStart: base = 0; break;
        case fsFromMark: base = f.mark; break;
        case fsFromLEOF: {
            OSErr err = LengthOf(f.fd, &base);
            if (err) return err;
            break;
        }
        default: return paramErr;
        }
        if ((posOff > 0 && base > INT64_MAX - posOff)) return posErr;
        SInt64 target = base + posOff;
        if (target < 0) return posErr;
        SInt64 length = 0;
        OSErr err = LengthOf(f.fd, &length);
        if (err) return err;
        if (target > length) {
            f.mark = length;
            return eofErr;
        }
        f.mark = target;
        return noErr;
    });
}

OSErr SetFPos(SInt16 refNum, SInt16 posMode, long posOff) { return SetFPos64(refNum, posMode, posOff); }

OSErr GetFPos64(SInt16 refNum, SInt64* filePos) {
    if (!filePos) return paramErr;
    return WithFileToRead(refNum, [&](OpenFile& f) {
        *filePos = f.mark;
        return noErr;
    });
}

OSErr GetFPos(SInt16 refNum, long* filePos) {
    if (!filePos) return paramErr;
    SInt64 p = 0;
    OSErr err = GetFPos64(refNum, &p);
    *filePos = long(p);
    return err;
}

OSErr GetEOF64(SInt16 refNum, SInt64* logEOF) {
    if (!logEOF) return paramErr;
    return WithFileToRead(refNum, [&](OpenFile& f) {
        OSErr err = LengthOf(f.fd, logEOF);
        if (err == noErr) f.shared->knownLength.store(*logEOF);
        return err;
    });
}

OSErr FSGetKnownEOF(SInt16 refNum, SInt64* logEOF) {
    if (!logEOF) return paramErr;
    if (OpenIo* kept = CachedOpenForRead(refNum)) {
        *logEOF = kept->shared->knownLength.load();
        return noErr;
    }
    return WithFileToRead(refNum, [&](OpenFile& f) {
        *logEOF = f.shared->knownLength.load();
        return noErr;
    });
}

// Files on network and user-space file systems can be cut off or replaced by another machine
// while we hold them open (a catalog shared with other users); a mapped page that vanishes
// stops the program, where an ordinary read only answers an error. Those keep ordinary reads.
bool FSFileSystemMayBeMapped(unsigned long fsType) {
    switch (fsType) {
    case 0x6969UL:      // NFS
    case 0x517BUL:      // SMB
    case 0xFF534D42UL:  // CIFS
    case 0xFE534D42UL:  // SMB2
    case 0x65735546UL:  // FUSE
    case 0x01021997UL:  // 9P
    case 0x00C36400UL:  // Ceph
    case 0x5346414FUL:  // AFS
    case 0x73757245UL:  // Coda
    case 0x47504653UL:  // GPFS
    case 0x0BD00BD0UL:  // Lustre
        return false;
    default:
        return true;
    }
}

static bool OnLocalFileSystem(int fd) {
    struct statfs fs{};
    return fstatfs(fd, &fs) == 0 && FSFileSystemMayBeMapped(static_cast<unsigned long>(fs.f_type));
}

OSErr FSMapForReading(SInt16 refNum) {
    return WithFile(refNum, [&](OpenFile& f) -> OSErr {
        if (!f.canRead) return permErr;
        if (!OnLocalFileSystem(f.fd)) return noErr;
        f.mapWanted = true;
        MapWhole(f);
        return noErr;
    });
}

bool FSReadFaulted(SInt16 refNum) {
    bool faulted = false;
    WithFileToRead(refNum, [&](OpenFile& f) {
        faulted = f.shared->mapFaulted.load();
        return noErr;
    });
    return faulted;
}

OSErr GetEOF(SInt16 refNum, long* logEOF) {
    if (!logEOF) return paramErr;
    SInt64 n = 0;
    OSErr err = GetEOF64(refNum, &n);
    *logEOF = long(n);
    return err;
}

OSErr SetEOF64(SInt16 refNum, SInt64 logEOF) {
    if (logEOF < 0) return paramErr;
    if (OSErr fault = FileFaultCheck(refNum, FileFaultPoint::kSetLength, long(logEOF))) return fault;
    return WithFile(refNum, [&](OpenFile& f) -> OSErr {
        if (!f.canWrite) return wrPermErr;
        int r;
        do r = ftruncate(f.fd, off_t(logEOF));
        while (r != 0 && errno == EINTR);
        if (r != 0) return OSErrFromErrno(errno);
        f.shared->knownLength.store(logEOF);
        if (f.mark > logEOF) f.mark = logEOF;
        return noErr;
    });
}

OSErr SetEOF(SInt16 refNum, long logEOF) { return SetEOF64(refNum, logEOF); }

OSErr FSFlushFile(SInt16 refNum) {
    if (OSErr fault = FileFaultCheck(refNum, FileFaultPoint::kFlush, 0)) return fault;
    return WithFileUnlocked(refNum, [&](OpenIo& f) -> OSErr {
        if (fsync(f.fd) != 0) return OSErrFromErrno(errno);
        return noErr;
    });
}

OSErr FSClose(SInt16 refNum) {
    return WithFile(refNum, [&](OpenFile& f) -> OSErr {
        int r = close(f.fd);
        int e = errno;
        f.fd = -1;
        f.shared.reset();
        f.map.reset();
        f.mapWanted = false;
        f.spec = FSSpec{};
        // A failed close may mean lost writes on some file systems; the caller must know.
        if (r != 0 && e != EINTR) return OSErrFromErrno(e);
        return noErr;
    });
}

OSErr FSGetOpenFileSpec(SInt16 refNum, FSSpec* spec) {
    if (!spec) return paramErr;
    return WithFileToRead(refNum, [&](OpenFile& f) {
        *spec = f.spec;
        return noErr;
    });
}
