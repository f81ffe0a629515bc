#include "media/readers/windows/Metafile.h"

#include "media/imaging/DibBitmap.h"
#include "platform/imaging/GWorld.h"

#include "foundation/text/Unicode.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeader = 22;
constexpr std::size_t kWmfHeader = 18;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
// The object table of a metafile never needs more slots than this; a header asking for more
// is damaged.
constexpr std::size_t kMaxObjects = 65535;
// Pictures are measured at the screen resolution the platform assumes.
constexpr int kScreenDpi = 96;
constexpr int kMaxPictureSide = 32767;

std::uint32_t Le16(std::string_view b, std::size_t at) {
    return std::uint8_t(b[at]) | (std::uint32_t(std::uint8_t(b[at + 1])) << 8);
}
std::uint32_t Le32(std::string_view b, std::size_t at) {
    return Le16(b, at) | (Le16(b, at + 2) << 16);
}
std::int32_t S16(std::string_view b, std::size_t at) {
    return std::int16_t(Le16(b, at));
}
std::int32_t S32(std::string_view b, std::size_t at) {
    return std::int32_t(Le32(b, at));
}

int ClampSide(double v) {
    if (!std::isfinite(v)) return 0;
    return int(std::clamp(std::lround(std::fabs(v)), 0L, long(kMaxPictureSide)));
}

struct Colour {
    double r = 0, g = 0, b = 0;
};
Colour FromColorRef(std::uint32_t c) {
    return {(c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0};
}

struct Pen {
    bool none = false;
    double width = 0;  // logical units; 0 draws one pixel
    Colour colour;
};
struct Brush {
    bool none = false;
    Colour colour{1, 1, 1};
};
struct Font {
    double height = 0;  // logical units; negative: the characters' height, positive: the cell's
    bool bold = false;
    bool italic = false;
    std::string face;
};
struct GdiObject {
    enum Kind { Free, PenObject, BrushObject, FontObject, Other } kind = Free;
    Pen pen;
    Brush brush;
    Font font;
};

struct DcState {
    Pen pen;
    Brush brush;
    Font font;
    Colour textColour;
    std::uint32_t textAlign = 0;  // TA_LEFT | TA_TOP
    bool winding = false;  // ALTERNATE (even-odd) until told otherwise
    bool scaled = false;   // anisotropic or isotropic mapping: the extents apply
    double winOrgX = 0, winOrgY = 0, winExtX = 1, winExtY = 1;
    double vpOrgX = 0, vpOrgY = 0, vpExtX = 1, vpExtY = 1;
};

// The drawing side shared by both record sets: a state stack, an object table and the mapping
// from logical coordinates to the output rectangle.
class Player {
public:
    Player(cairo_t* cr, bool enhanced) : cr_(cr), enhanced_(enhanced) {}

    // The last step of the mapping: device (or, for 16-bit files, window) coordinates of the
    // picture's frame onto the output rectangle.
    void SetFrame(double left, double top, double width, double height, double outW, double outH) {
        frameLeft_ = left;
        frameTop_ = top;
        sx_ = width != 0 ? outW / width : 1;
        sy_ = height != 0 ? outH / height : 1;
        outW_ = outW;
        outH_ = outH;
    }

    DcState& dc() { return dc_; }

    // 16-bit files map their window straight onto the output rectangle; enhanced files go
    // through the viewport to device units and then the frame.
    double X(double x) const {
        if (!enhanced_) return (x - dc_.winOrgX) * outW_ / dc_.winExtX;
        double d = x - dc_.winOrgX;
        if (dc_.scaled) d *= dc_.vpExtX / dc_.winExtX;
        return (d + dc_.vpOrgX - frameLeft_) * sx_;
    }
    double Y(double y) const {
        if (!enhanced_) return (y - dc_.winOrgY) * outH_ / dc_.winExtY;
        double d = y - dc_.winOrgY;
        if (dc_.scaled) d *= dc_.vpExtY / dc_.winExtY;
        return (d + dc_.vpOrgY - frameTop_) * sy_;
    }
    // Output units per logical unit.
    double ScaleX() const {
        if (!enhanced_) return std::fabs(outW_ / dc_.winExtX);
        return std::fabs(sx_ * (dc_.scaled ? dc_.vpExtX / dc_.winExtX : 1));
    }
    double ScaleY() const {
        if (!enhanced_) return std::fabs(outH_ / dc_.winExtY);
        return std::fabs(sy_ * (dc_.scaled ? dc_.vpExtY / dc_.winExtY : 1));
    }
    double LineWidth(double logical) const { return std::max(1.0, std::fabs(logical) * ScaleX()); }

    void SetWindowOrg(double x, double y) { dc_.winOrgX = x, dc_.winOrgY = y; }
    void SetWindowExt(double x, double y) {
        dc_.winExtX = x != 0 ? x : 1;
        dc_.winExtY = y != 0 ? y : 1;
    }
    void SetViewportOrg(double x, double y) { dc_.vpOrgX = x, dc_.vpOrgY = y; }
    void SetViewportExt(double x, double y) {
        dc_.vpExtX = x != 0 ? x : 1;
        dc_.vpExtY = y != 0 ? y : 1;
    }

    // 16-bit files put a new object in the first free slot; enhanced files name the slot.
    void AddObject(const GdiObject& object) {
        for (auto& slot : objects_)
            if (slot.kind == GdiObject::Free) {
                slot = object;
                return;
            }
        if (objects_.size() < kMaxObjects) objects_.push_back(object);
    }
    void PutObject(std::uint32_t index, const GdiObject& object) {
        if (index >= kMaxObjects) return;
        if (index >= objects_.size()) objects_.resize(index + 1);
        objects_[index] = object;
    }
    void SelectObject(std::uint32_t index) {
        if (enhanced_ && (index & 0x80000000u)) {
            SelectStock(index & 0x7FFFFFFFu);
            return;
        }
        if (index >= objects_.size()) return;
        const GdiObject& o = objects_[index];
        if (o.kind == GdiObject::PenObject) dc_.pen = o.pen;
        else if (o.kind == GdiObject::BrushObject) dc_.brush = o.brush;
        else if (o.kind == GdiObject::FontObject) dc_.font = o.font;
    }
    void DeleteObject(std::uint32_t index) {
        if (index < objects_.size()) objects_[index] = GdiObject{};
    }

    void Save() {
        if (saved_.size() < 1024) saved_.push_back(dc_);
    }
    // A negative count is relative to the top of the stack, a positive one an absolute level.
    void Restore(std::int32_t which) {
        if (saved_.empty()) return;
        std::size_t keep;
        if (which < 0) {
            const std::size_t up = std::size_t(-std::int64_t(which));
            if (up > saved_.size()) return;
            keep = saved_.size() - up;
        } else {
            if (which == 0 || std::size_t(which) > saved_.size()) return;
            keep = std::size_t(which) - 1;
        }
        dc_ = saved_[keep];
        saved_.resize(keep);
    }

    void MoveTo(double x, double y) { curX_ = x, curY_ = y; }
    void LineTo(double x, double y) {
        if (inPath_) {
            if (!cairo_has_current_point(cr_)) cairo_move_to(cr_, X(curX_), Y(curY_));
            cairo_line_to(cr_, X(x), Y(y));
        } else {
            cairo_new_path(cr_);
            cairo_move_to(cr_, X(curX_), Y(curY_));
            cairo_line_to(cr_, X(x), Y(y));
            Stroke();
        }
        curX_ = x, curY_ = y;
    }

    void Rectangle(double l, double t, double r, double b) {
        Begin();
        cairo_rectangle(cr_, X(l), Y(t), X(r) - X(l), Y(b) - Y(t));
        Finish(true);
    }
    void Ellipse(double l, double t, double r, double b) {
        Begin();
        const double cx = (X(l) + X(r)) / 2, cy = (Y(t) + Y(b)) / 2;
        const double rx = std::fabs(X(r) - X(l)) / 2, ry = std::fabs(Y(b) - Y(t)) / 2;
        if (rx > 0 && ry > 0) {
            cairo_save(cr_);
            cairo_translate(cr_, cx, cy);
            cairo_scale(cr_, rx, ry);
            cairo_new_sub_path(cr_);
            cairo_arc(cr_, 0, 0, 1, 0, 2 * M_PI);
            cairo_restore(cr_);
        }
        Finish(true);
    }
    void RoundRect(double l, double t, double r, double b, double w, double h) {
        Begin();
        double x0 = std::min(X(l), X(r)), x1 = std::max(X(l), X(r));
        double y0 = std::min(Y(t), Y(b)), y1 = std::max(Y(t), Y(b));
        double rx = std::min(std::fabs(w) * ScaleX() / 2, (x1 - x0) / 2), ry = std::min(std::fabs(h) * ScaleY() / 2, (y1 - y0) / 2);
        if (rx <= 0 || ry <= 0) {
            cairo_rectangle(cr_, x0, y0, x1 - x0, y1 - y0);
        } else {
            cairo_new_sub_path(cr_);
            Corner(x1 - rx, y0 + ry, rx, ry, -M_PI / 2, 0);
            Corner(x1 - rx, y1 - ry, rx, ry, 0, M_PI / 2);
            Corner(x0 + rx, y1 - ry, rx, ry, M_PI / 2, M_PI);
            Corner(x0 + rx, y0 + ry, rx, ry, M_PI, 3 * M_PI / 2);
            cairo_close_path(cr_);
        }
        Finish(true);
    }
    // One figure of points; closed figures are filled and outlined, open ones only outlined.
    void Figure(const std::vector<double>& xy, bool closed) {
        if (xy.size() < 4) return;
        cairo_move_to(cr_, X(xy[0]), Y(xy[1]));
        for (std::size_t i = 2; i + 1 < xy.size(); i += 2) cairo_line_to(cr_, X(xy[i]), Y(xy[i + 1]));
        if (closed) cairo_close_path(cr_);
    }
    void Beziers(const std::vector<double>& xy, bool fromCurrent) {
        std::size_t i = 0;
        if (!fromCurrent) {
            if (xy.size() < 2) return;
            cairo_move_to(cr_, X(xy[0]), Y(xy[1]));
            i = 2;
        } else if (!cairo_has_current_point(cr_)) {
            cairo_move_to(cr_, X(curX_), Y(curY_));
        }
        for (; i + 5 < xy.size(); i += 6)
            cairo_curve_to(cr_, X(xy[i]), Y(xy[i + 1]), X(xy[i + 2]), Y(xy[i + 3]), X(xy[i + 4]), Y(xy[i + 5]));
        if (xy.size() >= 2) curX_ = xy[xy.size() - 2], curY_ = xy[xy.size() - 1];
    }
    void Begin() {
        if (!inPath_) cairo_new_path(cr_);
    }
    void Finish(bool filled) {
        if (inPath_) return;
        if (filled) Fill(true);
        Stroke();
    }

    // Path brackets of enhanced files: figures gather until the path is filled or stroked.
    void BeginPath() {
        inPath_ = true;
        cairo_new_path(cr_);
    }
    void EndPath() {
        inPath_ = false;
        path_ = cairo_copy_path(cr_);
        cairo_new_path(cr_);
    }
    void CloseFigure() {
        if (inPath_ && cairo_has_current_point(cr_)) cairo_close_path(cr_);
    }
    void UsePath(bool fill, bool stroke) {
        if (!path_) return;
        cairo_new_path(cr_);
        cairo_append_path(cr_, path_);
        if (fill) Fill(stroke);
        if (stroke) Stroke();
        cairo_path_destroy(path_);
        path_ = nullptr;
        cairo_new_path(cr_);
    }
    ~Player() {
        if (path_) cairo_path_destroy(path_);
    }

    // Text at a reference point, placed by the alignment flags (horizontal: left 0, right 2,
    // centre 6; vertical: top 0, bottom 8, baseline 24), in the selected font and text colour.
    void DrawText(double x, double y, const std::string& utf8) {
        if (utf8.empty()) return;
        const double pixels = std::clamp(std::fabs(dc_.font.height ? dc_.font.height : 12) * ScaleY(), 1.0, 2000.0);
        PangoLayout* layout = pango_cairo_create_layout(cr_);
        PangoFontDescription* desc = pango_font_description_from_string(dc_.font.face.empty() ? "Sans" : dc_.font.face.c_str());
        pango_font_description_set_absolute_size(desc, pixels * PANGO_SCALE);
        pango_font_description_set_weight(desc, dc_.font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
        pango_font_description_set_style(desc, dc_.font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
        pango_layout_set_font_description(layout, desc);
        pango_font_description_free(desc);
        pango_layout_set_text(layout, utf8.c_str(), int(utf8.size()));
        PangoRectangle logical;
        pango_layout_get_pixel_extents(layout, nullptr, &logical);
        const double baseline = pango_layout_get_baseline(layout) / double(PANGO_SCALE);
        double left = X(x), top = Y(y);
        switch (dc_.textAlign & 6) {
        case 2: left -= logical.width; break;
        case 6: left -= logical.width / 2.0; break;
        default: break;
        }
        if ((dc_.textAlign & 24) == 24) top -= baseline;
        else if (dc_.textAlign & 8) top -= logical.height;
        cairo_save(cr_);
        cairo_new_path(cr_);
        cairo_set_source_rgb(cr_, dc_.textColour.r, dc_.textColour.g, dc_.textColour.b);
        cairo_move_to(cr_, left, top);
        pango_cairo_show_layout(cr_, layout);
        cairo_restore(cr_);
        g_object_unref(layout);
    }

    void DrawBitmap(const std::uint8_t* dib, std::size_t size, double dx, double dy, double dw, double dh, double sxSrc,
                    double sySrc, double swSrc, double shSrc) {
        OSErr err = noErr;
        GWorldPtr world = DibToOffscreen(dib, size, &err);
        if (!world) return;
        cairo_surface_t* surface = GetGWorldSurface(world);
        const double bw = cairo_image_surface_get_width(surface), bh = cairo_image_surface_get_height(surface);
        if (swSrc == 0 || shSrc == 0) swSrc = bw, shSrc = bh, sxSrc = 0, sySrc = 0;
        // Source rows count from the bitmap's bottom line in a bottom-up bitmap; the whole
        // bitmap is the common case and reads the same either way.
        if (sySrc != 0 || shSrc != bh) sySrc = bh - sySrc - shSrc;
        const double x0 = X(dx), y0 = Y(dy), x1 = X(dx + dw), y1 = Y(dy + dh);
        if (x1 != x0 && y1 != y0) {
            cairo_save(cr_);
            cairo_new_path(cr_);
            cairo_rectangle(cr_, std::min(x0, x1), std::min(y0, y1), std::fabs(x1 - x0), std::fabs(y1 - y0));
            cairo_clip(cr_);
            cairo_translate(cr_, x0, y0);
            cairo_scale(cr_, (x1 - x0) / swSrc, (y1 - y0) / shSrc);
            cairo_set_source_surface(cr_, surface, -sxSrc, -sySrc);
            cairo_pattern_set_extend(cairo_get_source(cr_), CAIRO_EXTEND_PAD);
            // Enlarged bitmaps keep their pixels sharp, as the metafile's stretch mode draws them.
            if (std::fabs(x1 - x0) >= swSrc && std::fabs(y1 - y0) >= shSrc)
                cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
            cairo_paint(cr_);
            cairo_restore(cr_);
        }
        DisposeGWorld(world);
    }

private:
    void Corner(double cx, double cy, double rx, double ry, double a0, double a1) {
        cairo_save(cr_);
        cairo_translate(cr_, cx, cy);
        cairo_scale(cr_, rx, ry);
        cairo_arc(cr_, 0, 0, 1, a0, a1);
        cairo_restore(cr_);
    }
    void Fill(bool preserve) {
        if (dc_.brush.none) return;
        cairo_set_fill_rule(cr_, dc_.winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
        cairo_set_source_rgb(cr_, dc_.brush.colour.r, dc_.brush.colour.g, dc_.brush.colour.b);
        if (preserve) cairo_fill_preserve(cr_);
        else cairo_fill(cr_);
    }
    void Stroke() {
        if (dc_.pen.none) {
            cairo_new_path(cr_);
            return;
        }
        cairo_set_source_rgb(cr_, dc_.pen.colour.r, dc_.pen.colour.g, dc_.pen.colour.b);
        cairo_set_line_width(cr_, LineWidth(dc_.pen.width));
        cairo_stroke(cr_);
    }
    void SelectStock(std::uint32_t n) {
        switch (n) {
        case 0: dc_.brush = {false, {1, 1, 1}}; break;
        case 1: dc_.brush = {false, {0.75, 0.75, 0.75}}; break;
        case 2: dc_.brush = {false, {0.5, 0.5, 0.5}}; break;
        case 3: dc_.brush = {false, {0.25, 0.25, 0.25}}; break;
        case 4: dc_.brush = {false, {0, 0, 0}}; break;
        case 5: dc_.brush.none = true; break;
        case 6: dc_.pen = {false, 0, {1, 1, 1}}; break;
        case 7: dc_.pen = {false, 0, {0, 0, 0}}; break;
        case 8: dc_.pen.none = true; break;
        default: break;
        }
    }

    cairo_t* cr_;
    bool enhanced_;
    DcState dc_;
    std::vector<DcState> saved_;
    std::vector<GdiObject> objects_;
    double frameLeft_ = 0, frameTop_ = 0, sx_ = 1, sy_ = 1, outW_ = 1, outH_ = 1;
    double curX_ = 0, curY_ = 0;
    bool inPath_ = false;
    cairo_path_t* path_ = nullptr;
};

constexpr std::uint32_t kPenNull = 5;
constexpr std::uint32_t kBrushNull = 1;

// ---- 16-bit metafiles ------------------------------------------------------------------

struct WmfLayout {
    std::size_t records = 0;  // where the records start
    bool placeable = false;
    double left = 0, top = 0, right = 0, bottom = 0;  // placeable frame, logical units
    int unitsPerInch = 0;
};

bool WmfLayoutOf(std::string_view b, bool plainToo, WmfLayout* out) {
    std::size_t at = 0;
    if (b.size() >= kPlaceableHeader && Le32(b, 0) == kPlaceableKey) {
        out->placeable = true;
        out->left = S16(b, 6);
        out->top = S16(b, 8);
        out->right = S16(b, 10);
        out->bottom = S16(b, 12);
        out->unitsPerInch = int(Le16(b, 14));
        if (out->unitsPerInch == 0) return false;
        at = kPlaceableHeader;
    } else if (!plainToo) {
        return false;
    }
    if (b.size() < at + kWmfHeader) return false;
    const std::uint32_t type = Le16(b, at), headerWords = Le16(b, at + 2);
    if ((type != 1 && type != 2) || headerWords != 9) return false;
    out->records = at + kWmfHeader;
    return true;
}

// Walks the records: fn(function, record bytes) for each whole record until the end record, a
// record that does not fit or the end of the data.
template <typename Fn>
void WalkWmf(std::string_view b, std::size_t at, Fn fn) {
    while (at + 6 <= b.size()) {
        const std::uint64_t bytes = std::uint64_t(Le32(b, at)) * 2;
        const std::uint32_t function = Le16(b, at + 4);
        if (bytes < 6 || bytes > b.size() - at || function == 0) return;
        if (!fn(function, b.substr(at, std::size_t(bytes)))) return;
        at += std::size_t(bytes);
    }
}

// A plain metafile's size is its window: the last extent and origin set before drawing.
bool PlainWindow(std::string_view b, std::size_t at, double* x, double* y, double* w, double* h) {
    bool haveExt = false;
    WalkWmf(b, at, [&](std::uint32_t function, std::string_view r) {
        if (function == 0x020B && r.size() >= 10) *y = S16(r, 6), *x = S16(r, 8);
        if (function == 0x020C && r.size() >= 10) *h = S16(r, 6), *w = S16(r, 8), haveExt = true;
        return true;
    });
    return haveExt && *w != 0 && *h != 0;
}

void PlayWmf(std::string_view b, const WmfLayout& layout, Player& p) {
    WalkWmf(b, layout.records, [&](std::uint32_t function, std::string_view r) {
        const std::size_t n = r.size();
        auto s = [&](std::size_t word) -> double { return 6 + word * 2 + 2 <= n ? S16(r, 6 + word * 2) : 0; };
        auto u = [&](std::size_t word) -> std::uint32_t { return 6 + word * 2 + 2 <= n ? Le16(r, 6 + word * 2) : 0; };
        auto u32 = [&](std::size_t word) -> std::uint32_t { return 6 + word * 2 + 4 <= n ? Le32(r, 6 + word * 2) : 0; };
        switch (function) {
        case 0x020B: p.SetWindowOrg(s(1), s(0)); break;
        case 0x020C: p.SetWindowExt(s(1), s(0)); break;
        case 0x0106: p.dc().winding = u(0) == 2; break;
        case 0x001E: p.Save(); break;
        case 0x0127: p.Restore(std::int16_t(u(0))); break;
        case 0x02FA: {  // CreatePenIndirect: style, width (x, y), colour
            GdiObject o;
            o.kind = GdiObject::PenObject;
            o.pen.none = (u(0) & 0xF) == kPenNull;
            o.pen.width = s(1);
            o.pen.colour = FromColorRef(u32(3));
            p.AddObject(o);
            break;
        }
        case 0x02FC: {  // CreateBrushIndirect: style, colour, hatch
            GdiObject o;
            o.kind = GdiObject::BrushObject;
            o.brush.none = u(0) == kBrushNull;
            o.brush.colour = FromColorRef(u32(1));
            p.AddObject(o);
            break;
        }
        case 0x02FB: {  // CreateFontIndirect: height, width, escapement, orientation, weight,
                        // italic and three more bytes, four bytes, the face name
            GdiObject o;
            o.kind = GdiObject::FontObject;
            o.font.height = s(0);
            o.font.bold = s(4) >= 600;
            o.font.italic = (u(5) & 0xFF) != 0;
            if (n > 6 + 18) {
                const std::string_view face = r.substr(6 + 18, std::min<std::size_t>(32, n - 24));
                o.font.face = AnsiToUtf8(face.substr(0, face.find('\0')));
            }
            p.AddObject(o);
            break;
        }
        case 0x0209: p.dc().textColour = FromColorRef(u32(0)); break;
        case 0x012E: p.dc().textAlign = u(0); break;
        case 0x0521: {  // TextOut: count, the text (padded to even), y, x
            const std::size_t count = u(0), padded = (count + 1) & ~std::size_t(1);
            if (8 + padded + 4 > n) break;
            p.DrawText(s(1 + padded / 2 + 1), s(1 + padded / 2), AnsiToUtf8(r.substr(8, count)));
            break;
        }
        case 0x0A32: {  // ExtTextOut: y, x, count, options, [rectangle], the text
            const std::size_t count = u(2);
            const std::size_t at = 6 + 8 + ((u(3) & 6) ? 8 : 0);
            if (at + count > n) break;
            p.DrawText(s(1), s(0), AnsiToUtf8(r.substr(at, count)));
            break;
        }
        // Objects we do not draw with still take their slot in the table.
        case 0x00F7: case 0x01F9: case 0x0142: case 0x06FF: {
            GdiObject o;
            o.kind = GdiObject::Other;
            p.AddObject(o);
            break;
        }
        case 0x012D: p.SelectObject(u(0)); break;
        case 0x01F0: p.DeleteObject(u(0)); break;
        case 0x0214: p.MoveTo(s(1), s(0)); break;
        case 0x0213: p.LineTo(s(1), s(0)); break;
        case 0x041B: p.Rectangle(s(3), s(2), s(1), s(0)); break;
        case 0x0418: p.Ellipse(s(3), s(2), s(1), s(0)); break;
        case 0x061C: p.RoundRect(s(5), s(4), s(3), s(2), s(1), s(0)); break;
        case 0x0324: case 0x0325: {  // Polygon, Polyline: count, points
            const std::size_t count = u(0);
            if (8 + count * 4 > n) break;
            std::vector<double> xy(count * 2);
            for (std::size_t i = 0; i < count * 2; ++i) xy[i] = s(1 + i);
            p.Begin();
            p.Figure(xy, function == 0x0324);
            p.Finish(function == 0x0324);
            break;
        }
        case 0x0538: {  // PolyPolygon: polygon count, the counts, then all points
            const std::size_t polygons = u(0);
            if (8 + polygons * 2 > n) break;
            std::size_t word = 1 + polygons;
            p.Begin();
            for (std::size_t k = 0; k < polygons; ++k) {
                const std::size_t count = u(1 + k);
                if (6 + (word + count * 2) * 2 > n) break;
                std::vector<double> xy(count * 2);
                for (std::size_t i = 0; i < count * 2; ++i) xy[i] = s(word + i);
                word += count * 2;
                p.Figure(xy, true);
            }
            p.Finish(true);
            break;
        }
        case 0x0F43: {  // StretchDIB: rop, usage, source h w y x, destination h w y x, bitmap
            if (n <= 28) break;
            p.DrawBitmap(reinterpret_cast<const std::uint8_t*>(r.data()) + 28, n - 28, s(10), s(9), s(8), s(7), s(6),
                         s(5), s(4), s(3));
            break;
        }
        case 0x0B41: {  // DIBStretchBlt: rop, source h w y x, destination h w y x, bitmap
            if (n <= 26) break;
            p.DrawBitmap(reinterpret_cast<const std::uint8_t*>(r.data()) + 26, n - 26, s(9), s(8), s(7), s(6), s(5),
                         s(4), s(3), s(2));
            break;
        }
        case 0x0940: {  // DIBBitBlt: rop, source y x, height, width, destination y x, bitmap
            if (n <= 22) break;
            p.DrawBitmap(reinterpret_cast<const std::uint8_t*>(r.data()) + 22, n - 22, s(7), s(6), s(5), s(4), s(3),
                         s(2), s(5), s(4));
            break;
        }
        default: break;
        }
        return true;
    });
}

// ---- enhanced metafiles ----------------------------------------------------------------

struct EmfHeader {
    double boundsL = 0, boundsT = 0, boundsR = 0, boundsB = 0;  // device units
    double frameL = 0, frameT = 0, frameR = 0, frameB = 0;      // 0.01 mm
    double devW = 0, devH = 0, mmW = 0, mmH = 0;
    std::size_t firstRecord = 0;
};

bool EmfHeaderOf(std::string_view b, EmfHeader* h) {
    if (b.size() < 88 || Le32(b, 0) != 1 || Le32(b, 40) != kEmfSignature) return false;
    const std::uint32_t size = Le32(b, 4);
    if (size < 88 || size > b.size()) return false;
    h->boundsL = S32(b, 8), h->boundsT = S32(b, 12), h->boundsR = S32(b, 16), h->boundsB = S32(b, 20);
    h->frameL = S32(b, 24), h->frameT = S32(b, 28), h->frameR = S32(b, 32), h->frameB = S32(b, 36);
    h->devW = S32(b, 72), h->devH = S32(b, 76), h->mmW = S32(b, 80), h->mmH = S32(b, 84);
    h->firstRecord = size;
    return true;
}

void PlayEmf(std::string_view b, const EmfHeader& h, Player& p) {
    std::size_t at = h.firstRecord;
    while (at + 8 <= b.size()) {
        const std::uint32_t type = Le32(b, at), size = Le32(b, at + 4);
        if (size < 8 || (size & 3) || size > b.size() - at || type == 14) return;
        const std::string_view r = b.substr(at, size);
        at += size;
        auto i32 = [&](std::size_t off) -> double { return off + 4 <= r.size() ? S32(r, off) : 0; };
        auto u32 = [&](std::size_t off) -> std::uint32_t { return off + 4 <= r.size() ? Le32(r, off) : 0; };
        // Points of a poly record: 32-bit pairs, or 16-bit pairs for the "16" records; the
        // count is checked against the record.
        auto points = [&](std::size_t countAt, bool small, std::vector<double>* xy) {
            const std::uint64_t count = u32(countAt);
            const std::size_t start = countAt + 4, each = small ? 4 : 8;
            if (count > (r.size() - std::min(r.size(), start)) / each) return false;
            xy->resize(std::size_t(count) * 2);
            for (std::size_t i = 0; i < count; ++i) {
                const std::size_t o = start + i * each;
                (*xy)[i * 2] = small ? S16(r, o) : S32(r, o);
                (*xy)[i * 2 + 1] = small ? S16(r, o + each / 2) : S32(r, o + 4);
            }
            return true;
        };
        // A pen record: the slot at 8, the style and colour at the given offsets, the width as read.
        auto putPen = [&](std::size_t styleAt, double width, std::size_t colourAt) {
            GdiObject o;
            o.kind = GdiObject::PenObject;
            o.pen.none = (u32(styleAt) & 0xF) == kPenNull;
            o.pen.width = width;
            o.pen.colour = FromColorRef(u32(colourAt));
            p.PutObject(u32(8), o);
        };
        switch (type) {
        case 9: p.SetWindowExt(i32(8), i32(12)); break;
        case 10: p.SetWindowOrg(i32(8), i32(12)); break;
        case 11: p.SetViewportExt(i32(8), i32(12)); break;
        case 12: p.SetViewportOrg(i32(8), i32(12)); break;
        case 17: p.dc().scaled = u32(8) == 7 || u32(8) == 8; break;  // anisotropic, isotropic
        case 19: p.dc().winding = u32(8) == 2; break;
        case 33: p.Save(); break;
        case 34: p.Restore(std::int32_t(u32(8))); break;
        case 37: p.SelectObject(u32(8)); break;
        case 40: p.DeleteObject(u32(8)); break;
        case 38:  // CreatePen: slot, style, width (x, y), colour
            putPen(12, i32(16), 24);
            break;
        case 95:  // ExtCreatePen: slot, bitmap offsets and sizes, style, width, brush style, colour
            putPen(28, u32(32), 40);
            break;
        case 39: {  // CreateBrushIndirect: slot, style, colour, hatch
            GdiObject o;
            o.kind = GdiObject::BrushObject;
            o.brush.none = u32(12) == kBrushNull;
            o.brush.colour = FromColorRef(u32(16));
            p.PutObject(u32(8), o);
            break;
        }
        case 82: {  // ExtCreateFontIndirectW: slot, then the font: height, width, escapement,
                    // orientation, weight, italic and seven more bytes, the face name
            GdiObject o;
            o.kind = GdiObject::FontObject;
            o.font.height = i32(12);
            o.font.bold = i32(28) >= 600;
            o.font.italic = r.size() > 32 && r[32] != 0;
            if (r.size() >= 40 + 64) {
                std::u16string face = Utf16LEBytesToUtf16(r.data() + 40, 64);
                face = face.substr(0, face.find(u'\0'));
                o.font.face = Utf16ToUtf8(face);
            }
            p.PutObject(u32(8), o);
            break;
        }
        case 24: p.dc().textColour = FromColorRef(u32(8)); break;
        case 22: p.dc().textAlign = u32(8); break;
        case 83: case 84: {  // ExtTextOutA, ExtTextOutW: the reference point, count and offset
            const std::uint64_t count = u32(44), at = u32(48);
            const std::uint64_t bytes = type == 84 ? count * 2 : count;
            if (at > r.size() || bytes > r.size() - at) break;
            const std::string text = type == 84 ? Utf16ToUtf8(Utf16LEBytesToUtf16(r.data() + at, std::size_t(bytes)))
                                                : AnsiToUtf8(r.substr(std::size_t(at), std::size_t(bytes)));
            p.DrawText(i32(36), i32(40), text);
            break;
        }
        case 49: case 93: case 94: {  // palettes, pattern brushes: a slot each
            GdiObject o;
            o.kind = GdiObject::Other;
            p.PutObject(u32(8), o);
            break;
        }
        case 27: p.MoveTo(i32(8), i32(12)); break;
        case 54: p.LineTo(i32(8), i32(12)); break;
        case 42: p.Ellipse(i32(8), i32(12), i32(16), i32(20)); break;
        case 43: p.Rectangle(i32(8), i32(12), i32(16), i32(20)); break;
        case 44: p.RoundRect(i32(8), i32(12), i32(16), i32(20), i32(24), i32(28)); break;
        case 3: case 4: case 86: case 87: case 6: case 89: {  // Polygon, Polyline, PolylineTo (32/16)
            std::vector<double> xy;
            const bool small = type == 86 || type == 87 || type == 89;
            if (!points(24, small, &xy)) break;
            const bool closed = type == 3 || type == 86;
            if (type == 6 || type == 89) {
                for (std::size_t i = 0; i + 1 < xy.size(); i += 2) p.LineTo(xy[i], xy[i + 1]);
                break;
            }
            p.Begin();
            p.Figure(xy, closed);
            p.Finish(closed);
            break;
        }
        case 2: case 5: case 85: case 88: {  // PolyBezier, PolyBezierTo (32/16)
            std::vector<double> xy;
            const bool small = type == 85 || type == 88;
            if (!points(24, small, &xy)) break;
            p.Begin();
            p.Beziers(xy, type == 5 || type == 88);
            p.Finish(false);
            break;
        }
        case 8: case 91: case 7: case 90: {  // PolyPolygon, PolyPolyline (32/16)
            const bool small = type == 90 || type == 91;
            const bool closed = type == 8 || type == 91;
            const std::uint64_t figures = u32(24), total = u32(28);
            const std::size_t each = small ? 4 : 8;
            if (figures > (r.size() - 32) / 4) break;
            const std::size_t pointsAt = 32 + std::size_t(figures) * 4;
            if (total > (r.size() - std::min(r.size(), pointsAt)) / each) break;
            std::size_t next = 0;
            p.Begin();
            for (std::size_t k = 0; k < figures; ++k) {
                const std::uint64_t count = u32(32 + k * 4);
                if (count > total - next) break;
                std::vector<double> xy(std::size_t(count) * 2);
                for (std::size_t i = 0; i < count; ++i) {
                    const std::size_t o = pointsAt + (next + i) * each;
                    xy[i * 2] = small ? S16(r, o) : S32(r, o);
                    xy[i * 2 + 1] = small ? S16(r, o + each / 2) : S32(r, o + 4);
                }
                next += std::size_t(count);
                p.Figure(xy, closed);
            }
            p.Finish(closed);
            break;
        }
        case 59: p.BeginPath(); break;
        case 60: p.EndPath(); break;
        case 61: p.CloseFigure(); break;
        case 62: p.UsePath(true, false); break;
        case 63: p.UsePath(true, true); break;
        case 64: p.UsePath(false, true); break;
        case 81: {  // StretchDIBits
            if (r.size() < 80) break;
            const std::uint32_t bmiAt = u32(48), bmiSize = u32(52), bitsAt = u32(56), bitsSize = u32(60);
            if (bmiAt < 80 || bmiSize > r.size() || bmiAt > r.size() - bmiSize || bitsAt > r.size() ||
                bitsSize > r.size() - bitsAt || bitsAt < bmiAt + bmiSize)
                break;
            // The header and the pixels, joined as one DIB (they may lie apart in the record).
            std::vector<std::uint8_t> dib(r.begin() + bmiAt, r.begin() + bmiAt + bmiSize);
            dib.insert(dib.end(), r.begin() + bitsAt, r.begin() + bitsAt + bitsSize);
            p.DrawBitmap(dib.data(), dib.size(), i32(24), i32(28), i32(72), i32(76), i32(32), i32(36), i32(40),
                         i32(44));
            break;
        }
        default: break;
        }
    }
}

// Device units of the enhanced file's frame: the frame in hundredths of a millimetre over the
// reference device's size, or the bounds when the header gives no usable device.
void EmfFrameInDevice(const EmfHeader& h, double* l, double* t, double* w, double* hgt) {
    if (h.devW > 0 && h.devH > 0 && h.mmW > 0 && h.mmH > 0 && h.frameR > h.frameL && h.frameB > h.frameT) {
        const double kx = h.devW / (h.mmW * 100), ky = h.devH / (h.mmH * 100);
        *l = h.frameL * kx, *t = h.frameT * ky;
        *w = (h.frameR - h.frameL) * kx, *hgt = (h.frameB - h.frameT) * ky;
    } else {
        *l = h.boundsL, *t = h.boundsT;
        *w = h.boundsR - h.boundsL + 1, *hgt = h.boundsB - h.boundsT + 1;
    }
}

}  // namespace

bool MetafileMeasure(std::string_view bytes, bool plainToo, MetafileFrame* out) {
    MetafileFrame f;
    EmfHeader emf;
    WmfLayout wmf;
    if (EmfHeaderOf(bytes, &emf)) {
        f.form = MetafileForm::Enhanced;
        double himW = emf.frameR - emf.frameL, himH = emf.frameB - emf.frameT;
        if (himW <= 0 || himH <= 0) {
            double l, t, w, h;
            EmfFrameInDevice(emf, &l, &t, &w, &h);
            himW = w * 2540 / kScreenDpi, himH = h * 2540 / kScreenDpi;
        }
        f.himetricWidth = int(std::clamp(himW, 0.0, 1e9));
        f.himetricHeight = int(std::clamp(himH, 0.0, 1e9));
        f.width = ClampSide(himW * kScreenDpi / 2540);
        f.height = ClampSide(himH * kScreenDpi / 2540);
    } else if (WmfLayoutOf(bytes, plainToo, &wmf)) {
        if (wmf.placeable) {
            f.form = MetafileForm::Placeable;
            const double w = std::fabs(wmf.right - wmf.left), h = std::fabs(wmf.bottom - wmf.top);
            f.himetricWidth = int(std::lround(w * 2540 / wmf.unitsPerInch));
            f.himetricHeight = int(std::lround(h * 2540 / wmf.unitsPerInch));
            f.width = ClampSide(w * kScreenDpi / wmf.unitsPerInch);
            f.height = ClampSide(h * kScreenDpi / wmf.unitsPerInch);
        } else {
            double x = 0, y = 0, w = 0, h = 0;
            if (!PlainWindow(bytes, wmf.records, &x, &y, &w, &h)) return false;
            f.form = MetafileForm::Plain;
            f.width = ClampSide(w);
            f.height = ClampSide(h);
            f.himetricWidth = int(std::lround(std::fabs(w) * 2540 / kScreenDpi));
            f.himetricHeight = int(std::lround(std::fabs(h) * 2540 / kScreenDpi));
        }
    } else {
        return false;
    }
    if (f.width < 1 || f.height < 1) return false;
    if (out) *out = f;
    return true;
}

bool MetafilePlay(std::string_view bytes, bool plainToo, cairo_t* cr, double width, double height) {
    MetafileFrame frame;
    if (!cr || !MetafileMeasure(bytes, plainToo, &frame)) return false;
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_clip(cr);
    if (frame.form == MetafileForm::Enhanced) {
        EmfHeader h;
        EmfHeaderOf(bytes, &h);
        Player p(cr, true);
        double l, t, w, hgt;
        EmfFrameInDevice(h, &l, &t, &w, &hgt);
        p.SetFrame(l, t, w, hgt, width, height);
        PlayEmf(bytes, h, p);
    } else {
        WmfLayout layout;
        WmfLayoutOf(bytes, plainToo, &layout);
        Player p(cr, false);
        double x = layout.left, y = layout.top, w = layout.right - layout.left, h = layout.bottom - layout.top;
        if (!layout.placeable) PlainWindow(bytes, layout.records, &x, &y, &w, &h);
        // The window the records set maps onto the output; until they set one, the placeable
        // frame (or the plain file's own window) stands for it.
        p.SetFrame(0, 0, 1, 1, width, height);
        p.SetWindowOrg(x, y);
        p.SetWindowExt(w, h);
        PlayWmf(bytes, layout, p);
    }
    cairo_restore(cr);
    return true;
}
