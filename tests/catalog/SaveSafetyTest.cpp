// Saves against other users and hostile neighbours: a neighbour swapping links for the
// temporary files while the catalog is saved, catalogs shared by a group or by hard links, a
// target the saving user may not write, and the order of the file operations that make a save
// durable.
#include "catalog/save/CatalogSave.h"

#include "SaveSupport.h"
#include "platform/FileFaults.h"
#include "platform/TimerService.h"
#include "support/ChildProcess.h"
#include "support/FileSpecs.h"
#include "support/OtherUsers.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace savetest;

TestItem Item(const std::string& name) {
    TestItem t;
    t.path = "/media/photos/" + name;
    t.thumbnail = std::string(300, char(0x3C));
    t.annotations = CaptionBlock("caption of " + name);
    return t;
}

Bytes BytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

bool TempFilesIn(const std::string& dir) {
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().filename().string().find(".saving") != std::string::npos) return true;
    return false;
}

Bytes Attribute(const std::string& path, const char* name) {
    Bytes value(256);
    ssize_t n = getxattr(path.c_str(), name, value.data(), value.size());
    value.resize(n < 0 ? 0 : std::size_t(n));
    return value;
}

// Owner rw, the stranger r, owning group rw, mask rw, others r: "system.posix_acl_access".
Bytes AccessAcl() {
    Bytes b;
    auto put16 = [&](unsigned v) { b.push_back(std::uint8_t(v)); b.push_back(std::uint8_t(v >> 8)); };
    auto put32 = [&](std::uint32_t v) { put16(v & 0xFFFF); put16(v >> 16); };
    put32(2);
    const std::pair<unsigned, std::pair<unsigned, std::uint32_t>> entries[] = {
        {0x01, {6, 0xFFFFFFFF}}, {0x02, {4, kStrangerUid}}, {0x04, {6, 0xFFFFFFFF}}, {0x10, {6, 0xFFFFFFFF}}, {0x20, {4, 0xFFFFFFFF}}};
    for (const auto& [tag, rest] : entries) {
        put16(tag);
        put16(rest.first);
        put32(rest.second);
    }
    return b;
}

class SaveSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartCatalogEngine();
        SetTimerService(&timers);
    }
    void TearDown() override {
        SetFileFaultHook(nullptr);
        for (CatalogRec* c : open) CatalogClose(c, false);
        SetTimerService(nullptr);
    }
    CatalogRec* Open(const std::string& path = "") {
        FSSpec work = SpecOf(dir / ("work-" + std::to_string(getpid()) + "-" + std::to_string(++works)));
        FSSpec spec = SpecOf(path);
        CatalogRec* c = nullptr;
        EXPECT_EQ(noErr, CatalogOpen(&c, path.empty() ? nullptr : &spec, &work, nullptr, nullptr, nullptr, 0));
        if (c) open.push_back(c);
        return c;
    }
    // A saved catalog of the items, closed again.
    void MakeCatalog(const std::string& path, const std::vector<TestItem>& items) {
        CatalogRec* c = Open();
        for (const TestItem& t : items) AddWorkItem(c, t);
        FSSpec target = SpecOf(path);
        ASSERT_EQ(noErr, CatalogSave(c, &target, nullptr, 0));
        CatalogClose(c, false);
        open.pop_back();
    }

    TempFolder dir;
    ManualTimerService timers;
    std::vector<CatalogRec*> open;
    int works = 0;
};

// In place and under a new name: the new file is written, flushed, renamed over the target,
// and the folder flushed, in that order; nothing touches the new file after the rename.
TEST_F(SaveSafetyTest, ASaveWritesFlushesRenamesAndFlushesTheFolderInThatOrder) {
    for (bool inPlace : {true, false}) {
        SCOPED_TRACE(inPlace ? "in place" : "under a new name");
        const std::string path = dir / (inPlace ? "InPlace.lxc" : "Source.lxc");
        MakeCatalog(path, {Item("a.jpg"), Item("b.jpg")});
        CatalogRec* c = Open(path);
        AddWorkItem(c, Item("c.jpg"));
        FSSpec copy = SpecOf(dir / "Copy.lxc");
        std::vector<std::pair<SInt16, FileFaultPoint>> seen;
        SetFileFaultHook([&](SInt16 ref, FileFaultPoint point, long) -> OSErr {
            seen.emplace_back(ref, point);
            return noErr;
        });
        ASSERT_EQ(noErr, CatalogSave(c, inPlace ? nullptr : &copy, nullptr, 0));
        SetFileFaultHook(nullptr);
        std::size_t rename = 0;
        while (rename < seen.size() && seen[rename].second != FileFaultPoint::kReplace) ++rename;
        ASSERT_LT(rename + 1, seen.size());
        ASSERT_GT(rename, 1u);
        const SInt16 temp = seen[rename - 1].first;
        EXPECT_EQ(FileFaultPoint::kFlush, seen[rename - 1].second) << "the new file is flushed right before the rename";
        std::size_t lastWrite = 0;
        for (std::size_t i = 0; i < rename; ++i)
            if (seen[i].first == temp && seen[i].second == FileFaultPoint::kWrite) lastWrite = i + 1;
        EXPECT_GT(lastWrite, 0u) << "the flushed file is the one written";
        EXPECT_EQ(std::make_pair(SInt16(0), FileFaultPoint::kFlushFolder), seen[rename + 1]);
        for (std::size_t i = rename + 1; i < seen.size(); ++i) EXPECT_NE(temp, seen[i].first) << i;
        EXPECT_EQ((std::vector<std::string>{"/media/photos/a.jpg", "/media/photos/b.jpg", "/media/photos/c.jpg"}),
                  NamesInFile(inPlace ? path : copy.path));
    }
}

// The rename took place but the folder could not be flushed: the save says so, the catalog
// lives on in its new file and stays marked as changed until a save gets through.
TEST_F(SaveSafetyTest, AFolderThatCannotBeFlushedIsReported) {
    const std::string path = dir / "Photos.lxc";
    MakeCatalog(path, {Item("a.jpg")});
    CatalogRec* c = Open(path);
    AddWorkItem(c, Item("b.jpg"));
    SetFileFaultHook([](SInt16, FileFaultPoint point, long) -> OSErr {
        return point == FileFaultPoint::kFlushFolder ? OSErr(ioErr) : OSErr(noErr);
    });
    EXPECT_EQ(ioErr, CatalogSave(c, nullptr, nullptr, 0));
    SetFileFaultHook(nullptr);
    const std::vector<std::string> names = {"/media/photos/a.jpg", "/media/photos/b.jpg"};
    EXPECT_EQ(names, NamesInFile(path));
    EXPECT_EQ(names, ItemNames(c));
    EXPECT_TRUE(CatalogIsModified(c));
    EXPECT_FALSE(TempFilesIn(dir.path()));
    AddWorkItem(c, Item("c.jpg"));
    ASSERT_EQ(noErr, CatalogSave(c, nullptr, nullptr, 0));
    EXPECT_FALSE(CatalogIsModified(c));
    EXPECT_EQ(3u, NamesInFile(path).size());
}

// A neighbour who may write the folder (nobody, where the test may take other ids) keeps
// putting links to a file elsewhere in place of every temporary file of the catalog it sees;
// the file elsewhere is never touched, and a save that answers success is in the catalog.
TEST_F(SaveSafetyTest, ANeighbourSwappingLinksForTheTemporaryFilesNeverRedirectsASave) {
    TempFolder elsewhere;
    const std::string victim = elsewhere / "precious.txt";
    WriteBytes(victim, BytesOf("precious contents of another file"));
    chmod(victim.c_str(), 0600);
    chmod(dir.path().c_str(), 0777);
    const std::string path = dir / "Photos.lxc";
    MakeCatalog(path, {Item("a.jpg")});
    struct stat victimBefore{};
    ASSERT_EQ(0, stat(victim.c_str(), &victimBefore));
    CatalogRec* c = Open(path);

    ChildProcess neighbour([&](ChildProcess& self) {
        if (CanBecomeOtherUsers() && !BecomeUser(kNobodyUid, kNobodyGid, {}, dir.path())) {
            self.Send("no");
            return kCouldNotBecomeUser;
        }
        self.Send("ready");
        const std::string link = dir / "neighbour-link";
        for (unsigned n = 0;; ++n) {
            std::vector<std::string> names;
            if (DIR* d = opendir(dir.path().c_str())) {
                while (dirent* e = readdir(d))
                    if (std::string(e->d_name).rfind(".Photos.lxc.saving", 0) == 0) names.push_back(e->d_name);
                closedir(d);
            }
            for (const std::string& name : names) {
                symlink(victim.c_str(), link.c_str());
                rename(link.c_str(), (dir / name).c_str());
            }
            if (n % 2 == 0) usleep(400);
        }
    });
    const std::string hello = neighbour.Receive();
    if (hello == "no") GTEST_SKIP() << "the neighbour could not become user nobody with access to " << dir.path();
    ASSERT_EQ("ready", hello);
    int successes = 0;
    for (int i = 0; i < 60; ++i) {
        AddWorkItem(c, Item("n" + std::to_string(i) + ".jpg"));
        OSErr err = CatalogSave(c, nullptr, nullptr, 0);
        struct stat st{};
        ASSERT_EQ(0, lstat(path.c_str(), &st)) << "round " << i;
        if (err == noErr) {
            ++successes;
            ASSERT_TRUE(S_ISREG(st.st_mode)) << "round " << i;
            ASSERT_EQ(ItemNames(c), NamesInFile(path)) << "round " << i;
        } else if (!S_ISREG(st.st_mode)) {
            break;   // the neighbour's link got in between the last check and the rename: told
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

TEST_F(SaveSafetyTest, AHardLinkedCatalogKeepsBothNamesOnTheSavedFile) {
    const std::string path = dir / "Photos.lxc", other = dir / "Other name.lxc";
    MakeCatalog(path, {Item("a.jpg")});
    ASSERT_EQ(0, link(path.c_str(), other.c_str()));
    CatalogRec* c = Open(path);
    AddWorkItem(c, Item("b.jpg"));
    ASSERT_EQ(noErr, CatalogSave(c, nullptr, nullptr, 0));
    struct stat a{}, b{};
    ASSERT_EQ(0, stat(path.c_str(), &a));
    ASSERT_EQ(0, stat(other.c_str(), &b));
    EXPECT_EQ(a.st_ino, b.st_ino);
    EXPECT_EQ("", CheckSavedFile(other));
    EXPECT_EQ((std::vector<std::string>{"/media/photos/a.jpg", "/media/photos/b.jpg"}), NamesInFile(other));
    // The catalog reads its records from the saved file.
    EXPECT_EQ(ItemNames(c), NamesInFile(path));
    AddWorkItem(c, Item("c.jpg"));
    ASSERT_EQ(noErr, CatalogSave(c, nullptr, nullptr, 0));
    EXPECT_EQ(3u, NamesInFile(other).size());
    EXPECT_FALSE(TempFilesIn(dir.path()));
}

// Catalogs of one user saved by another: a group member saving a group-shared catalog in
// place keeps its owner, group, mode, attributes and ACL; a user who may write the folder but
// not a file is refused when saving over it.
TEST_F(SaveSafetyTest, SavesByOtherUsersKeepTheCatalogsIdentityOrAreRefused) {
    if (!CanBecomeOtherUsers()) GTEST_SKIP() << "taking other users' ids needs the super-user";
    chmod(dir.path().c_str(), 0777);
    struct Case {
        const char* name;
        uid_t writer;
        std::vector<gid_t> groups;
        mode_t mode;
        bool inPlace;
        OSErr expected;
    } cases[] = {
        {"a member of the catalog's group saves it in place", kMemberUid, {kSharedGid}, 0664, true, noErr},
        {"a user who may not write the file saves another catalog over it", kStrangerUid, {}, 0644, false, permErr},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const std::string path = dir / "Shared.lxc";
        MakeCatalog(path, {Item("a.jpg")});
        ASSERT_EQ(0, chown(path.c_str(), kOwnerUid, kSharedGid));
        ASSERT_EQ(0, setxattr(path.c_str(), "user.note", "kept", 4, 0));
        ASSERT_EQ(0, setxattr(path.c_str(), "system.posix_acl_access", AccessAcl().data(), AccessAcl().size(), 0));
        ASSERT_EQ(0, chmod(path.c_str(), k.mode));
        const Bytes aclBefore = Attribute(path, "system.posix_acl_access");
        const Bytes before = ReadBytes(path);
        struct stat st0{};
        ASSERT_EQ(0, stat(path.c_str(), &st0));

        ChildProcess writer([&](ChildProcess& self) {
            if (!BecomeUser(k.writer, k.writer, k.groups, dir.path())) return kCouldNotBecomeUser;
            FSSpec spec = SpecOf(path), work = SpecOf(dir / ("child-work-" + std::to_string(k.writer)));
            CatalogRec* c = nullptr;
            OSErr err = CatalogOpen(&c, k.inPlace ? &spec : nullptr, &work, nullptr, nullptr, nullptr, 0);
            if (err) {
                self.Send("open " + std::to_string(err));
                return 1;
            }
            AddWorkItem(c, Item("by-" + std::to_string(k.writer) + ".jpg"));
            self.Send(std::to_string(CatalogSave(c, k.inPlace ? nullptr : &spec, nullptr, 0)));
            CatalogClose(c, false);
            return 0;
        });
        const std::string answer = writer.Receive();
        writer.Wait();
        if (answer.empty()) GTEST_SKIP() << "the writer could not take the ids of the case";
        EXPECT_EQ(std::to_string(k.expected), answer);
        struct stat st{};
        ASSERT_EQ(0, stat(path.c_str(), &st));
        EXPECT_EQ(st0.st_uid, st.st_uid);
        EXPECT_EQ(st0.st_gid, st.st_gid);
        EXPECT_EQ(st0.st_mode, st.st_mode);
        EXPECT_EQ(BytesOf("kept"), Attribute(path, "user.note"));
        EXPECT_EQ(aclBefore, Attribute(path, "system.posix_acl_access"));
        if (k.expected == noErr) {
            EXPECT_EQ((std::vector<std::string>{"/media/photos/a.jpg", "/media/photos/by-" + std::to_string(k.writer) + ".jpg"}),
                      NamesInFile(path));
        } else {
            EXPECT_EQ(before, ReadBytes(path));
        }
        EXPECT_FALSE(TempFilesIn(dir.path()));
        std::filesystem::remove(path);
    }
}

}  // namespace
