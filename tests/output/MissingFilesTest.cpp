// Reset Paths: selecting the items whose files are missing and finding the files again under a
// folder the user picks.
#include "FileActionsSupport.h"

#include "output/fileactions/MissingFiles.h"

namespace {

void MoveFile(const std::string& from, const std::string& to) {
    std::filesystem::create_directories(std::filesystem::path(to).parent_path());
    std::filesystem::rename(from, to);
}

}  // namespace

TEST_F(FileActionsTest, SelectingMissingItemsFindsOnlyThoseWhoseFilesAreGone) {
    Catalogue({{"pics/a.jpg", PictureBytes(1)}, {"pics/b.jpg", PictureBytes(2)}, {"pics/c.jpg", PictureBytes(3)}});
    MoveFile(folder / "pics/a.jpg", folder / "elsewhere/a.jpg");
    MoveFile(folder / "pics/c.jpg", folder / "elsewhere/c.jpg");
    SInt32 count = 0;
    EXPECT_EQ(SelectMissingItems(view, &count), noErr);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Selected(), (std::vector<SInt32>{1, 3}));
    EXPECT_EQ(hooks.progressTitle, "Resetting paths...");
    // A cancel leaves the selection alone.
    SelectOnly({2});
    hooks.cancelAtStep = 1;
    EXPECT_EQ(SelectMissingItems(view, &count), userCanceledErr);
    EXPECT_EQ(Selected(), std::vector<SInt32>{2});
}

TEST_F(FileActionsTest, NoMissingFilesSelectsNothing) {
    Catalogue({{"pics/a.jpg", PictureBytes(1)}});
    SInt32 count = -1;
    EXPECT_EQ(SelectMissingItems(view, &count), noErr);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(Selected().empty());
}

TEST_F(FileActionsTest, FilesMovedIntoSubfoldersAreFoundByNameAndSize) {
    Catalogue({{"pics/a.jpg", PictureBytes(1)}, {"pics/b.jpg", PictureBytes(2)}, {"pics/c.jpg", PictureBytes(3)},
               {"pics/d.jpg", PictureBytes(4)}});
    MoveFile(folder / "pics/a.jpg", folder / "archive/2004/a.jpg");
    MoveFile(folder / "pics/b.jpg", folder / "archive/2005/summer/b.jpg");
    // c's name is met first with another size (another file), then with its own.
    MoveFile(folder / "pics/c.jpg", folder / "archive/2006/c.jpg");
    folder.Write("archive/2005/c.jpg", "a different file of the same name");
    // d went nowhere the search looks.
    std::filesystem::remove(folder / "pics/d.jpg");
    // A name that differs only in case is another file.
    folder.Write("archive/D.jpg", PictureBytes(4));
    SInt32 count = 0;
    ASSERT_EQ(SelectMissingItems(view, &count), noErr);
    ASSERT_EQ(count, 4);
    FSSpec archive;
    FSMakeFSSpecFromPath(folder / "archive", &archive);
    asker.answers = {kConflictReplaceAll};
    const LocateReport report = LocateMissingFiles(view, archive);
    EXPECT_EQ(report.err, noErr);
    EXPECT_EQ(asker.asked.size(), 1u);
    EXPECT_EQ(asker.asked[0].variant, kConflictResetPath);
    EXPECT_EQ(ItemPath(1), folder / "archive/2004/a.jpg");
    EXPECT_EQ(ItemPath(2), folder / "archive/2005/summer/b.jpg");
    EXPECT_EQ(ItemPath(3), folder / "archive/2006/c.jpg");
    for (SInt32 n = 1; n <= 3; ++n) EXPECT_TRUE(ItemFound(n)) << n;
    EXPECT_FALSE(ItemFound(4));
    EXPECT_EQ(report.repointed.size(), 3u);
    EXPECT_EQ(report.stillMissing, std::vector<std::string>{folder / "pics/d.jpg"});
}

TEST_F(FileActionsTest, EachFoundFileIsOfferedAndCancelAllStopsTheSearch) {
    Catalogue({{"pics/a.jpg", PictureBytes(1)}, {"pics/b.jpg", PictureBytes(2)}, {"pics/c.jpg", PictureBytes(3)}});
    for (const char* n : {"a", "b", "c"})
        MoveFile(folder / ("pics/" + std::string(n) + ".jpg"), folder / ("moved/" + std::string(n) + ".jpg"));
    SInt32 count = 0;
    ASSERT_EQ(SelectMissingItems(view, &count), noErr);
    FSSpec moved;
    FSMakeFSSpecFromPath(folder / "moved", &moved);
    // Accept the first found, pass over the second ("Find Other"), then Cancel All.
    asker.answers = {kConflictReplace, kConflictSkip, kConflictSkipAll};
    const LocateReport report = LocateMissingFiles(view, moved);
    EXPECT_EQ(report.err, userCanceledErr);
    EXPECT_EQ(asker.asked.size(), 3u);
    EXPECT_EQ(report.repointed.size(), 1u);
    EXPECT_EQ(report.stillMissing.size(), 2u);
    int found = 0;
    for (SInt32 n = 1; n <= 3; ++n) found += ItemFound(n) ? 1 : 0;
    EXPECT_EQ(found, 1);
    ASSERT_EQ(report.repointed.size(), 1u);
    EXPECT_EQ(report.repointed[0].to, asker.asked[0].destination);
}

TEST_F(FileActionsTest, OneItemAndAPickedFileRepointsOnlyThatItem) {
    Catalogue({{"pics/a.jpg", PictureBytes(1)}, {"pics/b.jpg", PictureBytes(2)}});
    MoveFile(folder / "pics/a.jpg", folder / "renamed/holiday.jpg");
    MoveFile(folder / "pics/b.jpg", folder / "renamed/b.jpg");
    SelectOnly({1});
    FSSpec picked;
    FSMakeFSSpecFromPath(folder / "renamed/holiday.jpg", &picked);
    const LocateReport report = LocateMissingFiles(view, picked);
    EXPECT_EQ(report.err, noErr);
    EXPECT_EQ(ItemPath(1), folder / "renamed/holiday.jpg");
    EXPECT_TRUE(ItemFound(1));
    // The other missing item was not searched for.
    EXPECT_FALSE(ItemFound(2));
    EXPECT_TRUE(asker.asked.empty());
}

namespace {

class ScriptedPrompts : public ResetPathsPrompts {
public:
    void NoMissingFiles() override { ++noneTold; }
    int MissingFiles(const std::string& catalogName, SInt32 count) override {
        asked.push_back(catalogName + ":" + std::to_string(count));
        return answer;
    }
    bool PickReplacement(bool oneItem, FSSpec* picked) override {
        pickedForOne.push_back(oneItem);
        if (pick.empty()) return false;
        return FSMakeFSSpecFromPath(pick, picked) == noErr;
    }
    int answer = 1;
    std::string pick;
    int noneTold = 0;
    std::vector<std::string> asked;
    std::vector<bool> pickedForOne;
};

}  // namespace

TEST_F(FileActionsTest, ResetPathsWithNothingMissingTellsOnlyWhenAsked) {
    Catalogue({{"pics/a.jpg", PictureBytes(1)}});
    ScriptedPrompts prompts;
    EXPECT_EQ(ResetPaths(view, false, prompts, nullptr), noErr);
    EXPECT_EQ(prompts.noneTold, 0);
    EXPECT_EQ(ResetPaths(view, true, prompts, nullptr), noErr);
    EXPECT_EQ(prompts.noneTold, 1);
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(FileActionsTest, ResetPathsSearchesCancelsOrRemovesAsAnswered) {
    Catalogue({{"pics/a.jpg", PictureBytes(1)}, {"pics/b.jpg", PictureBytes(2)}, {"pics/c.jpg", PictureBytes(3)}});
    MoveFile(folder / "pics/a.jpg", folder / "new/x/a.jpg");
    MoveFile(folder / "pics/c.jpg", folder / "new/c.jpg");
    ScriptedPrompts prompts;
    // Cancel: nothing changes.
    prompts.answer = 2;
    EXPECT_EQ(ResetPaths(view, true, prompts, nullptr), userCanceledErr);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].substr(prompts.asked[0].find(':')), ":2");
    EXPECT_EQ(ViewItemCount(view), 3);
    // Search: several items, so a folder is asked for; both are found.
    prompts.answer = 1;
    prompts.pick = folder / "new";
    asker.answers = {kConflictReplaceAll};
    LocateReport report;
    EXPECT_EQ(ResetPaths(view, true, prompts, &report), noErr);
    EXPECT_EQ(prompts.pickedForOne, std::vector<bool>{false});
    EXPECT_EQ(report.repointed.size(), 2u);
    EXPECT_EQ(ItemPath(1), folder / "new/x/a.jpg");
    EXPECT_EQ(ItemPath(3), folder / "new/c.jpg");
    // Remove: the item whose file is gone leaves the catalog, the others stay.
    std::filesystem::remove(folder / "pics/b.jpg");
    const UInt32 a = ItemGetId(catalog, 1), c = ItemGetId(catalog, 3);
    prompts.answer = 3;
    EXPECT_EQ(ResetPaths(view, true, prompts, nullptr), noErr);
    ASSERT_EQ(ViewItemCount(view), 2);
    EXPECT_EQ(ItemGetId(catalog, 1), a);
    EXPECT_EQ(ItemGetId(catalog, 2), c);
}
