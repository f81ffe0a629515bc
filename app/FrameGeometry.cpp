#include "app/FrameGeometry.h"

#include <algorithm>
#include <climits>

namespace {

long long Overlap(const ScreenRect& a, const ScreenRect& b) {
    const long long w = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
    const long long h = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

long long CentreDistance(const ScreenRect& a, const ScreenRect& b) {
    const long long dx = (2LL * a.x + a.width) - (2LL * b.x + b.width);
    const long long dy = (2LL * a.y + a.height) - (2LL * b.y + b.height);
    return dx * dx + dy * dy;
}

}  // namespace

const ScreenRect* NearestWorkArea(const ScreenRect& rect, const std::vector<ScreenRect>& workAreas) {
    const ScreenRect* best = nullptr;
    long long bestOverlap = 0;
    for (const ScreenRect& area : workAreas) {
        const long long o = Overlap(rect, area);
        if (o > bestOverlap) {
            bestOverlap = o;
            best = &area;
        }
    }
    if (best) return best;
    long long bestDistance = LLONG_MAX;
    for (const ScreenRect& area : workAreas) {
        const long long d = CentreDistance(rect, area);
        if (d < bestDistance) {
            bestDistance = d;
            best = &area;
        }
    }
    return best;
}

ScreenRect KeepInside(const ScreenRect& rect, const ScreenRect& area) {
    ScreenRect r = rect;
    r.width = std::min(r.width, area.width);
    r.height = std::min(r.height, area.height);
    if (r.x < area.x) r.x = area.x;
    if (r.y < area.y) r.y = area.y;
    if (r.x + r.width > area.x + area.width) r.x = area.x + area.width - r.width;
    if (r.y + r.height > area.y + area.height) r.y = area.y + area.height - r.height;
    return r;
}

ScreenRect PlaceFrameRect(const ScreenRect& stored, bool neverSaved, const ScreenRect* reference,
                          const std::vector<ScreenRect>& workAreas) {
    ScreenRect r = stored;
    if (neverSaved) {
        if (reference) {
            r.x = reference->x;
            r.y = reference->y;
        }
        r.x += 25;
        r.y += 25;
    }
    const ScreenRect* area = NearestWorkArea(r, workAreas);
    return area ? KeepInside(r, *area) : r;
}

std::vector<ScreenRect> TileRects(const ScreenRect& area, int count, bool across) {
    std::vector<ScreenRect> out;
    for (int i = 0; i < count; ++i) {
        ScreenRect r = area;
        if (across) {
            r.x = area.x + int(1LL * area.width * i / count);
            r.width = area.x + int(1LL * area.width * (i + 1) / count) - r.x;
        } else {
            r.y = area.y + int(1LL * area.height * i / count);
            r.height = area.y + int(1LL * area.height * (i + 1) / count) - r.y;
        }
        out.push_back(r);
    }
    return out;
}

std::vector<ScreenRect> CascadeRects(const ScreenRect& area, int count, int step) {
    std::vector<ScreenRect> out;
    const int width = area.width * 2 / 3, height = area.height * 2 / 3;
    // Steps wrap around before a window would leave the area.
    const int fit = std::max(1, std::min((area.width - width) / std::max(step, 1), (area.height - height) / std::max(step, 1)) + 1);
    for (int i = 0; i < count; ++i) {
        const int k = i % fit;
        out.push_back({area.x + k * step, area.y + k * step, width, height});
    }
    return out;
}
