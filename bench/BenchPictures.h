// What the picture benchmarks share: camera-like test pictures, JPEG encoding, writing a made
// file so that a broken run never leaves half of it, running peer tools (alone, or side by side
// on every core as `xargs -P` does), the figures of several rounds (median, min, max), CPU
// time, bytes read, and dropping the page cache for cold runs.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

inline double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// An RGB scene with smooth light, edges and sensor noise, so that the data compresses as a photo
// does. The noise comes from *seed, which moves on.
Bytes Scene(int w, int h, int variant, std::uint32_t* seed);
// The scene shrunk to 160 x 120 by taking every n-th pixel: an EXIF thumbnail's picture.
Bytes Thumbnail160(const Bytes& rgb, int w, int h);
// JPEG bytes of an RGB image; the markers (number, payload) follow SOI in place of JFIF.
Bytes EncodeJpeg(const Bytes& rgb, int w, int h, int quality, const std::vector<std::pair<int, Bytes>>& markers = {});
// Writes the file through "<path>.part" and a rename, and says so on stderr; exits on failure.
void WriteMadeFile(const std::string& path, const Bytes& bytes);
// The ".jpg" and ".jpeg" files of a folder (any case), sorted by path.
std::vector<std::string> JpegFilesIn(const std::string& folder);
// Runs a program with an argument list (no shell), output to /dev/null; false when it failed.
bool RunQuietly(const std::vector<std::string>& args);
// Runs the command over the files through `xargs -P jobs`, each process given an equal share
// of the files (one process per share); false when any of them failed.
bool RunSideBySide(const std::vector<std::string>& command, const std::vector<std::string>& files, int jobs);

// The cores this process may run on.
int UsableCores();
// CPU seconds (user + system) of this process, and of its finished children.
double CpuSecondsSelf();
double CpuSecondsChildren();
// Bytes this process has read through system calls so far (rchar of /proc/self/io).
std::uint64_t BytesReadSoFar();
// Empties the page cache (root only); false, with the reason in *why, when it cannot.
bool DropPageCache(std::string* why);

// The figures of one contender over the rounds.
struct Figures {
    std::vector<double> values;
    void Add(double v) { values.push_back(v); }
    double Median() const;
    double Min() const;
    double Max() const;
};

}  // namespace bench
