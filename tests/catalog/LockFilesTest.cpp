// Lock slots between real users: open files held by other processes, stale files left by
// crashed ones, foreign files in slot names, and openers racing for the same slot.
#include "catalog/save/CatalogLocks.h"

#include "catalog/file/CatalogRec.h"

#include "support/ChildProcess.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

std::string SlotPath(const std::string& catalog, int n) { return catalog + "_" + char('0' + n); }

// A user in another process: takes a slot, reports it, and holds it until told to let go
// (then releases it properly) or until it is killed.
std::unique_ptr<ChildProcess> StartHolder(const std::string& catalog) {
    auto child = std::make_unique<ChildProcess>([catalog](ChildProcess& self) {
        FSSpec spec = SpecOf(catalog);
        SInt32 slot = -1;
        SInt16 ref = 0;
        OSErr err = CatalogAcquireLockSlot(&spec, &slot, &ref);
        self.Send(std::to_string(err) + " " + std::to_string(slot));
        self.Receive(-1);   // until the parent closes the pipe or kills us
        CatalogReleaseLockSlot(&spec, &slot, &ref);
        return 0;
    });
    return child;
}

struct Taken {
    OSErr err;
    int slot;
};

Taken ReadTaken(ChildProcess& child) {
    std::string line = child.Receive();
    if (line.empty()) return {-1, -2};
    size_t sp = line.find(' ');
    return {OSErr(std::stoi(line.substr(0, sp))), std::stoi(line.substr(sp + 1))};
}

class LockFilesTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::string catalog = dir / "Photos.lxc";
    FSSpec spec = SpecOf(catalog);
};

TEST_F(LockFilesTest, SlotFileHasTheCatalogNameTheDigitAndTheText) {
    SInt32 slot = -1;
    SInt16 ref = 0;
    ASSERT_EQ(noErr, CatalogAcquireLockSlot(&spec, &slot, &ref));
    EXPECT_EQ(0, slot);
    EXPECT_NE(0, ref);
    EXPECT_EQ("LYREX LOCK", TempFolder::Read(dir / "Photos.lxc_0"));
    FSSpec side = SpecOf(dir / "Photos.lxc_0");
    EXPECT_TRUE(LockFileIsOurs(&side));

    CatalogReleaseLockSlot(&spec, &slot, &ref);
    EXPECT_EQ(-1, slot);
    EXPECT_EQ(0, ref);
    EXPECT_FALSE(std::filesystem::exists(dir / "Photos.lxc_0"));
}

// What the slot files hold before a user arrives, and what that user gets.
struct SlotSetupCase {
    const char* name;
    std::vector<std::pair<int, std::string>> files;   // slot, contents (never locked)
    int heldInProcess;                                 // slots 0..n-1 held by other opens
    int expectedSlot;
    long expectedOthers;
    std::vector<int> survivingFiles;                   // slot files still there after release
};

class LockSlotSetupTest : public LockFilesTest,
                          public ::testing::WithParamInterface<SlotSetupCase> {};

TEST_P(LockSlotSetupTest, TakesTheRightSlotAndCountsTheLiveUsers) {
    const SlotSetupCase& c = GetParam();
    // Holders through other opens of this process: their locks conflict with ours just as
    // another process's would.
    std::vector<std::pair<SInt32, SInt16>> holders;
    for (int i = 0; i < c.heldInProcess; ++i) {
        SInt32 s = -1;
        SInt16 r = 0;
        ASSERT_EQ(noErr, CatalogAcquireLockSlot(&spec, &s, &r));
        ASSERT_EQ(i, s);
        holders.push_back({s, r});
    }
    for (const auto& [n, bytes] : c.files) dir.Write("Photos.lxc_" + std::to_string(n), bytes);

    SInt32 slot = -1;
    SInt16 ref = 0;
    ASSERT_EQ(noErr, CatalogAcquireLockSlot(&spec, &slot, &ref));
    EXPECT_EQ(c.expectedSlot, slot);
    EXPECT_EQ("LYREX LOCK", TempFolder::Read(SlotPath(catalog, slot)));
    EXPECT_EQ(c.expectedOthers, CatalogCountLockUsers(&spec, slot));
    // Without a slot of its own the count is the same plus this user.
    EXPECT_EQ(c.expectedOthers + 1, CatalogCountLockUsers(&spec, -1));

    // Foreign files are never touched.
    for (const auto& [n, bytes] : c.files) {
        bool ours = bytes.rfind("LYREX LOCK", 0) == 0 || std::string("LYREX LOCK").rfind(bytes, 0) == 0;
        if (!ours) {
            EXPECT_EQ(bytes, TempFolder::Read(SlotPath(catalog, n))) << n;
        }
    }

    for (auto& [s, r] : holders) CatalogReleaseLockSlot(&spec, &s, &r);
    CatalogReleaseLockSlot(&spec, &slot, &ref);
    std::set<int> left;
    for (int n = 0; n < 10; ++n)
        if (std::filesystem::exists(SlotPath(catalog, n))) left.insert(n);
    EXPECT_EQ(std::set<int>(c.survivingFiles.begin(), c.survivingFiles.end()), left);
}

INSTANTIATE_TEST_SUITE_P(
    Slots, LockSlotSetupTest,
    ::testing::Values(
        SlotSetupCase{"Empty", {}, 0, 0, 0, {}},
        SlotSetupCase{"StaleLockIsReused", {{0, "LYREX LOCK"}}, 0, 0, 0, {}},
        SlotSetupCase{"StaleLocksAreSweptOnRelease", {{3, "LYREX LOCK"}, {7, "LYREX LOCK"}}, 0,
                      0, 0, {}},
        SlotSetupCase{"ForeignFileIsLeftAlone", {{0, "not a lock of ours"}}, 0, 1, 0, {0}},
        SlotSetupCase{"ForeignEmptyPrefixIsALockThatDiedWhileBeingTaken", {{0, "LYREX"}}, 0, 0, 0,
                      {}},
        SlotSetupCase{"TwoLiveUsers", {}, 2, 2, 2, {}},
        SlotSetupCase{"LiveUsersAndAForeignFile", {{2, "xyz"}}, 2, 3, 2, {2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LockFilesTest, TenProcessesHoldAllSlotsTheEleventhIsRefusedACrashedSlotIsReused) {
    std::vector<std::unique_ptr<ChildProcess>> users;
    std::set<int> slots;
    for (int i = 0; i < 10; ++i) {
        users.push_back(StartHolder(catalog));
        Taken t = ReadTaken(*users.back());
        ASSERT_EQ(noErr, t.err);
        slots.insert(t.slot);
    }
    EXPECT_EQ(10u, slots.size());

    SInt32 slot = -1;
    SInt16 ref = 0;
    EXPECT_EQ(permErr, CatalogAcquireLockSlot(&spec, &slot, &ref));
    EXPECT_EQ(-1, slot);
    EXPECT_EQ(0, ref);
    EXPECT_EQ(10, CatalogCountLockUsers(&spec, -1));

    // The holder of slot 4 crashes: its file stays behind, but the slot is free.
    users[4]->Kill();
    EXPECT_TRUE(std::filesystem::exists(SlotPath(catalog, 4)));
    ASSERT_EQ(noErr, CatalogAcquireLockSlot(&spec, &slot, &ref));
    EXPECT_EQ(4, slot);
    EXPECT_EQ(9, CatalogCountLockUsers(&spec, slot));

    // One leaves properly, one more crashes: the count follows.
    users[0]->CloseInput();
    users[0]->Wait();
    users[9]->Kill();
    EXPECT_EQ(7, CatalogCountLockUsers(&spec, slot));
    EXPECT_FALSE(std::filesystem::exists(SlotPath(catalog, 9))) << "the stale slot is swept";
    CatalogReleaseLockSlot(&spec, &slot, &ref);
}

TEST_F(LockFilesTest, UsersOpeningAtTheSameMomentNeverShareASlot) {
    for (int round = 0; round < 5; ++round) {
        std::vector<std::unique_ptr<ChildProcess>> users;
        for (int i = 0; i < 10; ++i) {
            users.push_back(std::make_unique<ChildProcess>([this](ChildProcess& self) {
                self.Receive(-1);   // wait for the start signal
                SInt32 slot = -1;
                SInt16 ref = 0;
                OSErr err = CatalogAcquireLockSlot(&spec, &slot, &ref);
                self.Send(std::to_string(err) + " " + std::to_string(slot));
                self.Receive(-1);
                return 0;
            }));
        }
        for (auto& u : users) u->Send("go");
        std::set<int> slots;
        for (auto& u : users) {
            Taken t = ReadTaken(*u);
            ASSERT_EQ(noErr, t.err) << "round " << round;
            slots.insert(t.slot);
        }
        EXPECT_EQ(10u, slots.size()) << "round " << round;
        EXPECT_EQ(10, CatalogCountLockUsers(&spec, -1));
        for (auto& u : users) u->Kill();
        EXPECT_EQ(0, CatalogCountLockUsers(&spec, -1));
    }
}

TEST_F(LockFilesTest, OthersAreCountedWhenTheOwnLockCouldNotBeTaken) {
    auto a = StartHolder(catalog);
    auto b = StartHolder(catalog);
    ASSERT_EQ(noErr, ReadTaken(*a).err);
    ASSERT_EQ(noErr, ReadTaken(*b).err);
    EXPECT_EQ(2, CatalogCountLockUsers(&spec, -1));

    // A catalog whose slot names do not fit the file system gets no slot, and says why.
    std::string longName(254, 'x');
    FSSpec longSpec = SpecOf(dir / longName);
    SInt32 slot = 7;
    SInt16 ref = 9;
    EXPECT_EQ(bdNamErr, CatalogAcquireLockSlot(&longSpec, &slot, &ref));
    EXPECT_EQ(-1, slot);
    EXPECT_EQ(0, ref);
}

// Another program deletes the slot file of a running user (a clean-up script, a user tidying
// the folder). The next user takes that slot; the first must notice that its file is gone
// before it counts, or both believe they are alone and both save in place.
TEST_F(LockFilesTest, ASlotFileDeletedUnderItsHolderIsTakenAgainBeforeUsersAreCounted) {
    auto a = std::make_unique<CatalogRec>();
    ASSERT_EQ(noErr, CatalogCreateLock(a.get(), &spec));
    ASSERT_EQ(0, a->lockSlot);
    ASSERT_TRUE(std::filesystem::remove(SlotPath(catalog, 0)));

    auto b = StartHolder(catalog);
    Taken tb = ReadTaken(*b);
    ASSERT_EQ(noErr, tb.err);
    EXPECT_EQ(0, tb.slot) << "the deleted name was free";

    EXPECT_EQ(1, CatalogCountOtherUsers(a.get(), &spec));
    ASSERT_GT(a->lockSlot, 0);
    EXPECT_EQ("LYREX LOCK", TempFolder::Read(SlotPath(catalog, a->lockSlot)));
    EXPECT_EQ(2, CatalogCountLockUsers(&spec, -1)) << "both users are seen by a third";
    // A slot file that is still ours is kept as it is.
    const SInt32 kept = a->lockSlot;
    EXPECT_EQ(noErr, CatalogCheckOwnLock(a.get(), &spec));
    EXPECT_EQ(kept, a->lockSlot);

    b.reset();
    CatalogReleaseLock(a.get(), &spec);
    EXPECT_EQ(0, CatalogCountLockUsers(&spec, -1));
}

// Users who reach one catalog file by different names (a symbolic link to the file, a link in
// another folder, a linked folder) share its slots, beside the real file.
TEST_F(LockFilesTest, UsersOpeningThroughSymbolicLinksShareTheSlotsOfTheRealFile) {
    dir.Write("Photos.lxc", "catalog");
    std::filesystem::create_directory(dir / "other");
    const struct {
        const char* name;
        std::string link;   // what the second user opens
        std::string target;
    } cases[] = {
        {"link beside the file", dir / "Link.lxc", "Photos.lxc"},
        {"link in another folder", dir / "other/Photos.lxc", catalog},
        {"linked folder", dir / "linked/Photos.lxc", ""},
    };
    std::filesystem::create_directory_symlink(dir.path(), dir / "linked");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.target.empty()) std::filesystem::create_symlink(c.target, c.link);
        auto holder = StartHolder(catalog);
        ASSERT_EQ(0, ReadTaken(*holder).slot);

        FSSpec viaLink = SpecOf(c.link);
        SInt32 slot = -1;
        SInt16 ref = 0;
        ASSERT_EQ(noErr, CatalogAcquireLockSlot(&viaLink, &slot, &ref));
        EXPECT_EQ(1, slot);
        EXPECT_EQ("LYREX LOCK", TempFolder::Read(SlotPath(catalog, 1)));
        EXPECT_EQ(1, CatalogCountLockUsers(&viaLink, slot));
        EXPECT_EQ(2, CatalogCountLockUsers(&spec, -1));
        CatalogReleaseLockSlot(&viaLink, &slot, &ref);
        EXPECT_FALSE(std::filesystem::exists(SlotPath(catalog, 1)));
        for (const auto& e : std::filesystem::directory_iterator(dir / "other"))
            EXPECT_EQ(e.path().filename().string().find("_"), std::string::npos) << e.path();
    }
}

// A user who may not write the catalog's folder gets no slot: the catalog still opens, but
// says that other users cannot see this one.
TEST_F(LockFilesTest, NoSlotInAReadOnlyFolderIsAWarningOfTheOpen) {
    if (std::string why = UnprivilegedUnavailable(); !why.empty()) GTEST_SKIP() << why;
    OpenToOthers(dir.path(), 0555);
    auto user = StartUnprivileged([this](ChildProcess& self) {
        CatalogRec c;
        OSErr err = CatalogCreateLock(&c, &spec);
        self.Send(std::to_string(err) + " " + std::to_string(c.lockSlot) + " " +
                  std::to_string((c.openWarnings & kOpenSharingUnprotected) != 0));
        return 0;
    });
    EXPECT_EQ("0 -1 1", user->Receive());
    EXPECT_EQ(0, user->Wait());
    OpenToOthers(dir.path(), 0700);

    CatalogRec writable;
    ASSERT_EQ(noErr, CatalogCreateLock(&writable, &spec));
    EXPECT_EQ(0u, writable.openWarnings & kOpenSharingUnprotected);
    CatalogReleaseLock(&writable, &spec);
}

TEST_F(LockFilesTest, LockFileIsOursReadsTheFirstTenBytes) {
    struct Case {
        const char* bytes;
        bool ours;
    } cases[] = {{"LYREX LOCK", true},  {"LYREX LOCK and more", true}, {"LYREX LOC", false},
                 {"lyrex lock", false}, {"", false}};
    for (const Case& c : cases) {
        std::string p = dir.Write("probe", c.bytes);
        FSSpec s = SpecOf(p);
        EXPECT_EQ(c.ours, LockFileIsOurs(&s)) << c.bytes;
    }
    FSSpec missing = SpecOf(dir / "missing");
    EXPECT_FALSE(LockFileIsOurs(&missing));
}

}  // namespace
