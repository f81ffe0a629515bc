// Thumbnails of camera JPEGs: the views' thumbnail (KindMakeThumbnail) and the catalog's
// reading of a file (KindGetInfo), beside `vipsthumbnail` (one process for all the files) and
// `djpeg -scale 1/8` (it takes one file per process) on the same files in the same run.
//
// Two folders: pictures without an embedded thumbnail, which every contender decodes, and the
// same pictures with an EXIF thumbnail, which the catalog's reading uses instead. The one-core
// figures run everything single-threaded (VIPS_CONCURRENCY=1); the all-core figures run ours
// on one thread per core and the peer as `xargs -P <cores>` processes side by side. Each
// figure is the median of the rounds with their min and max, in files per second.
//
//   thumbnail_bench [--plain FOLDER] [--embedded FOLDER] [--size N] [--rounds N] [--cold]
//
// Without folders, twelve 24-megapixel camera-like JPEGs of each sort are made once under
// $TMPDIR/lyrex-bench-jpegs and $TMPDIR/lyrex-bench-jpegs-plain and reused. --cold empties the
// page cache before every contender's round (root only; otherwise the run says so and stays
// warm), so that the files come from the disk.
#include "BenchPictures.h"

#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindEngine.h"
#include "platform/Handles.h"

#include <jpeglib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace bench;

// ---- test pictures ---------------------------------------------------------------------

std::uint32_t gSeed = 12345;  // the noise of the scenes

void Put16(std::vector<std::uint8_t>& v, unsigned n) {
    v.push_back(std::uint8_t(n));
    v.push_back(std::uint8_t(n >> 8));
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t n) {
    Put16(v, n & 0xFFFF);
    Put16(v, n >> 16);
}

// An APP1 "Exif" payload as cameras write it: IFD 0 with the orientation, IFD 1 with a
// 160 x 120 JPEG thumbnail.
std::vector<std::uint8_t> ExifBlock(const std::vector<std::uint8_t>& thumbnail) {
    std::vector<std::uint8_t> t = {'I', 'I', 42, 0};
    Put32(t, 8);
    // IFD 0: one entry (Orientation = 1), then the offset of IFD 1.
    Put16(t, 1);
    Put16(t, 0x0112);
    Put16(t, 3);
    Put32(t, 1);
    Put32(t, 1);
    Put32(t, 8 + 2 + 12 + 4);
    // IFD 1: Compression 6, JPEGInterchangeFormat, JPEGInterchangeFormatLength.
    std::uint32_t ifd1 = std::uint32_t(t.size());
    std::uint32_t data = ifd1 + 2 + 3 * 12 + 4;
    Put16(t, 3);
    Put16(t, 0x0103);
    Put16(t, 3);
    Put32(t, 1);
    Put32(t, 6);
    Put16(t, 0x0201);
    Put16(t, 4);
    Put32(t, 1);
    Put32(t, data);
    Put16(t, 0x0202);
    Put16(t, 4);
    Put32(t, 1);
    Put32(t, std::uint32_t(thumbnail.size()));
    Put32(t, 0);
    t.insert(t.end(), thumbnail.begin(), thumbnail.end());
    std::vector<std::uint8_t> app1 = {'E', 'x', 'i', 'f', 0, 0};
    app1.insert(app1.end(), t.begin(), t.end());
    return app1;
}

std::vector<std::string> MakeCameraFiles(const std::string& folder, int count, bool withThumbnail) {
    std::filesystem::create_directories(folder);
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        std::string path = folder + "/camera_" + std::to_string(i) + ".jpg";
        files.push_back(path);
        if (std::filesystem::exists(path)) continue;
        const int w = 6000, h = 4000;
        auto rgb = Scene(w, h, i, &gSeed);
        if (!withThumbnail) {
            WriteMadeFile(path, EncodeJpeg(rgb, w, h, 92));
            continue;
        }
        auto app1 = ExifBlock(EncodeJpeg(Thumbnail160(rgb, w, h), 160, 120, 80));
        WriteMadeFile(path, EncodeJpeg(rgb, w, h, 92, {{JPEG_APP0 + 1, app1}}));
    }
    return files;
}

// ---- ours ------------------------------------------------------------------------------------

bool ViewThumbnail(const std::string& path, int size) {
    FSSpec spec;
    FSMakeFSSpecFromPath(path, &spec);
    GWorldPtr w = nullptr;
    UInt32 index = 1;
    OSErr err = KindMakeThumbnail(&spec, &w, size, 'JPEG', &index, 0);
    if (w) DisposeGWorld(w);
    return err == noErr;
}

// optionB 0 lets the reading take an embedded thumbnail; 1 always decodes the picture.
bool CatalogReading(const std::string& path, int size, UInt32 optionB) {
    FSSpec spec;
    FSMakeFSSpecFromPath(path, &spec);
    KindFileRec file;
    if (KindTypeOfFileSpec(&spec, &file) != noErr) return false;
    KindInfoRec info{};
    PicHandle thumb = nullptr;
    Handle iptc = nullptr, tech = nullptr, rec = nullptr;
    OSErr err = KindGetInfo(&file, &info, true, 1, optionB, size, &thumb, &iptc, &tech, &rec);
    for (Handle h : {thumb, iptc, tech, rec})
        if (h) DisposeHandle(h);
    return err == noErr;
}

// The catalog's reading of every file on `threads` threads, each taking the next file.
int CatalogReadingOnThreads(const std::vector<std::string>& files, int size, UInt32 optionB, int threads) {
    std::atomic<std::size_t> next{0};
    std::atomic<int> ok{0};
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            KindSetThreadCallbacksOff(true);
            for (std::size_t i; (i = next++) < files.size();) ok += CatalogReading(files[i], size, optionB);
        });
    for (auto& t : pool) t.join();
    return ok;
}

struct Contender {
    Contender(std::string n, const std::vector<std::string>* f, std::function<bool()> r)
        : name(std::move(n)), files(f), run(std::move(r)) {}
    std::string name;
    const std::vector<std::string>* files;
    std::function<bool()> run;   // one pass over the files; false when something failed
    Figures rate;                // files per second
    Figures cpuMs;               // CPU milliseconds per file (every thread of ours, every peer process)
    bool failed = false;
};

}  // namespace

int main(int argc, char** argv) {
    std::string plainFolder, embeddedFolder;
    int size = 160, rounds = 5;
    bool cold = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--size" && i + 1 < argc) size = std::atoi(argv[++i]);
        else if (a == "--rounds" && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--plain" && i + 1 < argc) plainFolder = argv[++i];
        else if (a == "--embedded" && i + 1 < argc) embeddedFolder = argv[++i];
        else if (a == "--cold") cold = true;
        else {
            std::fprintf(stderr, "usage: thumbnail_bench [--plain FOLDER] [--embedded FOLDER] [--size N] [--rounds N] [--cold]\n");
            return 2;
        }
    }
    const std::string tmp = std::filesystem::temp_directory_path().string();
    const std::vector<std::string> plain = plainFolder.empty() ? MakeCameraFiles(tmp + "/lyrex-bench-jpegs-plain", 12, false)
                                                               : JpegFilesIn(plainFolder);
    const std::vector<std::string> embedded = embeddedFolder.empty() ? MakeCameraFiles(tmp + "/lyrex-bench-jpegs", 12, true)
                                                                     : JpegFilesIn(embeddedFolder);
    if (plain.empty() || embedded.empty()) {
        std::fprintf(stderr, "no JPEG files\n");
        return 1;
    }
    std::string coldNote;
    if (cold && !DropPageCache(&coldNote)) {
        std::printf("cold-cache mode skipped (%s): the files are read from the page cache\n\n", coldNote.c_str());
        cold = false;
    }
    if (KindEngineInit(nullptr, 0, 400, 200) != noErr) return 1;

    const std::string out = tmp + "/lyrex-bench-out";
    std::filesystem::create_directories(out);
    setenv("VIPS_CONCURRENCY", "1", 1);  // every peer process works single-threaded
    const int cores = UsableCores();
    const std::string side = std::to_string(size);
    auto perFile = [](const std::vector<std::string>& files, auto fn) {
        bool ok = true;
        for (auto& f : files) ok = fn(f) && ok;
        return ok;
    };
    auto vipsArgs = [&] { return std::vector<std::string>{"vipsthumbnail", "--size", side, "-o", out + "/%s.jpg"}; };
    auto vipsOnce = [&](const std::vector<std::string>& files) {
        auto args = vipsArgs();
        args.insert(args.end(), files.begin(), files.end());
        return RunQuietly(args);
    };

    std::vector<Contender> oneCore = {
        {"ours: view thumbnail (KindMakeThumbnail)", &plain,
         [&] { return perFile(plain, [&](auto& f) { return ViewThumbnail(f, size); }); }},
        {"ours: catalog reading, picture decoded (KindGetInfo)", &plain,
         [&] { return perFile(plain, [&](auto& f) { return CatalogReading(f, size, 1); }); }},
        {"vipsthumbnail, one process for all files", &plain, [&] { return vipsOnce(plain); }},
        {"djpeg -scale 1/8, one process per file", &plain,
         [&] { return perFile(plain, [&](auto& f) { return RunQuietly({"djpeg", "-scale", "1/8", "-outfile", "/dev/null", f}); }); }},
    };
    std::vector<Contender> allCores = {
        {"ours: catalog reading, one thread per core", &plain,
         [&] { return CatalogReadingOnThreads(plain, size, 1, cores) == int(plain.size()); }},
        {"vipsthumbnail, xargs -P one process per core", &plain,
         [&] { return RunSideBySide(vipsArgs(), plain, cores); }},
    };
    std::vector<Contender> withThumbnail = {
        {"ours: catalog reading, embedded thumbnail used", &embedded,
         [&] { return perFile(embedded, [&](auto& f) { return CatalogReading(f, size, 0); }); }},
        {"ours: the same, one thread per core", &embedded,
         [&] { return CatalogReadingOnThreads(embedded, size, 0, cores) == int(embedded.size()); }},
        {"vipsthumbnail, one process for all files", &embedded, [&] { return vipsOnce(embedded); }},
    };

    // A first pass of each warms the page cache (and the programs' own caches).
    for (auto* group : {&oneCore, &allCores, &withThumbnail})
        for (auto& c : *group) c.run();
    for (int r = 0; r < rounds; ++r) {
        for (auto* group : {&oneCore, &allCores, &withThumbnail})
            for (auto& c : *group) {
                if (cold) DropPageCache(nullptr);
                const double cpu0 = CpuSecondsSelf() + CpuSecondsChildren();
                auto t0 = Clock::now();
                c.failed = !c.run() || c.failed;
                c.rate.Add(double(c.files->size()) / Seconds(t0, Clock::now()));
                c.cpuMs.Add((CpuSecondsSelf() + CpuSecondsChildren() - cpu0) * 1000.0 / double(c.files->size()));
            }
    }
    KindEngineShutdown();

    auto average = [](const std::vector<std::string>& files) {
        std::uintmax_t bytes = 0;
        for (auto& f : files) bytes += std::filesystem::file_size(f);
        return double(bytes) / double(files.size()) / 1e6;
    };
    std::printf("%zu files without and %zu with an embedded thumbnail (%.1f MB average), thumbnails of %d pixels, "
                "%d rounds, %s page cache, %d cores\n",
                plain.size(), embedded.size(), average(plain), size, rounds, cold ? "cold" : "warm", cores);
    auto table = [](const char* title, const std::vector<Contender>& group, std::size_t peer) {
        std::printf("\n%s\n%-54s %9s %9s %9s %9s %9s %10s %9s\n", title, "", "files/s", "min", "max", "ms/file",
                    "vs peer", "CPU ms/f", "CPU vs");
        const double peerRate = group[peer].rate.Median(), peerCpu = group[peer].cpuMs.Median();
        for (const auto& c : group)
            std::printf("%-54s %9.2f %9.2f %9.2f %9.2f %8.2fx %10.2f %8.2fx%s\n", c.name.c_str(), c.rate.Median(),
                        c.rate.Min(), c.rate.Max(), 1000.0 / c.rate.Median(), c.rate.Median() / peerRate,
                        c.cpuMs.Median(), peerCpu / c.cpuMs.Median(), c.failed ? "  (some files failed)" : "");
    };
    table("Pictures decoded, one core (peer: vipsthumbnail in one process)", oneCore, 2);
    table("Pictures decoded, every core (peer: vipsthumbnail through xargs -P)", allCores, 1);
    table("Embedded thumbnails (peer: vipsthumbnail in one process, which decodes)", withThumbnail, 2);
    std::printf("\nFigures are medians of the rounds; \"vs peer\" divides the median rate by the peer's, \"CPU vs\" the "
                "peer's CPU time per file by this one's (above 1: less CPU than the peer).\n");
    return 0;
}
