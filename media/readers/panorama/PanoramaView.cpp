#include "media/readers/panorama/PanoramaView.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kDegrees = M_PI / 180.0;

double PanRange(const PanoramaDescription& d) {
    const double range = double(d.maxPan) - d.minPan;
    return range > 0 && range <= 360 ? range : 360.0;
}

bool WholeCircle(const PanoramaDescription& d) { return PanRange(d) >= 360.0 - 1e-3; }

double MaxPan(const PanoramaDescription& d) {
    const double range = double(d.maxPan) - d.minPan;
    return range > 0 && range <= 360 ? d.maxPan : d.minPan + 360.0;
}

double Wrap360(double a) {
    a = std::fmod(a, 360.0);
    return a < 0 ? a + 360.0 : a;
}

struct Vec {
    double x, y, z;
};
double Dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The cube's faces in file order: the direction each faces, its right and up on the picture.
struct Face {
    Vec normal, right, up;
};
constexpr Face kFaces[6] = {
    {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},     // front
    {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},    // right
    {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},   // back
    {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},    // left
    {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},    // top: its lower edge meets the front's upper edge
    {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},    // bottom: its upper edge meets the front's lower edge
};

}  // namespace

double PanoramaPanOfColumn(const PanoramaDescription& d, int width, double column) {
    return MaxPan(d) - column / std::max(width, 1) * PanRange(d);
}

double PanoramaColumnOfPan(const PanoramaDescription& d, int width, double pan) {
    // The same direction may be named by angles 360 degrees apart: take the one at or above
    // the smallest pan of the picture.
    const double offset = WholeCircle(d) ? Wrap360(MaxPan(d) - pan) : MaxPan(d) - (Wrap360(pan - d.minPan) + d.minPan);
    return offset / PanRange(d) * width;
}

PanoramaView PanoramaClampView(const PanoramaDescription& d, PanoramaView v) {
    double fov = v.fieldOfView;
    if (d.maxFieldOfView > 0 && d.maxFieldOfView >= d.minFieldOfView)
        fov = std::clamp(fov, double(std::max(d.minFieldOfView, 0.0f)), double(d.maxFieldOfView));
    fov = std::clamp(fov, 5.0, 120.0);
    double tilt = v.tilt;
    if (d.maxTilt > d.minTilt) {
        // The whole view stays between the limits where it fits; else it is centred on them.
        const double low = d.minTilt + fov / 2, high = d.maxTilt - fov / 2;
        tilt = low <= high ? std::clamp(tilt, low, high) : (double(d.minTilt) + d.maxTilt) / 2;
    }
    tilt = std::clamp(tilt, -90.0, 90.0);
    double pan = v.pan;
    if (WholeCircle(d)) pan = Wrap360(pan - d.minPan) + d.minPan;
    else pan = std::clamp(pan, double(d.minPan), MaxPan(d));
    return PanoramaView{float(pan), float(tilt), float(fov)};
}

PanoramaView PanoramaDefaultView(const PanoramaDescription& d, GWorldPtr picture) {
    PanoramaView v{d.defaultPan, d.defaultTilt, d.defaultFieldOfView};
    if (v.fieldOfView <= 0) {
        Rect b = picture ? GetPortBounds(picture) : Rect{};
        const double w = b.right - b.left, h = b.bottom - b.top;
        double fov = 60;
        if (d.shape != kPanoramaCube && w > 0 && h > 0) {
            const double radius = w / (PanRange(d) * kDegrees);
            fov = 2 * std::atan(h / 2 / radius) / kDegrees;
        }
        v.fieldOfView = float(std::min(fov, 90.0));
    }
    return PanoramaClampView(d, v);
}

OSErr PanoramaDrawView(GWorldPtr picture, const PanoramaDescription& d, const PanoramaView& requested, GWorldPtr port,
                       const Rect* area, const RGBColor* background) {
    if (!picture || !port || !area) return paramErr;
    const PanoramaView v = PanoramaClampView(d, requested);
    PixelView src = GetGWorldPixels(picture), dst = GetGWorldPixels(port);
    if (src.depth != 32 || dst.depth != 32 || !src.base || !dst.base) return paramErr;
    const Rect portRect = GetPortBounds(port);
    const int left = std::max(area->left, portRect.left), right = std::min(area->right, portRect.right);
    const int top = std::max(area->top, portRect.top), bottom = std::min(area->bottom, portRect.bottom);
    const int w = area->right - area->left, h = area->bottom - area->top;
    if (w <= 0 || h <= 0) return paramErr;
    const std::uint32_t back = background ? 0xFF000000u | (std::uint32_t(background->red >> 8) << 16) |
                                                (std::uint32_t(background->green >> 8) << 8) | (background->blue >> 8)
                                          : 0xFF000000u;
    const double focal = (h / 2.0) / std::tan(v.fieldOfView * kDegrees / 2);
    const double ct = std::cos(v.tilt * kDegrees), st = std::sin(v.tilt * kDegrees);
    const double cp = std::cos(v.pan * kDegrees), sp = std::sin(v.pan * kDegrees);
    const bool cube = d.shape == kPanoramaCube;
    const int face = cube ? src.height : 0;
    const double radius = cube ? 0 : src.width / (PanRange(d) * kDegrees);
    auto sample = [&](int x, int y) {
        return reinterpret_cast<const std::uint32_t*>(src.base + std::ptrdiff_t(y) * src.rowBytes)[x];
    };
    LockPixels(port);
    for (int py = top; py < bottom; ++py) {
        auto* row = reinterpret_cast<std::uint32_t*>(dst.base + std::ptrdiff_t(py - portRect.top) * dst.rowBytes);
        for (int px = left; px < right; ++px) {
            // The ray through the pixel's centre, tilted, then turned by the pan (left is -x).
            const double u = px - area->left + 0.5 - w / 2.0, vv = h / 2.0 - (py - area->top + 0.5);
            const double cy = vv * ct + focal * st, cz = -vv * st + focal * ct;
            const Vec ray{u * cp - cz * sp, cy, u * sp + cz * cp};
            std::uint32_t colour = back;
            if (cube) {
                int best = 0;
                double most = -1;
                for (int f = 0; f < 6; ++f)
                    if (double dn = Dot(ray, kFaces[f].normal); dn > most) {
                        most = dn;
                        best = f;
                    }
                const double s = Dot(ray, kFaces[best].right) / most, t = -Dot(ray, kFaces[best].up) / most;
                const int fx = std::clamp(int((s + 1) / 2 * face), 0, face - 1);
                const int fy = std::clamp(int((t + 1) / 2 * face), 0, face - 1);
                colour = sample(best * face + fx, fy);
            } else {
                const double pan = std::atan2(-ray.x, ray.z) / kDegrees;
                const double level = ray.y / std::hypot(ray.x, ray.z);
                const double column = PanoramaColumnOfPan(d, src.width, pan);
                const double line = src.height / 2.0 - radius * level;
                if (column >= 0 && column < src.width && line >= 0 && line < src.height)
                    colour = sample(std::min(int(column), src.width - 1), std::min(int(line), src.height - 1));
            }
            row[px - portRect.left] = colour;
        }
    }
    UnlockPixels(port);
    return noErr;
}
