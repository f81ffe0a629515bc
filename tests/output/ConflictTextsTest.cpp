// What the file-conflict dialog shows, made without a window, and the answer remembered for a
// run when no dialog is installed.
#include "output/fileactions/ConflictTexts.h"
#include "output/fileactions/FileConflicts.h"

#include "foundation/resources/ResourceStrings.h"
#include "platform/MacDates.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

class ConflictTextsTest : public testing::Test {
protected:
    void SetUp() override { SetResourceModule(GetBuiltInResourceModule("en")); }
    void TearDown() override { SetResourceModule(nullptr); }
};

TEST_F(ConflictTextsTest, TextsByModeAndNoneForOtherModes) {
    EXPECT_EQ(ConflictTextsForMode(0).caption, "Reset Path");
    EXPECT_EQ(ConflictTextsForMode(0).buttonStopAll, "Ca&ncel All");
    EXPECT_EQ(ConflictTextsForMode(1).sourceGroup, "Copying original file:");
    EXPECT_EQ(ConflictTextsForMode(2).sourceGroup, "Moving original file:");
    EXPECT_EQ(ConflictTextsForMode(2).button1, "&Replace");
    for (int mode : {-1, 3}) {
        const ConflictDialogTexts t = ConflictTextsForMode(mode);
        EXPECT_TRUE(t.caption.empty() && t.sourceGroup.empty() && t.button1.empty() && t.buttonAll.empty()) << mode;
    }
}

TEST_F(ConflictTextsTest, DatesAndTypes) {
    // The tests run in UTC with the C locale.
    EXPECT_EQ(FormatConflictDate(UInt32(UnixToLocalMacSeconds(0))), "Thu Jan  1 00:00:00 1970");
    EXPECT_EQ(FormatConflictDate(0), "Invalid DateTime");
    EXPECT_EQ(FormatTypeCode('JPEG'), "JPEG");
    EXPECT_EQ(FormatTypeCode('TIF '), "TIF ");
    EXPECT_EQ(FormatTypeCode(0), "");
}

TEST_F(ConflictTextsTest, RowsOfAFileOnDiskAndOfAMissingOne) {
    TempFolder folder;
    folder.Write("a.png", "x");
    FSSpec file, gone;
    FSMakeFSSpecFromPath(folder / "a.png", &file);
    gone.path = folder / "gone.gif";
    const ConflictFileRows rows = ConflictRowsOfFile(file);
    EXPECT_EQ(rows.name, folder / "a.png");
    EXPECT_EQ(rows.type, "PNG ");
    EXPECT_NE(rows.modified, "Invalid DateTime");
    const ConflictFileRows missing = ConflictRowsOfFile(gone);
    EXPECT_EQ(missing.type, "GIF ");
    EXPECT_EQ(missing.modified, "Invalid DateTime");
}

TEST(FileConflictAnswers, WithoutADialogConflictsSkipAndFoundFilesAreAccepted) {
    SetFileConflictAsker(nullptr);
    FileConflict c;
    c.variant = kConflictCopy;
    EXPECT_EQ(AskFileConflict(c), kConflictSkip);
    c.variant = kConflictMove;
    EXPECT_EQ(AskFileConflict(c), kConflictSkip);
    c.variant = kConflictResetPath;
    EXPECT_EQ(AskFileConflict(c), kConflictReplace);
    EXPECT_EQ(ConflictChoice(), kConflictReplace);
    ResetConflictChoice();
    EXPECT_EQ(ConflictChoice(), kConflictNone);
}

TEST(FileConflictAnswers, AnAnswerOutOfRangeCountsAsSkip) {
    struct Odd : FileConflictAsker {
        int Ask(const FileConflict&) override { return 9; }
    } odd;
    SetFileConflictAsker(&odd);
    EXPECT_EQ(AskFileConflict(FileConflict{}), kConflictSkip);
    SetFileConflictAsker(nullptr);
    ResetConflictChoice();
}
