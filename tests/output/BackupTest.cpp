// Backups of a catalog's media files to a folder and to a disc image: where each file goes, the
// catalog that goes with them, the image read back by xorriso byte for byte, and the catalog on
// the image finding its files wherever the image's files are.
#include "FileActionsSupport.h"

#include "catalog/save/CatalogSave.h"
#include "output/backup/BackupLayout.h"
#include "output/backup/BackupToDisc.h"
#include "support/RunTool.h"

#include <cstring>

namespace {

std::vector<std::string> TreeOf(const std::string& root) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
        out.push_back(e.path().string().substr(root.size() + 1) + (e.is_directory() ? "/" : ""));
    std::sort(out.begin(), out.end());
    return out;
}

// Lets the owner write everything extracted from an image (the image's folders are read-only).
void MakeWritable(const std::string& root) {
    namespace fs = std::filesystem;
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add);
    for (const auto& e : fs::recursive_directory_iterator(root))
        fs::permissions(e.path(), fs::perms::owner_read | fs::perms::owner_write |
                                      (e.is_directory() ? fs::perms::owner_exec : fs::perms::none),
                        fs::perm_options::add);
}

}  // namespace

TEST(BackupLayout, CommonFolderAndRelativeTargets) {
    struct Case {
        std::vector<std::string> paths;
        bool keep;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {{"/home/u/Photos/2004/a.jpg", "/home/u/Photos/2005/b.jpg"}, true, {"Photos/2004/a.jpg", "Photos/2005/b.jpg"}},
        {{"/home/u/Photos/Trip/a.jpg", "/home/u/Photos/Trip/b.jpg"}, true, {"Trip/a.jpg", "Trip/b.jpg"}},
        // Folders that share only the start of a name share no folder.
        {{"/data/Photo/a.jpg", "/data/Photos/b.jpg"}, true, {"data/Photo/a.jpg", "data/Photos/b.jpg"}},
        {{"/a.jpg"}, true, {"a.jpg"}},
        {{"/x/2004/a.jpg", "/x/2005/a.jpg", "/y/a.jpg"}, false, {"a.jpg", "a_1.jpg", "a_2.jpg"}},
        {{"/x/README", "/y/README"}, false, {"README", "README_1"}},
        // Names differing only in case are two names.
        {{"/x/A.jpg", "/y/a.jpg"}, false, {"A.jpg", "a.jpg"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> taken;
        EXPECT_EQ(BackupRelativeTargets(c.paths, c.keep, &taken), c.expected) << c.paths[0];
    }
    EXPECT_EQ(BackupCommonParent({"/home/u/Photos/Trip/a.jpg"}), "/home/u/Photos");
    EXPECT_EQ(BackupCommonParent({}), "");
}

TEST_F(FileActionsTest, BackupOptionsKeepTheirBytes) {
    BackupOptionsRec r = DefaultBackupOptions();
    EXPECT_EQ(r.keepFolderStructure, 1);
    BackupOptionsRec missing;
    std::memset(&missing, 0x5A, sizeof missing);
    EXPECT_FALSE(LoadBackupOptions(&missing));
    EXPECT_EQ(missing.keepFolderStructure, 0x5A);
    r.keepFolderStructure = 2;
    r.includeCatalog = 1;
    r.destination = 3;
    r.resetPaths = 1;
    ASSERT_TRUE(SaveBackupOptions(r));
    BackupOptionsRec back;
    ASSERT_TRUE(LoadBackupOptions(&back));
    EXPECT_EQ(0, std::memcmp(&r, &back, sizeof r));
}

class BackupTest : public FileActionsTest {
protected:
    // A saved catalog of files in two folders below "media".
    void SavedCatalog() {
        Catalogue({{"media/Photos/2004/Beach Day.JPG", PictureBytes(1)},
                   {"media/Photos/2005/beach day.jpg", PictureBytes(2)},
                   {"media/Photos/2005/a name well past the sixty-four characters Joliet allows for one name.jpg",
                    PictureBytes(3)}});
        folder.Write("media/Photos/2004/Beach Day.WAV", "sound");
        FSSpec spec;
        spec.path = folder / "cat/Holiday.lxc";
        std::filesystem::create_directories(folder / "cat");
        ASSERT_EQ(CatalogSave(catalog, &spec, nullptr, 0), noErr);
        ASSERT_FALSE(CatalogIsModified(catalog));
    }
    // Opens a catalog file with a work file of its own; the caller closes it.
    CatalogRec* OpenCatalog(const std::string& path) {
        FSSpec spec, work;
        FSMakeFSSpecFromPath(path, &spec);
        work.path = folder / ("work-" + std::to_string(++opened_));
        CatalogRec* c = nullptr;
        EXPECT_EQ(CatalogOpen(&c, &spec, &work, nullptr, nullptr, nullptr, 0), noErr);
        return c;
    }
    int opened_ = 0;
};

TEST_F(BackupTest, AFolderBackupKeepsTheStructureRepointsAndCarriesTheCatalog) {
    SavedCatalog();
    std::filesystem::create_directories(folder / "usb");
    BackupRequest request;
    request.options.keepFolderStructure = 2;
    request.options.includeCatalog = 1;
    request.options.resetPaths = 1;
    request.folder = folder / "usb";
    const BackupReport report = BackupToDisc(view, &request);
    ASSERT_EQ(report.err, noErr) << report.failure.path;
    EXPECT_EQ(report.alert, 0);
    EXPECT_EQ(request.options.staged, 0);
    const std::string long_ = "a name well past the sixty-four characters Joliet allows for one name.jpg";
    EXPECT_EQ(TreeOf(folder / "usb"),
              (std::vector<std::string>{"Holiday.lxc", "Photos/", "Photos/2004/", "Photos/2004/Beach Day.JPG",
                                        "Photos/2004/Beach Day.WAV", "Photos/2005/", "Photos/2005/" + long_,
                                        "Photos/2005/beach day.jpg"}));
    EXPECT_EQ(Bytes("usb/Photos/2004/Beach Day.JPG"), PictureBytes(1));
    EXPECT_EQ(Bytes("usb/Photos/2005/beach day.jpg"), PictureBytes(2));
    EXPECT_EQ(Bytes("usb/Photos/2004/Beach Day.WAV"), "sound");
    // The open catalog now points at the copies, and was saved so.
    EXPECT_EQ(ItemPath(1), folder / "usb/Photos/2004/Beach Day.JPG");
    EXPECT_EQ(ItemPath(3), folder / ("usb/Photos/2005/" + long_));
    EXPECT_FALSE(CatalogIsModified(catalog));
    CatalogRec* copy = OpenCatalog(folder / "usb/Holiday.lxc");
    ASSERT_TRUE(copy);
    FSSpec file;
    EXPECT_EQ(CatalogFindItemPath(copy, 2, &file), noErr);
    EXPECT_EQ(file.path, folder / "usb/Photos/2005/beach day.jpg");
    CatalogClose(copy, false);
    // The originals are untouched.
    EXPECT_EQ(Bytes("media/Photos/2004/Beach Day.JPG"), PictureBytes(1));
}

TEST_F(BackupTest, WithoutStructureSameNamesGetNumbersAndNothingIsReplaced) {
    Catalogue({{"a/x.jpg", PictureBytes(1)}, {"b/x.jpg", PictureBytes(2)}});
    folder.Write("usb/x.jpg", "an older backup");
    BackupRequest request;
    request.options.resetPaths = 1;
    request.folder = folder / "usb";
    const BackupReport report = BackupToDisc(view, &request);
    ASSERT_EQ(report.err, noErr);
    EXPECT_EQ(Names("usb"), (std::vector<std::string>{"x.jpg", "x_1.jpg", "x_2.jpg"}));
    EXPECT_EQ(Bytes("usb/x.jpg"), "an older backup");
    EXPECT_EQ(Bytes("usb/x_1.jpg"), PictureBytes(1));
    EXPECT_EQ(Bytes("usb/x_2.jpg"), PictureBytes(2));
    // Each item points at its own copy.
    EXPECT_EQ(ItemPath(1), folder / "usb/x_1.jpg");
    EXPECT_EQ(ItemPath(2), folder / "usb/x_2.jpg");
}

TEST_F(BackupTest, FailuresAreReportedByTheirAlertAndFileAndACancelSaysNothing) {
    Catalogue({{"a/x.jpg", PictureBytes(1)}, {"a/y.jpg", PictureBytes(2)}});
    // A missing file stops the backup before anything is copied.
    std::filesystem::rename(folder / "a/y.jpg", folder / "y.jpg");
    std::filesystem::create_directories(folder / "usb");
    BackupRequest request;
    request.folder = folder / "usb";
    BackupReport report = BackupToDisc(view, &request);
    EXPECT_EQ(report.alert, 61);
    EXPECT_EQ(report.failure.path, folder / "a/y.jpg");
    EXPECT_TRUE(Names("usb").empty());
    std::filesystem::rename(folder / "y.jpg", folder / "a/y.jpg");
    // No destination.
    request.folder = folder / "nowhere";
    report = BackupToDisc(view, &request);
    EXPECT_EQ(report.alert, 62);
    EXPECT_EQ(report.failure.path, folder / "nowhere");
    // An unsaved catalog cannot go with its files.
    request.folder = folder / "usb";
    request.options.includeCatalog = 1;
    report = BackupToDisc(view, &request);
    EXPECT_EQ(report.alert, 64);
    EXPECT_TRUE(Names("usb").empty());
    // A cancel while the files are gathered for a disc leaves neither image nor folders.
    struct CancellingHooks : ViewHooks {
        OSErr ProgressUpdate(const long* step, const std::string*, const std::string*, const std::string*) override {
            return step && *step >= 3 ? OSErr(userCanceledErr) : OSErr(noErr);
        }
    } cancelling;
    SetUiHooks(&cancelling);
    request.options.includeCatalog = 0;
    request.target = BackupTarget::kDisc;
    request.imagePath = folder / "usb/backup.iso";
    report = BackupToDisc(view, &request);
    SetUiHooks(&hooks);
    EXPECT_EQ(report.err, userCanceledErr);
    EXPECT_EQ(report.alert, 0);
    EXPECT_TRUE(Names("usb").empty());
}

TEST_F(BackupTest, ADiscImageHoldsEveryFileByteForByteAndItsCatalogFindsThem) {
    SavedCatalog();
    std::filesystem::create_directories(folder / "out");
    for (int keep : {1, 2}) {
        BackupRequest request;
        request.target = BackupTarget::kDisc;
        request.options.keepFolderStructure = UInt8(keep);
        request.options.includeCatalog = 1;
        request.imagePath = folder / ("out/backup" + std::to_string(keep) + ".iso");
        request.volumeId = "Holiday";
        const BackupReport report = BackupToDisc(view, &request);
        ASSERT_EQ(report.err, noErr) << report.failure.path << " alert " << report.alert;
        EXPECT_EQ(request.options.staged, 1);
        EXPECT_EQ(report.image, request.imagePath);
        EXPECT_FALSE(report.burnt);
        EXPECT_EQ(report.catalogCopy, "/Holiday.lxc");
        // Nothing but the image is left beside it.
        std::vector<std::string> out = Names("out");
        EXPECT_TRUE(std::find(out.begin(), out.end(), "backup" + std::to_string(keep) + ".iso") != out.end());
        for (const std::string& n : out) EXPECT_EQ(n.rfind("backup", 0), 0u) << n;

        const std::string extracted = folder / ("extracted" + std::to_string(keep));
        ASSERT_EQ(RunTool({"osirrox", "-indev", request.imagePath, "-extract", "/", extracted}), 0);
        MakeWritable(extracted);
        const std::string top = keep == 2 ? "Photos" : "Holiday";
        const std::string y2004 = keep == 2 ? "Photos/2004/" : "Holiday/";
        const std::string y2005 = keep == 2 ? "Photos/2005/" : "Holiday/";
        const std::string long_ = "a name well past the sixty-four characters Joliet allows for one name.jpg";
        // Rock Ridge keeps every name as it was, case and length included; no autorun file.
        EXPECT_EQ(TempFolder::Read(extracted + "/" + y2004 + "Beach Day.JPG"), PictureBytes(1));
        EXPECT_EQ(TempFolder::Read(extracted + "/" + y2005 + "beach day.jpg"), PictureBytes(2));
        EXPECT_EQ(TempFolder::Read(extracted + "/" + y2005 + long_), PictureBytes(3));
        EXPECT_EQ(TempFolder::Read(extracted + "/" + y2004 + "Beach Day.WAV"), "sound");
        EXPECT_FALSE(std::filesystem::exists(extracted + "/autorun.inf"));
        EXPECT_FALSE(std::filesystem::exists(extracted + "/AUTORUN.INF"));
        std::vector<std::string> root = TreeOf(extracted);
        EXPECT_EQ(std::count_if(root.begin(), root.end(), [](const std::string& p) { return p.find('/') == std::string::npos ||
                                                                                              p.find('/') == p.size() - 1; }),
                  2) << "the catalog and one folder at the root";
        // The Joliet tree is there for other systems, with the names' case.
        std::string joliet;
        RunTool({"xorriso", "-rockridge", "off", "-joliet", "on", "-indev", request.imagePath, "-find", "/", "-name",
                 "*each*"},
                &joliet);
        EXPECT_NE(joliet.find("Beach Day.JPG"), std::string::npos) << joliet;
        // The catalog on the image points at the image's files, wherever they now are.
        CatalogRec* copy = OpenCatalog(extracted + "/Holiday.lxc");
        ASSERT_TRUE(copy);
        ASSERT_EQ(copy->itemCount, 3);
        for (SInt32 n = 1; n <= 3; ++n) {
            FSSpec file;
            EXPECT_EQ(CatalogFindItemPath(copy, n, &file), noErr) << n << " " << file.path;
            EXPECT_EQ(file.path.rfind(extracted + "/" + top + "/", 0), 0u) << file.path;
            EXPECT_EQ(TempFolder::Read(file.path), PictureBytes(n == 1 ? 1 : n == 2 ? 2 : 3)) << file.path;
        }
        CatalogClose(copy, false);
        // The open catalog still points at the originals.
        EXPECT_EQ(ItemPath(1), folder / "media/Photos/2004/Beach Day.JPG");
    }
}

TEST_F(BackupTest, AnImageNeverReplacesAnExistingFile) {
    Catalogue({{"a/x.jpg", PictureBytes(1)}});
    folder.Write("out/backup.iso", "keep me");
    BackupRequest request;
    request.target = BackupTarget::kDisc;
    request.imagePath = folder / "out/backup.iso";
    const BackupReport report = BackupToDisc(view, &request);
    EXPECT_EQ(report.err, dupFNErr);
    EXPECT_EQ(report.alert, 62);
    EXPECT_EQ(Bytes("out/backup.iso"), "keep me");
    EXPECT_EQ(Names("out"), std::vector<std::string>{"backup.iso"});
}
