#include "app/CatalogInfoText.h"

#include "catalog/file/CatalogRec.h"
#include "foundation/format/NumberFormat.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/TextEncoding.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

namespace {

std::string LongDate(std::time_t t) {
    std::tm local{};
    if (!localtime_r(&t, &local)) return "-";
    char buffer[128];
    const std::size_t n = std::strftime(buffer, sizeof buffer, "%A, %B %d, %Y", &local);
    return n ? std::string(buffer, n) : std::string("-");
}

}  // namespace

CatalogInfoTexts CatalogInfoTextsOf(const CatalogRec* catalog) {
    CatalogInfoTexts t;
    if (!catalog) return t;
    std::string saved;
    if (!LoadResourceStringUtf8(59446, &saved)) saved = " saved";
    t.items = std::to_string(catalog->itemCount) + " ( " + std::to_string(catalog->itemCountAtSave) + saved + " )";
    t.created = t.modified = t.size = t.location = "-";
    const std::string& path = catalog->fileSpec.path;
    if (path.empty()) return t;
    t.location = path;
    struct statx sx{};
    if (statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME | STATX_SIZE, &sx) != 0) return t;
    // File systems without a birth time give the modification time for both.
    const std::time_t born = (sx.stx_mask & STATX_BTIME) ? std::time_t(sx.stx_btime.tv_sec) : std::time_t(sx.stx_mtime.tv_sec);
    t.created = LongDate(born);
    t.modified = LongDate(std::time_t(sx.stx_mtime.tv_sec));
    if (sx.stx_size > 0) {
        Str255 size;
        FormatByteSize64(UInt32(sx.stx_size & 0xFFFFFFFFu), UInt32(sx.stx_size >> 32), size, 513);
        t.size = PStrToUtf8(size);
    }
    return t;
}
