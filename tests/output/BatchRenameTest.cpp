// Batch Rename on real files of a catalog: the four rules, names that are taken, names that
// differ only in case, refused names, and side files that follow their picture.
#include "FileActionsSupport.h"

#include "output/fileactions/BatchRename.h"

namespace {

RenameSpec Incremental(const std::string& base, SInt32 start, bool pad) {
    RenameSpec s;
    s.mode = kRenameIncremental;
    s.baseText = base;
    s.number = start;
    s.zeroPad = pad ? 1 : 0;
    return s;
}

}  // namespace

TEST(RenameRules, NamesForReplaceAddAndConvert) {
    struct Case {
        SInt16 mode;
        std::string search, replacement, added;
        UInt8 caseSensitive, position, letterCase;
        std::string name;
        bool changes;
        std::string expected;
    };
    const Case cases[] = {
        {kRenameReplaceString, "IMG", "Photo", "", 0, 0, 0, "img_0001.JPG", true, "Photo_0001.JPG"},
        {kRenameReplaceString, "IMG", "Photo", "", 1, 0, 0, "img_0001.JPG", false, ""},
        {kRenameReplaceString, "img", "x", "", 1, 0, 0, "img_img.jpg", true, "x_img.jpg"},   // first only
        {kRenameReplaceString, "", "x", "", 0, 0, 0, "a.jpg", false, ""},
        {kRenameReplaceString, "é", "e", "", 0, 0, 0, "CAFÉ.jpg", true, "CAFe.jpg"},        // letters beyond ASCII
        {kRenameAddString, "", "", "_v2", 0, kAddBeforeExtension, 0, "a.b.tif", true, "a.b_v2.tif"},
        {kRenameAddString, "", "", "_v2", 0, kAddBeforeExtension, 0, "readme", true, "readme_v2"},
        {kRenameAddString, "", "", "x_", 0, kAddAtStart, 0, "a.tif", true, "x_a.tif"},
        {kRenameAddString, "", "", "_x", 0, kAddAtEnd, 0, "a.tif", true, "a.tif_x"},
        {kRenameConvert, "", "", "", 0, 0, kConvertLower, "IMG_1.JPG", true, "img_1.jpg"},
        {kRenameConvert, "", "", "", 0, 0, kConvertUpper, "Straße.jpg", true, "STRASSE.JPG"},
        {kRenameConvert, "", "", "", 0, 0, 7, "IMG_1.JPG", false, ""},
    };
    for (const Case& c : cases) {
        RenameSpec s;
        s.mode = c.mode;
        s.searchText = c.search;
        s.replacement = c.replacement;
        s.addedText = c.added;
        s.caseSensitive = c.caseSensitive;
        s.position = c.position;
        s.letterCase = c.letterCase;
        std::string out;
        EXPECT_EQ(RenamedName(s, c.name, &out), c.changes) << c.name << " " << c.search << c.added;
        if (c.changes) {
            EXPECT_EQ(out, c.expected) << c.name;
        }
    }
}

TEST(RenameRules, PaddingCountsDigitsUpToNineAndNoneBeyond) {
    const std::pair<SInt32, int> digits[] = {{0, 1}, {9, 1}, {10, 2}, {99, 2}, {100, 3}, {999999999, 9}, {1000000000, 0}};
    for (auto [n, d] : digits) EXPECT_EQ(RenameDigits(n), d) << n;
    RenameSpec s = Incremental("Trip", 8, true);
    s.highestNumber = 10;
    EXPECT_EQ(IncrementalName(s, "IMG_1.jpeg"), "Trip08.jpeg");
    s.number = 10;
    EXPECT_EQ(IncrementalName(s, "noext"), "Trip10");
    s.zeroPad = 0;
    s.number = 8;
    EXPECT_EQ(IncrementalName(s, "a.b.JPG"), "Trip8.JPG");
}

TEST_F(FileActionsTest, IncrementalRenamesFilesAndItemsWithPadding) {
    Catalogue({{"pics/IMG_1.jpg", PictureBytes(1)}, {"pics/IMG_2.jpg", PictureBytes(2)}, {"pics/IMG_3.jpg", PictureBytes(3)}});
    RenameSpec spec = Incremental("Trip", 8, true);
    const FileActionReport report = BatchRenameSelection(view, &spec);
    EXPECT_EQ(report.err, noErr);
    EXPECT_EQ(Names("pics"), (std::vector<std::string>{"Trip08.jpg", "Trip09.jpg", "Trip10.jpg"}));
    const char* expected[] = {"Trip08.jpg", "Trip09.jpg", "Trip10.jpg"};
    for (SInt32 n = 1; n <= 3; ++n) {
        EXPECT_EQ(ItemPath(n), folder / ("pics/" + std::string(expected[n - 1])));
        EXPECT_TRUE(ItemFound(n));
        EXPECT_EQ(ItemName(n), expected[n - 1]);
        EXPECT_EQ(AliasPath(n), folder / ("pics/" + std::string(expected[n - 1])));
        EXPECT_EQ(Bytes("pics/" + std::string(expected[n - 1])), PictureBytes(n));
    }
    EXPECT_EQ(report.done.size(), 3u);
    EXPECT_EQ(spec.number, 11);
}

TEST_F(FileActionsTest, IncrementalPassesOverATakenNameAndNeverReplacesIt) {
    Catalogue({{"pics/IMG_1.jpg", PictureBytes(1)}, {"pics/IMG_2.jpg", PictureBytes(2)}, {"pics/IMG_3.jpg", PictureBytes(3)}});
    folder.Write("pics/Trip08.jpg", "someone else's file");
    RenameSpec spec = Incremental("Trip", 8, true);
    BatchRenameSelection(view, &spec);
    EXPECT_EQ(Bytes("pics/Trip08.jpg"), "someone else's file");
    // The taken number moved everything on by one, and the width grew with the highest number.
    EXPECT_EQ(spec.highestNumber, 11);
    EXPECT_EQ(Names("pics"), (std::vector<std::string>{"Trip08.jpg", "Trip09.jpg", "Trip10.jpg", "Trip11.jpg"}));
    EXPECT_EQ(ItemPath(1), folder / "pics/Trip09.jpg");
    EXPECT_EQ(Bytes("pics/Trip09.jpg"), PictureBytes(1));
    EXPECT_EQ(ItemPath(3), folder / "pics/Trip11.jpg");
}

TEST_F(FileActionsTest, ReplaceStringRespectsTheCaseSetting) {
    Catalogue({{"pics/img_0001.JPG", PictureBytes(1)}});
    RenameSpec spec;
    spec.mode = kRenameReplaceString;
    spec.searchText = "IMG";
    spec.replacement = "Photo";
    spec.caseSensitive = 1;
    BatchRenameSelection(view, &spec);
    EXPECT_EQ(Names("pics"), std::vector<std::string>{"img_0001.JPG"});
    spec.caseSensitive = 0;
    BatchRenameSelection(view, &spec);
    EXPECT_EQ(Names("pics"), std::vector<std::string>{"Photo_0001.JPG"});
    EXPECT_EQ(ItemPath(1), folder / "pics/Photo_0001.JPG");
    EXPECT_TRUE(ItemFound(1));
}

TEST_F(FileActionsTest, ConvertingCaseTakesEffectAndNeverDestroysTheOtherCaseFile) {
    // Two files whose names differ only in case are two files, each with its own item.
    Catalogue({{"pics/IMG_1.JPG", PictureBytes(1)}, {"pics/img_1.jpg", PictureBytes(2)}, {"pics/DSC_2.JPG", PictureBytes(3)}});
    RenameSpec spec;
    spec.mode = kRenameConvert;
    spec.letterCase = kConvertLower;
    const FileActionReport report = BatchRenameSelection(view, &spec);
    EXPECT_EQ(Names("pics"), (std::vector<std::string>{"IMG_1.JPG", "dsc_2.jpg", "img_1.jpg"}));
    EXPECT_EQ(Bytes("pics/IMG_1.JPG"), PictureBytes(1));
    EXPECT_EQ(Bytes("pics/img_1.jpg"), PictureBytes(2));
    EXPECT_EQ(Bytes("pics/dsc_2.jpg"), PictureBytes(3));
    EXPECT_EQ(ItemPath(1), folder / "pics/IMG_1.JPG");
    EXPECT_EQ(ItemPath(2), folder / "pics/img_1.jpg");
    EXPECT_EQ(ItemPath(3), folder / "pics/dsc_2.jpg");
    ASSERT_EQ(report.passedOver.size(), 1u);
    EXPECT_EQ(report.passedOver[0].err, dupFNErr);
    EXPECT_EQ(report.passedOver[0].path, folder / "pics/img_1.jpg");
}

TEST_F(FileActionsTest, NamesWithASlashOrDotsAreRefusedAndTheItemStays) {
    Catalogue({{"pics/abc.jpg", PictureBytes(1)}});
    folder.Write("pics/sub/keep.txt", "x");
    struct Case {
        SInt16 mode;
        std::string search, replacement, added;
    };
    const Case cases[] = {
        {kRenameAddString, "", "", "sub/"},          // would move the file into another folder
        {kRenameReplaceString, "abc.jpg", ".", ""},
        {kRenameReplaceString, "abc.jpg", "..", ""},
        {kRenameReplaceString, "abc.jpg", "", ""},
    };
    for (const Case& c : cases) {
        RenameSpec spec;
        spec.mode = c.mode;
        spec.searchText = c.search;
        spec.replacement = c.replacement;
        spec.addedText = c.added;
        spec.position = kAddAtStart;
        const FileActionReport report = BatchRenameSelection(view, &spec);
        EXPECT_EQ(Names("pics"), (std::vector<std::string>{"abc.jpg", "sub"})) << c.added << c.replacement;
        EXPECT_EQ(Names("pics/sub"), std::vector<std::string>{"keep.txt"});
        EXPECT_EQ(ItemPath(1), folder / "pics/abc.jpg");
        ASSERT_EQ(report.passedOver.size(), 1u);
        EXPECT_EQ(report.passedOver[0].err, bdNamErr);
        EXPECT_TRUE(report.done.empty());
    }
}

TEST_F(FileActionsTest, TheSoundAnnotationBesideAPictureIsRenamedWithIt) {
    folder.Write("pics/IMG_1.WAV", "RIFF-sound");
    Catalogue({{"pics/IMG_1.JPG", PictureBytes(1)}});
    RenameSpec spec = Incremental("Trip", 1, false);
    BatchRenameSelection(view, &spec);
    EXPECT_EQ(Names("pics"), (std::vector<std::string>{"Trip1.JPG", "Trip1.WAV"}));
    EXPECT_EQ(Bytes("pics/Trip1.WAV"), "RIFF-sound");
    EXPECT_EQ(ItemPath(1), folder / "pics/Trip1.JPG");
}

TEST_F(FileActionsTest, ASideFileWhoseNewNameIsTakenHoldsItsPictureBack) {
    folder.Write("pics/IMG_1.WAV", "mine");
    folder.Write("pics/Trip1.WAV", "another picture's sound");
    Catalogue({{"pics/IMG_1.JPG", PictureBytes(1)}});
    RenameSpec spec;
    spec.mode = kRenameReplaceString;
    spec.searchText = "IMG_";
    spec.replacement = "Trip";
    const FileActionReport report = BatchRenameSelection(view, &spec);
    EXPECT_EQ(Names("pics"), (std::vector<std::string>{"IMG_1.JPG", "IMG_1.WAV", "Trip1.WAV"}));
    EXPECT_EQ(Bytes("pics/Trip1.WAV"), "another picture's sound");
    EXPECT_EQ(ItemPath(1), folder / "pics/IMG_1.JPG");
    ASSERT_EQ(report.passedOver.size(), 1u);
    EXPECT_EQ(report.passedOver[0].path, folder / "pics/Trip1.WAV");
}

TEST_F(FileActionsTest, AnItemWhoseFileIsMissingIsPassedOverAndNamed) {
    Catalogue({{"pics/a.jpg", PictureBytes(1)}, {"pics/b.jpg", PictureBytes(2)}});
    std::filesystem::remove(folder / "pics/a.jpg");
    RenameSpec spec = Incremental("n", 1, false);
    const FileActionReport report = BatchRenameSelection(view, &spec);
    EXPECT_EQ(Names("pics"), std::vector<std::string>{"n1.jpg"});
    EXPECT_EQ(ItemPath(2), folder / "pics/n1.jpg");
    ASSERT_EQ(report.passedOver.size(), 1u);
    EXPECT_EQ(report.passedOver[0].err, fnfErr);
    EXPECT_EQ(report.passedOver[0].path, folder / "pics/a.jpg");
}

TEST(RenameDialogValuesTest, TextsAreCutAndTheStartNumberHeldToItsRange) {
    struct Case {
        std::string start;
        SInt32 number, highest;
    };
    const Case cases[] = {
        {"8", 8, 10},
        {"2000000000", 1000000000, 1000000002},
        {"12345678901234", 1000000000, 1000000002},   // read from its first 10 characters
        {"0", 1, 3},
        {"-5", 1, 3},
        {"abc", 1, 3},
        {"  42xyz", 42, 44},
    };
    for (const Case& c : cases) {
        RenameDialogValues v;
        v.modeIndex = 0;
        v.startText = c.start;
        RenameSpec spec;
        spec.keepExtension = 0;
        RenameSpecFromDialog(v, 3, &spec);
        EXPECT_EQ(spec.number, c.number) << c.start;
        EXPECT_EQ(spec.highestNumber, c.highest) << c.start;
        EXPECT_EQ(spec.keepExtension, 1);
    }
    RenameDialogValues v;
    v.modeIndex = 2;
    v.addedText = std::string(40, 'x');
    v.searchText = "ééééééééééééééééééééééééééééééééééé";   // 35 two-byte characters
    v.position = kAddBeforeExtension;
    RenameSpec spec;
    RenameSpecFromDialog(v, 1, &spec);
    EXPECT_EQ(spec.mode, kRenameAddString);
    EXPECT_EQ(spec.addedText, std::string(30, 'x'));
    EXPECT_EQ(spec.searchText.size(), 60u);
    EXPECT_EQ(spec.position, kAddBeforeExtension);
}
