// Importing a folder of camera JPEGs into a new catalog as the program does: the files added
// (recognised, filed under their folder), their media information read (facts, EXIF, IPTC and
// XMP, catalog thumbnail, record) and the catalog saved, beside peers doing the same work on
// the same files in the same run:
//  - files with an embedded thumbnail: `exiv2 -pa` (the metadata) plus `exiv2 -et` (the
//    thumbnail taken out of the file);
//  - files without one: `exiv2 -pa` plus `vipsthumbnail` (the picture decoded and shrunk).
// On one core ours reads the items one after the other on one thread and each peer runs as one
// process for all the files (VIPS_CONCURRENCY=1). On every core ours is the real refresh job
// (StartItemRefreshTimer, its worker threads, its 150 ms ticks driven by the timer service
// with the real clock) and the peers run through `xargs -P <cores>`. Figures are medians of the
// rounds with min and max: files per second, CPU milliseconds per file, and bytes read per file.
//
//   import_bench [--embedded FOLDER] [--plain FOLDER] [--count N] [--rounds N] [--cold] [--no-journal]
//
// Without folders, 24-megapixel camera-like JPEGs (EXIF, XMP and IPTC, with and without an EXIF
// thumbnail) are made once under $TMPDIR/lyrex-import-bench and $TMPDIR/lyrex-import-bench-plain.
// --cold empties the page cache before every contender's round (root only; otherwise the run
// says so and stays warm).
#include "BenchPictures.h"

#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemBlocks.h"
#include "import/ImportHooks.h"
#include "catalog/save/CatalogSave.h"
#include "import/adding/AddFiles.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "media/kinds/KindEngine.h"
#include "platform/Handles.h"
#include "platform/Registry.h"
#include "platform/TimerService.h"

#include <jpeglib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>
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
        // Layout: header, IFD0, Exif IFD, IFD1 (when there is a thumbnail), data area, thumbnail.
        auto ifdSize = [](const std::vector<Entry>& e) { return std::uint32_t(2 + 12 * e.size() + 4); };
        std::uint32_t ifd0 = 8, exif = ifd0 + ifdSize(ifds[0]), ifd1 = exif + ifdSize(ifds[1]);
        std::uint32_t data = ifd1 + (ifds.size() > 2 ? ifdSize(ifds[2]) : 0);
        // Pointers whose values depend on the layout.
        for (auto& e : ifds[0])
            if (e.tag == 0x8769) e.value = U32(exif);
        std::uint32_t dataSize = 0;
        for (auto& list : ifds)
            for (auto& e : list)
                if (e.value.size() > 4) dataSize += std::uint32_t(e.value.size() + (e.value.size() & 1));
        std::uint32_t thumbAt = data + dataSize;
        if (ifds.size() > 2)
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
            append(U32(i == 0 && ifds.size() > 2 ? ifd1 : 0));
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
    if (thumbnail.empty()) {
        b.ifds.resize(2);
        return b.Build(thumbnail);
    }
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

std::vector<std::string> MakeCameraFiles(const std::string& folder, int count, bool withThumbnail) {
    std::filesystem::create_directories(folder);
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        std::string path = folder + "/IMG_" + std::to_string(1000 + i) + ".jpg";
        files.push_back(path);
        if (std::filesystem::exists(path)) continue;
        const int w = 6000, h = 4000;
        Bytes rgb = Scene(w, h, i, &gSeed);
        WriteMadeFile(path, EncodeJpeg(rgb, w, h, 92,
                                       {{JPEG_APP0 + 1, ExifBlock(withThumbnail ? EncodeJpeg(Thumbnail160(rgb, w, h), 160, 120, 80) : Bytes(), i)},
                                        {JPEG_APP0 + 1, XmpBlock(i)},
                                        {JPEG_APP0 + 13, IptcBlock(i)}}));
    }
    return files;
}

// ---- ours ------------------------------------------------------------------------------------

struct Pass {
    double seconds = 0, cpu = 0;
    double longestTickMs = 0;   // the longest the user-interface thread spent in one pump of the timers
    std::uint64_t bytesRead = 0;
    int items = 0, withThumbnail = 0, withAnnotations = 0, withMetadata = 0;
    bool ok = true;
};

// The timer service's clock moved on with the real one until the catalog's jobs end.
// Answers the longest time one pump took (the longest the window would have been held).
double PumpRealTime(ManualTimerService& timers, CatalogRec* catalog) {
    const auto start = Clock::now();
    const std::uint64_t base = timers.Now();
    double longest = 0;
    while (ItemRefreshJobCount(catalog)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto elapsed = std::uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        if (base + elapsed > timers.Now()) {
            const auto t0 = Clock::now();
            timers.Advance(std::uint32_t(base + elapsed - timers.Now()));
            longest = std::max(longest, Seconds(t0, Clock::now()) * 1000.0);
        }
    }
    return longest;
}

// One import of the folder into a new catalog, saved at the end. threaded: through the
// refresh job on the real clock; otherwise item after item on this thread.
Pass ImportInto(const std::string& folder, const std::string& tmp, bool threaded, ManualTimerService& timers) {
    Pass pass;
    const std::string workFile = tmp + "/lyrex-import-bench.work", saved = tmp + "/lyrex-import-bench.lxc";
    std::filesystem::remove(workFile);
    std::filesystem::remove(saved);
    FSSpec work, source, target;
    FSMakeFSSpecFromPath(workFile, &work);
    FSMakeFSSpecFromPath(folder, &source);
    FSMakeFSSpecFromPath(saved, &target);
    CatalogRec* catalog = nullptr;
    if (CatalogOpen(&catalog, nullptr, &work, nullptr, nullptr, nullptr, 0) != noErr) {
        std::fprintf(stderr, "cannot make a catalog\n");
        std::exit(1);
    }
    const std::uint64_t read0 = BytesReadSoFar();
    const double cpu0 = CpuSecondsSelf();
    const auto t0 = Clock::now();
    SInt32 added = 0;
    pass.ok = CatalogAddFiles(catalog, 0, &source, 1, nullptr, 0, &added) == noErr;
    RefreshOptions options = RefreshOptionsAll();
    if (threaded) {
        Handle ids = NewHandle(long(catalog->itemCount) * 4);
        for (SInt32 i = 0; i < catalog->itemCount; ++i) std::memcpy(*ids + 4 * i, &catalog->entries[i].id, 4);
        pass.ok = StartItemRefreshTimer(catalog, 0, ids, nullptr, &options) == noErr && pass.ok;
        DisposeHandle(ids);
        pass.longestTickMs = PumpRealTime(timers, catalog);
    } else {
        for (SInt32 i = 0; i < catalog->itemCount; ++i) {
            ItemEntry* entry = &catalog->entries[i];
            FSSpec file;
            if (CatalogGetItemPath(catalog, entry, &file) == noErr)
                CatalogRefreshItemFromFile(catalog, entry, &options, nullptr, &file);
        }
    }
    pass.ok = CatalogSave(catalog, &target, nullptr, 0) == noErr && pass.ok;
    pass.seconds = Seconds(t0, Clock::now());
    pass.cpu = CpuSecondsSelf() - cpu0;
    pass.bytesRead = BytesReadSoFar() - read0;
    pass.items = catalog->itemCount;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        pass.ok = pass.ok && !(catalog->entries[i].flags & kEntryPendingFlag);
        for (auto [block, count] : {std::pair{kBlockThumbnail, &pass.withThumbnail},
                                    std::pair{kBlockAnnotations, &pass.withAnnotations},
                                    std::pair{kBlockMetadata, &pass.withMetadata}}) {
            if (Handle h = ItemReadBlock(catalog, &catalog->entries[i], block)) {
                *count += GetHandleSize(h) > 0;
                DisposeHandle(h);
            }
        }
    }
    CatalogClose(catalog, false);
    return pass;
}

// ---- the figures -------------------------------------------------------------------------------

struct Row {
    Row(std::string n, std::size_t count) : name(std::move(n)), files(count) {}
    std::string name;
    std::size_t files = 0;
    Figures rate, cpuMs, readKb;
    bool failed = false;
    void Add(double seconds, double cpuSeconds, double bytesRead, bool ok) {
        rate.Add(double(files) / seconds);
        cpuMs.Add(cpuSeconds * 1000.0 / double(files));
        if (bytesRead >= 0) readKb.Add(bytesRead / 1024.0 / double(files));
        failed = failed || !ok;
    }
};

void PrintTable(const char* title, const std::vector<Row>& rows, std::size_t peer) {
    std::printf("\n%s\n%-52s %8s %8s %8s %9s %10s %9s %9s\n", title, "", "files/s", "min", "max", "vs peer",
                "CPU ms/f", "CPU vs", "KB read/f");
    for (const Row& r : rows) {
        std::printf("%-52s %8.1f %8.1f %8.1f %8.2fx %10.2f %8.2fx", r.name.c_str(), r.rate.Median(), r.rate.Min(),
                    r.rate.Max(), r.rate.Median() / rows[peer].rate.Median(), r.cpuMs.Median(),
                    rows[peer].cpuMs.Median() / r.cpuMs.Median());
        if (!r.readKb.values.empty()) std::printf(" %9.0f", r.readKb.Median());
        std::printf("%s\n", r.failed ? "  (something failed)" : "");
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string embeddedFolder, plainFolder;
    int count = 24, rounds = 5;
    bool journal = true, cold = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--count" && i + 1 < argc) count = std::max(1, std::atoi(argv[++i]));
        else if (a == "--rounds" && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--embedded" && i + 1 < argc) embeddedFolder = argv[++i];
        else if (a == "--plain" && i + 1 < argc) plainFolder = argv[++i];
        else if (a == "--no-journal") journal = false;
        else if (a == "--cold") cold = true;
        else {
            std::fprintf(stderr, "usage: import_bench [--embedded FOLDER] [--plain FOLDER] [--count N] [--rounds N] "
                                 "[--cold] [--no-journal]\n");
            return 2;
        }
    }
    const std::string tmp = std::filesystem::temp_directory_path().string();
    if (embeddedFolder.empty()) {
        embeddedFolder = tmp + "/lyrex-import-bench";
        MakeCameraFiles(embeddedFolder, count, true);
    }
    if (plainFolder.empty()) {
        plainFolder = tmp + "/lyrex-import-bench-plain";
        MakeCameraFiles(plainFolder, count, false);
    }
    const std::vector<std::string> embedded = JpegFilesIn(embeddedFolder), plain = JpegFilesIn(plainFolder);
    if (embedded.empty() || plain.empty()) {
        std::fprintf(stderr, "no JPEG files\n");
        return 1;
    }
    std::string coldNote;
    if (cold && !DropPageCache(&coldNote)) {
        std::printf("cold-cache mode skipped (%s): the files are read from the page cache\n\n", coldNote.c_str());
        cold = false;
    }

    // The program's settings (where the import journal is kept) go to a folder of their own.
    std::string settings = tmp + "/lyrex-import-bench-settings";
    std::filesystem::create_directories(settings);
    setenv("XDG_CONFIG_HOME", settings.c_str(), 1);
    RegistryForgetCachedStores();
    ImportAttachToCatalogs();
    ManualTimerService timers;
    SetTimerService(&timers);
    CatalogEngineInit(400, 200);
    if (KindEngineInit(nullptr, 0, 400, 200) != noErr) return 1;
    // The program keeps the import journal in its settings while a reader works on a file.
    if (journal) KindSetFileHook(ImportJournalWrite);

    const std::string out = tmp + "/lyrex-import-bench-out";
    std::filesystem::create_directories(out);
    setenv("VIPS_CONCURRENCY", "1", 1);   // every peer process works single-threaded
    const int cores = UsableCores();
    // The size of the catalog's thumbnails (the Thumbnail view's default size).
    CatalogViewPrefs prefs;
    CatalogViewPrefsSetDefault(&prefs);
    const std::string size = std::to_string(int(prefs.slots[1].sizeStep) * 32);
    const std::vector<std::string> exivMeta = {"exiv2", "-pa"}, exivThumb = {"exiv2", "-et", "-f", "-l", out},
                                   vips = {"vipsthumbnail", "--size", size, "-o", out + "/%s.jpg"};

    struct Group {
        const char* title;
        const std::vector<std::string>* files;
        std::string folder;
        std::vector<std::string> secondPeer;   // after exiv2 -pa
        const char* peerName;
        std::vector<Row> oneCore, allCores;
        Figures longestTick;
    };
    std::vector<Group> groups = {
        {"with an embedded thumbnail", &embedded, embeddedFolder, exivThumb, "exiv2 -pa plus exiv2 -et", {}, {}, {}},
        {"without an embedded thumbnail", &plain, plainFolder, vips, "exiv2 -pa plus vipsthumbnail", {}, {}, {}},
    };
    for (Group& g : groups) {
        g.oneCore = {{"ours: add, read item after item, save", g.files->size()},
                     {std::string(g.peerName) + ", one process each", g.files->size()}};
        g.allCores = {{"ours: add, the refresh job on the real clock, save", g.files->size()},
                      {std::string(g.peerName) + ", xargs -P " + std::to_string(cores), g.files->size()}};
    }
    auto peerRun = [&](const Group& g, bool sideBySide, double* seconds, double* cpu) {
        const double cpu0 = CpuSecondsChildren();
        const auto t0 = Clock::now();
        bool ok = true;
        for (const auto* command : {&exivMeta, &g.secondPeer}) {
            bool ran;
            if (sideBySide) {
                ran = RunSideBySide(*command, *g.files, cores);
            } else {
                std::vector<std::string> args = *command;
                args.insert(args.end(), g.files->begin(), g.files->end());
                ran = RunQuietly(args);
            }
            // exiv2 -et answers non-zero even when it wrote every thumbnail: its status says nothing.
            ok = (ran || *command == exivThumb) && ok;
        }
        *seconds = Seconds(t0, Clock::now());
        *cpu = CpuSecondsChildren() - cpu0;
        return ok;
    };

    // A first pass of everything warms the page cache and the programs' own caches.
    for (Group& g : groups) {
        double s, c;
        ImportInto(g.folder, tmp, false, timers);
        ImportInto(g.folder, tmp, true, timers);
        peerRun(g, false, &s, &c);
        peerRun(g, true, &s, &c);
    }
    Pass last[2];
    for (int r = 0; r < rounds; ++r) {
        for (std::size_t gi = 0; gi < groups.size(); ++gi) {
            Group& g = groups[gi];
            for (bool threaded : {false, true}) {
                if (cold) DropPageCache(nullptr);
                Pass p = ImportInto(g.folder, tmp, threaded, timers);
                if (threaded) g.longestTick.Add(p.longestTickMs);
                (threaded ? g.allCores : g.oneCore)[0].Add(p.seconds, p.cpu, double(p.bytesRead),
                                                           p.ok && p.items == int(g.files->size()));
                last[gi] = p;
            }
            for (bool sideBySide : {false, true}) {
                if (cold) DropPageCache(nullptr);
                double seconds = 0, cpu = 0;
                bool ok = peerRun(g, sideBySide, &seconds, &cpu);
                (sideBySide ? g.allCores : g.oneCore)[1].Add(seconds, cpu, -1, ok);
            }
        }
    }
    KindSetFileHook(nullptr);
    KindEngineShutdown();
    SetTimerService(nullptr);

    auto average = [](const std::vector<std::string>& files) {
        std::uintmax_t bytes = 0;
        for (auto& f : files) bytes += std::filesystem::file_size(f);
        return double(bytes) / double(files.size()) / 1e6;
    };
    std::printf("Camera JPEGs (%.1f MB average) imported into a new catalog and saved, %s-pixel thumbnails, %d rounds, "
                "%s page cache, %d cores%s\n",
                average(plain), size.c_str(), rounds, cold ? "cold" : "warm", cores,
                journal ? "" : ", without the import journal");
    for (std::size_t gi = 0; gi < groups.size(); ++gi) {
        const Group& g = groups[gi];
        std::string title = std::to_string(g.files->size()) + " files " + g.title;
        PrintTable((title + ", one core").c_str(), g.oneCore, 1);
        PrintTable((title + ", every core").c_str(), g.allCores, 1);
        std::printf("the refresh job's longest tick: %.1f ms (min %.1f, max %.1f over the rounds)\n",
                    g.longestTick.Median(), g.longestTick.Min(), g.longestTick.Max());
        std::printf("items %d, with thumbnail %d, with annotations %d, with metadata %d\n", last[gi].items,
                    last[gi].withThumbnail, last[gi].withAnnotations, last[gi].withMetadata);
    }
    std::printf("\nFigures are medians of the rounds (min and max beside the rate); \"vs\" divides by the peer's "
                "median, \"CPU vs\" the peer's CPU time per file by this one's (above 1: less CPU than the peer). CPU counts every "
                "thread of ours and every peer process.\n");
    return 0;
}
