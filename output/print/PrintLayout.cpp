#include "output/print/PrintLayout.h"

#include "foundation/format/DateFormat.h"
#include "foundation/text/Unicode.h"
#include "output/print/PrintTemplates.h"
#include "output/print/PrintText.h"
#include "platform/UiHooks.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewRec.h"

#include <algorithm>
#include <cmath>

namespace {

// A gap of 4 points between each band and the cells.
constexpr SInt16 kBandGap = 4;

SInt16 Clamp16(double v) { return SInt16(std::clamp(v, -32768.0, 32767.0)); }

std::string PText(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

bool BandUsed(const HeaderFooterBlock& b) { return b.text[0] != 0; }

}  // namespace

SInt16 PrintRoundPoints(double v) { return Clamp16(std::floor(v + 0.5)); }

OSErr PrintGetPageMetrics(const PrintJobContext& job, PrintRectD* paper, PrintRectD* printable) {
    const PrintDeviceMetrics& d = job.device;
    if (d.dpiX <= 0 || d.dpiY <= 0 || d.horzRes <= 0 || d.vertRes <= 0) return paramErr;
    if (printable) *printable = PrintRectD{0, 0, d.vertRes / d.dpiY * 72, d.horzRes / d.dpiX * 72};
    if (paper)
        *paper = PrintRectD{-d.offsetY / d.dpiY * 72, -d.offsetX / d.dpiX * 72, (d.physicalHeight - d.offsetY) / d.dpiY * 72,
                            (d.physicalWidth - d.offsetX) / d.dpiX * 72};
    return noErr;
}

OSErr PrintComputePageLayout(const PrintRectD& paperD, const PrintRectD& printable, PrintSettingsRec* s, bool metric,
                             SInt32 page, PrintPageGeometry* out) {
    if (!s || !out) return paramErr;
    *out = PrintPageGeometry();
    const bool mirrored = s->mirrorMargins && page % 2 == 0;
    out->mirrored = mirrored;
    // Unprintable edges, whole points.
    const double off[4] = {double(SInt32(-paperD.top)), double(SInt32(-paperD.left)),
                           double(SInt32(paperD.bottom - printable.bottom)), double(SInt32(paperD.right - printable.right))};
    const double factor = PrintPointsPerUnit(metric);
    double m[4];
    for (int i = 0; i < 4; ++i) m[i] = s->margins[i] * factor;
    const double printableW = printable.right - printable.left, printableH = printable.bottom - printable.top;
    // A pair that leaves no room falls back to the printer's own edges.
    if (printableW < m[kMarginLeft] + m[kMarginRight]) {
        for (int i : {int(kMarginLeft), int(kMarginRight)}) {
            m[i] = off[i];
            s->margins[i] = off[i] / factor;
        }
        UiBeep();
    }
    if (printableH < m[kMarginTop] + m[kMarginBottom]) {
        for (int i : {int(kMarginTop), int(kMarginBottom)}) {
            m[i] = off[i];
            s->margins[i] = off[i] / factor;
        }
        UiBeep();
    }
    for (int i = 0; i < 4; ++i)
        if (m[i] < off[i]) {
            m[i] = off[i];
            s->margins[i] = off[i] / factor;
        }
    const Rect paper{Clamp16(std::trunc(paperD.top)), Clamp16(std::trunc(paperD.left)), Clamp16(std::trunc(paperD.bottom)),
                     Clamp16(std::trunc(paperD.right))};
    out->paper = paper;

    Rect c;
    const PrintTemplateRec* t = s->printBox >= 2 ? GetPrintTemplate(s->printBox - 2) : nullptr;
    if (t && t->top == -1 && t->left == -1) {
        const double l = paper.left + (double(paper.right - paper.left) - t->width) / 2;
        const double tp = paper.top + (double(paper.bottom - paper.top) - t->height) / 2;
        c = Rect{PrintRoundPoints(tp), PrintRoundPoints(l), PrintRoundPoints(tp + t->height), PrintRoundPoints(l + t->width)};
    } else if (t) {
        c = Rect{PrintRoundPoints(t->top), PrintRoundPoints(t->left), PrintRoundPoints(t->top + t->height),
                 PrintRoundPoints(t->left + t->width)};
    } else {
        c = Rect{PrintRoundPoints(paper.top + m[kMarginTop]), PrintRoundPoints(paper.left + m[kMarginLeft]),
                 PrintRoundPoints(paper.bottom - m[kMarginBottom]), PrintRoundPoints(paper.right - m[kMarginRight])};
    }
    if (c.right <= c.left) c.right = SInt16(c.left + 1);
    if (c.bottom <= c.top) c.bottom = SInt16(c.top + 1);
    if (mirrored) {
        const SInt16 left = SInt16(paper.left + paper.right - c.right);
        const SInt16 right = SInt16(paper.right - (c.left - paper.left));
        c.left = left;
        c.right = right;
    }
    out->content = c;

    // Bands: the side bands of a mirrored page take each other's blocks.
    int h[4] = {0, 0, 0, 0};
    for (int b = 0; b < 4; ++b) {
        const int from = mirrored && b >= kBandLeft ? (b == kBandLeft ? kBandRight : kBandLeft) : b;
        const HeaderFooterBlock& block = s->bands[from];
        if (BandUsed(block)) h[b] = PrintBandLineHeight(block);
    }
    if (h[kBandHeader])
        out->bands[kBandHeader] = Rect{c.top, SInt16(c.left + h[2]), SInt16(c.top + h[0]), SInt16(c.right - h[3])};
    if (h[kBandFooter])
        out->bands[kBandFooter] = Rect{SInt16(c.bottom - h[1]), SInt16(c.left + h[2]), c.bottom, SInt16(c.right - h[3])};
    if (h[kBandLeft]) out->bands[kBandLeft] = Rect{c.top, c.left, c.bottom, SInt16(c.left + h[2])};
    if (h[kBandRight]) out->bands[kBandRight] = Rect{c.top, SInt16(c.right - h[3]), c.bottom, c.right};
    Rect a = c;
    if (h[kBandHeader]) a.top = SInt16(a.top + h[0] + kBandGap);
    if (h[kBandFooter]) a.bottom = SInt16(a.bottom - h[1] - kBandGap);
    if (h[kBandLeft]) a.left = SInt16(a.left + h[2] + kBandGap);
    if (h[kBandRight]) a.right = SInt16(a.right - h[3] - kBandGap);
    out->cellArea = a;
    return noErr;
}

OSErr PrintCalcPageGrid(ViewRec* view, PrintSettingsRec* s, SInt32 width, SInt32 height, PrintGrid* out) {
    if (!view || !s || !out) return paramErr;
    *out = PrintGrid();
    const UInt16 L = s->layout;
    SInt32 columns = 0, rows = 0, cellW = 0, cellH = 0;
    if (L <= kPrintMediaSheet) {
        // The view's own cell for that layout; measuring another mode must not disturb the
        // measures the view keeps for its own.
        const SInt16 lineHeight = view->lineHeight, labelWidth = view->labelWidth, colonWidth = view->colonWidth;
        const std::string measured = view->measuredFont;
        Point viewCell{0, 0};
        SInt32 vr = 0, vc = 0;
        ViewComputeLayout(view, view->catalog, UInt8(L), width, height, &viewCell, &vr, &vc);
        view->lineHeight = lineHeight;
        view->labelWidth = labelWidth;
        view->colonWidth = colonWidth;
        view->measuredFont = measured;
        PrintGridBlock& g = s->grids[L];
        if (L == kPrintContentList) {
            columns = 1;
            cellW = width;
            cellH = viewCell.v;
            rows = cellH > 0 ? height / cellH : 0;
            if (s->printLabelRow) --rows;
        } else if (g.sizing == kGridCells) {
            columns = g.columns;
            rows = g.rows;
            if (columns >= 1 && rows >= 1) {
                cellW = width / columns;
                cellH = height / rows;
            }
        } else if (g.sizing == kGridSize) {
            cellW = g.cellWidth;
            cellH = g.cellHeight;
            if (cellW > 0 && cellH > 0) {
                columns = width / cellW;
                rows = height / cellH;
            }
        } else {
            if (L == kPrintMediaSheet) {
                columns = rows = 1;
            } else {
                columns = viewCell.h > 0 ? std::max<SInt32>(1, width / viewCell.h) : 1;
                rows = viewCell.v > 0 ? std::max<SInt32>(1, height / viewCell.v) : 1;
            }
            cellW = width / columns;
            cellH = height / rows;
        }
        g.columns = UInt8(std::clamp<SInt32>(columns, 0, 255));
        g.rows = UInt8(std::clamp<SInt32>(rows, 0, 255));
        g.cellWidth = UInt16(std::clamp<SInt32>(cellW, 0, 65535));
        g.cellHeight = UInt16(std::clamp<SInt32>(cellH, 0, 65535));
    }
    const SInt32 items = ViewItemCount(view);
    if (items < 1 || columns < 1 || rows < 1 || cellW < 32 || cellH < 16) return paramErr;
    out->columns = SInt16(std::min<SInt32>(columns, 32767));
    out->rows = SInt16(std::min<SInt32>(rows, 32767));
    out->cellWidth = SInt16(std::min<SInt32>(cellW, 32767));
    out->cellHeight = SInt16(std::min<SInt32>(cellH, 32767));
    out->cellsPerPage = L == kPrintMediaSheet && s->repeatMedia ? 1 : SInt32(out->columns) * out->rows;
    out->pageCount = (items + out->cellsPerPage - 1) / out->cellsPerPage;
    return noErr;
}

OSErr PrintGetPageRange(const PrintDialogRange& r, SInt32 pageCount, SInt32* first, SInt32* last) {
    SInt32 f, l;
    if (r.pageNumbers) {
        f = r.fromPage;
        l = r.toPage;
    } else if (r.selection) {
        return paramErr;
    } else {
        f = r.minPage;
        l = r.maxPage;
    }
    if (f == 0) f = 1;
    if (f > pageCount) f = pageCount;
    if (l < f) l = f;
    if (l > pageCount) l = pageCount;
    *first = f;
    *last = l;
    return noErr;
}

bool PrintPageIsChosen(const PrintSettingsRec& s, SInt32 p) {
    switch (s.pageChoice) {
        case kPageChoiceCurrent: return SInt64(p) == SInt64(s.currentPage);
        case kPageChoiceOdd: return p % 2 == 1;
        case kPageChoiceEven: return p % 2 == 0;
        default: return true;
    }
}

SInt32 PrintPageOfCurrentItem(const ViewRec* view, SInt32 cellsPerPage) {
    if (!view || cellsPerPage < 1) return 1;
    SInt32 item = view->currentItem;
    if (item < 1) item = view->visibleCells[0] * std::max<SInt32>(view->columnCount, 1) + view->visibleCells[1] + 1;
    return std::max<SInt32>(1, (item + cellsPerPage - 1) / cellsPerPage);
}

PrintBandTexts ExpandBandText(const std::string& ansi, SInt32 page, SInt32 pageCount, const std::string& date,
                              const std::string& time, const std::string& catalogName, bool swapSides) {
    // Older texts mark the codes with single bytes.
    std::string t;
    for (unsigned char ch : ansi) {
        switch (ch) {
            case 0x1A: t += "&i"; break;
            case 0xC6: t += "&d"; break;
            case 0xBD: t += "&t"; break;
            case '#': t += "&p"; break;
            case 0xB7: t += "&n"; break;
            case 0xB8: t += "&c"; break;
            default: t += char(ch);
        }
    }
    if (t.size() > 255) t.resize(255);
    // Left to right, so that "&&" before a letter is an ampersand, never a code.
    std::string parts[3];
    std::string pending;   // Windows-1252 text not yet converted
    int part = 0;
    auto flush = [&] {
        parts[part] += AnsiToUtf8(pending);
        pending.clear();
    };
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] != '&' || i + 1 >= t.size()) {
            pending += t[i];
            continue;
        }
        const char code = t[i + 1];
        std::string value;
        bool known = true;
        switch (code) {
            case '&': pending += '&'; break;
            case 'i':
                if (part < 2) {
                    flush();
                    ++part;
                }
                break;
            case 'p': value = std::to_string(page); break;
            case 'n': value = std::to_string(pageCount); break;
            case 'd': value = date; break;
            case 't': value = time; break;
            case 'c': value = catalogName; break;
            default: known = false;
        }
        if (!known) {
            pending += t[i];
            continue;
        }
        if (!value.empty()) {
            flush();
            parts[part] += value;
        }
        ++i;
    }
    flush();
    PrintBandTexts out{parts[0], parts[1], parts[2]};
    if (swapSides) std::swap(out.left, out.right);
    return out;
}

PrintBandTexts PrintExpandHeaderText(const CatalogRec* catalog, const PrintSettingsRec& s, SInt32 page, SInt32 pageCount,
                                     int band, bool mirrored, const HeaderFooterBlock** blockOut) {
    const int from = mirrored && band >= kBandLeft ? (band == kBandLeft ? kBandRight : kBandLeft) : band;
    const HeaderFooterBlock& block = s.bands[from];
    if (blockOut) *blockOut = &block;
    Str255 d{}, tm{}, name{};
    FormatDateTime(d, 0, true, false, false);
    FormatDateTime(tm, 0, false, true, false);
    std::string time = AnsiToUtf8(PText(tm));
    time.erase(0, time.find_first_not_of(' '));
    if (catalog) CatalogGetDisplayName(catalog, name, false);
    return ExpandBandText(PText(block.text), page, pageCount, AnsiToUtf8(PText(d)), time, AnsiToUtf8(PText(name)),
                          mirrored && band <= kBandFooter);
}
