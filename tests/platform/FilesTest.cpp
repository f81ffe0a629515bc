#include "platform/Files.h"
#include "platform/MacDates.h"
#include "platform/Volumes.h"
#include "support/ChildProcess.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>
#include <vector>

namespace {

std::vector<unsigned char> PStr(const std::string& s) {
    std::vector<unsigned char> p(1 + s.size());
    p[0] = static_cast<unsigned char>(s.size());
    std::memcpy(p.data() + 1, s.data(), s.size());
    return p;
}

TEST(FileSpecMaking, AnswersByWhatExists) {
    TempFolder tmp;
    tmp.Write("dir/file.txt", "x");
    struct Case {
        std::string rel;
        OSErr want;
    } cases[] = {
        {"dir/file.txt", noErr},
        {"dir", noErr},
        {"dir/missing.txt", fnfErr},
        {"nofolder/missing.txt", dirNFErr},
        {"dir/file.txt/inner", dirNFErr},   // a file is no folder
    };
    for (const auto& c : cases) {
        FSSpec s;
        EXPECT_EQ(FSMakeFSSpecFromPath(tmp / c.rel, &s), c.want) << c.rel;
        EXPECT_EQ(s.path, tmp / c.rel) << c.rel;
        if (c.want != dirNFErr) {
            EXPECT_LT(s.vRefNum, 0) << c.rel;
            std::string folder;
            ASSERT_EQ(GetDirectoryPath(s.vRefNum, s.parID, &folder), noErr) << c.rel;
            EXPECT_EQ(folder, FSSpecFolderPath(s)) << c.rel;
        }
    }
}

TEST(FileSpecMaking, NormalisesPathsAndBuildsFromFolderIds) {
    TempFolder tmp;
    tmp.Write("a/b/c.txt", "x");
    FSSpec s;
    ASSERT_EQ(FSMakeFSSpecFromPath(tmp.path() + "//a/./b/../b/c.txt", &s), noErr);
    EXPECT_EQ(s.path, tmp / "a/b/c.txt");
    EXPECT_EQ(FSSpecName(s), "c.txt");
    EXPECT_EQ(FSSpecFolderPath(s), tmp / "a/b");

    // The same item through the toolbox call: parent folder id plus a length-prefixed name.
    FSSpec viaId;
    auto name = PStr("c.txt");
    ASSERT_EQ(FSMakeFSSpec(s.vRefNum, s.parID, name.data(), &viaId), noErr);
    EXPECT_EQ(viaId.path, s.path);
    EXPECT_EQ(viaId.parID, s.parID);

    auto full = PStr(s.path);
    FSSpec viaPath;
    ASSERT_EQ(FSMakeFSSpec(0, 0, full.data(), &viaPath), noErr);
    EXPECT_EQ(viaPath.path, s.path);

    // The root folder of a volume has the root id.
    FSSpec root;
    ASSERT_EQ(FSMakeFSSpecFromPath("/", &root), noErr);
    EXPECT_EQ(root.parID, fsRtParID);
    std::string rootPath;
    ASSERT_EQ(GetDirectoryPath(root.vRefNum, fsRtDirID, &rootPath), noErr);
    EXPECT_EQ(rootPath, "/");

    EXPECT_EQ(GetDirectoryPath(s.vRefNum, 0x7FFFFFF0, &rootPath), dirNFErr);
    EXPECT_EQ(FSMakeFSSpec(-30000, fsRtDirID, name.data(), &viaId), nsvErr);
}

TEST(FileSpecMaking, RefusesBadNames) {
    TempFolder tmp;
    FSSpec folder = CheckedSpecOf(tmp.path());
    for (const std::string& bad : std::vector<std::string>{"", ".", "..", "a/b", "/", std::string("a\0b", 3), std::string(256, 'n')}) {
        FSSpec s;
        EXPECT_EQ(FSMakeChildSpec(&folder, bad, &s), bdNamErr) << bad;
        EXPECT_FALSE(IsValidFileName(bad)) << bad;
    }
    EXPECT_TRUE(IsValidFileName(std::string(255, 'n')));
    EXPECT_TRUE(IsValidFileName("...")); // only "." and ".." are special

    tmp.Write("f", "x");
    FSSpec f = CheckedSpecOf(tmp / "f");
    for (std::string bad : {".", "..", "x/y", ""}) {
        EXPECT_EQ(FSpRenameTo(&f, bad, nullptr), bdNamErr) << bad;
    }
    FSSpec dot = CheckedSpecOf(tmp / "sub/..");  // normalises to the temp folder itself
    EXPECT_EQ(dot.path, tmp.path());
    EXPECT_TRUE(FSpExists(&f));
}

TEST(FileSpecPaths, StoredFormsNeverCut) {
    TempFolder tmp;
    // A path longer than 255 bytes: fine in memory, an error where a record must hold it.
    std::string deep = tmp.path();
    while (deep.size() < 300) deep += "/folder-with-a-long-name";
    std::filesystem::create_directories(deep);
    FSSpec longSpec = CheckedSpecOf(deep + "/file.jpg");
    FSSpecRecord rec;
    EXPECT_EQ(FSSpecToRecord(&longSpec, &rec), bdNamErr);
    EXPECT_EQ(rec.name[0], 0);
    Str255 p;
    EXPECT_EQ(FSSpecGetPathPStr(&longSpec, p), bdNamErr);
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(FSSpecGetName(&longSpec, p), noErr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(p + 1), p[0]), "file.jpg");

    char buf[64];
    EXPECT_EQ(FSSpecToNativePathName(&longSpec, buf, sizeof buf, kFullNativePath), bdNamErr);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(FSSpecToNativePathName(&longSpec, buf, sizeof buf, kFileNameOnly), noErr);
    EXPECT_STREQ(buf, "file.jpg");

    // A short one goes into the record and comes back.
    FSSpec shortSpec = CheckedSpecOf(tmp / "é.jpg");
    ASSERT_EQ(FSSpecToRecord(&shortSpec, &rec), noErr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(rec.name + 1), rec.name[0]), shortSpec.path);
    FSSpec back;
    EXPECT_EQ(FSSpecFromRecord(&rec, &back), fnfErr);
    EXPECT_EQ(back.path, shortSpec.path);
    EXPECT_EQ(back.parID, shortSpec.parID);

    // The length limit of a caller's field is honoured exactly.
    std::string path = shortSpec.path;
    EXPECT_EQ(FSSpecGetPathPStr(&shortSpec, p, int(path.size())), noErr);
    EXPECT_EQ(FSSpecGetPathPStr(&shortSpec, p, int(path.size()) - 1), bdNamErr);
    EXPECT_EQ(FSSpecToNativePathName(&shortSpec, buf, long(path.size()), kFullNativePath), bdNamErr);
    EXPECT_EQ(FSSpecToNativePathName(&shortSpec, buf, long(path.size()) + 1, kFullNativePath), noErr);
    EXPECT_EQ(FSSpecToNativePathName(&shortSpec, buf, sizeof buf, kDirectoryPathOnly), noErr);
    EXPECT_EQ(std::string(buf), tmp.path());
}

class OpenFileTest : public ::testing::Test {
protected:
    TempFolder tmp;
    FSSpec spec;
    SInt16 ref = 0;
    void SetUp() override {
        spec = CheckedSpecOf(tmp / "data.bin");
        ASSERT_EQ(FSpCreate(&spec, 'lyrx', 'TEXT', -1), noErr);
        ASSERT_EQ(FSpOpenDF(&spec, fsRdWrPerm, &ref), noErr);
    }
    void TearDown() override {
        if (ref) FSClose(ref);
    }
    void Write(const std::string& s) {
        long n = long(s.size());
        ASSERT_EQ(FSWrite(ref, &n, s.data()), noErr);
        ASSERT_EQ(n, long(s.size()));
    }
};

TEST_F(OpenFileTest, ReadsWritesAndPositions) {
    Write("0123456789");
    long eof = 0, mark = 0;
    ASSERT_EQ(GetEOF(ref, &eof), noErr);
    EXPECT_EQ(eof, 10);
    ASSERT_EQ(GetFPos(ref, &mark), noErr);
    EXPECT_EQ(mark, 10);

    struct Case {
        SInt16 mode;
        long offset;
        OSErr want;
        long markAfter;
    } cases[] = {
        {fsFromStart, 3, noErr, 3},
        {fsFromMark, 2, noErr, 5},
        {fsFromMark, -5, noErr, 0},
        {fsFromLEOF, -4, noErr, 6},
        {fsFromLEOF, 0, noErr, 10},
        {fsFromStart, 11, eofErr, 10},     // past the end: the mark stops at the end
        {fsFromStart, 4, noErr, 4},
        {fsFromStart, -1, posErr, 4},      // before the start: the mark stays
        {fsFromMark, -5, posErr, 4},
        {fsAtMark, 99, noErr, 4},
        {7, 0, paramErr, 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SetFPos(ref, c.mode, c.offset), c.want) << c.mode << "/" << c.offset;
        ASSERT_EQ(GetFPos(ref, &mark), noErr);
        EXPECT_EQ(mark, c.markAfter) << c.mode << "/" << c.offset;
    }

    // A read that runs into the end answers eofErr with what it got and moves the mark.
    char buf[16] = {};
    long n = 10;
    EXPECT_EQ(FSRead(ref, &n, buf), eofErr);
    EXPECT_EQ(n, 6);
    EXPECT_EQ(std::string(buf, 6), "456789");
    n = 1;
    EXPECT_EQ(FSRead(ref, &n, buf), eofErr);
    EXPECT_EQ(n, 0);

    // Overwriting in the middle, then growing and shrinking the end.
    ASSERT_EQ(SetFPos(ref, fsFromStart, 2), noErr);
    Write("ab");
    ASSERT_EQ(SetEOF(ref, 12), noErr);
    ASSERT_EQ(GetEOF(ref, &eof), noErr);
    EXPECT_EQ(eof, 12);
    EXPECT_EQ(TempFolder::Read(spec.path), std::string("01ab456789\0\0", 12));
    ASSERT_EQ(SetFPos(ref, fsFromLEOF, 0), noErr);
    ASSERT_EQ(SetEOF(ref, 5), noErr);
    ASSERT_EQ(GetFPos(ref, &mark), noErr);
    EXPECT_EQ(mark, 5);   // a mark past the new end follows it

    // Positioned reads leave the mark alone.
    n = 3;
    ASSERT_EQ(FSReadAt(ref, 1, &n, buf), noErr);
    EXPECT_EQ(std::string(buf, 3), "1ab");
    ASSERT_EQ(GetFPos(ref, &mark), noErr);
    EXPECT_EQ(mark, 5);
    EXPECT_EQ(FSFlushFile(ref), noErr);
}

TEST_F(OpenFileTest, PositionsBeyondFourGigabytes) {
    const SInt64 big = (SInt64(1) << 32) + 4096;   // past 4 GiB: sparse, so cheap
    OSErr err = SetEOF64(ref, big + 10);
    if (err == dskFulErr || err == fileBoundsErr) GTEST_SKIP() << "file system refuses sparse 4 GiB files";
    ASSERT_EQ(err, noErr);
    SInt64 eof = 0;
    ASSERT_EQ(GetEOF64(ref, &eof), noErr);
    EXPECT_EQ(eof, big + 10);
    ASSERT_EQ(SetFPos64(ref, fsFromStart, big), noErr);
    Write("tail");
    SInt64 mark = 0;
    ASSERT_EQ(GetFPos64(ref, &mark), noErr);
    EXPECT_EQ(mark, big + 4);
    ASSERT_EQ(SetFPos64(ref, fsFromLEOF, -10), noErr);
    char buf[10] = {};
    long n = 10;
    EXPECT_EQ(FSRead(ref, &n, buf), noErr);
    EXPECT_EQ(std::string(buf, 10), std::string("tail\0\0\0\0\0\0", 10));
    // The classic calls carry the full position too (long is 64-bit here).
    long eofLong = 0;
    ASSERT_EQ(GetEOF(ref, &eofLong), noErr);
    EXPECT_EQ(eofLong, big + 10);
    CInfoPBRec pb;
    ASSERT_EQ(FSpGetCatInfo(&spec, &pb), noErr);
    EXPECT_EQ(pb.dataLength, big + 10);
    EXPECT_EQ(pb.ioFlLgLen, 0x7FFFFFFFu);   // a 32-bit field says "very large", never a wrapped size
}

TEST(OpenFiles, PermissionsAndReferences) {
    TempFolder tmp;
    tmp.Write("f.txt", "abc");
    tmp.Write("dir/x", "");
    FSSpec f = CheckedSpecOf(tmp / "f.txt");
    SInt16 r = 0;
    ASSERT_EQ(FSpOpenDF(&f, fsRdPerm, &r), noErr);
    long n = 1;
    EXPECT_EQ(FSWrite(r, &n, "z"), wrPermErr);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(SetEOF(r, 0), wrPermErr);
    // Two opens of one file keep their own marks.
    SInt16 r2 = 0;
    ASSERT_EQ(FSpOpenDF(&f, fsRdPerm, &r2), noErr);
    EXPECT_NE(r, r2);
    char c = 0;
    n = 1;
    ASSERT_EQ(FSRead(r, &n, &c), noErr);
    EXPECT_EQ(c, 'a');
    n = 1;
    ASSERT_EQ(FSRead(r, &n, &c), noErr);
    EXPECT_EQ(c, 'b');
    n = 1;
    ASSERT_EQ(FSRead(r2, &n, &c), noErr);
    EXPECT_EQ(c, 'a');
    FSSpec openedAs;
    ASSERT_EQ(FSGetOpenFileSpec(r2, &openedAs), noErr);
    EXPECT_EQ(openedAs.path, f.path);
    EXPECT_EQ(FSClose(r), noErr);
    EXPECT_EQ(FSClose(r), rfNumErr);
    n = 1;
    EXPECT_EQ(FSRead(r, &n, &c), rfNumErr);
    EXPECT_EQ(FSClose(r2), noErr);
    EXPECT_EQ(FSClose(0), rfNumErr);
    EXPECT_EQ(FSClose(-3), rfNumErr);

    FSSpec missing = CheckedSpecOf(tmp / "missing");
    EXPECT_EQ(FSpOpenDF(&missing, fsRdPerm, &r), fnfErr);
    EXPECT_EQ(r, 0);
    FSSpec dir = CheckedSpecOf(tmp / "dir");
    EXPECT_EQ(FSpOpenDF(&dir, fsRdPerm, &r), notAFileErr);
    EXPECT_EQ(FSpOpenDF(&f, 9, &r), paramErr);

}

// A file its reader may not read answers a permission error, not "not found". The open runs
// without privileges (the super-user reads everything), in a child that drops them when the
// tests run as root.
TEST(OpenFiles, AFileTheUserMayNotReadIsAPermissionError) {
    if (std::string why = UnprivilegedUnavailable(); !why.empty()) GTEST_SKIP() << why;
    TempFolder tmp;
    OpenToOthers(tmp.path(), 0755);
    const struct {
        const char* name;
        mode_t mode;
        SInt8 permission;
        OSErr expected;
    } cases[] = {{"no rights, read", 0, fsRdPerm, permErr},
                 {"read only, write", 0444, fsRdWrPerm, permErr},
                 {"read only, read", 0444, fsRdPerm, noErr},
                 {"write only, read", 0222, fsRdPerm, permErr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = tmp.Write(std::string("f-") + std::to_string(c.mode), "data");
        chmod(path.c_str(), c.mode);
        FSSpec f = CheckedSpecOf(path);
        auto reader = StartUnprivileged([&](ChildProcess& self) {
            SInt16 r = 0;
            OSErr err = FSpOpenDF(&f, c.permission, &r);
            if (err == noErr) FSClose(r);
            self.Send(std::to_string(err) + " " + std::to_string(r));
            return 0;
        });
        const std::string answer = reader->Receive();
        const int status = reader->Wait();
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_NE(WEXITSTATUS(status), 120) << "the reader could not give up its privileges";
        ASSERT_FALSE(answer.empty());
        const std::string err = answer.substr(0, answer.find(' '));
        EXPECT_EQ(err, std::to_string(c.expected)) << answer;
        if (c.expected != noErr) {
            EXPECT_EQ(answer.substr(answer.find(' ') + 1), "0") << "no file number on failure";
        }
    }
}

TEST(OpenFiles, ManyThreadsOpenReadAndClose) {
    TempFolder tmp;
    std::vector<FSSpec> specs;
    for (int i = 0; i < 4; ++i) specs.push_back(CheckedSpecOf(tmp.Write("f" + std::to_string(i), std::string(4096, char('a' + i)))));
    std::vector<int> failures(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 200; ++round) {
                SInt16 r = 0;
                if (FSpOpenDF(&specs[size_t(t)], fsRdPerm, &r) != noErr) {
                    ++failures[size_t(t)];
                    continue;
                }
                char buf[4096];
                long n = sizeof buf;
                if (FSRead(r, &n, buf) != noErr || n != 4096 || buf[0] != 'a' + t || buf[4095] != 'a' + t)
                    ++failures[size_t(t)];
                long mark = 0;
                if (GetFPos(r, &mark) != noErr || mark != 4096) ++failures[size_t(t)];
                if (FSClose(r) != noErr) ++failures[size_t(t)];
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

// What a positioned read answers: the result code and the bytes it got.
std::pair<OSErr, std::string> ReadAtOf(SInt16 ref, SInt64 at, long count) {
    std::string buf(size_t(count), '\0');
    long n = count;
    OSErr err = FSReadAt(ref, at, &n, buf.data());
    buf.resize(size_t(n));
    return {err, buf};
}

TEST(MappedReads, FollowWritesAndLengthChangesMadeThroughOtherOpens) {
    TempFolder tmp;
    // Three pages and a bit, so that a shortened file leaves whole mapped pages behind.
    std::string bytes;
    for (int i = 0; i < 3 * 4096 + 100; ++i) bytes += char('a' + i % 26);
    FSSpec f = CheckedSpecOf(tmp.Write("f.bin", bytes));
    SInt16 r = 0, w = 0;
    ASSERT_EQ(FSpOpenDF(&f, fsRdPerm, &r), noErr);
    ASSERT_EQ(FSMapForReading(r), noErr);
    ASSERT_EQ(FSMapForReading(r), noErr) << "mapping twice changes nothing";
    EXPECT_EQ(ReadAtOf(r, 4094, 4), std::make_pair(OSErr(noErr), bytes.substr(4094, 4)));
    EXPECT_EQ(ReadAtOf(r, SInt64(bytes.size()) - 2, 4), std::make_pair(OSErr(eofErr), bytes.substr(bytes.size() - 2)));

    // The mark moves over mapped reads as over any other.
    char c[3] = {};
    long n = 3;
    ASSERT_EQ(SetFPos(r, fsFromStart, 26), noErr);
    ASSERT_EQ(FSRead(r, &n, c), noErr);
    EXPECT_EQ(std::string(c, 3), "abc");
    long mark = 0;
    ASSERT_EQ(GetFPos(r, &mark), noErr);
    EXPECT_EQ(mark, 29);

    ASSERT_EQ(FSpOpenDF(&f, fsRdWrPerm, &w), noErr);
    // A write inside the mapped bytes is seen.
    n = 2;
    ASSERT_EQ(FSWriteAt(w, 8190, &n, "XY"), noErr);
    EXPECT_EQ(ReadAtOf(r, 8189, 4).second, bytes.substr(8189, 1) + "XY" + bytes.substr(8192, 1));
    // Bytes written past the mapped end are read from the file.
    const SInt64 end = SInt64(bytes.size());
    n = 3;
    ASSERT_EQ(FSWriteAt(w, end, &n, "END"), noErr);
    EXPECT_EQ(ReadAtOf(r, end - 1, 4), std::make_pair(OSErr(noErr), bytes.substr(bytes.size() - 1) + "END"));
    SInt64 known = 0;
    ASSERT_EQ(FSGetKnownEOF(r, &known), noErr);
    EXPECT_EQ(known, end + 3);
    // Shortened through the other open: the pages cut off are never touched (that would stop
    // the process) and reads end where the file now ends.
    ASSERT_EQ(SetEOF64(w, 100), noErr);
    ASSERT_EQ(FSGetKnownEOF(r, &known), noErr);
    EXPECT_EQ(known, 100);
    EXPECT_EQ(ReadAtOf(r, 8192, 8), std::make_pair(OSErr(eofErr), std::string()));
    EXPECT_EQ(ReadAtOf(r, 96, 8), std::make_pair(OSErr(eofErr), bytes.substr(96, 4)));
    EXPECT_EQ(ReadAtOf(r, 90, 10), std::make_pair(OSErr(noErr), bytes.substr(90, 10)));
    EXPECT_EQ(FSClose(w), noErr);
    EXPECT_EQ(FSClose(r), noErr);
    EXPECT_EQ(FSMapForReading(r), rfNumErr);
}

// Another program may cut a mapped file short or copy a file over it (truncate, cp, rsync
// --inplace) while it is open here. Every read then answers what the file holds or an error;
// touching a page the file no longer holds must never stop the process.
TEST(MappedReads, AFileChangedInPlaceByAnotherProgramAnswersErrorsNotASignal) {
    TempFolder tmp;
    std::string bytes(64 * 1024, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char('a' + i % 26);
    const std::string path = tmp.Write("f.bin", bytes);
    FSSpec f = CheckedSpecOf(path);
    SInt16 r = 0;
    ASSERT_EQ(FSpOpenDF(&f, fsRdPerm, &r), noErr);
    ASSERT_EQ(FSMapForReading(r), noErr);
    ASSERT_EQ(ReadAtOf(r, 40000, 4), std::make_pair(OSErr(noErr), bytes.substr(40000, 4)));
    EXPECT_FALSE(FSReadFaulted(r));

    // Cut short behind this process's back: the read of a page past the new end fails.
    ASSERT_EQ(truncate(path.c_str(), 100), 0);
    EXPECT_EQ(ReadAtOf(r, 40000, 4).first, ioErr);
    EXPECT_TRUE(FSReadFaulted(r));
    // From then on reads go to the file and answer what it holds now.
    EXPECT_EQ(ReadAtOf(r, 40000, 4), std::make_pair(OSErr(eofErr), std::string()));
    EXPECT_EQ(ReadAtOf(r, 90, 10), std::make_pair(OSErr(noErr), bytes.substr(90, 10)));
    // Copied back over it (cp of the same bytes): the reads see the whole file again.
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_EQ(ReadAtOf(r, 40000, 4), std::make_pair(OSErr(noErr), bytes.substr(40000, 4)));
    FSClose(r);
}

TEST(MappedReads, ReadsWhileAnotherProcessRewritesTheFileInPlaceNeverStopTheReader) {
    TempFolder tmp;
    std::string bytes(256 * 1024, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char('A' + i % 23);
    const std::string path = tmp.Write("f.bin", bytes);
    FSSpec f = CheckedSpecOf(path);
    SInt16 r = 0;
    ASSERT_EQ(FSpOpenDF(&f, fsRdPerm, &r), noErr);
    ASSERT_EQ(FSMapForReading(r), noErr);
    // The other program: cp of the identical bytes over the file, again and again.
    ChildProcess writer([&](ChildProcess& self) {
        self.Send("ready");
        for (;;) {
            int fd = open(path.c_str(), O_WRONLY | O_TRUNC);
            if (fd < 0) return 1;
            for (size_t at = 0; at < bytes.size(); at += 4096)
                if (pwrite(fd, bytes.data() + at, 4096, off_t(at)) != 4096) return 2;
            close(fd);
        }
    });
    ASSERT_EQ(writer.Receive(), "ready");
    int failed = 0;
    for (int round = 0; round < 4000; ++round) {
        const SInt64 at = SInt64(round * 4093 % (bytes.size() - 16));
        auto [err, got] = ReadAtOf(r, at, 16);
        if (err == noErr) {
            ASSERT_EQ(got, bytes.substr(size_t(at), 16)) << "at " << at;
        } else {
            ASSERT_TRUE(err == ioErr || err == eofErr) << err;
            ++failed;
        }
    }
    writer.Kill();
    FSClose(r);
    RecordProperty("failedReads", failed);
}

// Only the guarded copies of the file layer are caught: any other access to a page a file no
// longer holds still stops the process, as it would without the guard.
TEST(MappedReads, ABusErrorOutsideTheFileLayerStillStopsTheProcess) {
    TempFolder tmp;
    const std::string path = tmp.Write("f.bin", std::string(8192, 'x'));
    ChildProcess child([&](ChildProcess&) {
        FSSpec spec;
        if (FSMakeFSSpecFromPath(path, &spec) != noErr) return 1;
        SInt16 r = 0;
        if (FSpOpenDF(&spec, fsRdPerm, &r) != noErr || FSMapForReading(r) != noErr) return 2;
        if (truncate(path.c_str(), 0) != 0) return 3;
        char c[4];
        long n = 4;
        if (FSReadAt(r, 5000, &n, c) != ioErr) return 4;   // the guard is in place and works
        int fd = open(path.c_str(), O_RDONLY);
        void* map = mmap(nullptr, 8192, PROT_READ, MAP_SHARED, fd, 0);
        if (map == MAP_FAILED) return 5;
        volatile char touched = static_cast<const char*>(map)[5000];
        (void)touched;
        return 0;
    });
    const int status = child.Wait();
    ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) <= 5) << "exit " << WEXITSTATUS(status);
#ifndef __SANITIZE_ADDRESS__
    // (Under AddressSanitizer its own handler reports the fault and ends the process.)
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGBUS);
#endif
}

TEST(MappedReads, EmptyAndWriteOnlyFiles) {
    TempFolder tmp;
    FSSpec empty = CheckedSpecOf(tmp.Write("empty", ""));
    SInt16 r = 0, w = 0;
    ASSERT_EQ(FSpOpenDF(&empty, fsRdPerm, &r), noErr);
    EXPECT_EQ(FSMapForReading(r), noErr) << "nothing to map: reads stay on the file";
    EXPECT_EQ(ReadAtOf(r, 0, 1), std::make_pair(OSErr(eofErr), std::string()));
    ASSERT_EQ(FSpOpenDF(&empty, fsWrPerm, &w), noErr);
    EXPECT_EQ(FSMapForReading(w), permErr);
    long n = 2;
    ASSERT_EQ(FSWriteAt(w, 0, &n, "hi"), noErr);
    EXPECT_EQ(ReadAtOf(r, 0, 2), std::make_pair(OSErr(noErr), std::string("hi")));
    FSClose(w);
    FSClose(r);
}

TEST(MappedReads, AFileWrittenThroughItsOwnOpenGrowsShrinksAndGrowsAgain) {
    // A work file: written and read through one open, from empty to well past any room its
    // map had, cut back to nothing and filled again. Reads always answer what the file holds
    // and never touch a page past its end (that would stop the process).
    TempFolder tmp;
    FSSpec f = CheckedSpecOf(tmp.Write("work", ""));
    SInt16 ref = 0;
    ASSERT_EQ(FSpOpenDF(&f, fsRdWrPerm, &ref), noErr);
    ASSERT_EQ(FSMapForReading(ref), noErr);
    EXPECT_EQ(ReadAtOf(ref, 0, 4), std::make_pair(OSErr(eofErr), std::string()));
    EXPECT_EQ(ReadAtOf(ref, 8192, 4), std::make_pair(OSErr(eofErr), std::string()));

    std::string expected;
    auto append = [&](const std::string& piece) {
        long n = long(piece.size());
        ASSERT_EQ(FSWriteAt(ref, SInt64(expected.size()), &n, piece.data()), noErr);
        expected += piece;
    };
    // 3 MiB in pieces of 60 KiB, each read back as soon as it is written, and the start too.
    for (int i = 0; expected.size() < (SInt64(3) << 20); ++i) {
        const std::string piece = std::string(60 * 1024 - 1, char('A' + i % 26)) + char('0' + i % 10);
        const SInt64 at = SInt64(expected.size());
        append(piece);
        ASSERT_EQ(ReadAtOf(ref, at, long(piece.size())).second, piece) << "piece " << i;
        ASSERT_EQ(ReadAtOf(ref, 0, 8).second, expected.substr(0, 8));
    }
    const SInt64 end = SInt64(expected.size());
    EXPECT_EQ(ReadAtOf(ref, end - 3, 6), std::make_pair(OSErr(eofErr), expected.substr(expected.size() - 3)));
    EXPECT_EQ(ReadAtOf(ref, end + 4096, 4), std::make_pair(OSErr(eofErr), std::string()));

    // Emptied (as after a save) and written again: old bytes never come back.
    ASSERT_EQ(SetEOF64(ref, 0), noErr);
    EXPECT_EQ(ReadAtOf(ref, 100, 4), std::make_pair(OSErr(eofErr), std::string()));
    expected.clear();
    append("fresh start");
    EXPECT_EQ(ReadAtOf(ref, 0, 11), std::make_pair(OSErr(noErr), std::string("fresh start")));
    EXPECT_EQ(ReadAtOf(ref, 6, 100), std::make_pair(OSErr(eofErr), std::string("start")));
    EXPECT_EQ(ReadAtOf(ref, 1 << 20, 4), std::make_pair(OSErr(eofErr), std::string()));
    EXPECT_EQ(FSClose(ref), noErr);
}

TEST(KnownLength, FollowsThisProcessAndIsRefreshedByGetEOF) {
    TempFolder tmp;
    const std::string path = tmp.Write("f.txt", "0123456789");
    FSSpec f = CheckedSpecOf(path);
    SInt16 a = 0, b = 0;
    ASSERT_EQ(FSpOpenDF(&f, fsRdWrPerm, &a), noErr);
    ASSERT_EQ(FSpOpenDF(&f, fsRdPerm, &b), noErr);
    SInt64 known = 0;
    ASSERT_EQ(FSGetKnownEOF(b, &known), noErr);
    EXPECT_EQ(known, 10);
    // Writes and length changes through one open move the length every open of the file knows.
    long n = 4;
    ASSERT_EQ(FSWriteAt(a, 12, &n, "more"), noErr);
    ASSERT_EQ(FSGetKnownEOF(b, &known), noErr);
    EXPECT_EQ(known, 16);
    n = 2;
    ASSERT_EQ(FSWriteAt(a, 0, &n, "ab"), noErr);
    ASSERT_EQ(FSGetKnownEOF(b, &known), noErr);
    EXPECT_EQ(known, 16) << "a write inside the file leaves its length";
    ASSERT_EQ(SetEOF64(a, 5), noErr);
    ASSERT_EQ(FSGetKnownEOF(b, &known), noErr);
    EXPECT_EQ(known, 5);
    // A change made behind the File Manager's back is seen once the length is measured.
    std::ofstream(path, std::ios::binary | std::ios::app) << "outside";
    ASSERT_EQ(FSGetKnownEOF(b, &known), noErr);
    EXPECT_EQ(known, 5);
    SInt64 eof = 0;
    ASSERT_EQ(GetEOF64(b, &eof), noErr);
    EXPECT_EQ(eof, 12);
    ASSERT_EQ(FSGetKnownEOF(a, &known), noErr);
    EXPECT_EQ(known, 12);
    EXPECT_EQ(FSGetKnownEOF(a, nullptr), paramErr);
    FSClose(a);
    FSClose(b);
    EXPECT_EQ(FSGetKnownEOF(b, &known), rfNumErr);
}

TEST(FileItems, CreateAndDelete) {
    TempFolder tmp;
    FSSpec f = CheckedSpecOf(tmp / "new.txt");
    ASSERT_EQ(FSpCreate(&f, 0, 0, -1), noErr);
    EXPECT_EQ(FSpCreate(&f, 0, 0, -1), dupFNErr);
    FSSpec d = CheckedSpecOf(tmp / "folder");
    SInt32 id = 0;
    ASSERT_EQ(FSpDirCreate(&d, -1, &id), noErr);
    EXPECT_GT(id, fsRtDirID);
    std::string path;
    ASSERT_EQ(GetDirectoryPath(0, id, &path), noErr);
    EXPECT_EQ(path, d.path);
    EXPECT_EQ(FSpDirCreate(&d, -1, nullptr), dupFNErr);
    FSSpec inMissing = CheckedSpecOf(tmp.path());
    inMissing.path = tmp / "nofolder/x";
    EXPECT_EQ(FSpCreate(&inMissing, 0, 0, -1), fnfErr);

    tmp.Write("folder/inside", "x");
    EXPECT_EQ(FSpDelete(&d), fBsyErr);   // a folder with something in it stays
    FSSpec inside = CheckedSpecOf(tmp / "folder/inside");
    EXPECT_EQ(FSpDelete(&inside), noErr);
    EXPECT_EQ(FSpDelete(&d), noErr);
    EXPECT_EQ(FSpDelete(&f), noErr);
    EXPECT_EQ(FSpDelete(&f), fnfErr);
    EXPECT_FALSE(FSpExists(&f));

    // A symbolic link is deleted itself, never its target.
    tmp.Write("target", "keep");
    ASSERT_EQ(symlink((tmp / "target").c_str(), (tmp / "link").c_str()), 0);
    FSSpec link = CheckedSpecOf(tmp / "link");
    EXPECT_EQ(FSpDelete(&link), noErr);
    EXPECT_EQ(TempFolder::Read(tmp / "target"), "keep");
}

TEST(FileItems, RenamesAndMovesNeverOverwrite) {
    TempFolder tmp;
    tmp.Write("a.txt", "A");
    tmp.Write("b.txt", "B");
    tmp.Write("sub/a.txt", "subA");
    FSSpec a = CheckedSpecOf(tmp / "a.txt");
    FSSpec b = CheckedSpecOf(tmp / "b.txt");
    FSSpec sub = CheckedSpecOf(tmp / "sub");

    auto nameB = PStr("b.txt");
    EXPECT_EQ(FSpRename(&a, nameB.data()), dupFNErr);
    EXPECT_EQ(FSpMoveTo(&a, &b), dupFNErr);
    EXPECT_EQ(FSpCatMove(&a, &sub), dupFNErr);
    EXPECT_EQ(TempFolder::Read(tmp / "a.txt"), "A");
    EXPECT_EQ(TempFolder::Read(tmp / "b.txt"), "B");
    EXPECT_EQ(TempFolder::Read(tmp / "sub/a.txt"), "subA");

    FSSpec renamed;
    ASSERT_EQ(FSpRenameTo(&a, "c.txt", &renamed), noErr);
    EXPECT_EQ(renamed.path, tmp / "c.txt");
    EXPECT_FALSE(FSpExists(&a));
    EXPECT_EQ(TempFolder::Read(tmp / "c.txt"), "A");
    ASSERT_EQ(FSpCatMove(&b, &sub), noErr);
    EXPECT_EQ(TempFolder::Read(tmp / "sub/b.txt"), "B");
    EXPECT_EQ(FSpRenameTo(&a, "d.txt", nullptr), fnfErr);   // a is gone now

    // Folders too.
    FSSpec other = CheckedSpecOf(tmp / "other");
    ASSERT_EQ(FSpDirCreate(&other, -1, nullptr), noErr);
    EXPECT_EQ(FSpMoveTo(&sub, &other), dupFNErr);
    EXPECT_TRUE(FSpExists(&sub));
}

TEST(FileItems, ExchangeAndReplace) {
    TempFolder tmp;
    tmp.Write("a", "first");
    tmp.Write("b", "second");
    FSSpec a = CheckedSpecOf(tmp / "a"), b = CheckedSpecOf(tmp / "b");
    ASSERT_EQ(FSpExchangeFiles(&a, &b), noErr);
    EXPECT_EQ(TempFolder::Read(a.path), "second");
    EXPECT_EQ(TempFolder::Read(b.path), "first");
    FSSpec gone = CheckedSpecOf(tmp / "gone");
    EXPECT_EQ(FSpExchangeFiles(&a, &gone), fnfErr);
    EXPECT_EQ(TempFolder::Read(a.path), "second");

    // The deliberate overwrite of a safe save: the temporary file takes the target's place.
    tmp.Write("a.tmp", "new contents");
    FSSpec t = CheckedSpecOf(tmp / "a.tmp");
    ASSERT_EQ(FSpReplaceFile(&t, &a), noErr);
    EXPECT_EQ(TempFolder::Read(a.path), "new contents");
    EXPECT_FALSE(FSpExists(&t));
    EXPECT_EQ(FSpSyncFolder(&a), noErr);
    EXPECT_EQ(FSpReplaceFile(&t, &a), fnfErr);
    EXPECT_EQ(TempFolder::Read(a.path), "new contents");
}

TEST(FileItems, CatalogInformation) {
    TempFolder tmp;
    tmp.Write("Photo.JpEg", "12345");
    tmp.Write(".hid", "");
    tmp.Write("folder/x", "");
    tmp.Write("noext", "");
    struct Case {
        std::string rel;
        bool dir;
        OSType type;
        UInt16 flags;
        UInt32 length;
    } cases[] = {
        {"Photo.JpEg", false, 'JPEG', 0, 5},
        {".hid", false, 'HID ', kIsInvisible, 0},
        {"folder", true, 0, 0, 0},
        {"noext", false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        FSSpec s = CheckedSpecOf(tmp / c.rel);
        CInfoPBRec pb;
        ASSERT_EQ(FSpGetCatInfo(&s, &pb), noErr) << c.rel;
        EXPECT_EQ((pb.ioFlAttrib & kioFlAttribDirMask) != 0, c.dir) << c.rel;
        EXPECT_EQ(pb.ioFlFndrInfo.fdType, c.type) << c.rel;
        EXPECT_EQ(pb.ioFlFndrInfo.fdFlags, c.flags) << c.rel;
        EXPECT_EQ(pb.ioFlLgLen, c.length) << c.rel;
        EXPECT_EQ(pb.ioFlParID, s.parID) << c.rel;
        EXPECT_EQ(FSpIsDirectory(&s), c.dir) << c.rel;
        if (c.dir) {
            std::string p;
            ASSERT_EQ(GetDirectoryPath(pb.ioVRefNum, pb.ioDirID, &p), noErr);
            EXPECT_EQ(p, s.path);
        }
    }
    FSSpec missing = CheckedSpecOf(tmp / "missing");
    CInfoPBRec pb;
    EXPECT_EQ(FSpGetCatInfo(&missing, &pb), fnfErr);
    FInfo fi;
    FSSpec folder = CheckedSpecOf(tmp / "folder");
    EXPECT_EQ(FSpGetFInfo(&folder, &fi), notAFileErr);
}

TEST(FileItems, DatesInMacSeconds) {
    TempFolder tmp;
    tmp.Write("f", "x");
    FSSpec f = CheckedSpecOf(tmp / "f");
    UInt32 created = 0, modified = 0;
    ASSERT_EQ(FSpGetFileDates(&f, &created, &modified), noErr);
    UInt32 now = 0;
    GetDateTime(&now);
    EXPECT_LE(modified, now + 2);
    EXPECT_GE(modified, now - 60);

    // 2021-06-01 12:00:00 local (TZ=UTC in the tests)
    DateTimeRec d{2021, 6, 1, 12, 0, 0, 0};
    UInt32 when = 0;
    DateToSeconds(&d, &when);
    ASSERT_EQ(FSpSetFileDates(&f, &when, &when), noErr);
    ASSERT_EQ(FSpGetFileDates(&f, nullptr, &modified), noErr);
    EXPECT_EQ(modified, when);
    FSSpec missing = CheckedSpecOf(tmp / "missing");
    EXPECT_EQ(FSpSetFileDates(&missing, nullptr, &when), fnfErr);
}

TEST(Volumes, TableOfMountsAndFreeSpace) {
    TempFolder tmp;
    VolumeInfo v;
    ASSERT_EQ(GetVolumeInfoForPath(tmp.path(), &v), noErr);
    EXPECT_LT(v.vRefNum, 0);
    EXPECT_FALSE(v.mountPath.empty());
    EXPECT_FALSE(v.name.empty());
    EXPECT_EQ(tmp.path().rfind(v.mountPath == "/" ? "/" : v.mountPath + "/", 0), 0u);
    VolumeInfo again;
    ASSERT_EQ(GetVolumeInfo(v.vRefNum, &again), noErr);
    EXPECT_EQ(again.mountPath, v.mountPath);
    EXPECT_EQ(again.serial, v.serial);
    // A path that does not exist yet belongs to the volume of its nearest folder.
    ASSERT_EQ(GetVolumeInfoForPath(tmp / "not/yet/made", &again), noErr);
    EXPECT_EQ(again.vRefNum, v.vRefNum);
    EXPECT_EQ(GetVolumeInfo(-32000, &again), nsvErr);

    UInt64 freeBytes = 0, freeBytes2 = 0;
    ASSERT_EQ(GetVolumeFreeBytes(v.vRefNum, &freeBytes), noErr);
    FSSpec s = CheckedSpecOf(tmp / "later.txt");
    ASSERT_EQ(FSpGetFreeBytes(&s, &freeBytes2), noErr);
    EXPECT_GT(freeBytes, 0u);
    EXPECT_GT(freeBytes2, 0u);

    // Folder ids are stable for a path and distinct between paths.
    std::filesystem::create_directories(tmp / "x/y");
    SInt16 vr = 0;
    SInt32 idX = 0, idY = 0, idX2 = 0;
    ASSERT_EQ(GetDirectoryID(tmp / "x", &vr, &idX), noErr);
    ASSERT_EQ(GetDirectoryID(tmp / "x/y", &vr, &idY), noErr);
    ASSERT_EQ(GetDirectoryID(tmp / "x/", &vr, &idX2), noErr);
    EXPECT_NE(idX, idY);
    EXPECT_EQ(idX, idX2);
    tmp.Write("file", "");
    EXPECT_EQ(GetDirectoryID(tmp / "file", &vr, &idX), dirNFErr);
}

TEST(FileErrors, ErrnoToResultCode) {
    struct Case {
        int e;
        OSErr want;
    } cases[] = {
        {0, noErr}, {ENOENT, fnfErr}, {EEXIST, dupFNErr}, {ENOSPC, dskFulErr}, {EDQUOT, dskFulErr},
        {EACCES, afpAccessDenied}, {EPERM, afpAccessDenied}, {EIO, ioErr}, {ENOTDIR, dirNFErr},
        {ENOTEMPTY, fBsyErr}, {EROFS, vLckdErr}, {ENAMETOOLONG, bdNamErr}, {EXDEV, diffVolErr},
        {EFBIG, fileBoundsErr}, {EMFILE, tmfoErr}, {EISDIR, notAFileErr}, {ENOMEM, memFullErr},
    };
    for (const auto& c : cases) EXPECT_EQ(OSErrFromErrno(c.e), c.want) << c.e;
}

TEST(FileTypes, FromTheExtension) {
    struct Case {
        const char* name;
        OSType want;
    } cases[] = {
        {"a.psd", 'PSD '}, {"photo.jpeg", 'JPEG'}, {"x.Tif", 'TIF '}, {"archive.tar.gz", 'GZ  '},
        {"name.", 0}, {"noext", 0}, {"long.abcde", 0}, {"a.b", 'B   '},
    };
    for (const auto& c : cases) EXPECT_EQ(FileTypeFromName(c.name), c.want) << c.name;
}

}  // namespace

// Another machine may replace or cut a shared catalog on a network file system under us: a
// mapped page that vanishes would stop the program, so those file systems keep ordinary reads.
TEST(MappedReads, NetworkAndUserSpaceFileSystemsAreNeverMapped) {
    struct Case {
        const char* name;
        unsigned long type;
        bool mapped;
    };
    const Case cases[] = {
        {"ext4", 0xEF53UL, true},       {"tmpfs", 0x01021994UL, true}, {"btrfs", 0x9123683EUL, true},
        {"xfs", 0x58465342UL, true},    {"nfs", 0x6969UL, false},      {"smb", 0x517BUL, false},
        {"cifs", 0xFF534D42UL, false},  {"smb2", 0xFE534D42UL, false}, {"fuse", 0x65735546UL, false},
        {"9p", 0x01021997UL, false},    {"ceph", 0x00C36400UL, false},
    };
    for (const Case& c : cases) EXPECT_EQ(FSFileSystemMayBeMapped(c.type), c.mapped) << c.name;
}
