#include "media/imaging/ColorMatching.h"

#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <lcms2.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

std::mutex gDisplayLock;
std::vector<std::uint8_t> gDisplayProfile;  // empty: sRGB
unsigned gDisplayVersion = 0;               // changes whenever the display profile does

// Transforms from a source profile to the display, kept for the profiles met most recently:
// files of one camera carry the same profile, and building a transform costs more than
// applying it to a thumbnail.
struct CachedTransform {
    std::vector<std::uint8_t> profile;
    unsigned displayVersion = 0;
    cmsHTRANSFORM transform = nullptr;
};
std::mutex gCacheLock;
CachedTransform gCache[4];
unsigned gCacheNext = 0;

struct CacheCleaner {
    ~CacheCleaner() {
        for (auto& c : gCache)
            if (c.transform) cmsDeleteTransform(c.transform);
    }
} gCacheCleaner;

// lcms2 reports errors through a process-wide handler; we answer with our own results.
void QuietErrors(cmsContext, cmsUInt32Number, const char*) {}

struct QuietInstaller {
    QuietInstaller() { cmsSetLogErrorHandler(QuietErrors); }
} gQuiet;

cmsHPROFILE OpenHandleProfile(Handle h) {
    if (!h || !*h || GetHandleSize(h) < 132) return nullptr;
    return cmsOpenProfileFromMem(*h, cmsUInt32Number(GetHandleSize(h)));
}

void Progress(KindProgressProc proc, std::uintptr_t ref, SInt32 phase, SInt32 a, SInt32 b) {
    if (proc) proc(phase, a, b, ref);
}

// The description as lcms2 reads it (v2 'desc' and v4 'mluc' alike), in ASCII.
bool Description(cmsHPROFILE p, char* out, std::size_t size) {
    cmsUInt32Number n = cmsGetProfileInfoASCII(p, cmsInfoDescription, "en", "US", out, cmsUInt32Number(size));
    return n > 1 && out[0] != 0;
}

void ToPString(const char* text, std::size_t maxLen, StringPtr out) {
    std::size_t n = std::min(std::strlen(text), maxLen);
    out[0] = static_cast<unsigned char>(n);
    std::memcpy(out + 1, text, n);
}

}  // namespace

OSErr DisplayProfileSet(Handle iccProfile) {
    std::lock_guard<std::mutex> lock(gDisplayLock);
    if (!iccProfile || !*iccProfile) {
        gDisplayProfile.clear();
        ++gDisplayVersion;
        return noErr;
    }
    cmsHPROFILE p = OpenHandleProfile(iccProfile);
    if (!p) return paramErr;
    cmsCloseProfile(p);
    gDisplayProfile.assign(reinterpret_cast<std::uint8_t*>(*iccProfile),
                           reinterpret_cast<std::uint8_t*>(*iccProfile) + GetHandleSize(iccProfile));
    ++gDisplayVersion;
    return noErr;
}

bool DisplayProfileOpen(IccProfileRef* profile) {
    if (!profile) return false;
    std::lock_guard<std::mutex> lock(gDisplayLock);
    cmsHPROFILE p = gDisplayProfile.empty()
                        ? cmsCreate_sRGBProfile()
                        : cmsOpenProfileFromMem(gDisplayProfile.data(), cmsUInt32Number(gDisplayProfile.size()));
    *profile = p;
    return p != nullptr;
}

void IccProfileClose(IccProfileRef profile) {
    if (profile) cmsCloseProfile(static_cast<cmsHPROFILE>(profile));
}

bool DisplayTransformNew(IccProfileRef source, IccTransformRef* transform) {
    if (!transform) return false;
    *transform = nullptr;
    if (!source || cmsGetColorSpace(static_cast<cmsHPROFILE>(source)) != cmsSigRgbData) return false;
    IccProfileRef display = nullptr;
    if (!DisplayProfileOpen(&display)) return false;
    cmsHTRANSFORM t = cmsCreateTransform(static_cast<cmsHPROFILE>(source), TYPE_BGRA_8, static_cast<cmsHPROFILE>(display),
                                         TYPE_BGRA_8, INTENT_PERCEPTUAL, cmsFLAGS_COPY_ALPHA);
    IccProfileClose(display);
    *transform = t;
    return t != nullptr;
}

void IccTransformClose(IccTransformRef transform) {
    if (transform) cmsDeleteTransform(static_cast<cmsHTRANSFORM>(transform));
}

// Converts the world from a source profile to the display through a cached transform; false
// when the profile is not an RGB profile lcms2 can use (nothing changed then).
static bool MatchToDisplayCached(const PixelView& v, GWorldPtr world, Handle source) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(*source);
    std::size_t size = std::size_t(GetHandleSize(source));
    unsigned version;
    {
        std::lock_guard<std::mutex> lock(gDisplayLock);
        version = gDisplayVersion;
    }
    std::lock_guard<std::mutex> lock(gCacheLock);
    CachedTransform* hit = nullptr;
    for (auto& c : gCache)
        if (c.transform && c.displayVersion == version && c.profile.size() == size &&
            std::memcmp(c.profile.data(), bytes, size) == 0)
            hit = &c;
    if (!hit) {
        cmsHPROFILE src = OpenHandleProfile(source);
        if (!src) return false;
        IccTransformRef t = nullptr;
        bool made = DisplayTransformNew(src, &t);
        cmsCloseProfile(src);
        if (!made) return false;
        hit = &gCache[gCacheNext++ % 4];
        if (hit->transform) cmsDeleteTransform(hit->transform);
        hit->transform = static_cast<cmsHTRANSFORM>(t);
        hit->profile.assign(bytes, bytes + size);
        hit->displayVersion = version;
    }
    LockPixels(world);
    cmsDoTransformLineStride(hit->transform, v.base, v.base, cmsUInt32Number(v.width), cmsUInt32Number(v.height),
                             cmsUInt32Number(v.rowBytes), cmsUInt32Number(v.rowBytes), 0, 0);
    UnlockPixels(world);
    return true;
}

OSErr IccMatchOffscreen(GWorldPtr world, Handle source, Handle destination, KindProgressProc progress,
                        std::uintptr_t refCon, StringPtr name) {
    PixelView v = GetGWorldPixels(world);
    if (!v.base || v.depth != 32 || v.format == k32CMYKPixelFormat) return paramErr;
    if (source && *source && !destination) {
        Progress(progress, refCon, 0, 0, 100);
        if (!MatchToDisplayCached(v, world, source)) return paramErr;
        Progress(progress, refCon, 2, 100, 100);
        if (name) IccProfileGetInfo(source, name, nullptr);
        return noErr;
    }
    cmsHPROFILE src = nullptr, dst = nullptr;
    IccProfileRef display = nullptr;
    if (source) src = OpenHandleProfile(source);
    else if (DisplayProfileOpen(&display)) src = static_cast<cmsHPROFILE>(display), display = nullptr;
    if (destination) dst = OpenHandleProfile(destination);
    else if (DisplayProfileOpen(&display)) dst = static_cast<cmsHPROFILE>(display);
    OSErr result = paramErr;
    if (src && dst && cmsGetColorSpace(src) == cmsSigRgbData && cmsGetColorSpace(dst) == cmsSigRgbData) {
        cmsHTRANSFORM t = cmsCreateTransform(src, TYPE_BGRA_8, dst, TYPE_BGRA_8, INTENT_PERCEPTUAL, cmsFLAGS_COPY_ALPHA);
        if (t) {
            Progress(progress, refCon, 0, 0, 100);
            LockPixels(world);
            cmsDoTransformLineStride(t, v.base, v.base, cmsUInt32Number(v.width), cmsUInt32Number(v.height),
                                     cmsUInt32Number(v.rowBytes), cmsUInt32Number(v.rowBytes), 0, 0);
            UnlockPixels(world);
            cmsDeleteTransform(t);
            Progress(progress, refCon, 2, 100, 100);
            result = noErr;
            if (name && source) IccProfileGetInfo(source, name, nullptr);
        }
    }
    if (src) cmsCloseProfile(src);
    if (dst) cmsCloseProfile(dst);
    return result;
}

OSErr IccConvertToBGRA(GWorldPtr source, Handle profile, GWorldPtr* out, OSType colorSpace, StringPtr name,
                       KindProgressProc progress, std::uintptr_t refCon) {
    if (!out) return paramErr;
    *out = nullptr;
    PixelView sv = GetGWorldPixels(source);
    bool grey = colorSpace == 'GRAY';
    if (!sv.base || (grey ? sv.depth != 8 : sv.format != k32CMYKPixelFormat)) return paramErr;
    cmsHPROFILE src = OpenHandleProfile(profile);
    if (!src) return paramErr;
    if (cmsGetColorSpace(src) != (grey ? cmsSigGrayData : cmsSigCmykData)) {
        cmsCloseProfile(src);
        return paramErr;
    }
    IccProfileRef display = nullptr;
    if (!DisplayProfileOpen(&display)) {
        cmsCloseProfile(src);
        return paramErr;
    }
    // Grey worlds hold 0 for black, as TYPE_GRAY_8 does; CMYK worlds hold ink amounts, as
    // TYPE_CMYK_8 does. No inversion is needed either way.
    cmsHTRANSFORM t = cmsCreateTransform(src, grey ? TYPE_GRAY_8 : TYPE_CMYK_8, static_cast<cmsHPROFILE>(display),
                                         TYPE_BGRA_8, INTENT_PERCEPTUAL, 0);
    cmsCloseProfile(src);
    IccProfileClose(display);
    if (!t) return paramErr;
    Rect bounds = GetPortBounds(source);
    GWorldPtr world = nullptr;
    OSErr err = NewGWorldFromFormat(&world, k32BGRAPixelFormat, &bounds);
    if (err != noErr) {
        cmsDeleteTransform(t);
        return memFullErr;
    }
    PixelView dv = GetGWorldPixels(world);
    Progress(progress, refCon, 0, 0, 100);
    LockPixels(world);
    cmsDoTransformLineStride(t, sv.base, dv.base, cmsUInt32Number(sv.width), cmsUInt32Number(sv.height),
                             cmsUInt32Number(sv.rowBytes), cmsUInt32Number(dv.rowBytes), 0, 0);
    for (std::int32_t y = 0; y < dv.height; ++y)
        for (std::int32_t x = 0; x < dv.width; ++x) dv.base[y * dv.rowBytes + x * 4 + 3] = 0xFF;
    UnlockPixels(world);
    cmsDeleteTransform(t);
    Progress(progress, refCon, 2, 100, 100);
    if (name) IccProfileGetInfo(profile, name, nullptr);
    *out = world;
    return noErr;
}

bool IccProfileGetInfo(Handle profile, StringPtr name, OSType* colorSpace) {
    if (name) name[0] = 0;
    if (colorSpace) *colorSpace = 0;
    if (!profile || !*profile || GetHandleSize(profile) < 132) return false;
    if (colorSpace) *colorSpace = ReadBE32(*profile + 16);
    if (name) {
        Str255 whole;
        if (ProfileGetDescription(profile, whole)) {
            // The description is kept within 31 characters counting its terminating zero.
            name[0] = std::min<unsigned char>(whole[0], 30);
            std::memcpy(name + 1, whole + 1, name[0]);
        }
    }
    return true;
}

bool ProfileGetDescription(Handle profile, StringPtr description) {
    if (description) description[0] = 0;
    cmsHPROFILE p = OpenHandleProfile(profile);
    if (!p) return false;
    char text[256];
    bool ok = Description(p, text, sizeof text);
    cmsCloseProfile(p);
    if (ok && description) ToPString(text, 255, description);
    return ok;
}

Handle PictFileReadProfile(const FSSpec* spec) {
    if (!spec) return nullptr;
    SInt16 ref = 0;
    if (FSpOpenDF(spec, fsRdPerm, &ref) != noErr) return nullptr;
    auto readAt = [&](SInt64 pos, void* buf, long n) {
        long count = n;
        return FSReadAt(ref, pos, &count, buf) == noErr && count == n;
    };
    Handle profile = nullptr;
    bool complete = false;
    std::uint8_t head[6];
    SInt64 pos = 0x20A;
    if (readAt(pos, head, 6) && ReadBE16(head) == 0x0011 && ReadBE16(head + 2) == 0x02FF && ReadBE16(head + 4) == 0x0C00) {
        pos += 6 + 24;
        std::vector<std::uint8_t> chunk;
        for (int guard = 0; guard < 100000; ++guard) {
            std::uint8_t op[2];
            if (!readAt(pos, op, 2) || ReadBE16(op) != 0x00A1) break;
            std::uint8_t kindSize[4];
            if (!readAt(pos + 2, kindSize, 4)) break;
            std::uint16_t kind = ReadBE16(kindSize), size = ReadBE16(kindSize + 2);
            if (size == 0) break;
            SInt64 data = pos + 6;
            // The next opcode starts on an even offset after the comment's data.
            pos = data + size + (size & 1);
            if (kind != 0xE0) {
                if (profile) break;
                continue;
            }
            if (size < 4) break;
            std::uint8_t sel[4];
            if (!readAt(data, sel, 4)) break;
            std::uint32_t selector = ReadBE32(sel);
            if (selector == 2) {
                complete = profile != nullptr;
                break;
            }
            // A second start, a continuation without a start and unknown selectors are passed over.
            if (selector > 1 || (selector == 0) == (profile != nullptr)) continue;
            chunk.resize(size - 4u);
            if (!readAt(data + 4, chunk.data(), long(chunk.size()))) break;
            if (!profile) profile = NewHandle(0);
            if (!profile || PtrAndHand(chunk.data(), profile, Size(chunk.size())) != noErr) break;
        }
    }
    FSClose(ref);
    if (!complete && profile) {
        DisposeHandle(profile);
        profile = nullptr;
    }
    return profile;
}

OSErr PixMapColorMatch(GWorldPtr world, Handle source, Handle destination, OSType, UInt8* matched,
                       KindProgressProc progress, std::uintptr_t refCon) {
    OSErr err = IccMatchOffscreen(world, source, destination, progress, refCon, nullptr);
    if (matched) *matched = err == noErr ? 1 : 0;
    return err;
}
