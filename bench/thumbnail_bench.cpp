// Thumbnails per second for a folder of camera JPEGs: the views' thumbnail (KindMakeThumbnail)
// and the catalog's reading of a file (KindGetInfo, with and without the embedded EXIF
// thumbnail), beside `vipsthumbnail` and `djpeg -scale 1/8` on the same files in the same run,
// all single-threaded. Figures are printed as files per second and as ratios to the peers.
//
//   thumbnail_bench [folder] [--size N] [--rounds N]
//
// Without a folder, a set of 24-megapixel camera-like JPEGs (with an EXIF block and its
// thumbnail) is made once under $TMPDIR/lyrex-bench-jpegs and reused.
#include "BenchPictures.h"

#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindEngine.h"
#include "platform/Handles.h"

#include <jpeglib.h>
#include <sys/stat.h>
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

std::vector<std::string> MakeCameraFiles(const std::string& folder, int count) {
    std::filesystem::create_directories(folder);
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        std::string path = folder + "/camera_" + std::to_string(i) + ".jpg";
        files.push_back(path);
        if (std::filesystem::exists(path)) continue;
        const int w = 6000, h = 4000;
        auto rgb = Scene(w, h, i, &gSeed);
        auto app1 = ExifBlock(EncodeJpeg(Thumbnail160(rgb, w, h), 160, 120, 80));
        WriteMadeFile(path, EncodeJpeg(rgb, w, h, 92, {{JPEG_APP0 + 1, app1}}));
    }
    return files;
}

// ---- peers ---------------------------------------------------------------------------------

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

struct Result {
    const char* name;
    double seconds = 0;
    int ok = 0;
};

}  // namespace

int main(int argc, char** argv) {
    std::string folder;
    int size = 160, rounds = 2;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--size" && i + 1 < argc) size = std::atoi(argv[++i]);
        else if (a == "--rounds" && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
        else folder = a;
    }
    std::vector<std::string> files;
    if (folder.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        files = MakeCameraFiles(std::string(tmp && *tmp ? tmp : "/tmp") + "/lyrex-bench-jpegs", 12);
    } else {
        files = JpegFilesIn(folder);
    }
    if (files.empty()) {
        std::fprintf(stderr, "no JPEG files\n");
        return 1;
    }
    if (KindEngineInit(nullptr, 0, 400, 200) != noErr) return 1;

    std::string out = std::filesystem::temp_directory_path().string() + "/lyrex-bench-out";
    std::filesystem::create_directories(out);
    setenv("VIPS_CONCURRENCY", "1", 1);  // the peer works single-threaded too

    std::vector<Result> results = {{"ours: view thumbnail (KindMakeThumbnail)"},
                                   {"ours: catalog reading, full image (KindGetInfo)"},
                                   {"ours: catalog reading, EXIF thumbnail allowed"},
                                   {"vipsthumbnail --size"},
                                   {"djpeg -scale 1/8"}};
    // Warm the page cache so that every contender reads from memory.
    for (auto& f : files) ViewThumbnail(f, size);
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        for (auto& f : files) results[0].ok += ViewThumbnail(f, size);
        auto t1 = Clock::now();
        for (auto& f : files) results[1].ok += CatalogReading(f, size, 1);
        auto t2 = Clock::now();
        for (auto& f : files) results[2].ok += CatalogReading(f, size, 0);
        auto t3 = Clock::now();
        for (auto& f : files)
            results[3].ok += RunQuietly({"vipsthumbnail", "--size", std::to_string(size), "-o", out + "/%s.jpg", f});
        auto t4 = Clock::now();
        for (auto& f : files) results[4].ok += RunQuietly({"djpeg", "-scale", "1/8", "-outfile", "/dev/null", f});
        auto t5 = Clock::now();
        results[0].seconds += Seconds(t0, t1);
        results[1].seconds += Seconds(t1, t2);
        results[2].seconds += Seconds(t2, t3);
        results[3].seconds += Seconds(t3, t4);
        results[4].seconds += Seconds(t4, t5);
    }
    KindEngineShutdown();

    int runs = int(files.size()) * rounds;
    std::uintmax_t bytes = 0;
    for (auto& f : files) bytes += std::filesystem::file_size(f);
    std::printf("%zu files (%.1f MB average), thumbnails of %d pixels, %d rounds, single-threaded\n\n", files.size(),
                double(bytes) / files.size() / 1e6, size, rounds);
    std::printf("%-50s %10s %10s %12s %12s\n", "", "files/s", "ms/file", "vs vips", "vs djpeg");
    double vips = runs / results[3].seconds, djpeg = runs / results[4].seconds;
    for (auto& r : results) {
        double rate = runs / r.seconds;
        std::printf("%-50s %10.2f %10.2f %11.2fx %11.2fx%s\n", r.name, rate, 1000.0 / rate, rate / vips, rate / djpeg,
                    r.ok == runs ? "" : "  (some files failed)");
    }
    std::printf("\nPeer processes are started once per file; their start-up is part of their figures.\n");
    return 0;
}
