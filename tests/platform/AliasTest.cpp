// Alias records: made from a file or folder, stored as bytes, and resolved after the target was
// renamed within its folder, replaced, or its volume mounted at another place.
#include "platform/Aliases.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace {

std::vector<unsigned char> Bytes(AliasHandle h) {
    return std::vector<unsigned char>(reinterpret_cast<unsigned char*>(*h),
                                      reinterpret_cast<unsigned char*>(*h) + GetHandleSize(h));
}

struct Resolved {
    OSErr err;
    std::string path;
    bool changed;
};

Resolved Resolve(AliasHandle alias, const FSSpec* from = nullptr) {
    FSSpec target;
    Boolean changed = 2;
    OSErr err = ResolveAlias(from, alias, &target, &changed);
    return {err, err == noErr ? target.path : std::string(), changed == 1};
}

TEST(Alias, LayoutHoldsIdentityAndPath) {
    TempFolder tmp;
    std::string file = tmp.Write("pictures/one.jpg", "x");
    FSSpec spec = CheckedSpecOf(file);
    AliasHandle alias = nullptr;
    ASSERT_EQ(NewAlias(nullptr, &spec, &alias), noErr);
    std::vector<unsigned char> b = Bytes(alias);
    ASSERT_EQ(b.size(), size_t(kAliasHeaderSize) + file.size());
    EXPECT_EQ(ReadBE32(b.data()), UInt32('LxAl'));
    EXPECT_EQ(ReadBE16(b.data() + 6), b.size());
    EXPECT_EQ(b[8], 0);
    EXPECT_EQ(ReadBE16(b.data() + 10), file.size());
    EXPECT_EQ(std::string(b.begin() + kAliasHeaderSize, b.end()), file);
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(ReadBE64(b.data() + 28), UInt64(st.st_ino));
    EXPECT_EQ(AliasStoredPath(alias), file);
    DisposeHandle(alias);

    ASSERT_EQ(NewAliasMinimal(&spec, &alias), noErr);
    b = Bytes(alias);
    EXPECT_EQ(b[8], 1);
    EXPECT_EQ(std::string(b.begin() + kAliasHeaderSize, b.end()), "one.jpg");
    DisposeHandle(alias);

    FSSpec missing = CheckedSpecOf(tmp / "pictures/none.jpg");
    alias = reinterpret_cast<AliasHandle>(1);
    EXPECT_EQ(NewAlias(nullptr, &missing, &alias), fnfErr);
    EXPECT_EQ(alias, nullptr);
}

TEST(Alias, ResolvesWhereverTheTargetWent) {
    struct Case {
        const char* what;
        // Moves things around after the alias was made; answers the path expected (empty: not
        // found).
        std::string (*move)(const TempFolder&);
        int changed;  // -1: either (a new file may get the freed inode within one clock tick)
    } cases[] = {
        {"unchanged", [](const TempFolder& t) { return t / "a/photo.jpg"; }, 0},
        {"renamed within its folder",
         [](const TempFolder& t) {
             std::filesystem::rename(t / "a/photo.jpg", t / "a/renamed.jpg");
             return t / "a/renamed.jpg";
         },
         1},
        {"replaced by a new file of the same name",
         [](const TempFolder& t) {
             std::filesystem::remove(t / "a/photo.jpg");
             t.Write("a/other.txt", "filler so the inode is not reused at once");
             t.Write("a/photo.jpg", "new contents");
             return t / "a/photo.jpg";
         },
         -1},
        {"moved to another folder",
         [](const TempFolder& t) {
             std::filesystem::create_directories(t / "b");
             std::filesystem::rename(t / "a/photo.jpg", t / "b/photo.jpg");
             return std::string();
         },
         0},
        {"deleted",
         [](const TempFolder& t) {
             std::filesystem::remove(t / "a/photo.jpg");
             return std::string();
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder tmp;
        tmp.Write("a/photo.jpg", "picture");
        tmp.Write("a/neighbour.jpg", "another");
        FSSpec spec = CheckedSpecOf(tmp / "a/photo.jpg");
        AliasHandle alias = nullptr;
        ASSERT_EQ(NewAlias(nullptr, &spec, &alias), noErr);
        std::string want = c.move(tmp);
        Resolved r = Resolve(alias);
        if (want.empty()) {
            EXPECT_EQ(r.err, fnfErr);
        } else {
            ASSERT_EQ(r.err, noErr);
            EXPECT_EQ(r.path, want);
            if (c.changed >= 0) {
                EXPECT_EQ(r.changed, c.changed == 1);
            }
        }
        DisposeHandle(alias);
    }
}

TEST(Alias, FolderAliasFindsARenamedFolderNotAFile) {
    TempFolder tmp;
    std::filesystem::create_directories(tmp / "shots");
    FSSpec spec = CheckedSpecOf(tmp / "shots");
    AliasHandle alias = nullptr;
    ASSERT_EQ(NewAlias(nullptr, &spec, &alias), noErr);
    std::filesystem::rename(tmp / "shots", tmp / "shots 2005");
    tmp.Write("shots", "a file now holds the old name");
    Resolved r = Resolve(alias);
    ASSERT_EQ(r.err, noErr);
    EXPECT_EQ(r.path, tmp / "shots 2005");
    DisposeHandle(alias);
}

TEST(Alias, VolumeMountedElsewhere) {
    // The volume holding the file is now mounted at another place: the same relative path
    // below the new mount point, found by the volume's serial.
    TempFolder tmp;
    std::string original = tmp.Write("disk/photos/p.jpg", "picture");
    FSSpec spec = CheckedSpecOf(original);
    AliasHandle alias = nullptr;
    ASSERT_EQ(NewAlias(nullptr, &spec, &alias), noErr);
    std::vector<unsigned char> record = Bytes(alias);
    WriteBE32(record.data() + 16, 0x1234ABCD);  // a volume serial we control
    size_t mountLength = ReadBE16(record.data() + 12);
    std::string relative = original.substr(mountLength);

    // "Remount": the same file (a hard link keeps its identity) below another mount point.
    std::string newMount = tmp / "mnt";
    std::filesystem::create_directories(std::filesystem::path(newMount + relative).parent_path());
    ASSERT_EQ(::link(original.c_str(), (newMount + relative).c_str()), 0);
    ASSERT_EQ(::unlink(original.c_str()), 0);

    std::vector<AliasVolume> volumes = {{"/elsewhere", 0x0BADF00D}, {newMount, 0x1234ABCD}};
    FSSpec target;
    Boolean changed = false;
    ASSERT_EQ(ResolveAliasWithVolumes(nullptr, record.data(), long(record.size()), volumes,
                                      &target, &changed),
              noErr);
    EXPECT_EQ(target.path, newMount + relative);
    EXPECT_TRUE(changed);

    // Renamed as well as remounted.
    std::string renamed = std::filesystem::path(newMount + relative).parent_path().string() + "/q.jpg";
    std::filesystem::rename(newMount + relative, renamed);
    ASSERT_EQ(ResolveAliasWithVolumes(nullptr, record.data(), long(record.size()), volumes,
                                      &target, &changed),
              noErr);
    EXPECT_EQ(target.path, renamed);

    // A volume of another serial is never searched.
    volumes = {{newMount, 0x0BADF00D}};
    EXPECT_EQ(ResolveAliasWithVolumes(nullptr, record.data(), long(record.size()), volumes,
                                      &target, &changed),
              fnfErr);
    DisposeHandle(alias);
}

TEST(Alias, MinimalAliasResolvesBesideTheReferringFile) {
    TempFolder tmp;
    tmp.Write("cat/item.tif", "x");
    tmp.Write("cat/catalog.lxc", "c");
    FSSpec spec = CheckedSpecOf(tmp / "cat/item.tif");
    FSSpec from = CheckedSpecOf(tmp / "cat/catalog.lxc");
    AliasHandle alias = nullptr;
    ASSERT_EQ(NewAliasMinimal(&spec, &alias), noErr);
    EXPECT_EQ(Resolve(alias, &from).path, tmp / "cat/item.tif");
    std::filesystem::rename(tmp / "cat/item.tif", tmp / "cat/item-2.tif");
    Resolved r = Resolve(alias, &from);
    EXPECT_EQ(r.path, tmp / "cat/item-2.tif");
    EXPECT_TRUE(r.changed);
    EXPECT_EQ(Resolve(alias).err, fnfErr) << "a minimal alias needs the referring file";
    DisposeHandle(alias);
}

TEST(Alias, DamagedRecordsAreRefused) {
    TempFolder tmp;
    FSSpec spec = CheckedSpecOf(tmp.Write("f.jpg", "x"));
    AliasHandle alias = nullptr;
    ASSERT_EQ(NewAlias(nullptr, &spec, &alias), noErr);
    const std::vector<unsigned char> good = Bytes(alias);
    struct Damage {
        const char* what;
        void (*apply)(std::vector<unsigned char>&);
    } damages[] = {
        {"bad magic", [](std::vector<unsigned char>& b) { b[0] = 'X'; }},
        {"wrong version", [](std::vector<unsigned char>& b) { WriteBE16(b.data() + 4, 9); }},
        {"path longer than the record", [](std::vector<unsigned char>& b) { WriteBE16(b.data() + 10, 5000); }},
        {"size larger than the bytes", [](std::vector<unsigned char>& b) { WriteBE16(b.data() + 6, 5000); }},
        {"cut short", [](std::vector<unsigned char>& b) { b.resize(20); }},
        {"mount prefix past the path", [](std::vector<unsigned char>& b) { WriteBE16(b.data() + 12, 0xFFFF); }},
        {"unknown kind", [](std::vector<unsigned char>& b) { b[8] = 7; }},
        {"relative full path", [](std::vector<unsigned char>& b) { b[kAliasHeaderSize] = 'x'; }},
        {"zero byte in the path", [](std::vector<unsigned char>& b) { b[kAliasHeaderSize + 2] = 0; }},
        // "/tmp/..." becomes "/..//...": a path that climbs out of where it claims to lie.
        {"a \"..\" component", [](std::vector<unsigned char>& b) {
             b[kAliasHeaderSize + 1] = '.';
             b[kAliasHeaderSize + 2] = '.';
             b[kAliasHeaderSize + 3] = '/';
         }},
        {"a \".\" component", [](std::vector<unsigned char>& b) {
             b[kAliasHeaderSize + 1] = '.';
             b[kAliasHeaderSize + 2] = '/';
         }},
    };
    for (const Damage& d : damages) {
        std::vector<unsigned char> b = good;
        d.apply(b);
        Handle h = nullptr;
        ASSERT_EQ(PtrToHand(b.data(), &h, long(b.size())), noErr);
        FSSpec target;
        Boolean changed;
        EXPECT_EQ(ResolveAlias(nullptr, h, &target, &changed), paramErr) << d.what;
        DisposeHandle(h);
    }
    DisposeHandle(alias);
}

}  // namespace
