// File actions that meet a second file system, a file-size limit, a read-only folder or a
// source that cannot be deleted. Each case runs in a child process with a catalog of its own
// (a private mount namespace with a tmpfs, a resource limit, or an unprivileged user), and
// reports what it found as lines "key=value" that the test checks.
#include "FileActionsSupport.h"

#include "output/fileactions/FileActions.h"
#include "support/ChildProcess.h"
#include "support/Unprivileged.h"

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace {

constexpr int kCannotHere = 77;

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream f(path);
    f << text;
    return bool(f);
}

// A mount namespace of our own (as root directly, else through a user namespace), with mounts
// that do not propagate back.
bool EnterPrivateMountNamespace() {
    if (unshare(CLONE_NEWNS) != 0) {
        const uid_t uid = getuid();
        const gid_t gid = getgid();
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
        WriteText("/proc/self/setgroups", "deny");
        if (!WriteText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !WriteText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return false;
    }
    return mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool DropPrivileges() {
    uid_t uid;
    gid_t gid;
    if (geteuid() != 0 || !UnprivilegedIds(&uid, &gid)) return geteuid() != 0;
    return setgroups(0, nullptr) == 0 && setgid(gid) == 0 && setuid(uid) == 0;
}

// A catalog, a view and a selection of every item, made inside the child.
struct ChildScene {
    CatalogRec* catalog = nullptr;
    ViewPort* port = nullptr;
    ViewRec* view = nullptr;

    bool Open(const std::string& workPath, const std::vector<std::string>& files) {
        FSSpec work;
        FSMakeFSSpecFromPath(workPath, &work);
        if (CatalogOpen(&catalog, nullptr, &work, nullptr, nullptr, nullptr, 0) != noErr) return false;
        std::vector<FSSpec> specs;
        for (const std::string& f : files) {
            FSSpec s;
            if (FSMakeFSSpecFromPath(f, &s) != noErr) return false;
            specs.push_back(s);
        }
        SInt32 added = 0;
        if (CatalogAddFiles(catalog, 0, specs.data(), long(specs.size()), nullptr, 0, &added) != noErr ||
            added != SInt32(specs.size()))
            return false;
        CatalogSetViewMode(catalog, kViewList);
        port = ViewPortNew(400, 300);
        if (ViewCreate(&view, port, nullptr, catalog) != noErr) return false;
        Rect r{0, 0, 300, 400};
        ViewSetRect(view, &r);
        ViewSelectAll(view);
        return true;
    }
    std::string ItemPath(SInt32 n) {
        FSSpec s;
        CatalogFindItemPath(catalog, n, &s);
        return s.path;
    }
};

// Reports a run and the items' paths to the parent.
void SendReport(ChildProcess& self, const FileActionReport& report, ChildScene& scene, SInt32 items) {
    self.Send("err=" + std::to_string(report.err));
    self.Send("failure=" + report.failure.path);
    self.Send("done=" + std::to_string(report.done.size()));
    for (SInt32 n = 1; n <= items; ++n) self.Send("item" + std::to_string(n) + "=" + scene.ItemPath(n));
}

std::map<std::string, std::string> ReadReport(ChildProcess& child) {
    std::map<std::string, std::string> out;
    for (std::string line = child.Receive(); !line.empty(); line = child.Receive()) {
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos) out[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return out;
}

std::vector<std::string> NamesIn(const std::string& path) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(path)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST_F(FileActionsTest, AMoveToAnotherFileSystemCopiesFlushesChecksAndThenDeletes) {
    folder.Write("pics/a.jpg", PictureBytes(1));
    folder.Write("pics/a.wav", "sound of a");
    folder.Write("pics/b.jpg", PictureBytes(2));
    std::filesystem::create_directories(folder / "other");
    struct stat before{};
    stat((folder / "pics/a.jpg").c_str(), &before);
    ChildProcess child([&](ChildProcess& self) {
        if (!EnterPrivateMountNamespace()) return kCannotHere;
        if (mount("tmpfs", (folder / "other").c_str(), "tmpfs", 0, "size=8m") != 0) return kCannotHere;
        folder.Write("other/b.jpg", "old b");
        ChildScene scene;
        if (!scene.Open(folder / "work", {folder / "pics/a.jpg", folder / "pics/b.jpg"})) return 2;
        ScriptedAsker replace;
        replace.answers = {kConflictReplace};
        SetFileConflictAsker(&replace);
        FSSpec other;
        FSMakeFSSpecFromPath(folder / "other", &other);
        const FileActionReport report = MoveSelectionToFolder(scene.view, other);
        SendReport(self, report, scene, 2);
        self.Send("asked=" + std::to_string(replace.asked.size()));
        self.Send("a=" + std::to_string(TempFolder::Read(folder / "other/a.jpg") == PictureBytes(1)));
        self.Send("b=" + std::to_string(TempFolder::Read(folder / "other/b.jpg") == PictureBytes(2)));
        self.Send("wav=" + TempFolder::Read(folder / "other/a.wav"));
        std::string names;
        for (const std::string& n : NamesIn(folder / "other")) names += n + ",";
        self.Send("other=" + names);
        struct stat after{};
        stat((folder / "other/a.jpg").c_str(), &after);
        self.Send("mtime=" + std::to_string(after.st_mtim.tv_sec == before.st_mtim.tv_sec));
        self.CloseInput();
        return 0;
    });
    const auto got = ReadReport(child);
    const int status = child.Wait();
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotHere) GTEST_SKIP() << "no private mount namespace here";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(got.at("err"), "0");
    EXPECT_EQ(got.at("done"), "2");
    EXPECT_EQ(got.at("asked"), "1");
    EXPECT_EQ(got.at("a"), "1");
    EXPECT_EQ(got.at("b"), "1");
    EXPECT_EQ(got.at("wav"), "sound of a");
    // Nothing but the moved files: no temporary copy, no file put aside.
    EXPECT_EQ(got.at("other"), "a.jpg,a.wav,b.jpg,");
    EXPECT_EQ(got.at("mtime"), "1");
    EXPECT_EQ(got.at("item1"), folder / "other/a.jpg");
    EXPECT_EQ(got.at("item2"), folder / "other/b.jpg");
    // The sources are gone from the disk.
    EXPECT_TRUE(NamesIn(folder / "pics").empty());
}

TEST_F(FileActionsTest, AFileTooLargeForTheLimitStopsTheRunWithOnlyTheFirstFileDone) {
    // The second file is larger than the process may write: its copy fails halfway.
    folder.Write("pics/a.jpg", PictureBytes(1));
    folder.Write("pics/b.jpg", PictureBytes(2) + std::string(3 << 20, '\0'));
    folder.Write("pics/c.jpg", PictureBytes(3));
    std::filesystem::create_directories(folder / "other");
    std::filesystem::create_directories(folder / "copies");
    ChildProcess child([&](ChildProcess& self) {
        const bool otherFileSystem = EnterPrivateMountNamespace() &&
                                     mount("tmpfs", (folder / "other").c_str(), "tmpfs", 0, "size=16m") == 0;
        ChildScene scene;
        if (!scene.Open(folder / "work", {folder / "pics/a.jpg", folder / "pics/b.jpg", folder / "pics/c.jpg"}))
            return 2;
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1 << 20, 1 << 20};
        setrlimit(RLIMIT_FSIZE, &limit);
        FSSpec copies;
        FSMakeFSSpecFromPath(folder / "copies", &copies);
        SendReport(self, CopySelectionToFolder(scene.view, copies), scene, 3);
        std::string names;
        for (const std::string& n : NamesIn(folder / "copies")) names += n + ",";
        self.Send("copies=" + names);
        if (otherFileSystem) {
            FSSpec other;
            FSMakeFSSpecFromPath(folder / "other", &other);
            const FileActionReport moved = MoveSelectionToFolder(scene.view, other);
            self.Send("move.err=" + std::to_string(moved.err));
            self.Send("move.failure=" + moved.failure.path);
            for (SInt32 n = 1; n <= 3; ++n) self.Send("move.item" + std::to_string(n) + "=" + scene.ItemPath(n));
            names.clear();
            for (const std::string& n : NamesIn(folder / "other")) names += n + ",";
            self.Send("other=" + names);
        }
        self.CloseInput();
        return 0;
    });
    const auto got = ReadReport(child);
    const int status = child.Wait();
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(got.at("err"), std::to_string(fileBoundsErr));
    EXPECT_EQ(got.at("failure"), folder / "copies/b.jpg");
    EXPECT_EQ(got.at("done"), "1");
    EXPECT_EQ(got.at("copies"), "a.jpg,");   // no partial copy of b, nothing of c
    for (SInt32 n = 1; n <= 3; ++n) EXPECT_EQ(got.at("item" + std::to_string(n)), folder / ("pics/" + std::string(1, char('a' + n - 1)) + ".jpg"));
    // Across file systems the move of b is a copy that fails: a moved, b and c where they were.
    if (!got.count("move.err")) GTEST_SKIP() << "no private mount namespace here for the move";
    EXPECT_EQ(got.at("move.err"), std::to_string(fileBoundsErr));
    EXPECT_EQ(got.at("move.failure"), folder / "other/b.jpg");
    EXPECT_EQ(got.at("move.item1"), folder / "other/a.jpg");
    EXPECT_EQ(got.at("move.item2"), folder / "pics/b.jpg");
    EXPECT_EQ(got.at("move.item3"), folder / "pics/c.jpg");
    EXPECT_EQ(got.at("other"), "a.jpg,");
    EXPECT_EQ(NamesIn(folder / "pics"), (std::vector<std::string>{"b.jpg", "c.jpg"}));
    EXPECT_EQ(Bytes("pics/b.jpg").size(), PictureBytes(2).size() + (3u << 20));
}

TEST_F(FileActionsTest, AReadOnlyTargetFolderRefusesTheMoveAndChangesNothing) {
    const std::string why = UnprivilegedUnavailable();
    if (!why.empty()) GTEST_SKIP() << why;
    OpenToOthers(folder.path());
    folder.Write("pics/a.jpg", PictureBytes(1));
    folder.Write("pics/b.jpg", PictureBytes(2));
    std::filesystem::create_directories(folder / "ro");
    std::filesystem::create_directories(folder / "cat");
    OpenToOthers(folder / "pics");
    OpenToOthers(folder / "cat");
    chmod((folder / "pics/a.jpg").c_str(), 0666);
    chmod((folder / "pics/b.jpg").c_str(), 0666);
    chmod((folder / "ro").c_str(), 0555);
    auto child = StartUnprivileged([&](ChildProcess& self) {
        ChildScene scene;
        if (!scene.Open(folder / "cat/work", {folder / "pics/a.jpg", folder / "pics/b.jpg"})) return 2;
        FSSpec ro;
        FSMakeFSSpecFromPath(folder / "ro", &ro);
        SendReport(self, MoveSelectionToFolder(scene.view, ro), scene, 2);
        const FileActionReport copy = CopySelectionToFolder(scene.view, ro);
        self.Send("copy.err=" + std::to_string(copy.err));
        self.Send("copy.failure=" + copy.failure.path);
        self.CloseInput();
        return 0;
    });
    const auto got = ReadReport(*child);
    const int status = child->Wait();
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(got.at("err"), std::to_string(afpAccessDenied));
    EXPECT_EQ(got.at("failure"), folder / "ro/a.jpg");
    EXPECT_EQ(got.at("done"), "0");
    EXPECT_EQ(got.at("item1"), folder / "pics/a.jpg");
    EXPECT_EQ(got.at("item2"), folder / "pics/b.jpg");
    EXPECT_EQ(got.at("copy.err"), std::to_string(afpAccessDenied));
    EXPECT_EQ(got.at("copy.failure"), folder / "ro/a.jpg");
    EXPECT_TRUE(NamesIn(folder / "ro").empty());
    EXPECT_EQ(Bytes("pics/a.jpg"), PictureBytes(1));
    EXPECT_EQ(Bytes("pics/b.jpg"), PictureBytes(2));
}

TEST_F(FileActionsTest, AMoveAcrossFileSystemsWhoseSourceCannotGoTakesTheCopyBack) {
    const std::string why = UnprivilegedUnavailable();
    if (!why.empty()) GTEST_SKIP() << why;
    OpenToOthers(folder.path());
    folder.Write("pics/a.jpg", PictureBytes(1));
    std::filesystem::create_directories(folder / "other");
    std::filesystem::create_directories(folder / "cat");
    OpenToOthers(folder / "cat");
    chmod((folder / "pics").c_str(), 0555);   // its files cannot be deleted by the user
    ChildProcess child([&](ChildProcess& self) {
        if (!EnterPrivateMountNamespace()) return kCannotHere;
        if (mount("tmpfs", (folder / "other").c_str(), "tmpfs", 0, "size=8m,mode=0777") != 0) return kCannotHere;
        folder.Write("other/a.jpg", "old a");
        chmod((folder / "other/a.jpg").c_str(), 0666);
        if (!DropPrivileges()) return kCannotHere;
        ChildScene scene;
        if (!scene.Open(folder / "cat/work", {folder / "pics/a.jpg"})) return 2;
        ScriptedAsker replace;
        replace.answers = {kConflictReplace};
        SetFileConflictAsker(&replace);
        FSSpec other;
        FSMakeFSSpecFromPath(folder / "other", &other);
        SendReport(self, MoveSelectionToFolder(scene.view, other), scene, 1);
        self.Send("old=" + TempFolder::Read(folder / "other/a.jpg"));
        std::string names;
        for (const std::string& n : NamesIn(folder / "other")) names += n + ",";
        self.Send("other=" + names);
        self.CloseInput();
        return 0;
    });
    const auto got = ReadReport(child);
    const int status = child.Wait();
    chmod((folder / "pics").c_str(), 0755);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotHere) GTEST_SKIP() << "no private mount namespace here";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(got.at("err"), std::to_string(afpAccessDenied));
    EXPECT_EQ(got.at("failure"), folder / "pics/a.jpg");
    EXPECT_EQ(got.at("done"), "0");
    EXPECT_EQ(got.at("item1"), folder / "pics/a.jpg");
    // The file that was to be replaced is back, and nothing else is left there.
    EXPECT_EQ(got.at("old"), "old a");
    EXPECT_EQ(got.at("other"), "a.jpg,");
    EXPECT_EQ(Bytes("pics/a.jpg"), PictureBytes(1));
}

TEST_F(FileActionsTest, AReplacingMoveAcrossFileSystemsKilledHalfwayLeavesTheTargetInPlace) {
    folder.Write("pics/a.jpg", PictureBytes(1) + std::string(3 << 20, '\0'));
    std::filesystem::create_directories(folder / "other");
    ChildProcess child([&](ChildProcess& self) {
        if (!EnterPrivateMountNamespace()) return kCannotHere;
        if (mount("tmpfs", (folder / "other").c_str(), "tmpfs", 0, "size=16m") != 0) return kCannotHere;
        folder.Write("other/a.jpg", "old a");
        FSSpec source, target;
        FSMakeFSSpecFromPath(folder / "pics/a.jpg", &source);
        target.path = folder / "other/a.jpg";
        // The mover stops for good inside its copy, then dies.
        {
            ChildProcess mover([&](ChildProcess& me) {
                MoveFileSafely(source, target, true, [&](SInt64, SInt64) -> OSErr {
                    me.Send("copying");
                    me.Receive(-1);
                    return noErr;
                });
                return 0;
            });
            if (mover.Receive() != "copying") return 3;
            self.Send("during=" + TempFolder::Read(folder / "other/a.jpg"));
            mover.Kill();
        }
        self.Send("after=" + TempFolder::Read(folder / "other/a.jpg"));
        // The next move into the folder finishes the job and sweeps the leftovers.
        self.Send("again=" + std::to_string(MoveFileSafely(source, target, true, nullptr)));
        self.Send("moved=" + std::to_string(TempFolder::Read(folder / "other/a.jpg") ==
                                            PictureBytes(1) + std::string(3 << 20, '\0')));
        std::string names;
        for (const std::string& n : NamesIn(folder / "other")) names += n + ",";
        self.Send("other=" + names);
        self.CloseInput();
        return 0;
    });
    const auto got = ReadReport(child);
    const int status = child.Wait();
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotHere) GTEST_SKIP() << "no private mount namespace here";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    // The file being replaced never lost its name, during the copy or after the crash.
    EXPECT_EQ(got.at("during"), "old a");
    EXPECT_EQ(got.at("after"), "old a");
    EXPECT_EQ(got.at("again"), "0");
    EXPECT_EQ(got.at("moved"), "1");
    EXPECT_EQ(got.at("other"), "a.jpg,");
    EXPECT_TRUE(NamesIn(folder / "pics").empty());
}

TEST_F(FileActionsTest, AMoveAcrossFileSystemsKeepsASourceThatChangedWhileItWasCopied) {
    const std::string original = PictureBytes(1) + std::string(3 << 20, '\0');
    folder.Write("pics/a.jpg", original);
    const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    utimensat(AT_FDCWD, (folder / "pics/a.jpg").c_str(), old, 0);
    std::filesystem::create_directories(folder / "other");
    ChildProcess child([&](ChildProcess& self) {
        if (!EnterPrivateMountNamespace()) return kCannotHere;
        if (mount("tmpfs", (folder / "other").c_str(), "tmpfs", 0, "size=16m") != 0) return kCannotHere;
        FSSpec source, target;
        FSMakeFSSpecFromPath(folder / "pics/a.jpg", &source);
        target.path = folder / "other/a.jpg";
        bool changed = false;
        // Another program writes into the part already copied; the length stays.
        FileFailure failure;
        const OSErr err = MoveFileSafely(source, target, false, [&](SInt64, SInt64) -> OSErr {
            if (!changed) {
                std::FILE* f = std::fopen((folder / "pics/a.jpg").c_str(), "r+b");
                std::fseek(f, 100, SEEK_SET);
                std::fputs("changed", f);
                std::fclose(f);
                changed = true;
            }
            return noErr;
        }, &failure);
        self.Send("err=" + std::to_string(err));
        std::string names;
        for (const std::string& n : NamesIn(folder / "other")) names += n + ",";
        self.Send("other=" + names);
        self.CloseInput();
        return 0;
    });
    const auto got = ReadReport(child);
    const int status = child.Wait();
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotHere) GTEST_SKIP() << "no private mount namespace here";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(got.at("err"), std::to_string(ioErr));
    EXPECT_EQ(got.at("other"), "");
    // The source, with the other program's change, is still there.
    std::string expected = original;
    expected.replace(100, 7, "changed");
    EXPECT_EQ(Bytes("pics/a.jpg"), expected);
}
