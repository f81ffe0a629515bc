// Importing a folder of camera JPEGs into a new catalog: the files are added (recognised,
// filed under their folder) and their media information read (facts, EXIF, IPTC and XMP,
// catalog thumbnail, record), as the program does, beside `exiv2 -pa` plus `vipsthumbnail` over
// the same files in the same run, all single-threaded. Figures are files per second and the
// ratio of ours to the two peers' combined throughput (the time of both added up).
//
//   import_bench [folder] [--count N] [--rounds N] [--no-journal]
//
// Without a folder, a set of 24-megapixel camera-like JPEGs (EXIF with a thumbnail, XMP and
// IPTC) is made once under $TMPDIR/lyrex-import-bench and reused.
#include "BenchPictures.h"

#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemBlocks.h"
#include "import/ImportHooks.h"
#include "import/adding/AddFiles.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "media/kinds/KindEngine.h"
#include "platform/Handles.h"
#include "platform/Registry.h"

#include <jpeglib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace bench;

// ---- camera-like pictures ------------------------------------------------------------------

std::uint32_t gSeed = 2024;  // the noise of the scenes
// A little-endian TIFF structure for the EXIF block: entries are added per IFD, values that do
// not fit in four bytes go to a data area after the IFDs.
struct TiffBuilder {
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t count;
        Bytes value;
    };
    std::vector<std::vector<Entry>> ifds;   // 0: IFD0, 1: Exif IFD, 2: IFD1

    static Bytes U16(unsigned v) { return {std::uint8_t(v), std::uint8_t(v >> 8)}; }
    static Bytes U32(std::uint32_t v) { return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)}; }
    static Bytes Ascii(const std::string& s) {
        Bytes b(s.begin(), s.end());
        b.push_back(0);
        return b;
    }
    static Bytes Rational(std::uint32_t n, std::uint32_t d) {
        Bytes b = U32(n), e = U32(d);
        b.insert(b.end(), e.begin(), e.end());
        return b;
    }

    Bytes Build(const Bytes& thumbnail) {
        // Layout: header, IFD0, Exif IFD, IFD1, data area, thumbnail.
        auto ifdSize = [](const std::vector<Entry>& e) { return std::uint32_t(2 + 12 * e.size() + 4); };
        std::uint32_t ifd0 = 8, exif = ifd0 + ifdSize(ifds[0]), ifd1 = exif + ifdSize(ifds[1]);
        std::uint32_t data = ifd1 + ifdSize(ifds[2]);
        // Pointers whose values depend on the layout.
        for (auto& e : ifds[0])
            if (e.tag == 0x8769) e.value = U32(exif);
        std::uint32_t dataSize = 0;
        for (auto& list : ifds)
            for (auto& e : list)
                if (e.value.size() > 4) dataSize += std::uint32_t(e.value.size() + (e.value.size() & 1));
        std::uint32_t thumbAt = data + dataSize;
        for (auto& e : ifds[2]) {
            if (e.tag == 0x0201) e.value = U32(thumbAt);
            if (e.tag == 0x0202) e.value = U32(std::uint32_t(thumbnail.size()));
        }
        Bytes t = {'I', 'I', 42, 0};
        auto append = [&](const Bytes& b) { t.insert(t.end(), b.begin(), b.end()); };
        append(U32(ifd0));
        Bytes area;
        std::uint32_t areaAt = data;
        for (std::size_t i = 0; i < ifds.size(); ++i) {
            append(U16(unsigned(ifds[i].size())));
            for (auto& e : ifds[i]) {
                append(U16(e.tag));
                append(U16(e.type));
                append(U32(e.count));
                if (e.value.size() <= 4) {
                    Bytes v = e.value;
                    v.resize(4, 0);
                    append(v);
                } else {
                    append(U32(areaAt + std::uint32_t(area.size())));
                    area.insert(area.end(), e.value.begin(), e.value.end());
                    if (area.size() & 1) area.push_back(0);
                }
            }
            append(U32(i == 0 ? ifd1 : 0));
        }
        append(area);
        append(thumbnail);
        Bytes app1 = {'E', 'x', 'i', 'f', 0, 0};
        app1.insert(app1.end(), t.begin(), t.end());
        return app1;
    }
};

Bytes ExifBlock(const Bytes& thumbnail, int n) {
    TiffBuilder b;
    b.ifds.resize(3);
    auto ascii = [](std::uint16_t tag, const std::string& s) {
        Bytes v = TiffBuilder::Ascii(s);
        return TiffBuilder::Entry{tag, 2, std::uint32_t(v.size()), v};
    };
    char when[20];
    std::snprintf(when, sizeof when, "2024:05:%02d 10:%02d:%02d", 1 + n % 28, n % 60, (n * 7) % 60);
    b.ifds[0] = {ascii(0x010F, "Lyrex Test Camera Co."),
                 ascii(0x0110, "Model 24"),
                 {0x0112, 3, 1, TiffBuilder::U16(1)},
                 {0x011A, 5, 1, TiffBuilder::Rational(300, 1)},
                 {0x011B, 5, 1, TiffBuilder::Rational(300, 1)},
                 {0x0128, 3, 1, TiffBuilder::U16(2)},
                 ascii(0x0132, when),
                 {0x8769, 4, 1, TiffBuilder::U32(0)}};
    b.ifds[1] = {{0x829A, 5, 1, TiffBuilder::Rational(1, 250)},
                 {0x829D, 5, 1, TiffBuilder::Rational(56, 10)},
                 {0x8827, 3, 1, TiffBuilder::U16(200)},
                 ascii(0x9003, when),
                 ascii(0x9004, when),
                 {0x920A, 5, 1, TiffBuilder::Rational(50, 1)}};
    b.ifds[2] = {{0x0103, 3, 1, TiffBuilder::U16(6)}, {0x0201, 4, 1, TiffBuilder::U32(0)}, {0x0202, 4, 1, TiffBuilder::U32(0)}};
    return b.Build(thumbnail);
}

Bytes XmpBlock(int n) {
    std::string packet =
        "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>"
        "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
        "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
        "xmlns:photoshop=\"http://ns.adobe.com/photoshop/1.0/\">"
        "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">Picture " + std::to_string(n) +
        "</rdf:li></rdf:Alt></dc:title>"
        "<dc:subject><rdf:Bag><rdf:li>holiday</rdf:li><rdf:li>coast</rdf:li></rdf:Bag></dc:subject>"
        "<photoshop:City>Lyon</photoshop:City>"
        "</rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end=\"w\"?>";
    std::string head = "http://ns.adobe.com/xap/1.0/";
    Bytes b(head.begin(), head.end());
    b.push_back(0);
    b.insert(b.end(), packet.begin(), packet.end());
    return b;
}

Bytes IptcBlock(int n) {
    Bytes iptc;
    auto dataset = [&](int number, const std::string& text) {
        iptc.insert(iptc.end(), {0x1C, 2, std::uint8_t(number), std::uint8_t(text.size() >> 8), std::uint8_t(text.size())});
        iptc.insert(iptc.end(), text.begin(), text.end());
    };
    dataset(120, "A picture of the coast, number " + std::to_string(n));
    dataset(25, "holiday");
    dataset(25, "coast");
    dataset(90, "Lyon");
    // A Photoshop image resource 1028 in an APP13 segment.
    std::string head = "Photoshop 3.0";
    Bytes b(head.begin(), head.end());
    b.push_back(0);
    b.insert(b.end(), {'8', 'B', 'I', 'M', 0x04, 0x04, 0, 0});
    std::uint32_t len = std::uint32_t(iptc.size());
    b.insert(b.end(), {std::uint8_t(len >> 24), std::uint8_t(len >> 16), std::uint8_t(len >> 8), std::uint8_t(len)});
    b.insert(b.end(), iptc.begin(), iptc.end());
    if (len & 1) b.push_back(0);
    return b;
}

std::vector<std::string> MakeCameraFiles(const std::string& folder, int count) {
    std::filesystem::create_directories(folder);
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        std::string path = folder + "/IMG_" + std::to_string(1000 + i) + ".jpg";
        files.push_back(path);
        if (std::filesystem::exists(path)) continue;
        const int w = 6000, h = 4000;
        Bytes rgb = Scene(w, h, i, &gSeed);
        WriteMadeFile(path, EncodeJpeg(rgb, w, h, 92,
                                       {{JPEG_APP0 + 1, ExifBlock(EncodeJpeg(Thumbnail160(rgb, w, h), 160, 120, 80), i)},
                                        {JPEG_APP0 + 1, XmpBlock(i)},
                                        {JPEG_APP0 + 13, IptcBlock(i)}}));
    }
    return files;
}

// ---- peers -----------------------------------------------------------------------------------

// ---- ours --------------------------------------------------------------------------------------

struct OurRun {
    double addSeconds = 0, refreshSeconds = 0;
    int items = 0, withThumbnail = 0, withAnnotations = 0, withMetadata = 0;
};

OurRun ImportInto(const std::string& folder, const std::string& workFile) {
    OurRun run;
    std::filesystem::remove(workFile);
    FSSpec work, source;
    FSMakeFSSpecFromPath(workFile, &work);
    FSMakeFSSpecFromPath(folder, &source);
    CatalogRec* catalog = nullptr;
    if (CatalogOpen(&catalog, nullptr, &work, nullptr, nullptr, nullptr, 0) != noErr) {
        std::fprintf(stderr, "cannot make a catalog\n");
        std::exit(1);
    }
    auto t0 = Clock::now();
    SInt32 added = 0;
    if (CatalogAddFiles(catalog, 0, &source, 1, nullptr, 0, &added) != noErr) std::fprintf(stderr, "add failed\n");
    auto t1 = Clock::now();
    // The refresh the timer spreads over its ticks, one item after the other.
    RefreshOptions options = RefreshOptionsAll();
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        ItemEntry* entry = &catalog->entries[i];
        FSSpec file;
        if (CatalogGetItemPath(catalog, entry, &file) == noErr)
            CatalogRefreshItemFromFile(catalog, entry, &options, nullptr, &file);
    }
    auto t2 = Clock::now();
    run.addSeconds = Seconds(t0, t1);
    run.refreshSeconds = Seconds(t1, t2);
    run.items = catalog->itemCount;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        for (auto [block, count] : {std::pair{kBlockThumbnail, &run.withThumbnail},
                                    std::pair{kBlockAnnotations, &run.withAnnotations},
                                    std::pair{kBlockMetadata, &run.withMetadata}}) {
            if (Handle h = ItemReadBlock(catalog, &catalog->entries[i], block)) {
                ++*count;
                DisposeHandle(h);
            }
        }
    }
    CatalogClose(catalog, false);
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder;
    int count = 24, rounds = 2;
    bool journal = true;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--count" && i + 1 < argc) count = std::max(1, std::atoi(argv[++i]));
        else if (a == "--rounds" && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--no-journal") journal = false;
        else folder = a;
    }
    const std::string tmp = std::filesystem::temp_directory_path().string();
    std::vector<std::string> files;
    if (folder.empty()) {
        folder = tmp + "/lyrex-import-bench";
        files = MakeCameraFiles(folder, count);
    } else {
        files = JpegFilesIn(folder);
    }
    if (files.empty()) {
        std::fprintf(stderr, "no JPEG files\n");
        return 1;
    }

    // The program's settings (where the import journal is kept) go to a folder of their own.
    std::string settings = tmp + "/lyrex-import-bench-settings";
    std::filesystem::create_directories(settings);
    setenv("XDG_CONFIG_HOME", settings.c_str(), 1);
    RegistryForgetCachedStores();
    ImportAttachToCatalogs();
    CatalogEngineInit(400, 200);
    if (KindEngineInit(nullptr, 0, 400, 200) != noErr) return 1;
    // The program keeps the import journal in its settings while a reader works on a file.
    if (journal) KindSetFileHook(ImportJournalWrite);

    std::string out = tmp + "/lyrex-import-bench-out";
    std::filesystem::create_directories(out);
    std::string work = tmp + "/lyrex-import-bench.work";
    setenv("VIPS_CONCURRENCY", "1", 1);   // the peer works single-threaded too
    // The size of the catalog's thumbnails (the Thumbnail view's default size).
    CatalogViewPrefs prefs;
    CatalogViewPrefsSetDefault(&prefs);
    const std::string size = std::to_string(int(prefs.slots[1].sizeStep) * 32);

    // Warm the page cache so that every contender reads from memory.
    ImportInto(folder, work);
    OurRun ours;
    double exivBatch = 0, vipsBatch = 0, exivEach = 0, vipsEach = 0;
    int peerFailures = 0;
    for (int r = 0; r < rounds; ++r) {
        OurRun run = ImportInto(folder, work);
        ours.addSeconds += run.addSeconds;
        ours.refreshSeconds += run.refreshSeconds;
        ours.items = run.items;
        ours.withThumbnail = run.withThumbnail;
        ours.withAnnotations = run.withAnnotations;
        ours.withMetadata = run.withMetadata;

        std::vector<std::string> exiv = {"exiv2", "-pa"}, vips = {"vipsthumbnail", "--size", size, "-o", out + "/%s.jpg"};
        exiv.insert(exiv.end(), files.begin(), files.end());
        vips.insert(vips.end(), files.begin(), files.end());
        auto t0 = Clock::now();
        peerFailures += !RunQuietly(exiv);
        auto t1 = Clock::now();
        peerFailures += !RunQuietly(vips);
        auto t2 = Clock::now();
        for (auto& f : files) peerFailures += !RunQuietly({"exiv2", "-pa", f});
        auto t3 = Clock::now();
        for (auto& f : files) peerFailures += !RunQuietly({"vipsthumbnail", "--size", size, "-o", out + "/%s.jpg", f});
        auto t4 = Clock::now();
        exivBatch += Seconds(t0, t1);
        vipsBatch += Seconds(t1, t2);
        exivEach += Seconds(t2, t3);
        vipsEach += Seconds(t3, t4);
    }
    KindSetFileHook(nullptr);
    KindEngineShutdown();
    std::filesystem::remove(work);

    const double n = double(files.size()) * rounds;
    std::uintmax_t bytes = 0;
    for (auto& f : files) bytes += std::filesystem::file_size(f);
    std::printf("%zu camera JPEGs (%.1f MB average) imported into a new catalog, %s-pixel thumbnails, %d rounds, "
                "single-threaded%s\n\n",
                files.size(), double(bytes) / files.size() / 1e6, size.c_str(), rounds,
                journal ? "" : ", without the import journal");
    double oursRate = n / (ours.addSeconds + ours.refreshSeconds);
    double batchRate = n / (exivBatch + vipsBatch);
    double eachRate = n / (exivEach + vipsEach);
    std::printf("%-58s %10s %10s\n", "", "files/s", "ms/file");
    auto row = [](const char* name, double rate) { std::printf("%-58s %10.1f %10.2f\n", name, rate, 1000.0 / rate); };
    row("ours: add and read (recognise, metadata, thumbnail, record)", oursRate);
    row("  of which adding the files", n / ours.addSeconds);
    row("  of which reading their media information", n / ours.refreshSeconds);
    row("exiv2 -pa, one process for all files", n / exivBatch);
    row("vipsthumbnail, one process for all files", n / vipsBatch);
    row("exiv2 -pa plus vipsthumbnail, combined", batchRate);
    row("exiv2 -pa plus vipsthumbnail, one process per file", eachRate);
    std::printf("\nours vs both peers combined: %.2fx (target 1.5x); vs the peers started per file: %.2fx\n",
                oursRate / batchRate, oursRate / eachRate);
    std::printf("items %d of %zu, with thumbnail %d, with annotations %d, with metadata %d%s\n", ours.items,
                files.size(), ours.withThumbnail, ours.withAnnotations, ours.withMetadata,
                peerFailures ? "; some peer runs failed" : "");
    return 0;
}
