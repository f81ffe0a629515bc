// Annotation writers against other writers, other users and hostile neighbours: two processes
// writing in one folder, a neighbour swapping links for the temporary files, files shared by a
// group or by hard links, files the writer may not write, and the order of the file operations
// that make a write durable.
#include "media/metadata/JpegMetadata.h"
#include "media/metadata/PhotoshopResources.h"
#include "media/metadata/TiffWriter.h"

#include "MetaTestSupport.h"
#include "platform/FileFaults.h"
#include "support/ChildProcess.h"
#include "support/OtherUsers.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <tiffio.h>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace metatest;

const Order BE{true};

// Picture bytes of their own for each seed; never 0xFF, so they read as JPEG scan data too.
Bytes Picture(unsigned seed, std::size_t size = 4096) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = std::uint8_t((i * (seed * 2 + 1) + i / 251 + seed * 17) % 251);
    return b;
}

Bytes JpegWith(const Bytes& picture) {
    const Bytes jfif = BytesOf(std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
    return Cat({Bytes{0xFF, 0xD8}, Segment(0xE0, jfif), Segment(0xDB, Bytes(65, 7)), Segment(0xDA, Bytes(10, 1)),
                picture, Bytes{0xFF, 0xD9}});
}

Bytes PsdWith(const Bytes& picture) {
    Bytes header = Cat({BytesOf("8BPS"), BE.U16(1), Bytes(6, 0), BE.U16(3), BE.U32(8), BE.U32(8), BE.U16(8), BE.U16(3)});
    return Cat({header, BE.U32(0), BE.U32(0), picture});
}

// A grey TIFF, 64 pixels wide, whose one strip is the picture (at 8), the directory after it.
Bytes TiffWith(const Bytes& picture) {
    const Order o{false};
    const std::uint32_t rows = std::uint32_t(picture.size() / 64);
    Bytes b = Cat({TiffHeader(o, std::uint32_t(8 + picture.size())), picture});
    PutIfd(b, 0, b.size(), o,
           {{0x100, 3, 1, o.U16(64)}, {0x101, 3, 1, o.U16(rows)}, {0x102, 3, 1, o.U16(8)}, {0x103, 3, 1, o.U16(1)},
            {0x106, 3, 1, o.U16(1)}, {0x111, 4, 1, o.U32(8)}, {0x115, 3, 1, o.U16(1)}, {0x116, 3, 1, o.U16(rows)},
            {0x117, 4, 1, o.U32(std::uint32_t(picture.size()))}},
           0);
    return b;
}

struct Kind {
    const char* name;
    const char* file;
    Bytes (*make)(const Bytes& picture);
    OSErr (*embed)(const FSSpec*, Handle, Handle);
};
const Kind kKinds[] = {
    {"JPEG", "p.jpg", JpegWith, EmbedAnnotationsInJpeg},
    {"Photoshop", "p.psd", PsdWith, EmbedAnnotationsInPhotoshop},
    {"TIFF", "p.tif", TiffWith, TiffEmbedAnnotations},
};

OSErr Embed(const Kind& kind, const std::string& path, const std::string& caption) {
    FSSpec spec = CheckedSpecOf(path);
    HandleGuard block(NewHandleOf(SampleAnnotations(caption)));
    return kind.embed(&spec, block.h, nullptr);
}

bool Holds(const Bytes& file, const Bytes& part) {
    return std::search(file.begin(), file.end(), part.begin(), part.end()) != file.end();
}
bool Holds(const Bytes& file, const std::string& text) { return Holds(file, BytesOf(text)); }

TEST(WriteSafety, TwoProcessesWritingInOneFolderEachKeepTheirOwnPictureAndCaption) {
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        TempFolder dir;
        const std::string paths[2] = {dir / (std::string("a-") + kind.file), dir / (std::string("b-") + kind.file)};
        const Bytes pictures[2] = {Picture(1, 64 * 2048), Picture(2, 64 * 2048)};
        for (int i = 0; i < 2; ++i) WriteBytes(paths[i], kind.make(pictures[i]));
        constexpr int kWrites = 25;
        std::vector<std::unique_ptr<ChildProcess>> writers;
        for (int w = 0; w < 2; ++w) {
            writers.push_back(std::make_unique<ChildProcess>([&, w](ChildProcess& self) {
                if (self.Receive() != "go") return 1;
                for (int i = 0; i < kWrites; ++i) {
                    const std::string caption = "caption of writer " + std::to_string(w) + " #" + std::to_string(i);
                    OSErr err = Embed(kind, paths[w], caption);
                    if (err) {
                        self.Send("write " + std::to_string(i) + " answered " + std::to_string(err));
                        return 2;
                    }
                    const Bytes now = ReadBytes(paths[w]);
                    if (!Holds(now, pictures[w]) || !Holds(now, caption)) {
                        self.Send("write " + std::to_string(i) + " reported success, but the file holds another's");
                        return 3;
                    }
                }
                self.Send("done");
                return 0;
            }));
        }
        for (auto& w : writers) w->Send("go");
        for (int w = 0; w < 2; ++w) {
            EXPECT_EQ("done", writers[size_t(w)]->Receive(60000)) << "writer " << w;
            writers[size_t(w)]->Wait();
        }
        for (int w = 0; w < 2; ++w) {
            const Bytes now = ReadBytes(paths[w]);
            EXPECT_TRUE(Holds(now, pictures[w])) << paths[w];
            EXPECT_FALSE(Holds(now, pictures[1 - w])) << paths[w];
            EXPECT_TRUE(Holds(now, "caption of writer " + std::to_string(w) + " #" + std::to_string(kWrites - 1)));
        }
        EXPECT_EQ(TemporaryFilesIn(dir.path()), std::vector<std::string>{});
    }
}

// A neighbour who may write the folder (nobody, where the test may take other ids) keeps
// putting links to a file elsewhere in place of every temporary file it sees and of the name
// a writer would have used; the file elsewhere is never written, and a write that answers
// success has put its bytes into the photo itself.
TEST(WriteSafety, ANeighbourSwappingLinksForTheTemporaryFilesNeverRedirectsAWrite) {
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        TempFolder dir, elsewhere;
        const std::string victim = elsewhere / "precious.txt";
        WriteBytes(victim, BytesOf("precious contents of another file"));
        chmod(victim.c_str(), 0600);
        chmod(elsewhere.path().c_str(), 0755);
        chmod(dir.path().c_str(), 0777);
        const std::string photo = dir / kind.file;
        WriteBytes(photo, kind.make(Picture(3)));
        struct stat victimBefore{};
        ASSERT_EQ(0, stat(victim.c_str(), &victimBefore));

        ChildProcess neighbour([&](ChildProcess& self) {
            if (CanBecomeOtherUsers() && !BecomeUser(kNobodyUid, kNobodyGid, {}, dir.path())) {
                self.Send("no");
                return kCouldNotBecomeUser;
            }
            self.Send("ready");
            const std::string link = dir / ".neighbour-link";
            for (unsigned n = 0;; ++n) {
                std::vector<std::string> names = {"~~Temporary IO"};
                if (DIR* d = opendir(dir.path().c_str())) {
                    while (dirent* e = readdir(d))
                        if (std::string(e->d_name).rfind("~~Temporary IO", 0) == 0) names.push_back(e->d_name);
                    closedir(d);
                }
                for (const std::string& name : names) {
                    symlink(victim.c_str(), link.c_str());
                    rename(link.c_str(), (dir / name).c_str());
                }
                // A pause every other pass, so that some writes get through and show where
                // their bytes went.
                if (n % 2 == 0) usleep(400);
            }
        });
        const std::string hello = neighbour.Receive();
        if (hello == "no") GTEST_SKIP() << "the neighbour could not become user nobody with access to " << dir.path();
        ASSERT_EQ("ready", hello);
        int successes = 0;
        for (int i = 0; i < 150; ++i) {
            const std::string caption = "swap round " + std::to_string(i);
            OSErr err = Embed(kind, photo, caption);
            struct stat st{};
            ASSERT_EQ(0, lstat(photo.c_str(), &st)) << "round " << i;
            if (err == noErr) {
                ++successes;
                EXPECT_TRUE(S_ISREG(st.st_mode)) << "round " << i;
                EXPECT_TRUE(Holds(ReadBytes(photo), caption)) << "round " << i;
            }
            if (!S_ISREG(st.st_mode)) {
                // The neighbour's link got in between the writer's last check and its rename:
                // the write said so, and the neighbour could have put it there itself.
                EXPECT_NE(noErr, err) << "round " << i;
                std::filesystem::remove(photo);
                WriteBytes(photo, kind.make(Picture(3)));
            }
        }
        neighbour.Kill();
        struct stat victimAfter{};
        ASSERT_EQ(0, stat(victim.c_str(), &victimAfter));
        EXPECT_EQ(ReadBytes(victim), BytesOf("precious contents of another file"));
        EXPECT_EQ(victimAfter.st_mode, victimBefore.st_mode);
        EXPECT_EQ(victimAfter.st_uid, victimBefore.st_uid);
        EXPECT_GT(successes, 0);
    }
}

// The bytes of a POSIX access ACL as the system keeps them in "system.posix_acl_access": the
// owner rw, one more user (the stranger) r, the owning group rw, mask rw, others r.
Bytes AccessAcl() {
    const Order le{false};
    auto entry = [&](unsigned tag, unsigned perm, std::uint32_t id) { return Cat({le.U16(tag), le.U16(perm), le.U32(id)}); };
    return Cat({le.U32(2), entry(0x01, 6, 0xFFFFFFFF), entry(0x02, 4, kStrangerUid), entry(0x04, 6, 0xFFFFFFFF),
                entry(0x10, 6, 0xFFFFFFFF), entry(0x20, 4, 0xFFFFFFFF)});
}

Bytes Attribute(const std::string& path, const char* name) {
    Bytes value(256);
    ssize_t n = getxattr(path.c_str(), name, value.data(), value.size());
    value.resize(n < 0 ? 0 : std::size_t(n));
    return value;
}

// Who owns and may write a file, and who writes annotations into it, run as those users.
TEST(WriteSafety, ARewriteKeepsOwnerGroupModeAttributesAndAclOrIsRefused) {
    if (!CanBecomeOtherUsers()) GTEST_SKIP() << "taking other users' ids needs the super-user";
    struct Case {
        const char* name;
        uid_t writer;
        std::vector<gid_t> writerGroups;
        uid_t owner;
        gid_t group;
        mode_t mode;
        bool withAcl;
        OSErr expected;
    } cases[] = {
        {"a member of the file's group rewrites a group-shared file", kMemberUid, {kSharedGid}, kOwnerUid, kSharedGid, 0664,
         true, noErr},
        {"the super-user rewrites another user's file", 0, {}, kOwnerUid, kSharedGid, 0640, true, noErr},
        {"the owner rewrites a file of a group not its own", kOwnerUid, {}, kOwnerUid, kSharedGid, 0644, false, noErr},
        {"a user who may write the folder but not the file", kStrangerUid, {}, kOwnerUid, kOwnerUid, 0644, false, permErr},
    };
    for (const Kind& kind : kKinds) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(kind.name) + ": " + c.name);
            TempFolder dir;
            chmod(dir.path().c_str(), 0777);
            const std::string path = dir / kind.file;
            const Bytes original = kind.make(Picture(4));
            WriteBytes(path, original);
            ASSERT_EQ(0, chown(path.c_str(), c.owner, c.group));
            ASSERT_EQ(0, setxattr(path.c_str(), "user.note", "kept", 4, 0));
            if (c.withAcl) {
                ASSERT_EQ(0, setxattr(path.c_str(), "system.posix_acl_access", AccessAcl().data(), AccessAcl().size(), 0));
            }
            ASSERT_EQ(0, chmod(path.c_str(), c.mode));
            const Bytes aclBefore = Attribute(path, "system.posix_acl_access");
            struct stat before{};
            ASSERT_EQ(0, stat(path.c_str(), &before));

            ChildProcess writer([&](ChildProcess& self) {
                if (c.writer != 0 && !BecomeUser(c.writer, c.writer, c.writerGroups, dir.path())) return kCouldNotBecomeUser;
                self.Send(std::to_string(Embed(kind, path, "the new caption")));
                return 0;
            });
            const std::string answer = writer.Receive();
            if (answer.empty()) GTEST_SKIP() << "the writer could not take the ids of the case";
            writer.Wait();
            EXPECT_EQ(std::to_string(c.expected), answer);

            struct stat after{};
            ASSERT_EQ(0, stat(path.c_str(), &after));
            EXPECT_EQ(before.st_uid, after.st_uid);
            EXPECT_EQ(before.st_gid, after.st_gid);
            EXPECT_EQ(before.st_mode, after.st_mode);
            EXPECT_EQ(BytesOf("kept"), Attribute(path, "user.note"));
            EXPECT_EQ(aclBefore, Attribute(path, "system.posix_acl_access"));
            if (c.expected == noErr) {
                EXPECT_TRUE(Holds(ReadBytes(path), "the new caption"));
                EXPECT_TRUE(Holds(ReadBytes(path), Picture(4)));
            } else {
                EXPECT_EQ(original, ReadBytes(path));
            }
            EXPECT_EQ(TemporaryFilesIn(dir.path()), std::vector<std::string>{});
        }
    }
}

TEST(WriteSafety, AHardLinkedFileKeepsBothNamesOnTheNewBytes) {
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        TempFolder dir;
        const std::string path = dir / kind.file, other = dir / (std::string("other-") + kind.file);
        WriteBytes(path, kind.make(Picture(5)));
        ASSERT_EQ(0, link(path.c_str(), other.c_str()));
        ASSERT_EQ(noErr, Embed(kind, path, "seen through both names"));
        struct stat a{}, b{};
        ASSERT_EQ(0, stat(path.c_str(), &a));
        ASSERT_EQ(0, stat(other.c_str(), &b));
        EXPECT_EQ(a.st_ino, b.st_ino);
        EXPECT_EQ(2u, a.st_nlink);
        EXPECT_TRUE(Holds(ReadBytes(other), "seen through both names"));
        EXPECT_TRUE(Holds(ReadBytes(other), Picture(5)));
        EXPECT_EQ(TemporaryFilesIn(dir.path()), std::vector<std::string>{});
    }
}

// The temporary file of a writer that died is removed by the next writer; one that a live
// writer holds is not.
TEST(WriteSafety, OnlyTemporaryFilesNoWriterHoldsAreRemoved) {
    TempFolder dir;
    const std::string path = dir / "p.jpg";
    WriteBytes(path, JpegWith(Picture(6)));
    const std::string stale = dir.Write("~~Temporary IO", "left by a writer that died");
    const std::string staleUnique = dir.Write("~~Temporary IO-1234-abcdef", "left by another");
    const std::string held = dir.Write("~~Temporary IO-999-held", "a live writer's");
    const std::string unrelated = dir.Write("~~Temporary IOU", "not one of ours");
    int fd = open(held.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    struct flock fl{};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    ASSERT_EQ(0, fcntl(fd, F_OFD_SETLK, &fl));
    ASSERT_EQ(noErr, Embed(kKinds[0], path, "after the cleaning"));
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_FALSE(std::filesystem::exists(staleUnique));
    EXPECT_TRUE(std::filesystem::exists(held));
    EXPECT_TRUE(std::filesystem::exists(unrelated));
    close(fd);
}

// Whether libtiff opens the file and finds the picture as its first strip.
bool LibtiffReads(const std::string& path, const Bytes& picture) {
    TIFF* t = TIFFOpen(path.c_str(), "r");
    if (!t) return false;
    Bytes strip(picture.size());
    const tmsize_t n = TIFFReadRawStrip(t, 0, strip.data(), tmsize_t(strip.size()));
    TIFFClose(t);
    return n == tmsize_t(strip.size()) && strip == picture;
}

// A writer killed at any one of its file operations leaves the old file or the new one, never
// a mixture; a TIFF stays one that libtiff reads.
TEST(WriteSafety, AWriterKilledAtAnyFileOperationLeavesTheOldFileOrTheNew) {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        TempFolder dir;
        const std::string path = dir / kind.file;
        const Bytes picture = Picture(8, 64 * 64);
        WriteBytes(path, kind.make(picture));
        ASSERT_EQ(noErr, Embed(kind, path, "the old caption"));
        const Bytes old = ReadBytes(path);
        int kills = 0;
        for (int killAt = 1;; ++killAt) {
            SCOPED_TRACE("killed at file operation " + std::to_string(killAt));
            WriteBytes(path, old);
            ChildProcess child([&](ChildProcess& self) {
                int calls = 0;
                SetFileFaultHook([&](SInt16, FileFaultPoint, long) -> OSErr {
                    if (++calls == killAt) raise(SIGKILL);
                    return noErr;
                });
                self.Send(std::to_string(Embed(kind, path, "the new caption")));
                return 0;
            });
            const std::string answer = child.Receive();
            const int status = child.Wait();
            const Bytes now = ReadBytes(path);
            if (std::string(kind.name) == "TIFF") {
                EXPECT_TRUE(LibtiffReads(path, picture));
            }
            if (!WIFSIGNALED(status)) {
                EXPECT_EQ("0", answer);
                EXPECT_TRUE(Holds(now, "the new caption"));
                break;
            }
            ++kills;
            EXPECT_TRUE(now == old || (Holds(now, "the new caption") && Holds(now, picture)));
        }
        EXPECT_GT(kills, 3);
        EXPECT_EQ(TemporaryFilesIn(dir.path()), std::vector<std::string>{}) << "the last write removed what the killed ones left";
    }
}

// Each writer writes the new file, flushes it, renames it over the original and flushes the
// folder, in that order and as its last steps; a folder that cannot be flushed is reported.
TEST(WriteSafety, EveryWriteFlushesTheNewFileRenamesItAndFlushesTheFolder) {
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        TempFolder dir;
        const std::string path = dir / kind.file;
        WriteBytes(path, kind.make(Picture(7)));
        std::vector<std::pair<SInt16, FileFaultPoint>> seen;
        SetFileFaultHook([&](SInt16 ref, FileFaultPoint point, long) -> OSErr {
            seen.emplace_back(ref, point);
            return noErr;
        });
        OSErr err = Embed(kind, path, "in order");
        SetFileFaultHook(nullptr);
        ASSERT_EQ(noErr, err);
        ASSERT_GE(seen.size(), 4u);
        const std::size_t n = seen.size();
        const SInt16 temp = seen[n - 3].first;
        EXPECT_EQ(FileFaultPoint::kWrite, seen[n - 4].second);
        EXPECT_EQ(temp, seen[n - 4].first) << "the last write goes to the file that is flushed";
        EXPECT_EQ(FileFaultPoint::kFlush, seen[n - 3].second);
        EXPECT_EQ(std::make_pair(SInt16(0), FileFaultPoint::kReplace), seen[n - 2]);
        EXPECT_EQ(std::make_pair(SInt16(0), FileFaultPoint::kFlushFolder), seen[n - 1]);
        EXPECT_TRUE(Holds(ReadBytes(path), "in order"));

        // The folder flush fails: the new file is in place, and the write says it may not last.
        SetFileFaultHook([&](SInt16, FileFaultPoint point, long) -> OSErr {
            return point == FileFaultPoint::kFlushFolder ? OSErr(ioErr) : OSErr(noErr);
        });
        err = Embed(kind, path, "not flushed");
        SetFileFaultHook(nullptr);
        EXPECT_EQ(ioErr, err);
        EXPECT_TRUE(Holds(ReadBytes(path), "not flushed"));
    }
}

}  // namespace
