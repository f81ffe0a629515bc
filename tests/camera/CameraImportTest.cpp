// Import From Camera end to end, with no camera hardware: libgphoto2's "Directory Browse"
// driver on a "disk:" port makes a test folder act as a camera. Covered: the listing, the
// download into the download folder (unique names or skipping, deleting from the camera,
// locking, the capture time), the annotations inside the files (read back by our reader and
// by exiftool) and in the catalog's items, a cancel in the middle of a transfer, and a
// transfer that fails.
#include "import/EndToEndSupport.h"

#include "catalog/fields/FieldIds.h"
#include "import/ImportHooks.h"
#include "import/camera/CameraImport.h"
#include "import/camera/GPhotoCameraSource.h"
#include "media/kinds/KindDispatch.h"
#include "media/metadata/IptcBlock.h"
#include "support/RunTool.h"

#include <gphoto2/gphoto2-port-result.h>
#include <gphoto2/gphoto2-result.h>

#include <sys/stat.h>

#include <filesystem>

namespace {

const bool kAttached = (ImportAttachToCatalogs(), true);

namespace fs = std::filesystem;

// 2021-06-15 10:20:30 UTC, the time the "camera" gives its pictures.
constexpr std::time_t kCaptured = 1623752430;

class CameraImportTest : public EndToEndTest {
protected:
    void SetUp() override {
        EndToEndTest::SetUp();
        // Five pictures, two of them named IMG_0001.JPG in two camera folders.
        const std::pair<const char*, const char*> pictures[] = {
            {"orientation/landscape_1.jpg", "DCIM/100CAM/IMG_0001.jpg"},
            {"orientation/landscape_2.jpg", "DCIM/100CAM/IMG_0002.jpg"},
            {"orientation/landscape_3.jpg", "DCIM/100CAM/IMG_0003.jpg"},
            {"orientation/landscape_4.jpg", "DCIM/101CAM/IMG_0001.jpg"},
            {"orientation/landscape_5.jpg", "DCIM/101CAM/IMG_0004.jpg"},
        };
        for (const auto& [fixture, rel] : pictures) {
            const std::string path = PutFixture(fixture, camera / rel);
            struct timespec times[2] = {{kCaptured, 0}, {kCaptured, 0}};
            ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), times, 0));
        }
        device = {"Directory Browse", "disk:" + camera.path()};
        source = NewGPhotoCameraSource();
        ASSERT_EQ(noErr, source->Open(device));
        ASSERT_EQ(noErr, source->ListItems(&items));
        options.folder = downloads.path();
    }
    void TearDown() override {
        source.reset();
        EndToEndTest::TearDown();
    }

    // Where a picture of the camera lies in the test folder.
    std::string OnDisk(const CameraItem& item) const { return camera.path() + item.folder + "/" + item.name; }

    std::vector<std::string> DownloadedNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(downloads.path())) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    CameraImportResult Run(CatalogRec* c, const CameraImportCallbacks& callbacks = {}) {
        return CameraImportRun(c, *source, CameraItemsToDownload(items, options), options, annotations, callbacks);
    }

    TempFolder camera;
    TempFolder downloads;
    CameraDevice device;
    std::unique_ptr<CameraSource> source;
    std::vector<CameraItem> items;
    CameraImportOptions options;
    CameraAnnotations annotations;
};

std::vector<std::string> Names(const std::vector<CameraItem>& items) {
    std::vector<std::string> names;
    for (const CameraItem& item : items) names.push_back(item.folder + "/" + item.name);
    return names;
}

}  // namespace

TEST_F(CameraImportTest, TheCameraListsEveryPictureWithItsTimeAndSize) {
    const std::vector<std::string> want = {
        "/DCIM/100CAM/IMG_0001.jpg", "/DCIM/100CAM/IMG_0002.jpg", "/DCIM/100CAM/IMG_0003.jpg",
        "/DCIM/101CAM/IMG_0001.jpg", "/DCIM/101CAM/IMG_0004.jpg",
    };
    EXPECT_EQ(want, Names(items)) << "folder by folder, by name";
    for (const CameraItem& item : items) {
        EXPECT_EQ(kCaptured, item.captured) << item.name;
        EXPECT_EQ(fs::file_size(OnDisk(item)), item.size) << item.name;
    }
}

TEST_F(CameraImportTest, EveryPictureIsDownloadedAnnotatedLockedDatedAndAddedToTheCatalog) {
    CatalogRec* c = Open();
    ASSERT_TRUE(c);
    options.lock = true;
    options.setCaptureDate = true;
    annotations.author = "Ana Müller";
    annotations.copyright = "© 2021 Ana";
    annotations.credit = "Lyrex Tests";
    annotations.source = "Camera 1";
    annotations.status = "raw";
    annotations.instructions = "keep\nall";
    std::vector<std::string> started;
    CameraImportCallbacks callbacks;
    callbacks.starting = [&](const std::string& name, int number, int count) {
        started.push_back(name + " " + std::to_string(number) + "/" + std::to_string(count));
    };
    const CameraImportResult result = Run(c, callbacks);
    EXPECT_EQ(noErr, result.error);
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(5, result.downloaded);
    EXPECT_EQ(5, result.added);
    EXPECT_EQ(5, c->itemCount);
    ASSERT_EQ(5u, started.size());
    EXPECT_EQ("5/5", started.back().substr(started.back().size() - 3));

    const std::vector<std::string> names = DownloadedNames();
    EXPECT_EQ((std::vector<std::string>{"IMG_0001 1.jpg", "IMG_0001.jpg", "IMG_0002.jpg", "IMG_0003.jpg",
                                        "IMG_0004.jpg"}),
              names);
    for (const std::string& name : names) {
        const std::string path = downloads / name;
        struct stat st;
        ASSERT_EQ(0, stat(path.c_str(), &st));
        EXPECT_EQ(0u, st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) << name << " is locked";
        EXPECT_EQ(kCaptured, st.st_mtime) << name << " carries the capture time";
    }

    // Our reader finds the annotations in a downloaded file.
    KindFileRec file{};
    ASSERT_EQ(noErr, FSMakeFSSpecFromPath(downloads / "IMG_0002.jpg", &file.spec));
    file.type = 'JPEG';
    KindInfoRec info{};
    Handle iptc = nullptr;
    KindGetInfo(&file, &info, false, 0, 0, 0, nullptr, &iptc, nullptr, nullptr);
    ASSERT_TRUE(iptc);
    UInt16 length = 0;
    UInt8 marker = 0;
    Ptr author = IptcFindDataset(UInt16(kFieldAuthor), 1, iptc, &length, &marker);
    ASSERT_TRUE(author);
    const std::string authorBytes(author, length);
    EXPECT_TRUE(authorBytes == "Ana M\xFCller" || authorBytes == "Ana Müller") << authorBytes;
    DisposeHandle(iptc);

    // So does exiftool.
    std::string tool;
    ASSERT_EQ(0, RunTool({"exiftool", "-charset", "iptc=Latin", "-s3", "-IPTC:By-line", "-IPTC:CopyrightNotice",
                          "-IPTC:Credit", "-IPTC:Source", "-IPTC:EditStatus", downloads / "IMG_0001 1.jpg"},
                         &tool));
    EXPECT_EQ("Ana Müller\n© 2021 Ana\nLyrex Tests\nCamera 1\nraw\n", tool);

    // And the catalog's items, once their media are read.
    RunRefresh(c);
    int withAuthor = 0;
    for (SInt32 i = 0; i < c->itemCount; ++i)
        if (FieldText(c, &c->entries[i], kFieldAuthor) == "Ana M\xFCller") ++withAuthor;
    EXPECT_EQ(5, withAuthor);
}

TEST_F(CameraImportTest, SkippingPassesOverNamesAlreadyInTheFolder) {
    CatalogRec* c = Open();
    options.skipSameName = true;
    PutFixture("orientation/landscape_6.jpg", downloads / "IMG_0002.jpg");
    // Counting leaves out the name already there; the second IMG_0001 only appears with the
    // first download, so the import itself passes over it.
    EXPECT_EQ(4u, CameraItemsToDownload(items, options).size());
    const CameraImportResult result = Run(c);
    EXPECT_EQ(3, result.downloaded);
    EXPECT_EQ(3, c->itemCount);
    EXPECT_EQ((std::vector<std::string>{"IMG_0001.jpg", "IMG_0002.jpg", "IMG_0003.jpg", "IMG_0004.jpg"}),
              DownloadedNames());
}

TEST_F(CameraImportTest, DeletingFromTheCameraRemovesOnlyWhatWasDownloaded) {
    CatalogRec* c = Open();
    options.deleteFromCamera = true;
    options.skipSameName = true;
    const CameraImportResult result = Run(c);
    EXPECT_EQ(4, result.downloaded);
    std::vector<CameraItem> left;
    ASSERT_EQ(noErr, source->ListItems(&left));
    ASSERT_EQ(1u, left.size()) << "the skipped picture stays on the camera";
    EXPECT_EQ("IMG_0001.jpg", left[0].name);
}

TEST_F(CameraImportTest, ACancelDuringTheSecondTransferDeletesItsPartialFileAndAddsNothingMore) {
    CatalogRec* c = Open();
    int current = 0;
    CameraImportCallbacks callbacks;
    callbacks.starting = [&](const std::string&, int number, int) { current = number; };
    callbacks.progress = [&](double fraction) { return current == 2 && fraction < 1.0; };
    const CameraImportResult result = Run(c, callbacks);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(noErr, result.error);
    EXPECT_EQ(1, result.downloaded);
    EXPECT_EQ(1, c->itemCount);
    ASSERT_EQ(1u, DownloadedNames().size()) << "no partial file stays behind";
    EXPECT_EQ(fs::file_size(OnDisk(items[0])), fs::file_size(result.files[0]));
}

TEST_F(CameraImportTest, AFailedTransferLeavesNoFileAndTheImportGoesOnWhenTheUserSaysSo) {
    CatalogRec* c = Open();
    // The second picture vanishes from the camera after it was listed.
    ASSERT_TRUE(fs::remove(OnDisk(items[1])));
    std::vector<std::string> failed;
    CameraImportCallbacks callbacks;
    callbacks.transferFailed = [&](const CameraItem& item, OSErr err) {
        failed.push_back(item.name);
        EXPECT_NE(noErr, err);
        return true;
    };
    const CameraImportResult result = Run(c, callbacks);
    EXPECT_EQ(std::vector<std::string>{items[1].name}, failed);
    EXPECT_EQ(4, result.downloaded);
    EXPECT_EQ(4, c->itemCount);
    EXPECT_EQ(4u, DownloadedNames().size());

    // Without going on, the import ends at the failure with what it had.
    CatalogRec* second = Open();
    TempFolder other;
    options.folder = other.path();
    const CameraImportResult stopped = Run(second);
    EXPECT_NE(noErr, stopped.error);
    EXPECT_EQ(1, stopped.downloaded);
    EXPECT_EQ(1, second->itemCount);
}

TEST(CameraErrors, ABusyCameraIsToldApartFromOtherFailures) {
    const struct {
        int gphoto;
        OSErr ours;
    } cases[] = {
        {GP_OK, noErr},
        {GP_ERROR_IO_USB_CLAIM, kCameraBusyErr},
        {GP_ERROR_CAMERA_BUSY, kCameraBusyErr},
        {GP_ERROR_IO_LOCK, kCameraBusyErr},
        {GP_ERROR_CANCEL, userCanceledErr},
        {GP_ERROR_IO, ioErr},
        {GP_ERROR_MODEL_NOT_FOUND, ioErr},
    };
    for (const auto& c : cases) EXPECT_EQ(c.ours, CameraErrorFromGPhoto(c.gphoto)) << c.gphoto;
}
