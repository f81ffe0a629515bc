#include "media/presenters/Transitions.h"

#include "media/imaging/Offscreen.h"
#include "platform/imaging/Ports.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

constexpr TransitionEffect kEffects[10] = {
    {'smpt', 22, 1, 1}, {'smpt', 21, 1, 1}, {'smpt', 2, 1, 6}, {'smpt', 1, 8, 1}, {'smp2', 119, 1, 1},
    {'smp2', 101, 1, 1}, {'smpt', 1, 1, 1}, {'smpt', 2, 1, 1}, {'dslv', 0, 0, 0}, {'smp3', 201, 1, 1},
};

constexpr double kPi = 3.14159265358979323846;

// Where in the wipe (0 first .. below 1 last) a point of the tile (u, v in 0..1) is uncovered.
double WipeOrder(SInt32 id, double u, double v) {
    double p;
    switch (id) {
    case 1: p = u; break;                                              // left to right
    case 2: p = v; break;                                              // top to bottom
    case 21: p = std::fabs(u - 0.5) * 2; break;                        // opens from the middle, sideways
    case 22: p = std::fabs(v - 0.5) * 2; break;                        // opens from the middle, up and down
    case 101: p = std::max(std::fabs(u - 0.5), std::fabs(v - 0.5)) * 2; break;  // a growing box
    case 119: p = std::hypot(u - 0.5, v - 0.5) / std::sqrt(0.5); break;         // a growing circle
    case 201: {                                                        // a clock hand from twelve
        double a = std::atan2(u - 0.5, 0.5 - v);
        if (a < 0) a += 2 * kPi;
        p = a / (2 * kPi);
        break;
    }
    default: p = u; break;
    }
    return std::clamp(p, 0.0, 0.999999);
}

bool SameSize(GWorldPtr a, GWorldPtr b) {
    Rect ra = GetPortBounds(a), rb = GetPortBounds(b);
    return ra.right - ra.left == rb.right - rb.left && ra.bottom - ra.top == rb.bottom - rb.top;
}

}  // namespace

bool TransitionGetEffect(SInt32 number, TransitionEffect* effect) {
    if (number < 1 || number > 10) return false;
    if (effect) *effect = kEffects[number - 1];
    return true;
}

OSErr TransitionRenderFrame(const TransitionEffect& effect, GWorldPtr source, GWorldPtr destination, double progress,
                            GWorldPtr out) {
    if (!source || !destination || !out || !SameSize(source, destination) || !SameSize(source, out)) return paramErr;
    if (GetGWorldDepth(source) != 32 || GetGWorldDepth(destination) != 32 || GetGWorldDepth(out) != 32) return paramErr;
    progress = std::clamp(progress, 0.0, 1.0);
    LockPixels(source);
    LockPixels(destination);
    LockPixels(out);
    PixelView a = GetGWorldPixels(source), b = GetGWorldPixels(destination), o = GetGWorldPixels(out);
    int repeatH = std::max<SInt32>(effect.repeatH, 1), repeatV = std::max<SInt32>(effect.repeatV, 1);
    int mix = int(std::lround(progress * 256));
    for (int y = 0; y < o.height; ++y) {
        const auto* ra = reinterpret_cast<const std::uint32_t*>(a.base + std::ptrdiff_t(y) * a.rowBytes);
        const auto* rb = reinterpret_cast<const std::uint32_t*>(b.base + std::ptrdiff_t(y) * b.rowBytes);
        auto* ro = reinterpret_cast<std::uint32_t*>(o.base + std::ptrdiff_t(y) * o.rowBytes);
        double fy = (y + 0.5) * repeatV / o.height;
        double v = fy - std::floor(fy);
        for (int x = 0; x < o.width; ++x) {
            if (effect.type == 'dslv') {
                std::uint32_t p = ra[x], q = rb[x], r = 0;
                for (int s = 0; s < 32; s += 8) {
                    int ca = int((p >> s) & 0xFF), cb = int((q >> s) & 0xFF);
                    r |= std::uint32_t((ca * (256 - mix) + cb * mix) >> 8) << s;
                }
                ro[x] = r;
                continue;
            }
            double fx = (x + 0.5) * repeatH / o.width;
            double u = fx - std::floor(fx);
            ro[x] = (progress >= 1.0 || WipeOrder(effect.wipeId, u, v) < progress) ? rb[x] : ra[x];
        }
    }
    UnlockPixels(out);
    UnlockPixels(destination);
    UnlockPixels(source);
    return noErr;
}

OSErr TransitionRun(SInt32 number, GWorldPtr source, GWorldPtr destination, const Rect* area, UInt32 duration,
                    TransitionProc callback, std::uintptr_t refCon) {
    TransitionEffect effect;
    if (!TransitionGetEffect(number, &effect)) return noErr;
    if (!source || !destination || !area) return paramErr;
    Rect frameRect{0, 0, SInt16(area->bottom - area->top), SInt16(area->right - area->left)};
    if (frameRect.bottom <= 0 || frameRect.right <= 0) return paramErr;
    // Both pictures at the area's size, then one frame world the effect draws into.
    GWorldPtr a = OffscreenScaledCopy(source, nullptr, k32BGRAPixelFormat);
    GWorldPtr b = OffscreenScaledCopy(destination, nullptr, k32BGRAPixelFormat);
    GWorldPtr sa = nullptr, sb = nullptr, frame = nullptr;
    OSErr err = (a && b) ? OSErr(noErr) : OSErr(memFullErr);
    if (err == noErr) err = OffscreenNew(&sa, k32BGRAPixelFormat, &frameRect);
    if (err == noErr) err = OffscreenNew(&sb, k32BGRAPixelFormat, &frameRect);
    if (err == noErr) err = OffscreenNew(&frame, k32BGRAPixelFormat, &frameRect);
    if (err == noErr) {
        OffscreenDrawImage(a, sa, nullptr, &frameRect, 0);
        OffscreenDrawImage(b, sb, nullptr, &frameRect, 0);
        GWorldPtr port = GetGWorld();
        if (callback) callback(0, frame, refCon);
        auto start = std::chrono::steady_clock::now();
        double length = duration ? double(duration) / 60.0 : 0.0;
        for (;;) {
            double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            double progress = length > 0 ? std::min(1.0, elapsed / length) : 1.0;
            TransitionRenderFrame(effect, sa, sb, progress, frame);
            if (port) OffscreenDrawToWindow(frame, port, &frameRect, area);
            bool stop = callback && callback(1, frame, refCon) != noErr;
            if (stop || progress >= 1.0) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1000 / 60));
        }
        if (callback) callback(2, frame, refCon);
    }
    for (GWorldPtr w : {a, b, sa, sb, frame})
        if (w) DisposeGWorld(w);
    return err;
}
