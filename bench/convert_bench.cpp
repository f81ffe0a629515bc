// Converting 24-megapixel camera JPEGs into JPEGs of at most 1600 pixels a side on one core,
// as the Convert Image Files command does for each item (ConvertPictureFile: drawn at the size
// the box needs, scaled to fit, encoded at quality 75), beside `vipsthumbnail -s 1600` (one
// process for all the files, VIPS_CONCURRENCY=1) and ImageMagick's `convert -resize 1600x1600`
// (one process per file, one thread) on the same files in the same run, at the same quality.
// Each figure is the median of the rounds with their min and max, in files per second.
//
//   convert_bench [--folder FOLDER] [--rounds N]
//
// Without a folder, six 24-megapixel camera-like JPEGs are made once under
// $TMPDIR/lyrex-bench-convert and reused.
#include "BenchPictures.h"

#include "media/kinds/KindEngine.h"
#include "output/convert/ConvertOptions.h"
#include "output/convert/ConvertPicture.h"
#include "platform/Files.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace bench;

std::vector<std::string> MakeCameraFiles(const std::string& folder, int count) {
    std::filesystem::create_directories(folder);
    std::uint32_t seed = 424242;
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        const std::string path = folder + "/camera_" + std::to_string(i) + ".jpg";
        files.push_back(path);
        if (std::filesystem::exists(path)) continue;
        const int w = 6000, h = 4000;
        WriteMadeFile(path, EncodeJpeg(Scene(w, h, i, &seed), w, h, 92));
    }
    return files;
}

// The ImageMagick program: the versioned name Debian installs, else whatever "convert" is.
std::string ImageMagickConvert() {
    for (const char* dir : {"/usr/bin/", "/bin/"})
        if (access((std::string(dir) + "convert-im6.q16").c_str(), X_OK) == 0) return std::string(dir) + "convert-im6.q16";
    return "convert";
}

struct Contender {
    std::string name;
    std::function<bool()> run;
    Figures rate;
    bool failed = false;
};

}  // namespace

int main(int argc, char** argv) {
    std::string folder;
    int rounds = 3;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--folder" && i + 1 < argc) folder = argv[++i];
        else if (a == "--rounds" && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: convert_bench [--folder FOLDER] [--rounds N]\n");
            return 2;
        }
    }
    const std::string tmp = std::filesystem::temp_directory_path().string();
    const std::vector<std::string> files =
        folder.empty() ? MakeCameraFiles(tmp + "/lyrex-bench-convert", 6) : JpegFilesIn(folder);
    if (files.empty()) {
        std::fprintf(stderr, "no JPEG files\n");
        return 1;
    }
    if (KindEngineInit(nullptr, 0, 400, 200) != noErr) return 1;
    const std::string out = tmp + "/lyrex-bench-convert-out";
    std::filesystem::create_directories(out);
    setenv("VIPS_CONCURRENCY", "1", 1);
    setenv("MAGICK_THREAD_LIMIT", "1", 1);

    ConvertOptionsRec options = DefaultConvertOptions(ConvertMediaKind::Image);
    options.sizeMode = 1;
    options.width = options.height = 1600;
    options.keepMetadata = 0;
    options.keepProfile = 0;
    ExporterSettings settings = DefaultExporterSettings('JPEG');
    settings.values["quality"] = "75";
    auto ours = [&] {
        bool ok = true;
        for (const auto& f : files) {
            FSSpec source, target;
            FSMakeFSSpecFromPath(f, &source);
            const std::string to = out + "/ours_" + std::filesystem::path(f).filename().string();
            FILE* made = std::fopen(to.c_str(), "wb");
            if (made) std::fclose(made);
            FSMakeFSSpecFromPath(to, &target);
            ok = ConvertPictureFile(source, 'JPEG', 72, options, settings, 'JPEG', target, nullptr) == noErr && ok;
        }
        return ok;
    };
    auto vips = [&] {
        std::vector<std::string> args = {"vipsthumbnail", "-s", "1600", "-o", out + "/vips_%s.jpg[Q=75]"};
        args.insert(args.end(), files.begin(), files.end());
        return RunQuietly(args);
    };
    const std::string magick = ImageMagickConvert();
    auto imagemagick = [&] {
        bool ok = true;
        for (const auto& f : files)
            ok = RunQuietly({magick, f, "-resize", "1600x1600", "-quality", "75",
                             out + "/im_" + std::filesystem::path(f).filename().string()}) && ok;
        return ok;
    };
    std::vector<Contender> contenders = {
        {"ours: ConvertPictureFile, one thread", ours},
        {"vipsthumbnail -s 1600, one process for all files", vips},
        {"convert -resize 1600x1600, one process per file", imagemagick},
    };
    for (auto& c : contenders) c.failed = !c.run();   // warms the page cache
    for (int r = 0; r < rounds; ++r)
        for (auto& c : contenders) {
            const auto t0 = Clock::now();
            c.failed = !c.run() || c.failed;
            c.rate.Add(double(files.size()) / Seconds(t0, Clock::now()));
        }
    KindEngineShutdown();

    std::printf("%zu JPEGs of 24 megapixels to at most 1600 x 1600 at quality 75, %d rounds, one core each\n\n",
                files.size(), rounds);
    std::printf("%-52s %9s %9s %9s %9s %12s\n", "", "files/s", "min", "max", "ms/file", "vs vips");
    const double peer = contenders[1].rate.Median();
    for (const auto& c : contenders)
        std::printf("%-52s %9.2f %9.2f %9.2f %9.1f %11.2fx%s\n", c.name.c_str(), c.rate.Median(), c.rate.Min(),
                    c.rate.Max(), 1000.0 / c.rate.Median(), c.rate.Median() / peer,
                    c.failed ? "  (some files failed)" : "");
    std::printf("\n\"vs vips\" divides the median rate by vipsthumbnail's (above 1: faster than vipsthumbnail).\n");
    return 0;
}
