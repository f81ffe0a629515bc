// The status-bar texts of a view window and the index of a result code's message.
#include "window/view/ViewPlayback.h"

#include "catalog/tables/CatalogTables.h"
#include "foundation/format/NumberFormat.h"
#include "foundation/resources/ResourceStrings.h"
#include "window/view/ViewSelection.h"

#include <string>

namespace {

void SetText(Str255 out, const std::string& text) {
    const std::size_t n = std::min<std::size_t>(text.size(), 255);
    out[0] = UInt8(n);
    std::copy(text.begin(), text.begin() + long(n), out + 1);
}

std::string Text(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

// A byte count with its unit name from list 513.
std::string SizeWithUnit(UInt64 bytes) {
    Str255 number, unit;
    const short u = FormatByteSize64(UInt32(bytes), UInt32(bytes >> 32), number, 0);
    LoadIndexedString(unit, kByteUnitList, u);
    return Text(number) + " " + Text(unit);
}

}  // namespace

void BuildStatusText(const ViewRec* view, Str255 out) {
    out[0] = 0;
    const CatalogRec* catalog = view->catalog;
    if (!catalog || catalog->itemCount == 0) return;
    std::string text;
    auto part = [&](const std::string& p) {
        if (!text.empty()) text += "  |  ";
        text += p;
    };
    if (catalog->hiddenCount > 0) part(std::to_string(catalog->hiddenCount) + " hidden");
    const SInt32 shown = ViewItemCount(view);
    if (shown > 0) part(std::to_string(shown) + " items in list");
    const SInt32 selected = ViewCountSelected(view);
    if (selected > 0) {
        std::string p = std::to_string(selected) + " selected";
        if (selected == 1) p += " [" + std::to_string(view->currentItem) + "]";
        part(p);
    }
    SetText(out, text);
}

void BuildCatalogStatsText(const ViewRec* view, Str255 out) {
    const CatalogRec* catalog = view->catalog;
    if (!catalog || catalog->itemCount == 0) {
        SetText(out, "Empty Catalog");
        return;
    }
    std::string text = "Catalog  " + SizeWithUnit(UInt32(CatalogGetDataSize(catalog))) + "  |  Media " +
                       SizeWithUnit(CatalogGetTotalMediaSize(catalog));
    if (catalog->hiddenCount > 0 && view->statsTimer == 0 && view->statsNext > 0 && view->statsTotal != 0)
        text += " (" + SizeWithUnit(view->statsTotal) + ") ";
    SetText(out, text);
}

void BuildDropPositionText(const ViewRec* view, Str255 out, SInt32 position) {
    if (position == 1)
        SetText(out, "Dropping at top of list");
    else if (position > ViewItemCount(view))
        SetText(out, "Dropping at bottom of list");
    else
        SetText(out, "Dropping at: " + std::to_string(position >= view->currentItem ? position - 1 : position));
}

int ErrorMessageIndex(OSErr code) {
    // Row n of the table is message n of string list 131.
    static const OSErr kCodes[24] = {0,    -11005, -8969, 25,  -108,  -2003, -2048, -37,   -43, -812,  -8962, -8970,
                                     -35,  -120,   -2008, -153, -34,  -8971, -1310, -206,  -2000, -192, 24,    -54};
    if (code == -8961) code = -2003;
    for (int row = 24; row >= 2; --row)
        if (kCodes[row - 1] == code) return row;
    return 1;
}
