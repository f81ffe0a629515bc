// The bytes of the clipboard and drag formats and the loops around them: the view reference
// refused unless made by this process in exactly its size, the items payload refused at any
// length that does not add up, URI lists both ways, the copy loop that tells exactly which
// items went out, and the paste loop that stops at the first "catalog full".
#include "window/grid/GridTransfer.h"

#include "window/grid/GridImport.h"
#include "window/ViewTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

TEST(GridTransfer, AViewReferenceIsReadBackOnlyInItsOwnProcessAndSize) {
    const UInt32 me = UInt32(getpid());
    const Bytes ref = EncodeViewRef(me, 0x1234567890ull);
    UInt64 serial = 0;
    ASSERT_TRUE(DecodeViewRef(ref.data(), ref.size(), me, &serial));
    EXPECT_EQ(0x1234567890ull, serial);
    EXPECT_FALSE(DecodeViewRef(ref.data(), ref.size(), me + 1, &serial)) << "another process's view";
    EXPECT_FALSE(DecodeViewRef(ref.data(), ref.size() - 1, me, &serial)) << "too short";
    Bytes longer = ref;
    longer.push_back(0);
    EXPECT_FALSE(DecodeViewRef(longer.data(), longer.size(), me, &serial)) << "too long";
    Bytes forged = ref;
    forged[0] ^= 1;
    EXPECT_FALSE(DecodeViewRef(forged.data(), forged.size(), me, &serial)) << "not our magic";
    const Bytes zero = EncodeViewRef(me, 0);
    EXPECT_FALSE(DecodeViewRef(zero.data(), zero.size(), me, &serial)) << "serial 0 names no view";
    EXPECT_FALSE(DecodeViewRef(nullptr, 16, me, &serial));
}

TEST(GridTransfer, TheItemsPayloadRoundTripsAndRefusesEveryCutOrPaddedForm) {
    const std::vector<Bytes> packages{{1, 2, 3}, {}, Bytes(300, 7)};
    const Bytes payload = EncodeItems(packages);
    std::vector<Bytes> back;
    ASSERT_TRUE(DecodeItems(payload.data(), payload.size(), &back));
    EXPECT_EQ(packages, back);
    for (std::size_t n = 0; n < payload.size(); ++n)
        EXPECT_FALSE(DecodeItems(payload.data(), n, &back)) << "cut to " << n << " bytes";
    Bytes padded = payload;
    padded.push_back(0);
    EXPECT_FALSE(DecodeItems(padded.data(), padded.size(), &back)) << "a byte left over";
    Bytes huge = EncodeItems({});
    huge[4] = huge[5] = huge[6] = huge[7] = 0xFF;
    EXPECT_FALSE(DecodeItems(huge.data(), huge.size(), &back)) << "a count that cannot fit";
    Bytes bigBlock = EncodeItems({{1}});
    bigBlock[8] = 0xFF;
    bigBlock[11] = 0x7F;
    EXPECT_FALSE(DecodeItems(bigBlock.data(), bigBlock.size(), &back)) << "a block longer than the payload";
}

TEST(GridTransfer, UriListsCarryAnyPathExactly) {
    const std::vector<std::string> paths{"/tmp/a b.jpg", "/tmp/100%/c#d?.png", "/tmp/caf\xC3\xA9/line\nbreak.jpg"};
    const std::string list = BuildUriList(paths);
    EXPECT_EQ(0u, list.find("file:///tmp/a%20b.jpg\r\n"));
    EXPECT_EQ(std::string::npos, list.find(' '));
    EXPECT_EQ(paths, ParseUriList(list));
    const std::string foreign =
        "# a comment\r\nhttp://example.org/x.jpg\r\nfile://otherhost/x.jpg\r\nfile:///bad%zz.jpg\r\n"
        "file:///nul%00.jpg\r\nfile://localhost/home/u/y.jpg\nfile:///z.jpg";
    EXPECT_EQ((std::vector<std::string>{"/home/u/y.jpg", "/z.jpg"}), ParseUriList(foreign));
}

TEST(GridTransfer, PastingStopsAtTheFirstFullCatalogAndSkipsQuietly) {
    std::vector<OSErr> answers{noErr, -414, mFulErr, noErr};
    std::size_t calls = 0;
    std::vector<bool> firsts;
    const std::vector<Bytes> four(4, Bytes{1});
    const PasteOutcome full = PasteItems(four, [&](const Bytes&, bool first) {
        firsts.push_back(first);
        return answers[calls++];
    });
    EXPECT_EQ(3u, calls) << "nothing after the catalog is full";
    EXPECT_EQ(1, full.pasted);
    EXPECT_TRUE(full.catalogFull);
    EXPECT_EQ(noErr, full.otherError) << "a skipped item is no error";
    EXPECT_EQ((std::vector<bool>{true, false, false}), firsts);

    answers = {ioErr, noErr, dskFulErr, noErr};
    calls = 0;
    const PasteOutcome other = PasteItems(four, [&](const Bytes&, bool) { return answers[calls++]; });
    EXPECT_EQ(4u, calls) << "other errors do not stop the paste";
    EXPECT_EQ(2, other.pasted);
    EXPECT_FALSE(other.catalogFull);
    EXPECT_EQ(ioErr, other.otherError) << "the first one is reported";
}

class GridCopyTest : public ViewTest {};

std::string ItemName(CatalogRec* catalog, SInt32 n) {
    ItemRec r{};
    if (ItemReadRecord(catalog, n, &r) != noErr) return {};
    return PText(r.fileName);
}

TEST_F(GridCopyTest, CopiedItemsArePastedIntoAnotherCatalogInOrder) {
    AddItems(5, "pic");
    MakeView(kViewList, 300, 200);
    Select({2, 4, 5});
    const CopiedItems copied = CollectSelectedItems(catalog, [&](SInt32* item) { return ViewNextSelected(view, item); });
    ASSERT_EQ(3u, copied.packages.size());
    EXPECT_FALSE(copied.stoppedEarly);
    EXPECT_EQ((std::vector<UInt32>{ItemGetId(catalog, 2), ItemGetId(catalog, 4), ItemGetId(catalog, 5)}), copied.ids);

    FSSpec work;
    FSMakeFSSpecFromPath(folder / "other.work", &work);
    CatalogRec* other = nullptr;
    ASSERT_EQ(noErr, CatalogOpen(&other, nullptr, &work, nullptr, nullptr, nullptr, 0));
    // Through the payload, as the clipboard carries them.
    const Bytes payload = EncodeItems(copied.packages);
    std::vector<Bytes> back;
    ASSERT_TRUE(DecodeItems(payload.data(), payload.size(), &back));
    const PasteOutcome out = PasteItems(back, [&](const Bytes& p, bool) { return PastePackage(other, 0, p); });
    EXPECT_EQ(3, out.pasted);
    ASSERT_EQ(3, other->itemCount);
    EXPECT_EQ("pic002.jpg", ItemName(other, 1));
    EXPECT_EQ("pic004.jpg", ItemName(other, 2));
    EXPECT_EQ("pic005.jpg", ItemName(other, 3));
    // A package that does not pass the engine's checks is refused, not half-pasted.
    Bytes broken = back[0];
    broken.resize(broken.size() / 2);
    EXPECT_NE(noErr, PastePackage(other, 0, broken));
    EXPECT_EQ(3, other->itemCount);
    CatalogClose(other, false);
}

TEST_F(GridCopyTest, AnItemThatCannotBeReadEndsTheCopyAndOnlyTheItemsBeforeItCount) {
    AddItems(6);
    MakeView(kViewList, 300, 200);
    // The third "selected" item does not exist: reading it fails.
    const std::vector<SInt32> selection{1, 3, 99, 5, 6};
    std::size_t at = 0;
    const CopiedItems copied = CollectSelectedItems(catalog, [&](SInt32* item) {
        if (at >= selection.size()) return false;
        *item = selection[at++];
        return true;
    });
    EXPECT_TRUE(copied.stoppedEarly);
    EXPECT_EQ((std::vector<UInt32>{ItemGetId(catalog, 1), ItemGetId(catalog, 3)}), copied.ids)
        << "a Cut removes these two and nothing after the failure";
    EXPECT_EQ(2u, copied.packages.size());
}

TEST_F(GridCopyTest, AnImportStopsForEscapeForTheProgressCancelAndForAQuit) {
    EXPECT_FALSE(RequestQuitDuringImport()) << "no import runs: the caller quits at once";
    EXPECT_FALSE(TakeQuitRequest());
    {
        GridImportScope running;
        EXPECT_EQ(noErr, GridImportProgress(0, 0, 0, 0));
        EXPECT_EQ(noErr, GridImportProgress(1, 1, 1, 0));
        hooks.escape = true;
        EXPECT_EQ(userCanceledErr, GridImportProgress(1, 2, 2, 0));
        hooks.escape = false;
        hooks.cancelAtStep = hooks.progressSteps + 1;
        EXPECT_EQ(userCanceledErr, GridImportProgress(1, 3, 3, 0)) << "the progress window's Cancel";
        hooks.cancelAtStep = 0;
        EXPECT_TRUE(RequestQuitDuringImport());
        EXPECT_EQ(userCanceledErr, GridImportProgress(1, 4, 4, 0));
        EXPECT_EQ(noErr, GridImportProgress(2, 4, 4, 0));
    }
    EXPECT_TRUE(TakeQuitRequest()) << "the quit waits for the end of the import";
    EXPECT_FALSE(TakeQuitRequest());
    EXPECT_EQ(1, hooks.progressEnds);
}

}  // namespace
