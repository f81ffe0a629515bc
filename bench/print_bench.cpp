// Printing a contact sheet to PDF: 20 A4 pages of 2 x 2 cells over 80 catalog items whose
// files are 24-megapixel JPEGs, printed from the catalog's thumbnails as the program prints
// them, beside
//  - the floor: the same 80 thumbnails only read from the catalog;
//  - ImageMagick's `montage` making the same sheet (2 x 2 tiles a page at A4's size) from the
//    files, as PNG pages: Debian's ImageMagick policy refuses to write PDF, and the PDF step is
//    not where the time goes.
// Figures are medians of the rounds with min and max, and ratios to the floor and to montage.
//
//   print_bench [--rounds N]
//
// The pictures are made once under $TMPDIR/lyrex-print-bench.
#include "BenchPictures.h"

#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemChanges.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/settings/Preferences.h"
#include "foundation/text/PString.h"
#include "media/kinds/KindEngine.h"
#include "output/print/PrintJob.h"
#include "platform/Handles.h"
#include "platform/imaging/Picture.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewPort.h"
#include "window/view/ViewRec.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace bench;

constexpr int kPictures = 20, kItems = 80, kWidth = 6000, kHeight = 4000;
constexpr double kA4Width = 595.2756, kA4Height = 841.8898;

void Check(OSErr err, const char* what) {
    if (err == noErr) return;
    std::fprintf(stderr, "print_bench: %s failed (%d)\n", what, err);
    std::exit(1);
}

std::vector<std::string> MakePictures(const std::string& folder, std::vector<Bytes>* thumbnails) {
    std::vector<std::string> files;
    std::uint32_t seed = 7;
    for (int i = 0; i < kPictures; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/p%02d.jpg", i + 1);
        const std::string path = folder + name;
        const Bytes rgb = Scene(kWidth, kHeight, i, &seed);
        if (!std::filesystem::exists(path)) WriteMadeFile(path, EncodeJpeg(rgb, kWidth, kHeight, 90));
        // The catalog's thumbnail of the picture: 160 x 120, as 32-bit pixels.
        const Bytes small = Thumbnail160(rgb, kWidth, kHeight);
        Bytes bgra(160 * 120 * 4);
        for (int p = 0; p < 160 * 120; ++p) {
            bgra[p * 4] = small[p * 3 + 2];
            bgra[p * 4 + 1] = small[p * 3 + 1];
            bgra[p * 4 + 2] = small[p * 3];
            bgra[p * 4 + 3] = 0xFF;
        }
        thumbnails->push_back(bgra);
        files.push_back(path);
    }
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2)
        if (!std::strcmp(argv[i], "--rounds")) rounds = std::max(1, std::atoi(argv[i + 1]));
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/lyrex-print-bench";
    std::filesystem::create_directories(folder);
    SetResourceModule(GetBuiltInResourceModule("en"));
    Check(KindEngineInit(nullptr, 0, kEditionCodeStandard, kFormatLevelStandard), "kinds");
    Check(CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard), "catalog engine");
    LoadPreferences();

    std::vector<Bytes> thumbnails;
    const std::vector<std::string> files = MakePictures(folder, &thumbnails);
    std::filesystem::remove(folder + "/bench.work");
    FSSpec work;
    FSMakeFSSpecFromPath(folder + "/bench.work", &work);
    CatalogRec* catalog = nullptr;
    Check(CatalogOpen(&catalog, nullptr, &work, nullptr, nullptr, nullptr, 0), "catalog");
    std::vector<std::string> sheetFiles;
    for (int i = 0; i < kItems; ++i) {
        const int p = i % kPictures;
        ItemRec r{};
        const std::string name = std::filesystem::path(files[std::size_t(p)]).filename().string();
        PStrFromBytes(r.fileName, name.data(), long(name.size()));
        PStrFromBytes(r.storedName, name.data(), long(name.size()));
        r.kind = 'JPEG';
        r.width = kWidth;
        r.height = kHeight;
        PicHandle pic = nullptr;
        Check(RecordPixelsPicture(thumbnails[std::size_t(p)].data(), 160, 120, 160 * 4, 72 << 16, &pic), "thumbnail");
        Check(CatalogAddItem(catalog, &r, pic, nullptr, nullptr, nullptr, nullptr, 0), "item");
        DisposeHandle(pic);
        sheetFiles.push_back(files[std::size_t(p)]);
    }
    CatalogSetViewMode(catalog, 1);
    ViewPort* port = ViewPortNew(800, 600);
    ViewRec* view = nullptr;
    Check(ViewCreate(&view, port, nullptr, catalog), "view");
    Rect r{0, 0, 600, 800};
    ViewSetRect(view, &r);

    Figures floor, ours, montage;
    const std::string pdf = folder + "/sheet.pdf", peerPages = folder + "/montage-%02d.png";
    for (int round = 0; round < rounds; ++round) {
        auto t0 = Clock::now();
        std::size_t bytes = 0;
        for (SInt32 i = 1; i <= kItems; ++i) {
            Handle h = ItemReadBlock(catalog, CatalogGetItemEntry(catalog, i), kBlockThumbnail);
            if (h) bytes += std::size_t(GetHandleSize(h));
            DisposeHandle(h);
        }
        auto t1 = Clock::now();
        floor.Add(Seconds(t0, t1));
        if (bytes == 0) std::fprintf(stderr, "print_bench: no thumbnails read\n");

        PrintSettingsRec settings;
        DefaultPrintSettings(&settings);
        settings.layout = kPrintContactSheet;
        settings.grids[kPrintContactSheet] = PrintGridBlock{kGridCells, 5, 2, 2, 0, 0, 0};
        t0 = Clock::now();
        Check(PrintCatalogToPdf(view, &settings, pdf, kA4Width, kA4Height, true), "print");
        t1 = Clock::now();
        ours.Add(Seconds(t0, t1));

        // The JPEG decoder's own scaling, as anyone making a sheet of large pictures asks for it
        // (without it montage also runs out of its resource limits).
        std::vector<std::string> args = {"montage", "-define", "jpeg:size=600x828"};
        args.insert(args.end(), sheetFiles.begin(), sheetFiles.end());
        for (const char* a : {"-tile", "2x2", "-geometry", "290x414+4+4"}) args.push_back(a);
        args.push_back(peerPages);
        t0 = Clock::now();
        const bool ran = RunQuietly(args);
        t1 = Clock::now();
        if (ran) montage.Add(Seconds(t0, t1));
    }
    std::printf("contact sheet of %d items (%d pictures of %d x %d), 2 x 2 cells on 20 A4 pages, %d rounds\n", kItems, kPictures,
                kWidth, kHeight, rounds);
    std::printf("%-34s %10s %10s %10s %12s %12s\n", "", "median s", "min s", "max s", "x floor", "x montage");
    auto row = [&](const char* name, const Figures& f) {
        if (f.values.empty()) {
            std::printf("%-34s %10s\n", name, "(did not run)");
            return;
        }
        const double m = f.Median();
        std::printf("%-34s %10.3f %10.3f %10.3f %12.2f %12s\n", name, m, f.Min(), f.Max(), m / floor.Median(),
                    montage.values.empty() ? "-" : std::to_string(m / montage.Median()).substr(0, 6).c_str());
    };
    row("thumbnails read (floor)", floor);
    row("ours: contact sheet to PDF", ours);
    row("montage: same sheet as PNG pages", montage);
    ViewDispose(view);
    ViewPortDispose(port);
    CatalogClose(catalog, false);
    CatalogEngineShutdown();
    KindEngineShutdown();
    return 0;
}
