#include "BenchPictures.h"

#include <jpeglib.h>
#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

extern char** environ;

namespace bench {

Bytes Scene(int w, int h, int variant, std::uint32_t* seed) {
    auto random = [seed] {
        *seed ^= *seed << 13;
        *seed ^= *seed >> 17;
        *seed ^= *seed << 5;
        return *seed;
    };
    Bytes rgb(std::size_t(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = &rgb[std::size_t(y) * w * 3];
        for (int x = 0; x < w; ++x) {
            int base = (x * 180 / w + y * 60 / h + variant * 23) % 256;
            int band = ((x / 97 + y / 131 + variant) & 3) * 12;
            int noise = int(random() % 17) - 8;
            p[x * 3] = std::uint8_t(std::clamp(base + band + noise, 0, 255));
            p[x * 3 + 1] = std::uint8_t(std::clamp(255 - base + noise, 0, 255));
            p[x * 3 + 2] = std::uint8_t(std::clamp(band * 3 + base / 2 + noise, 0, 255));
        }
    }
    return rgb;
}

Bytes Thumbnail160(const Bytes& rgb, int w, int h) {
    Bytes small(160 * 120 * 3);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            std::memcpy(&small[(y * 160 + x) * 3], &rgb[(std::size_t(y) * h / 120 * w + std::size_t(x) * w / 160) * 3], 3);
    return small;
}

Bytes EncodeJpeg(const Bytes& rgb, int w, int h, int quality, const std::vector<std::pair<int, Bytes>>& markers) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buf, &size);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    c.write_JFIF_header = markers.empty() ? TRUE : FALSE;
    jpeg_start_compress(&c, TRUE);
    for (auto& [marker, data] : markers) jpeg_write_marker(&c, marker, data.data(), unsigned(data.size()));
    while (c.next_scanline < c.image_height) {
        JSAMPROW row[1] = {const_cast<JSAMPROW>(rgb.data() + std::size_t(c.next_scanline) * w * 3)};
        jpeg_write_scanlines(&c, row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes out(buf, buf + size);
    std::free(buf);
    return out;
}

void WriteMadeFile(const std::string& path, const Bytes& bytes) {
    std::string tmp = path + ".part";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        std::perror(tmp.c_str());
        std::exit(1);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    std::filesystem::rename(tmp, path);
    std::fprintf(stderr, "made %s (%zu bytes)\n", path.c_str(), bytes.size());
}

std::vector<std::string> JpegFilesIn(const std::string& folder) {
    std::vector<std::string> files;
    for (auto& e : std::filesystem::directory_iterator(folder)) {
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (e.is_regular_file() && (ext == ".jpg" || ext == ".jpeg")) files.push_back(e.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool RunQuietly(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool RunSideBySide(const std::vector<std::string>& command, const std::vector<std::string>& files, int jobs) {
    if (files.empty()) return true;
    jobs = std::max(1, std::min<int>(jobs, int(files.size())));
    const std::string list = std::filesystem::temp_directory_path().string() + "/lyrex-bench-files-" +
                             std::to_string(getpid()) + ".txt";
    {
        FILE* f = std::fopen(list.c_str(), "w");
        if (!f) return false;
        for (auto& file : files) std::fprintf(f, "%s\n", file.c_str());
        std::fclose(f);
    }
    const std::size_t share = (files.size() + std::size_t(jobs) - 1) / std::size_t(jobs);
    std::vector<std::string> args = {"xargs", "-a", list, "-d", "\n", "-P", std::to_string(jobs), "-n",
                                     std::to_string(share)};
    args.insert(args.end(), command.begin(), command.end());
    bool ok = RunQuietly(args);
    std::filesystem::remove(list);
    return ok;
}

int UsableCores() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return int(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN)));
}

static double CpuSeconds(int who) {
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
double CpuSecondsSelf() { return CpuSeconds(RUSAGE_SELF); }
double CpuSecondsChildren() { return CpuSeconds(RUSAGE_CHILDREN); }

std::uint64_t BytesReadSoFar() {
    FILE* f = std::fopen("/proc/self/io", "r");
    if (!f) return 0;
    char line[128];
    std::uint64_t value = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "rchar: %" SCNu64, &value) == 1) break;
    std::fclose(f);
    return value;
}

bool DropPageCache(std::string* why) {
    sync();
    FILE* f = std::fopen("/proc/sys/vm/drop_caches", "w");
    if (!f) {
        if (why) *why = std::string("cannot open /proc/sys/vm/drop_caches: ") + std::strerror(errno);
        return false;
    }
    bool ok = std::fputs("3\n", f) >= 0;
    ok = std::fclose(f) == 0 && ok;
    if (!ok && why) *why = std::string("writing /proc/sys/vm/drop_caches failed: ") + std::strerror(errno);
    return ok;
}

double Figures::Median() const {
    if (values.empty()) return 0;
    std::vector<double> v = values;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
double Figures::Min() const { return values.empty() ? 0 : *std::min_element(values.begin(), values.end()); }
double Figures::Max() const { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }

}  // namespace bench
