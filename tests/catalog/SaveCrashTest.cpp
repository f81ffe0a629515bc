// Saves and shared use across real processes: a saving process killed at every file operation
// and at random moments, a save running into a file-size limit or a full file system, ten
// users of one catalog, and the view settings written at close only by a user who is alone.
#include "catalog/save/CatalogSave.h"

#include "SaveSupport.h"
#include "catalog/save/CatalogLocks.h"
#include "platform/ByteOrder.h"
#include "platform/FileFaults.h"
#include "support/ChildProcess.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace savetest;

TestItem Item(const std::string& name, size_t thumbnailBytes = 0) {
    TestItem t;
    t.path = "/media/photos/" + name;
    t.thumbnail = std::string(thumbnailBytes, char(0x5A));
    t.annotations = CaptionBlock("about " + name);
    t.url = "http://example.org/" + name;
    return t;
}

std::string Join(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += (out.empty() ? "" : "|") + n;
    return out;
}

bool TempFilesIn(const std::string& dir) {
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().filename().string().find(".saving-") != std::string::npos) return true;
    return false;
}

// The name in the record at position of a work file, as it lies there.
std::string NameAt(const std::string& workPath, long position) {
    Bytes b = ReadBytes(workPath);
    if (position < 0 || size_t(position) + 1024 > b.size()) return "<beyond the end>";
    ItemRec r;
    std::memcpy(&r, b.data() + position, sizeof r);
    ItemRecToNativeOrder(&r);
    return FileNameOf(r);
}

class SaveCrashTest : public ::testing::Test {
protected:
    void SetUp() override { StartCatalogEngine(); }
    void TearDown() override { SetFileFaultHook(nullptr); }

    // A saved catalog of the items, closed again.
    void MakeCatalog(const std::string& path, const std::vector<TestItem>& items) {
        FSSpec work = SpecOf(dir / "setup-work");
        CatalogRec* c = nullptr;
        ASSERT_EQ(noErr, CatalogOpen(&c, nullptr, &work, nullptr, nullptr, nullptr, 0));
        for (const TestItem& t : items) AddWorkItem(c, t);
        FSSpec target = SpecOf(path);
        ASSERT_EQ(noErr, CatalogSave(c, &target, nullptr, 0));
        CatalogClose(c, false);
    }

    TempFolder dir;
};

// The changes a user makes before saving: a deleted item, a changed one, two new ones.
void ChangeCatalog(CatalogRec* c) {
    DeleteItem(c, 1);
    UpdateItem(c, 0, Item("a-changed.jpg", 3000));
    AddWorkItem(c, Item("new1.jpg", 200));
    AddWorkItem(c, Item("new2.jpg"));
}

// The unsaved records as "position name" lines.
std::string UnsavedRecords(CatalogRec* c) {
    std::ostringstream out;
    for (SInt32 i = 0; i < c->itemCount; ++i)
        if (c->entries[i].flags & kEntryInWorkFileFlag) out << c->entries[i].position << ' ' << ItemNames(c)[size_t(i)] << ';';
    return out.str();
}

TEST_F(SaveCrashTest, AProcessKilledAtAnyFileOperationOfASaveLeavesTheOldOrTheNewCatalogNeverAMix) {
    const std::vector<TestItem> items = {Item("a.jpg", 400), Item("b.jpg", 50), Item("c.jpg", 900), Item("d.jpg")};
    const std::string photos = dir / "Photos.lxc";
    const std::string copy = dir / "Copy.lxc";
    MakeCatalog(photos, items);
    MakeCatalog(copy, {Item("older.jpg")});
    const Bytes photosBytes = ReadBytes(photos), copyBytes = ReadBytes(copy);

    for (bool inPlace : {true, false}) {
        SCOPED_TRACE(inPlace ? "in place" : "under a new name");
        const std::string target = inPlace ? photos : copy;
        const Bytes& oldTarget = inPlace ? photosBytes : copyBytes;
        const std::string oldNames = Join(NamesInFile(target));
        int kills = 0;
        for (int killAt = 1;; ++killAt) {
            SCOPED_TRACE("killed at file operation " + std::to_string(killAt));
            WriteBytes(photos, photosBytes);
            WriteBytes(copy, copyBytes);
            const std::string work = dir / ((inPlace ? "work-in-place-" : "work-new-name-") + std::to_string(killAt));
            ChildProcess child([&](ChildProcess& self) {
                FSSpec spec = SpecOf(photos), workSpec = SpecOf(work), copySpec = SpecOf(copy);
                CatalogRec* c = nullptr;
                OSErr err = CatalogOpen(&c, &spec, &workSpec, nullptr, nullptr, nullptr, 0);
                if (err != noErr) {
                    self.Send("");
                    self.Send("open " + std::to_string(err));
                    return 1;
                }
                ChangeCatalog(c);
                self.Send(UnsavedRecords(c));
                self.Send(Join(ItemNames(c)));
                int calls = 0;
                SetFileFaultHook([&](SInt16, FileFaultPoint, long) -> OSErr {
                    if (++calls == killAt) raise(SIGKILL);
                    return noErr;
                });
                err = CatalogSave(c, inPlace ? nullptr : &copySpec, nullptr, 0);
                self.Send("saved " + std::to_string(err));
                return 0;
            });
            const std::string unsaved = child.Receive();
            const std::string newNames = child.Receive();
            const std::string result = child.Receive();
            int status = child.Wait();
            ASSERT_FALSE(unsaved.empty()) << newNames;

            EXPECT_EQ("", CheckSavedFile(target));
            const std::string namesNow = Join(NamesInFile(target));
            if (!inPlace) {
                EXPECT_EQ(photosBytes, ReadBytes(photos)) << "the source of a save-as is never written";
            }
            if (!WIFSIGNALED(status)) {
                EXPECT_EQ("saved 0", result);
                EXPECT_EQ(newNames, namesNow);
                break;
            }
            ++kills;
            if (namesNow == oldNames) {
                EXPECT_EQ(oldTarget, ReadBytes(target));
                // The unsaved records are still in the work file, where the entries said.
                std::istringstream in(unsaved);
                std::string record;
                while (std::getline(in, record, ';')) {
                    long pos = std::stol(record.substr(0, record.find(' ')));
                    EXPECT_EQ(record.substr(record.find(' ') + 1), NameAt(work, pos));
                }
            } else {
                EXPECT_EQ(newNames, namesNow) << "neither the old nor the new catalog";
            }
            std::filesystem::remove(work);
        }
        EXPECT_GT(kills, 20);
        EXPECT_FALSE(TempFilesIn(dir.path())) << "the last save removed what the killed ones left";
    }
}

TEST_F(SaveCrashTest, AProcessSavingInALoopAndKilledAtRandomMomentsNeverLeavesABrokenCatalog) {
    const std::string photos = dir / "Photos.lxc";
    MakeCatalog(photos, {Item("a.jpg", 20000), Item("b.jpg", 20000)});
    const Bytes original = ReadBytes(photos);
    std::mt19937 random(20240611);
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        WriteBytes(photos, original);
        ChildProcess child([&](ChildProcess& self) {
            FSSpec spec = SpecOf(photos), work = SpecOf(dir / ("loop-work-" + std::to_string(round)));
            CatalogRec* c = nullptr;
            if (CatalogOpen(&c, &spec, &work, nullptr, nullptr, nullptr, 0) != noErr) return 1;
            for (int i = 0;; ++i) {
                AddWorkItem(c, Item("n" + std::to_string(i) + ".jpg", 30000));
                if (c->itemCount > 3) UpdateItem(c, 2, Item("u" + std::to_string(i) + ".jpg", 1000 * (i % 7)));
                OSErr err = CatalogSave(c, nullptr, nullptr, 0);
                if (err) return 2;
                self.Send(std::to_string(c->itemCount));
            }
        });
        usleep(useconds_t(2000 + random() % 40000));
        child.Kill();
        long lastReported = 2;
        for (std::string line; !(line = child.Receive(0)).empty();) lastReported = std::stol(line);
        OSErr err = noErr;
        std::vector<std::string> names = NamesInFile(photos, &err);
        ASSERT_EQ(noErr, err);
        EXPECT_EQ("", CheckSavedFile(photos));
        // What the file holds is the last save the child told of, or the one it was making.
        EXPECT_TRUE(long(names.size()) == lastReported || long(names.size()) == lastReported + 1)
            << names.size() << " items, last reported " << lastReported;
        EXPECT_EQ("/media/photos/a.jpg", names.at(0));
    }
}

TEST_F(SaveCrashTest, ASaveBeyondTheFileSizeLimitFailsAsDiskFullAndKeepsEverything) {
    const std::string photos = dir / "Photos.lxc";
    MakeCatalog(photos, {Item("a.jpg", 1000), Item("b.jpg", 1000)});
    const Bytes before = ReadBytes(photos);
    ChildProcess child([&](ChildProcess& self) {
        FSSpec spec = SpecOf(photos), work = SpecOf(dir / "work");
        CatalogRec* c = nullptr;
        if (CatalogOpen(&c, &spec, &work, nullptr, nullptr, nullptr, 0) != noErr) return 1;
        for (int i = 0; i < 3; ++i) AddWorkItem(c, Item("big" + std::to_string(i) + ".jpg", 100000));
        CatalogSnapshot snapshot = TakeSnapshot(c);
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        rlimit small = limit;
        small.rlim_cur = rlim_t(before.size() + 50000);
        setrlimit(RLIMIT_FSIZE, &small);
        OSErr first = CatalogSave(c, nullptr, nullptr, 0);
        std::string diff = CompareSnapshots(snapshot, TakeSnapshot(c));
        setrlimit(RLIMIT_FSIZE, &limit);
        OSErr second = CatalogSave(c, nullptr, nullptr, 0);
        self.Send(std::to_string(first) + " " + std::to_string(second) + " [" + diff + "]");
        return 0;
    });
    std::string line = child.Receive();
    child.Wait();
    EXPECT_EQ(std::to_string(dskFulErr) + " 0 []", line);
    EXPECT_EQ(5u, NamesInFile(photos).size());
    EXPECT_FALSE(TempFilesIn(dir.path()));
}

// Mounts a tmpfs of the given size on mountPoint in a mount namespace of the calling process
// only (a user namespace too when the process may not make one alone). False when the system
// does not allow it.
bool MountTinyFilesystem(const std::string& mountPoint, const std::string& size) {
    if (unshare(CLONE_NEWNS) != 0) {
        uid_t uid = getuid();
        gid_t gid = getgid();
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    return mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
}

TEST_F(SaveCrashTest, OnAFullFileSystemASaveFailsAsDiskFullBeforeOrWhileWritingAndLosesNothing) {
    const std::string small = dir / "small";
    std::filesystem::create_directory(small);
    ChildProcess child([&](ChildProcess& self) {
        if (!MountTinyFilesystem(small, "4M")) {
            self.Send("skip");
            return 0;
        }
        std::ostringstream problems;
        FSSpec work = SpecOf(small + "/work"), target = SpecOf(small + "/Photos.lxc");
        CatalogRec* c = nullptr;
        if (CatalogOpen(&c, nullptr, &work, nullptr, nullptr, nullptr, 0) != noErr) return 1;
        // Not enough room for the work file's records and the margin: refused before writing.
        for (int i = 0; i < 3; ++i) AddWorkItem(c, Item("big" + std::to_string(i) + ".jpg", 650000));
        CatalogSnapshot snapshot = TakeSnapshot(c);
        OSErr before = CatalogSave(c, &target, nullptr, 0);
        problems << CompareSnapshots(snapshot, TakeSnapshot(c));
        if (std::filesystem::exists(target.path) || TempFilesIn(small)) problems << "written; ";
        CatalogClose(c, false);

        // Room enough when the save begins, but another program fills the disk meanwhile.
        c = nullptr;
        if (CatalogOpen(&c, nullptr, &work, nullptr, nullptr, nullptr, 0) != noErr) return 1;
        for (int i = 0; i < 2; ++i) AddWorkItem(c, Item("p" + std::to_string(i) + ".jpg", 300000));
        snapshot = TakeSnapshot(c);
        const std::string filler = small + "/filler";
        int fills = 0;
        SetFileFaultHook([&](SInt16 ref, FileFaultPoint, long) -> OSErr {
            FSSpec s;
            if (FSGetOpenFileSpec(ref, &s) != noErr || s.path.find(".saving-") == std::string::npos) return noErr;
            if (std::filesystem::exists(filler)) return noErr;
            ++fills;
            int fd = open(filler.c_str(), O_WRONLY | O_CREAT, 0644);
            std::vector<char> block(65536, 'f');
            while (write(fd, block.data(), block.size()) > 0) {
            }
            close(fd);
            return noErr;
        });
        OSErr during = CatalogSave(c, &target, nullptr, 0);
        SetFileFaultHook(nullptr);
        if (fills != 1) problems << "the disk was not filled during the save; ";
        problems << CompareSnapshots(snapshot, TakeSnapshot(c));
        if (std::filesystem::exists(target.path) || TempFilesIn(small)) problems << "left behind; ";

        // Once there is room again, the same catalog saves.
        std::filesystem::remove(filler);
        OSErr after = CatalogSave(c, &target, nullptr, 0);
        problems << CheckSavedFile(target.path);
        if (Join(NamesInFile(target.path)) != "/media/photos/p0.jpg|/media/photos/p1.jpg") problems << "names; ";
        self.Send(std::to_string(before) + " " + std::to_string(during) + " " + std::to_string(after) + " [" +
                  problems.str() + "]");
        return 0;
    });
    std::string line = child.Receive(30000);
    child.Wait();
    if (line == "skip") GTEST_SKIP() << "this system does not let a test mount a small file system";
    EXPECT_EQ(std::to_string(dskFulErr) + " " + std::to_string(dskFulErr) + " 0 []", line);
}

// A user in another process that opens the catalog and keeps it open until killed.
std::unique_ptr<ChildProcess> OpenElsewhere(const std::string& catalog, const std::string& work) {
    return std::make_unique<ChildProcess>([catalog, work](ChildProcess& self) {
        FSSpec spec = SpecOf(catalog), workSpec = SpecOf(work);
        CatalogRec* c = nullptr;
        self.Send(std::to_string(CatalogOpen(&c, &spec, &workSpec, nullptr, nullptr, nullptr, 0)));
        self.Receive(-1);
        return 0;
    });
}

TEST_F(SaveCrashTest, TenUsersHoldACatalogTheEleventhIsRefusedAndACrashedUsersSlotIsReused) {
    const std::string photos = dir / "Photos.lxc";
    MakeCatalog(photos, {Item("a.jpg"), Item("b.jpg")});
    std::vector<std::unique_ptr<ChildProcess>> users;
    for (int i = 0; i < 10; ++i) {
        users.push_back(OpenElsewhere(photos, dir / ("work-" + std::to_string(i))));
        ASSERT_EQ("0", users.back()->Receive());
    }
    FSSpec spec = SpecOf(photos), work = SpecOf(dir / "mine");
    CatalogRec* c = reinterpret_cast<CatalogRec*>(1);
    EXPECT_EQ(permErr, CatalogOpen(&c, &spec, &work, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(nullptr, c);
    EXPECT_FALSE(std::filesystem::exists(work.path)) << "the refused open leaves no work file";

    users[3]->Kill();
    ASSERT_EQ(noErr, CatalogOpen(&c, &spec, &work, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(3, c->lockSlot);
    EXPECT_EQ(9, CatalogCountOtherUsers(c, &spec));
    AddWorkItem(c, Item("c.jpg"));
    const Bytes before = ReadBytes(photos);
    EXPECT_EQ(opWrErr, CatalogSave(c, nullptr, nullptr, 0));
    EXPECT_EQ(before, ReadBytes(photos));
    FSSpec elsewhere = SpecOf(dir / "Mine.lxc");
    EXPECT_EQ(noErr, CatalogSave(c, &elsewhere, nullptr, 0)) << "saving under another name is allowed";

    for (auto& u : users) u->Kill();
    CatalogClose(c, false);
    ASSERT_EQ(noErr, CatalogOpen(&c, &spec, &work, nullptr, nullptr, nullptr, 0));
    AddWorkItem(c, Item("c.jpg"));
    EXPECT_EQ(noErr, CatalogSave(c, nullptr, nullptr, 0)) << "alone again";
    CatalogClose(c, false);
    for (int n = 0; n < 10; ++n)
        EXPECT_FALSE(std::filesystem::exists(photos + "_" + std::to_string(n))) << "slot " << n << " swept";
}

TEST_F(SaveCrashTest, ClosingWritesTheViewSettingsInPlaceOnlyWhenNoOtherUserHasTheCatalog) {
    const std::string photos = dir / "Photos.lxc";
    MakeCatalog(photos, {Item("a.jpg")});
    FSSpec spec = SpecOf(photos), work = SpecOf(dir / "mine");
    const UInt32 oldDate = 3000000000u;
    FSpSetFileDates(&spec, nullptr, &oldDate);

    auto closeWithNewPrefs = [&](UInt16 top) {
        CatalogRec* c = nullptr;
        ASSERT_EQ(noErr, CatalogOpen(&c, &spec, &work, nullptr, nullptr, nullptr, 0));
        c->viewPrefs.viewMode = 2;
        c->viewPrefs.windowTop = top;
        CatalogClose(c, true);
    };

    auto other = OpenElsewhere(photos, dir / "other-work");
    ASSERT_EQ("0", other->Receive());
    const Bytes before = ReadBytes(photos);
    closeWithNewPrefs(321);
    EXPECT_EQ(before, ReadBytes(photos));
    other->Kill();

    closeWithNewPrefs(654);
    Bytes after = ReadBytes(photos);
    CatalogImage was, now;
    ASSERT_TRUE(ParseCatalogImage(before, &was));
    ASSERT_TRUE(ParseCatalogImage(after, &now));
    const Bytes& oldPref = was.Find('PREF')->data;
    const Bytes& newPref = now.Find('PREF')->data;
    EXPECT_EQ(2, newPref[9]);
    EXPECT_EQ(654, ReadBE16(newPref.data() + 36));
    EXPECT_TRUE(std::equal(oldPref.begin() + 44, oldPref.end(), newPref.begin() + 44)) << "only 44 bytes";
    EXPECT_EQ(before.size(), after.size());
    UInt32 modified = 0;
    FSpGetFileDates(&spec, nullptr, &modified);
    EXPECT_EQ(oldDate, modified);
}

}  // namespace
