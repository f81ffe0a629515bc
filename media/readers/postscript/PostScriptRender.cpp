#include "media/readers/postscript/PostScriptRender.h"

#include "media/imaging/Offscreen.h"

#include <ghostscript/gserrors.h>
#include <ghostscript/iapi.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kMaxSide = 4096;
constexpr double kLetterWidth = 612, kLetterHeight = 792;

std::atomic<int> gSeconds{PostScriptRenderLimits{}.seconds};
std::atomic<std::size_t> gMemory{PostScriptRenderLimits{}.memoryBytes};

int GsQuiet(void*, const char*, int len) {
    return len;
}
int GsNoInput(void*, char*, int) {
    return 0;
}

// The address space the process uses now: the child's cap is measured from it, since the
// child starts as a copy of its parent (sanitizer builds reserve a great deal up front).
std::size_t AddressSpaceNow() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return 0;
    unsigned long pages = 0;
    const int got = std::fscanf(f, "%lu", &pages);
    std::fclose(f);
    return got == 1 ? std::size_t(pages) * std::size_t(sysconf(_SC_PAGESIZE)) : 0;
}

// Runs in the child: only the interpreter, then _exit so nothing of the parent's runs twice.
[[noreturn]] void RunInterpreter(std::vector<std::string>& args, int out, int seconds, std::size_t addressCap) {
    rlimit cpu{rlim_t(seconds), rlim_t(seconds + 1)};
    setrlimit(RLIMIT_CPU, &cpu);
    if (addressCap) {
        rlimit as{rlim_t(addressCap), rlim_t(addressCap)};
        setrlimit(RLIMIT_AS, &as);
    }
    rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
    setrlimit(RLIMIT_FSIZE, &none);  // the pipe is all it may write
    signal(SIGXFSZ, SIG_DFL);
    // Ghostscript lets -dSAFER pages read and write its temporary folder: pointing that at a
    // folder that cannot exist leaves the page no folder at all. Options from the environment
    // could switch safety off, so they are dropped.
    setenv("TMPDIR", "/proc/lyrex-postscript-no-folder", 1);
    setenv("TEMP", "/proc/lyrex-postscript-no-folder", 1);
    unsetenv("GS_OPTIONS");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    void* instance = nullptr;  // must start null: a non-null pointer asks to share its context
    int code = gsapi_new_instance(&instance, nullptr);
    if (code >= 0) {
        gsapi_set_stdio(instance, GsNoInput, GsQuiet, GsQuiet);
        gsapi_set_arg_encoding(instance, GS_ARG_ENCODING_UTF8);
        code = gsapi_init_with_args(instance, int(argv.size()), argv.data());
        const int exitCode = gsapi_exit(instance);
        if (code == 0 || code == gs_error_Quit) code = exitCode;
        gsapi_delete_instance(instance);
    }
    close(out);
    _exit(code == 0 ? 0 : 1);
}

// The raw RGB image of a binary PPM ("P6", blanks and comments, width, height, 255).
struct Ppm {
    int width = 0, height = 0;
    std::size_t dataAt = 0;
};
// 1 header complete, 0 more bytes needed, -1 not a PPM we take.
int ParsePpmHeader(const std::string& b, Ppm* out) {
    if (b.size() < 2) return 0;
    if (b[0] != 'P' || b[1] != '6') return -1;
    std::size_t i = 2;
    long values[3];
    for (int v = 0; v < 3; ++v) {
        for (;;) {
            if (i >= b.size()) return 0;
            if (b[i] == '#') {
                while (i < b.size() && b[i] != '\n') ++i;
                continue;
            }
            if (b[i] == ' ' || b[i] == '\t' || b[i] == '\r' || b[i] == '\n') {
                ++i;
                continue;
            }
            break;
        }
        long n = 0;
        std::size_t digits = 0;
        while (i < b.size() && b[i] >= '0' && b[i] <= '9') {
            n = n * 10 + (b[i] - '0');
            ++i;
            if (++digits > 6) return -1;
        }
        if (i >= b.size()) return 0;
        if (digits == 0) return -1;
        values[v] = n;
    }
    if (i >= b.size()) return 0;
    ++i;  // the one blank before the data
    if (values[2] != 255 || values[0] < 1 || values[1] < 1 || values[0] > kMaxSide + 2 || values[1] > kMaxSide + 2)
        return -1;
    out->width = int(values[0]);
    out->height = int(values[1]);
    out->dataAt = i;
    return 1;
}

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", v);
    return text;
}

}  // namespace

void PostScriptSetRenderLimits(const PostScriptRenderLimits& limits) {
    gSeconds = std::max(1, limits.seconds);
    gMemory = limits.memoryBytes;
}

PostScriptRenderLimits PostScriptGetRenderLimits() {
    return {gSeconds.load(), gMemory.load()};
}

OSErr PostScriptRenderPage(const FSSpec* spec, double boxWidth, double boxHeight, int side, GWorldPtr* offscreen) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    if (!spec || spec->path.empty()) return fnfErr;
    if (access(spec->path.c_str(), R_OK) != 0) return fnfErr;
    const bool cropped = boxWidth >= 1 && boxHeight >= 1 && std::isfinite(boxWidth) && std::isfinite(boxHeight);
    const double w = cropped ? boxWidth : kLetterWidth, h = cropped ? boxHeight : kLetterHeight;
    side = std::clamp(side, 1, kMaxSide);
    const double dpi = 72.0 * side / std::max(w, h);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return ioErr;
    std::vector<std::string> args = {"lyrex-postscript", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dNOPROMPT",
                                     "-dNOPLATFONTS", "-sDEVICE=ppmraw", "-r" + Number(dpi), "-dTextAlphaBits=4",
                                     "-dGraphicsAlphaBits=4", "-dFirstPage=1", "-dLastPage=1", "-sBandListStorage=memory",
                                     "-sOutputFile=/dev/fd/" + std::to_string(fds[1])};
    if (cropped) args.push_back("-dEPSCrop");
    args.push_back("-f");
    args.push_back(spec->path);
    const int seconds = gSeconds;
    const std::size_t memory = gMemory;
    const std::size_t now = AddressSpaceNow();
    const std::size_t cap = now && memory ? now + memory : 0;

    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return ioErr;
    }
    if (child == 0) {
        close(fds[0]);
        // The output file is opened by name through /dev/fd, so this end must stay open in the
        // interpreter (close-on-exec does not matter: nothing is executed).
        RunInterpreter(args, fds[1], seconds, cap);
    }
    close(fds[1]);

    std::string bytes;
    Ppm ppm;
    int header = 0;
    std::size_t wanted = 0;
    bool complete = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{fds[0], POLLIN, 0};
        const int ready = poll(&p, 1, int(std::min<long long>(left.count(), 1000)));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) break;
        if (ready == 0) continue;
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        bytes.append(buffer, std::size_t(got));
        if (header == 0) {
            header = ParsePpmHeader(bytes, &ppm);
            if (header < 0) break;
            if (header == 1) wanted = ppm.dataAt + std::size_t(ppm.width) * std::size_t(ppm.height) * 3;
        }
        if (header == 1 && bytes.size() >= wanted) {
            complete = true;
            break;
        }
    }
    close(fds[0]);
    // The first page is all we take: whatever the child still does is stopped.
    kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!complete) return kPostScriptRenderErr;

    std::vector<std::uint8_t> rows(std::size_t(ppm.width) * std::size_t(ppm.height) * 4);
    const auto* rgb = reinterpret_cast<const std::uint8_t*>(bytes.data() + ppm.dataAt);
    for (std::size_t i = 0, n = std::size_t(ppm.width) * std::size_t(ppm.height); i < n; ++i) {
        rows[i * 4] = 0xFF;
        rows[i * 4 + 1] = rgb[i * 3];
        rows[i * 4 + 2] = rgb[i * 3 + 1];
        rows[i * 4 + 3] = rgb[i * 3 + 2];
    }
    const Rect box{0, 0, SInt16(ppm.height), SInt16(ppm.width)};
    GWorldPtr world = nullptr;
    if (OSErr err = OffscreenNew(&world, k32ARGBPixelFormat, &box)) return err;
    OffscreenWriteRows(world, rows.data(), ppm.width * 4, ppm.height);
    *offscreen = world;
    return noErr;
}
