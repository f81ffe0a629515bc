// Camera RAW benchmark, single-threaded: the embedded JPEG preview of DNG files extracted by
// our reader beside `exiv2 -ep` (and `dcraw -e` when installed), and the development at half
// size through our RAW library wrapper beside `dcraw_emu -h`, on the same files in the same run.
// Targets: preview extraction at least as fast as exiv2, development within 1.2x of dcraw_emu.
//
//   raw_bench [--count 4] [--rounds 3] [--width 6000 --height 4000]
//
// The files (a Bayer mosaic of a photo-like scene and a 1616 x 1080 JPEG preview each) are made
// once under $TMPDIR/lyrex-raw-bench.
#include "BenchPictures.h"

#include "media/readers/raw/RawLibrary.h"
#include "media/readers/raw/RawPreviewReaders.h"
#include "platform/Files.h"
#include "platform/Handles.h"

#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

using namespace bench;

namespace {

const float kColorMatrix[9] = {3.2406f, -1.5372f, -0.4986f, -0.9689f, 1.8758f, 0.0415f, 0.0557f, -0.2040f, 1.0570f};

void MakeDng(const std::string& path, int w, int h, int variant) {
    if (std::filesystem::exists(path)) return;
    std::uint32_t seed = 7u + std::uint32_t(variant);
    const Bytes scene = Scene(w, h, variant, &seed);
    const int pw = 1616, ph = 1080;
    Bytes small(std::size_t(pw) * ph * 3);
    for (int y = 0; y < ph; ++y)
        for (int x = 0; x < pw; ++x)
            for (int c = 0; c < 3; ++c)
                small[(std::size_t(y) * pw + x) * 3 + c] = scene[(std::size_t(y * h / ph) * w + x * w / pw) * 3 + c];
    const Bytes preview = EncodeJpeg(small, pw, ph, 90);
    const std::string part = path + ".part";
    TIFF* tif = TIFFOpen(part.c_str(), "w");
    if (!tif) {
        std::fprintf(stderr, "cannot write %s\n", part.c_str());
        std::exit(1);
    }
    // IFD0: a small thumbnail with the DNG tags; SubIFD 1 the mosaic; SubIFD 2 the preview.
    const int tw = 256, th = 171;
    Bytes thumb(std::size_t(tw) * th * 3, 128);
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, tw);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, th);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, th);
    static const std::uint8_t kVersion[4] = {1, 4, 0, 0};
    TIFFSetField(tif, TIFFTAG_DNGVERSION, kVersion);
    TIFFSetField(tif, TIFFTAG_MAKE, "Lyrex");
    TIFFSetField(tif, TIFFTAG_MODEL, "Bench Camera");
    TIFFSetField(tif, TIFFTAG_UNIQUECAMERAMODEL, "Lyrex Bench Camera");
    TIFFSetField(tif, TIFFTAG_COLORMATRIX1, 9, kColorMatrix);
    TIFFSetField(tif, TIFFTAG_CALIBRATIONILLUMINANT1, 21);
    static const float kNeutral[3] = {0.5f, 1.0f, 0.7f};
    TIFFSetField(tif, TIFFTAG_ASSHOTNEUTRAL, 3, kNeutral);
    toff_t sub[2] = {0, 0};
    TIFFSetField(tif, TIFFTAG_SUBIFD, 2, sub);
    TIFFWriteEncodedStrip(tif, 0, thumb.data(), tmsize_t(thumb.size()));
    TIFFWriteDirectory(tif);

    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, 32803);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 256);
    static const std::uint16_t kRepeat[2] = {2, 2};
    TIFFSetField(tif, TIFFTAG_CFAREPEATPATTERNDIM, kRepeat);
    static const std::uint8_t kPattern[4] = {0, 1, 1, 2};
    TIFFSetField(tif, TIFFTAG_CFAPATTERN, 4, kPattern);
    const std::uint32_t white = 16383;
    TIFFSetField(tif, TIFFTAG_WHITELEVEL, 1, &white);
    std::vector<std::uint16_t> row(std::size_t(w) * 256);
    for (int strip = 0; strip * 256 < h; ++strip) {
        const int rows = std::min(256, h - strip * 256);
        for (int r = 0; r < rows; ++r) {
            const int y = strip * 256 + r;
            for (int x = 0; x < w; ++x) {
                const int site = (y & 1) * 2 + (x & 1);
                const int c = site == 0 ? 0 : site == 3 ? 2 : 1;
                row[std::size_t(r) * w + x] = std::uint16_t(scene[(std::size_t(y) * w + x) * 3 + c] * 64);
            }
        }
        TIFFWriteEncodedStrip(tif, strip, row.data(), tmsize_t(std::size_t(rows) * w * 2));
    }
    TIFFWriteDirectory(tif);

    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, pw);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, ph);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, 7);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, ph);
    TIFFWriteRawStrip(tif, 0, const_cast<std::uint8_t*>(preview.data()), tmsize_t(preview.size()));
    TIFFWriteDirectory(tif);
    TIFFClose(tif);
    std::filesystem::rename(part, path);
    std::fprintf(stderr, "made %s\n", path.c_str());
}

int Arg(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
    return fallback;
}

bool Installed(const char* program) {
    return RunQuietly({"sh", "-c", std::string("command -v ") + program});
}

}  // namespace

int main(int argc, char** argv) {
    // Both sides develop on one thread.
    setenv("OMP_NUM_THREADS", "1", 1);
    const int count = Arg(argc, argv, "--count", 4), rounds = Arg(argc, argv, "--rounds", 3);
    const int width = Arg(argc, argv, "--width", 6000), height = Arg(argc, argv, "--height", 4000);
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/lyrex-raw-bench";
    const std::string out = folder + "/out";
    std::filesystem::create_directories(out);
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        files.push_back(folder + "/shot" + std::to_string(i) + "-" + std::to_string(width) + "x" + std::to_string(height) + ".dng");
        MakeDng(files.back(), width, height, i);
    }

    // Preview extraction: the stored JPEG's bytes, located and read (exiv2 writes them to files).
    double ours = 0, exiv2 = 0, dcraw = 0;
    const bool haveDcraw = Installed("dcraw");
    std::size_t bytes = 0;
    for (int r = 0; r < rounds; ++r) {
        const Clock::time_point t0 = Clock::now();
        for (const auto& f : files) {
            FSSpec spec;
            FSMakeFSSpecFromPath(f, &spec);
            Handle jpeg = nullptr;
            if (RawPreviewBytes('DNG ', &spec, &jpeg) != noErr) {
                std::fprintf(stderr, "no preview in %s\n", f.c_str());
                return 1;
            }
            bytes += std::size_t(GetHandleSize(jpeg));
            DisposeHandle(jpeg);
        }
        const Clock::time_point t1 = Clock::now();
        std::vector<std::string> args = {"exiv2", "-ep", "-f", "-l", out};
        args.insert(args.end(), files.begin(), files.end());
        if (!RunQuietly(args)) std::fprintf(stderr, "exiv2 failed\n");
        const Clock::time_point t2 = Clock::now();
        if (haveDcraw)
            for (const auto& f : files) RunQuietly({"dcraw", "-e", "-c", f});
        const Clock::time_point t3 = Clock::now();
        ours += Seconds(t0, t1);
        exiv2 += Seconds(t1, t2);
        dcraw += Seconds(t2, t3);
    }
    const double n = double(count) * rounds;
    std::printf("preview extraction (%d files, %d rounds, %.0f KB each)\n", count, rounds, bytes / n / 1024);
    std::printf("  ours       %8.1f files/s\n", n / ours);
    std::printf("  exiv2 -ep  %8.1f files/s   ratio ours/exiv2 %.2f (target >= 1)\n", n / exiv2, exiv2 / ours);
    if (haveDcraw) std::printf("  dcraw -e   %8.1f files/s   ratio ours/dcraw %.2f\n", n / dcraw, dcraw / ours);

    // Development at half size.
    double develop = 0, emu = 0;
    for (int r = 0; r < rounds; ++r)
        for (const auto& f : files) {
            const Clock::time_point t0 = Clock::now();
            FSSpec spec;
            FSMakeFSSpecFromPath(f, &spec);
            RawFile file;
            GWorldPtr picture = nullptr;
            RawDevelopOptions options;
            options.size = std::max(width, height) / 2;
            if (file.Open(&spec) != noErr || file.Develop(options, &picture) != noErr) {
                std::fprintf(stderr, "cannot develop %s\n", f.c_str());
                return 1;
            }
            DisposeGWorld(picture);
            const Clock::time_point t1 = Clock::now();
            RunQuietly({"dcraw_emu", "-h", "-w", "-Z", out + "/emu.ppm", f});
            const Clock::time_point t2 = Clock::now();
            develop += Seconds(t0, t1);
            emu += Seconds(t1, t2);
        }
    std::printf("development at half size (%d x %d mosaic)\n", width, height);
    std::printf("  ours           %7.3f s/file\n", develop / n);
    std::printf("  dcraw_emu -h   %7.3f s/file   ratio ours/dcraw_emu %.2f (target <= 1.2)\n", emu / n, develop / emu);
    return 0;
}
