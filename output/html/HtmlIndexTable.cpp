#include "output/html/HtmlIndexTable.h"

#include "output/html/HtmlExpand.h"
#include "output/html/HtmlTokens.h"

namespace {

void LowerTags(std::string* text) {
    static const char* const kTags[][2] = {{"<TABLE", "<table"}, {"</TABLE", "</table"}, {"<TD", "<td"},
                                           {"</TD", "</td"},     {"<TR", "<tr"},         {"</TR", "</tr"}};
    for (const auto& tag : kTags) {
        const std::string from = tag[0];
        for (std::size_t at = text->find(from); at != std::string::npos; at = text->find(from, at + from.size()))
            text->replace(at, from.size(), tag[1]);
    }
}

// One gallery row made of the template rows between r and e: each row's lead-in once, its
// cell part cells times.
void AppendRowBlock(const std::string& text, std::size_t r, std::size_t e, SInt32 cells, std::string* out) {
    std::size_t p = r;
    for (;;) {
        const std::size_t d = text.find("<td", p);
        if (d == std::string::npos || d >= e) break;
        const std::size_t q = text.find("</tr>", d);
        if (q == std::string::npos || q >= e) break;
        out->append(text, p, d - p);
        for (SInt32 c = 0; c < cells; ++c) out->append(text, d, q - d);
        p = q;
    }
    out->append(text, p, e - p);
}

}  // namespace

OSErr WriteGalleryIndexTable(const GalleryBuildState& state, SInt32 columns, SInt32 rows, SInt32 first, SInt32 last,
                             std::string* text) {
    LowerTags(text);
    // The item token that comes first in the table's order decides which table is the thumbnails'.
    const HtmlTokenEntry* table = HtmlTokenTable();
    std::size_t t = std::string::npos;
    int bestRow = kHtmlTokenCount;
    for (const std::string& token : CollectTemplateTokens(*text, 0, text->size())) {
        const HtmlTokenEntry* entry = LookUpTemplateToken(TokenName(token));
        if (!entry || entry->kind != kHtmlItemToken) continue;
        const int row = int(entry - table);
        if (row < bestRow) {
            bestRow = row;
            t = text->find(token);
        }
    }
    if (t == std::string::npos) return kGalleryNoTableErr;
    const std::size_t l = text->rfind("<table", t);
    if (l == std::string::npos) return kGalleryNoTableErr;
    const std::size_t e = text->find("</table>", l);
    const std::size_t r = text->find("<tr", l);
    if (e == std::string::npos || r == std::string::npos || r >= e) return kGalleryNoTableErr;

    const std::vector<std::string> tokens = CollectTemplateTokens(*text, r, e);
    std::string out = text->substr(0, r);
    for (SInt32 row = 1; row <= rows; ++row) {
        SInt32 cells = columns;
        if (row == rows && last - state.ItemCount() > 0) cells = columns - (last - state.ItemCount());
        AppendRowBlock(*text, r, e, std::max<SInt32>(0, cells), &out);
    }
    out.append(*text, e, std::string::npos);
    *text = std::move(out);
    for (const std::string& token : tokens) ExpandGalleryToken(state, first, last, text, r, token);
    return noErr;
}
