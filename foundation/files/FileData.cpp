#include "foundation/files/FileData.h"

#include "platform/Handles.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace {

// Closes an open reference at the end of a scope.
struct RefCloser {
    SInt16 ref = 0;
    ~RefCloser() {
        if (ref) FSClose(ref);
    }
};

}  // namespace

OSErr GetFileDates(const FSSpec* spec, UInt32* created, UInt32* modified, UInt32* extra) {
    if (extra) *extra = 0;
    if (!spec) return paramErr;
    return FSpGetFileDates(spec, created, modified);
}

OSErr SetFileDatesFromSpec(const FSSpec* spec, const UInt32* created, const UInt32* modified) {
    return FSpSetFileDates(spec, created, modified);
}

OSErr ReadFileData(const FSSpec* spec, Handle* data, SInt64 offset, long* size) {
    if (!data) return paramErr;
    *data = nullptr;
    if (size) *size = 0;
    if (!spec || offset < 0) return paramErr;
    RefCloser f;
    OSErr err = FSpOpenDF(spec, fsRdPerm, &f.ref);
    if (err) {
        f.ref = 0;
        return err;
    }
    SInt64 eof = 0;
    err = GetEOF64(f.ref, &eof);
    if (err) return err;
    if (offset >= eof) return eofErr;
    SInt64 want = eof - offset;
    if (want > SInt64(LONG_MAX)) return memFullErr;
    Handle h = NewHandle(Size(want));
    if (!h) return memFullErr;
    long count = long(want);
    err = FSReadAt(f.ref, offset, &count, *h);
    if (err) {
        DisposeHandle(h);
        return err;
    }
    *data = h;
    if (size) *size = count;
    return noErr;
}

OSErr LoadFileData(const FSSpec* spec, Handle* data, long* size) { return ReadFileData(spec, data, 0, size); }

OSErr FileReadAt(const FSSpec* spec, SInt64 offset, long* count, void* buffer, long* countRead) {
    if (countRead) *countRead = 0;
    if (!spec || !count || offset < 0) return paramErr;
    RefCloser f;
    OSErr err = FSpOpenDF(spec, fsRdPerm, &f.ref);
    if (err) {
        f.ref = 0;
        *count = 0;
        return err;
    }
    err = FSReadAt(f.ref, offset, count, buffer);
    if (countRead) *countRead = *count;
    return err;
}

OSErr ScanTextLines(const FSSpec* spec, TextLineProc proc, void* refCon) {
    if (!spec || !proc) return paramErr;
    std::FILE* fp = std::fopen(spec->path.c_str(), "rb");
    if (!fp) return notOpenErr;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(fp, std::fclose);
    OSErr result = noErr;
    std::string line;
    bool skipping = true;   // at the start and after a line end: CR, LF and blanks are dropped
    bool atStart = true;
    for (int c; (c = std::getc(fp)) != EOF;) {
        if (c == '\r' || c == '\n') {
            if (!line.empty()) {
                result = proc(line.c_str(), refCon);
                line.clear();
                if (result) return result;
            }
            skipping = true;
            atStart = false;
            continue;
        }
        // Blanks after a line end belong to the separator; those that open the file do not.
        if (skipping && c == ' ' && !atStart) continue;
        skipping = false;
        line.push_back(char(c));
    }
    if (!line.empty()) result = proc(line.c_str(), refCon);
    return result;
}

OSErr FileWriteAt(const FSSpec* spec, const void* data, long count, OSType creator, OSType fileType,
                  SInt64 position) {
    if (!spec || count < 0 || (count > 0 && !data)) return paramErr;
    if (position < 0 && position != kWriteAppend && position != kWriteReplace) return paramErr;
    OSErr err = FSpCreate(spec, creator, fileType, -1);
    if (err && err != dupFNErr) return err;
    RefCloser f;
    err = FSpOpenDF(spec, fsWrPerm, &f.ref);
    if (err) {
        f.ref = 0;
        return err;
    }
    SInt64 at = position;
    if (position == kWriteReplace) {
        err = SetEOF64(f.ref, 0);
        at = 0;
    } else if (position == kWriteAppend) {
        err = GetEOF64(f.ref, &at);
    }
    if (err) return err;
    long n = count;
    err = FSWriteAt(f.ref, at, &n, data);
    OSErr closeErr = FSClose(f.ref);
    f.ref = 0;
    return err ? err : closeErr;
}

OSErr CopyForkData(SInt16 sourceRef, SInt16 destRef) {
    SInt64 mark = 0, eof = 0;
    OSErr err = GetFPos64(sourceRef, &mark);
    if (!err) err = GetEOF64(sourceRef, &eof);
    if (err) return err;
    SInt64 remaining = eof - mark;
    if (remaining <= 0) return noErr;
    SInt64 size = remaining < (SInt64(4) << 20) ? remaining : (SInt64(4) << 20);
    std::unique_ptr<char[]> buffer;
    while (size > 0 && !(buffer = std::unique_ptr<char[]>(new (std::nothrow) char[size_t(size)])))
        size /= 2;
    if (!buffer) return memFullErr;
    for (;;) {
        long n = long(size);
        err = FSRead(sourceRef, &n, buffer.get());
        if (err && err != eofErr) return err;
        if (n > 0) {
            long w = n;
            OSErr werr = FSWrite(destRef, &w, buffer.get());
            if (werr) return werr;
        }
        if (err == eofErr || n == 0) return noErr;
    }
}

OSErr FileTruncate(const FSSpec* spec) {
    RefCloser f;
    OSErr err = FSpOpenDF(spec, fsRdWrPerm, &f.ref);
    if (err) {
        f.ref = 0;
        return err;
    }
    err = SetEOF64(f.ref, 0);
    OSErr closeErr = FSClose(f.ref);
    f.ref = 0;
    return err ? err : closeErr;
}

OSErr FileTruncateResourceFork(const FSSpec* spec) {
    if (!spec || spec->path.empty()) return paramErr;
    return FSpExists(spec) ? OSErr(noErr) : OSErr(fnfErr);
}
