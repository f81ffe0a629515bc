// Copy, Move and Transfer to Folder on real files of a catalog: where the files end up, where
// the items point afterwards, and every answer of the file-conflict dialog.
#include "FileActionsSupport.h"

#include "catalog/foldertree/FolderTreeOps.h"
#include "output/fileactions/FileActions.h"

TEST_F(FileActionsTest, CopyLeavesTheItemsOnTheOriginals) {
    Catalogue({{"pics/a.jpg", PictureBytes(1)}, {"pics/b.jpg", PictureBytes(2)}});
    std::filesystem::create_directories(folder / "out");
    FSSpec out;
    FSMakeFSSpecFromPath(folder / "out", &out);
    const FileActionReport report = CopySelectionToFolder(view, out);
    EXPECT_EQ(report.err, noErr);
    EXPECT_EQ(Names("out"), (std::vector<std::string>{"a.jpg", "b.jpg"}));
    EXPECT_EQ(Bytes("out/a.jpg"), PictureBytes(1));
    EXPECT_EQ(Bytes("out/b.jpg"), PictureBytes(2));
    EXPECT_EQ(ItemPath(1), folder / "pics/a.jpg");
    EXPECT_EQ(ItemPath(2), folder / "pics/b.jpg");
    EXPECT_EQ(hooks.progressTitle, "Copying media files...");
    EXPECT_EQ(report.done.size(), 2u);
    // The copy keeps the original's modification time.
    struct stat s1{}, s2{};
    stat((folder / "pics/a.jpg").c_str(), &s1);
    stat((folder / "out/a.jpg").c_str(), &s2);
    EXPECT_EQ(s1.st_mtim.tv_sec, s2.st_mtim.tv_sec);
}

TEST_F(FileActionsTest, CopyIntoTheFilesOwnFolderUnderAnotherSpellingDoesNothing) {
    Catalogue({{"pics/a.jpg", PictureBytes(1)}});
    std::filesystem::create_directory_symlink(folder / "pics", folder / "alias");
    FSSpec same;
    same.path = folder / "alias";   // the same folder reached another way
    const FileActionReport report = CopySelectionToFolder(view, same);
    EXPECT_EQ(report.err, noErr);
    EXPECT_TRUE(asker.asked.empty());
    EXPECT_EQ(Names("pics"), std::vector<std::string>{"a.jpg"});
    EXPECT_TRUE(report.done.empty());
}

TEST_F(FileActionsTest, CopyConflictsFollowTheDialogsAnswers) {
    struct Case {
        std::vector<int> answers;
        OSErr result;
        std::vector<std::string> outBytes;   // what out/a.jpg, out/b.jpg, out/c.jpg hold afterwards
        size_t questions;
    };
    const std::string old = "old";
    const Case cases[] = {
        // Skip: the existing files stay, each conflict is asked.
        {{kConflictSkip, kConflictSkip, kConflictSkip}, noErr, {old, old, old}, 3},
        // Replace once, then Skip.
        {{kConflictReplace, kConflictSkip, kConflictSkip}, noErr, {"1", old, old}, 3},
        // Replace All: later conflicts of the run are replaced without asking.
        {{kConflictReplaceAll}, noErr, {"1", "2", "3"}, 1},
        // Skip All ends the run.
        {{kConflictSkip, kConflictSkipAll}, userCanceledErr, {old, old, old}, 2},
    };
    Catalogue({{"pics/a.jpg", PictureBytes(1)}, {"pics/b.jpg", PictureBytes(2)}, {"pics/c.jpg", PictureBytes(3)}});
    std::filesystem::create_directories(folder / "out");
    FSSpec out;
    FSMakeFSSpecFromPath(folder / "out", &out);
    for (const Case& c : cases) {
        for (const char* n : {"a", "b", "c"}) folder.Write("out/" + std::string(n) + ".jpg", old);
        asker.answers = c.answers;
        asker.next = 0;
        asker.asked.clear();
        const FileActionReport report = CopySelectionToFolder(view, out);
        EXPECT_EQ(report.err, c.result);
        EXPECT_EQ(asker.asked.size(), c.questions);
        const char* names[] = {"a", "b", "c"};
        for (int i = 0; i < 3; ++i) {
            const std::string want = c.outBytes[i] == old ? old : PictureBytes(std::stoi(c.outBytes[i]));
            EXPECT_EQ(Bytes("out/" + std::string(names[i]) + ".jpg"), want) << names[i];
        }
        EXPECT_EQ(Names("out"), (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"}));   // no temporary file left
        ASSERT_FALSE(asker.asked.empty());
        EXPECT_EQ(asker.asked[0].variant, kConflictCopy);
        EXPECT_EQ(asker.asked[0].source, folder / "pics/a.jpg");
        EXPECT_EQ(asker.asked[0].destination, folder / "out/a.jpg");
    }
}

TEST_F(FileActionsTest, WithoutADialogAConflictNeverReplaces) {
    SetFileConflictAsker(nullptr);
    Catalogue({{"pics/a.jpg", PictureBytes(1)}});
    folder.Write("out/a.jpg", "mine");
    FSSpec out;
    FSMakeFSSpecFromPath(folder / "out", &out);
    EXPECT_EQ(CopySelectionToFolder(view, out).err, noErr);
    EXPECT_EQ(MoveSelectionToFolder(view, out).err, noErr);
    EXPECT_EQ(Bytes("out/a.jpg"), "mine");
    EXPECT_EQ(ItemPath(1), folder / "pics/a.jpg");
}

TEST_F(FileActionsTest, MoveRepointsItemsAndTheFolderTreeAndCarriesSideFiles) {
    folder.Write("pics/a.wav", "sound of a");
    Catalogue({{"pics/a.jpg", PictureBytes(1)}, {"pics/b.jpg", PictureBytes(2)}});
    folder.Write("pics/unrelated.txt", "stays");
    FSSpec out;
    std::filesystem::create_directories(folder / "out/deeper");
    FSMakeFSSpecFromPath(folder / "out/deeper", &out);
    const FileActionReport report = MoveSelectionToFolder(view, out);
    EXPECT_EQ(report.err, noErr);
    EXPECT_EQ(hooks.progressTitle, "Moving media files...");
    EXPECT_EQ(Names("out/deeper"), (std::vector<std::string>{"a.jpg", "a.wav", "b.jpg"}));
    EXPECT_EQ(Names("pics"), std::vector<std::string>{"unrelated.txt"});
    EXPECT_EQ(Bytes("out/deeper/a.wav"), "sound of a");
    for (SInt32 n = 1; n <= 2; ++n) {
        EXPECT_TRUE(ItemFound(n));
        EXPECT_EQ(ItemPath(n), folder / (std::string("out/deeper/") + (n == 1 ? "a" : "b") + ".jpg"));
        // The alias stored in the item's record names the new place too.
        EXPECT_EQ(AliasPath(n), folder / (std::string("out/deeper/") + (n == 1 ? "a" : "b") + ".jpg"));
        EXPECT_EQ(ItemName(n), n == 1 ? "a.jpg" : "b.jpg");
    }
    // The folder tree files the items under their new folder.
    FSSpec deeper;
    FSMakeFSSpecFromPath(folder / "out/deeper", &deeper);
    FolderNode* node = CatalogFindFolderNodeBySpec(catalog, &deeper, false);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(CatalogFindItemFolderNode(catalog, ItemGetId(catalog, 1)), node);
    EXPECT_EQ(CatalogFindItemFolderNode(catalog, ItemGetId(catalog, 2)), node);
}

TEST_F(FileActionsTest, MoveOntoAnExistingNameAsksAndReplacesOnlyWhenTold) {
    Catalogue({{"pics/a.jpg", PictureBytes(1)}, {"pics/b.jpg", PictureBytes(2)}});
    folder.Write("out/a.jpg", "old a");
    folder.Write("out/b.jpg", "old b");
    FSSpec out;
    FSMakeFSSpecFromPath(folder / "out", &out);
    asker.answers = {kConflictSkip, kConflictReplace};
    const FileActionReport report = MoveSelectionToFolder(view, out);
    EXPECT_EQ(report.err, noErr);
    ASSERT_EQ(asker.asked.size(), 2u);
    EXPECT_EQ(asker.asked[0].variant, kConflictMove);
    // Skipped: both files as they were, the item on its original.
    EXPECT_EQ(Bytes("out/a.jpg"), "old a");
    EXPECT_EQ(Bytes("pics/a.jpg"), PictureBytes(1));
    EXPECT_EQ(ItemPath(1), folder / "pics/a.jpg");
    // Replaced: the moved file took the name, the item followed it.
    EXPECT_EQ(Bytes("out/b.jpg"), PictureBytes(2));
    EXPECT_FALSE(std::filesystem::exists(folder / "pics/b.jpg"));
    EXPECT_EQ(ItemPath(2), folder / "out/b.jpg");
    EXPECT_EQ(Names("out"), (std::vector<std::string>{"a.jpg", "b.jpg"}));
}

TEST_F(FileActionsTest, NamesDifferingOnlyInCaseDoNotConflict) {
    Catalogue({{"pics/Photo.JPG", PictureBytes(1)}});
    folder.Write("out/photo.jpg", "another file");
    FSSpec out;
    FSMakeFSSpecFromPath(folder / "out", &out);
    EXPECT_EQ(MoveSelectionToFolder(view, out).err, noErr);
    EXPECT_TRUE(asker.asked.empty());
    EXPECT_EQ(Names("out"), (std::vector<std::string>{"Photo.JPG", "photo.jpg"}));
    EXPECT_EQ(Bytes("out/photo.jpg"), "another file");
    EXPECT_EQ(ItemPath(1), folder / "out/Photo.JPG");
}

TEST_F(FileActionsTest, TransferModesMoveCopyOrDuplicate) {
    struct Case {
        UInt8 mode;
        bool originalStays;
        bool itemFollows;
    };
    const Case cases[] = {
        {kTransferMove, false, true},
        {kTransferCopyAndRepoint, true, true},
        {kTransferDuplicate, true, false},
    };
    int round = 0;
    for (const Case& c : cases) {
        const std::string src = "src" + std::to_string(round) + "/a.jpg";
        const std::string dst = "dst" + std::to_string(round);
        ++round;
        TearDown();
        SetUp();
        Catalogue({{src, PictureBytes(1)}});
        std::filesystem::create_directories(folder / dst);
        FSSpec out;
        FSMakeFSSpecFromPath(folder / dst, &out);
        const FileActionReport report = TransferSelectionToFolder(view, out, c.mode);
        EXPECT_EQ(report.err, noErr);
        EXPECT_EQ(Bytes(dst + "/a.jpg"), PictureBytes(1));
        EXPECT_EQ(std::filesystem::exists(folder / src), c.originalStays) << int(c.mode);
        EXPECT_EQ(ItemPath(1), c.itemFollows ? folder / (dst + "/a.jpg") : folder / src) << int(c.mode);
        EXPECT_TRUE(ItemFound(1));
    }
}

TEST_F(FileActionsTest, TransferReplaceOverwritesTheTargetAndSkipAllEndsAtOnce) {
    Catalogue({{"pics/a.jpg", PictureBytes(1)}, {"pics/b.jpg", PictureBytes(2)}, {"pics/c.jpg", PictureBytes(3)}});
    folder.Write("out/a.jpg", "old a");
    folder.Write("out/b.jpg", "old b");
    folder.Write("out/c.jpg", "old c");
    FSSpec out;
    FSMakeFSSpecFromPath(folder / "out", &out);
    asker.answers = {kConflictReplace, kConflictSkipAll};
    const FileActionReport report = TransferSelectionToFolder(view, out, kTransferCopyAndRepoint);
    EXPECT_EQ(report.err, userCanceledErr);
    EXPECT_EQ(asker.asked.size(), 2u);
    // Replace in a copying transfer writes the copy over the target.
    EXPECT_EQ(Bytes("out/a.jpg"), PictureBytes(1));
    EXPECT_EQ(ItemPath(1), folder / "out/a.jpg");
    EXPECT_EQ(Bytes("out/b.jpg"), "old b");
    EXPECT_EQ(Bytes("out/c.jpg"), "old c");
    EXPECT_EQ(ItemPath(2), folder / "pics/b.jpg");
    EXPECT_EQ(ItemPath(3), folder / "pics/c.jpg");
    ASSERT_EQ(report.done.size(), 1u);
}

TEST_F(FileActionsTest, ACancelDuringACopyTakesThatCopyBackAndEndsTheRun) {
    Catalogue({{"pics/a.jpg", PictureBytes(1)}, {"pics/b.jpg", PictureBytes(2)}});
    std::filesystem::create_directories(folder / "out");
    FSSpec out;
    FSMakeFSSpecFromPath(folder / "out", &out);
    // The progress window's Cancel is pressed while the second file is being copied.
    struct CancellingHooks : ViewHooks {
        OSErr ProgressFraction(short, double) override { return ++calls >= 2 ? OSErr(userCanceledErr) : OSErr(noErr); }
        int calls = 0;
    } cancelling;
    SetUiHooks(&cancelling);
    const FileActionReport copy = CopySelectionToFolder(view, out);
    SetUiHooks(&hooks);
    EXPECT_EQ(copy.err, userCanceledErr);
    ASSERT_EQ(copy.done.size(), 1u);
    EXPECT_EQ(copy.done[0].to, folder / "out/a.jpg");
    EXPECT_EQ(copy.failure.path, folder / "pics/b.jpg");
    // No part of the second copy is left behind.
    EXPECT_EQ(Names("out"), std::vector<std::string>{"a.jpg"});
    EXPECT_EQ(Names("pics"), (std::vector<std::string>{"a.jpg", "b.jpg"}));
}

TEST_F(FileActionsTest, AMissingDestinationIsReportedByName) {
    Catalogue({{"pics/a.jpg", PictureBytes(1)}});
    FSSpec gone;
    gone.path = folder / "no-such-folder";
    const FileActionReport report = MoveSelectionToFolder(view, gone);
    EXPECT_EQ(report.err, dirNFErr);
    EXPECT_EQ(report.failure.path, folder / "no-such-folder");
    EXPECT_EQ(ItemPath(1), folder / "pics/a.jpg");
}
