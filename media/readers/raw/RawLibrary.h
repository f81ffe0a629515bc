// The camera RAW library behind the vendor readers (Nikon, Kodak, Canon development): one
// RAW file opened through LibRaw, its facts, its embedded preview and its development into a
// 32-bit offscreen with the options those readers give (white balance, exposure, colour
// space, orientation, size, sharpening). Every RawFile owns its own library object and keeps
// no state beyond it, so files may be read on several threads at once.
//
// LibRaw's appetite is capped: files whose sensor is larger than kRawMaxPixels are refused
// before any pixel is decoded, its allocations are limited, and every development checks the
// caller's progress callback (a non-zero answer cancels with -128) and a time limit.
#pragma once

#include "media/kinds/KindEngine.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

class LibRaw;

// Larger sensors than this are not RAW files we can hold (about 3 x 200 megapixels of
// 16-bit samples once developed).
inline constexpr std::int64_t kRawMaxPixels = 200LL * 1000 * 1000;
// LibRaw's own allocation limit, in megabytes.
inline constexpr unsigned kRawMaxMemoryMB = 2048;
// A development that runs longer than this is given up (-128).
inline constexpr int kRawMaxDevelopSeconds = 120;

// What the library reads from a file's headers.
struct RawFacts {
    std::string make, model;
    UInt32 width = 0, height = 0;        // the developed picture, before any turn
    UInt32 rawWidth = 0, rawHeight = 0;  // the sensor
    int flip = 0;                        // the file's turn: 0 none, 3 half, 5 quarter left, 6 quarter right
    float iso = 0, shutter = 0, aperture = 0, focalLength = 0;
    float minFocal = 0, maxFocal = 0;
    std::time_t timestamp = 0;
    UInt32 previewWidth = 0, previewHeight = 0, previewLength = 0;
    bool previewIsJpeg = false;
    int colors = 0;
    float cameraMultipliers[4] = {};     // the white balance as shot
    std::string lens;
    int nikonCompression = 0;            // the NEF compression code of Nikon files
};

enum class RawWhiteBalance { AsShot, Automatic, Daylight };
enum class RawColorSpace { Srgb = 1, AdobeRgb = 2 };
inline constexpr int kRawFlipFromFile = -1;

struct RawDevelopOptions {
    // 0: the whole picture; otherwise the result fits in size x size (the library works at
    // half size when that is still large enough).
    SInt32 size = 0;
    RawWhiteBalance whiteBalance = RawWhiteBalance::AsShot;
    float exposureStops = 0;             // -2 .. +3
    RawColorSpace colorSpace = RawColorSpace::Srgb;
    int flip = kRawFlipFromFile;         // kRawFlipFromFile, or 0, 3, 5, 6
    bool sharpen = false;
    KindProgressProc progress = nullptr; // (1, step, steps, refCon) while developing
    std::uintptr_t refCon = 0;
};

class RawFile {
public:
    RawFile();
    ~RawFile();
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    // -43 when the file cannot be opened, -8969 when it is not a RAW file the library knows
    // or its sensor is too large, -108 when memory is short.
    OSErr Open(const FSSpec* spec);
    const RawFacts& Facts() const { return facts_; }

    // The embedded preview: JPEG bytes in a new handle, or, for a bitmap preview, a new
    // offscreen (exactly one of the two is set). -192 without a preview.
    OSErr ReadPreview(Handle* jpeg, GWorldPtr* bitmap);
    // Develops the sensor data into a new 32-bit offscreen.
    OSErr Develop(const RawDevelopOptions& options, GWorldPtr* out);

private:
    std::unique_ptr<LibRaw> raw_;
    RawFacts facts_;
    bool open_ = false;
    bool unpacked_ = false;
};

// LibRaw's result codes as the readers answer them.
OSErr RawLibraryError(int code);
