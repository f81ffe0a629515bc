// Poster-frame thumbnails per second of 1080p H.264 movies: ours (the frame at a time decoded
// by FFmpeg, scaled and stored as the catalog's JPEG picture, one thread) beside
// `ffmpegthumbnailer -s 160` and `ffmpeg -ss T -i F -frames:v 1 -vf scale=160:-1` on the same
// files in the same run, printed as ratios. All take the frame at the same time, a key frame.
//
//   movie_thumbnail_bench [--count N] [--rounds N]
//
// The movies (10 s of the ffmpeg test pattern, a key frame every 2 s) are made once under
// $TMPDIR/lyrex-bench-movies and reused.
#include "BenchPictures.h"

#include "media/kinds/CatalogThumbnail.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindEngine.h"
#include "platform/Handles.h"
#include "platform/movies/MovieSource.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace bench;

constexpr double kPosterTime = 2.0;  // 20 % of the movie, where ffmpegthumbnailer looks

std::vector<std::string> MakeMovies(const std::string& folder, int count) {
    std::filesystem::create_directories(folder);
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        std::string path = folder + "/movie" + std::to_string(i) + ".mp4";
        if (!std::filesystem::exists(path)) {
            std::string part = path + ".part.mp4";
            std::fprintf(stderr, "making %s\n", path.c_str());
            bool ok = RunQuietly({"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                                  "testsrc2=duration=10:size=1920x1080:rate=25,noise=alls=" + std::to_string(8 + i) +
                                      ":allf=t",
                                  "-c:v", "libx264", "-preset", "veryfast", "-g", "50", "-pix_fmt", "yuv420p", part});
            if (!ok || std::rename(part.c_str(), path.c_str()) != 0) {
                std::fprintf(stderr, "could not make %s\n", path.c_str());
                std::exit(1);
            }
        }
        files.push_back(path);
    }
    return files;
}

// Our poster thumbnail: the frame at the time, then the catalog's stored picture.
bool OurThumbnail(const std::string& path, int size) {
    MovieSource movie;
    if (movie.Open(path) != noErr) return false;
    GWorldPtr frame = nullptr;
    if (movie.FrameAt(kPosterTime, size * 2 + 2, &frame) != noErr) return false;
    PicHandle picture = nullptr;
    UInt32 sample = 0;
    OSErr err = KindMakeCatalogThumbnail(frame, nullptr, size, 0, nullptr, &sample, &picture);
    DisposeGWorld(frame);
    if (picture) DisposeHandle(picture);
    return err == noErr && picture;
}

struct Result {
    const char* name;
    double seconds = 0;
    int ok = 0;
};

}  // namespace

int main(int argc, char** argv) {
    int count = 6, rounds = 2, size = 160;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--count")) count = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--rounds")) rounds = std::atoi(argv[i + 1]);
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string base = std::string(tmp && *tmp ? tmp : "/tmp");
    std::vector<std::string> files = MakeMovies(base + "/lyrex-bench-movies", count);
    std::string out = base + "/lyrex-bench-movie-out";
    std::filesystem::create_directories(out);
    if (KindEngineInit(nullptr, 0, 400, 200) != noErr) return 1;

    std::vector<Result> results = {{"ours: poster frame to catalog thumbnail"},
                                   {"ffmpegthumbnailer -s 160"},
                                   {"ffmpeg -ss T -frames:v 1 -vf scale=160:-1"}};
    const std::string at = std::to_string(kPosterTime);
    for (auto& f : files) OurThumbnail(f, size);  // page cache warm for everyone
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        for (auto& f : files) results[0].ok += OurThumbnail(f, size);
        auto t1 = Clock::now();
        for (auto& f : files)
            results[1].ok += RunQuietly({"ffmpegthumbnailer", "-i", f, "-o", out + "/t.png", "-s", "160", "-t", "20%"});
        auto t2 = Clock::now();
        for (auto& f : files)
            results[2].ok += RunQuietly({"ffmpeg", "-nostdin", "-v", "error", "-threads", "1", "-ss", at, "-i", f,
                                         "-frames:v", "1", "-vf", "scale=160:-1", "-threads", "1",
                                         "-filter_threads", "1", "-y", out + "/f.jpg"});
        auto t3 = Clock::now();
        results[0].seconds += Seconds(t0, t1);
        results[1].seconds += Seconds(t1, t2);
        results[2].seconds += Seconds(t2, t3);
    }
    KindEngineShutdown();

    int runs = int(files.size()) * rounds;
    std::printf("%zu movies (1920 x 1080 H.264, 10 s), thumbnails of %d pixels at %.0f s, %d rounds\n\n",
                files.size(), size, kPosterTime, rounds);
    std::printf("%-46s %10s %10s %18s %12s\n", "", "movies/s", "ms/movie", "vs thumbnailer", "vs ffmpeg");
    double thumbnailer = runs / results[1].seconds, ffmpeg = runs / results[2].seconds;
    for (auto& r : results) {
        double rate = runs / r.seconds;
        std::printf("%-46s %10.2f %10.2f %17.2fx %11.2fx%s\n", r.name, rate, 1000.0 / rate, rate / thumbnailer,
                    rate / ffmpeg, r.ok == runs ? "" : "  (some failed)");
    }
    std::printf("\nOurs and ffmpeg decode on one thread; peer processes start once per movie and their start-up\n"
                "is part of their figures.\n");
    return 0;
}
