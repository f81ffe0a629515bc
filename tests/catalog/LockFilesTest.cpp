// Lock slots between real users: open files held by other processes, stale files left by
// crashed ones, foreign files in slot names, and openers racing for the same slot.
#include "catalog/save/CatalogLocks.h"

#include "support/ChildProcess.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
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
