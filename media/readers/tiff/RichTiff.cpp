#include "media/readers/tiff/RichTiff.h"

#include "foundation/interface/PixelAccess.h"
#include "foundation/text/PString.h"
#include "media/metadata/EmbeddedThumbnail.h"
#include "media/metadata/Exif.h"
#include "media/metadata/MetaFile.h"
#include "media/metadata/TiffWriter.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A bare tag item (native order) as an unsigned number: the n-th directory's value.
bool Number(UserData list, UInt16 tag, long index, UInt32* out) {
    Handle h = NewHandle(0);
    if (!h) return false;
    bool ok = GetUserData(list, h, OSType(tag), index) == noErr;
    Size size = ok ? GetHandleSize(h) : 0;
    if (size == 2) *out = ReadLE16(*h);
    else if (size == 4) *out = ReadLE32(*h);
    else ok = false;
    DisposeHandle(h);
    return ok;
}

bool Rational(UserData list, UInt16 tag, UInt32* num, UInt32* den) {
    Handle h = NewHandle(0);
    if (!h) return false;
    bool ok = GetUserData(list, h, OSType(tag), 1) == noErr && GetHandleSize(h) == 8;
    if (ok) {
        *num = ReadLE32(*h);
        *den = ReadLE32(*h + 4);
    }
    DisposeHandle(h);
    return ok;
}

struct RichTiff {
    UInt32 width = 0, height = 0, photometric = 0, unit = 0, resNum = 0, resDen = 0, yNum = 0, yDen = 0;
    UInt32 stripOffset[2] = {}, stripCount[2] = {};
};

// The tags in the order they are checked; false at the first one missing or failing.
bool ReadRichTiff(UserData list, RichTiff* t) {
    UInt32 rows = 0, compression1 = 0, compression2 = 0;
    return Number(list, 0x103, 1, &compression1) && Number(list, 0x103, 2, &compression2) && compression1 == 6 &&
           compression2 == 6 && Number(list, 0x100, 1, &t->width) && Number(list, 0x101, 1, &t->height) &&
           Number(list, 0x116, 1, &rows) && rows == t->height && Number(list, 0x106, 1, &t->photometric) &&
           Number(list, 0x128, 1, &t->unit) && Rational(list, 0x11A, &t->resNum, &t->resDen) &&
           Rational(list, 0x11B, &t->yNum, &t->yDen) && Number(list, 0x111, 1, &t->stripOffset[0]) &&
           Number(list, 0x117, 1, &t->stripCount[0]) && Number(list, 0x111, 2, &t->stripOffset[1]) &&
           Number(list, 0x117, 2, &t->stripCount[1]);
}

// Draws one JPEG strip; the file is only read.
OSErr DrawStrip(const FSSpec* spec, UInt32 offset, UInt32 count, GWorldPtr* out) {
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    std::vector<std::uint8_t> strip;
    if (OSErr err = file.ReadVector(offset, count, &strip)) return err;
    return ThumbnailFromJpegBytes(strip.data(), strip.size(), false, out);
}

UInt32 Resolution(UInt32 num, UInt32 den, UInt32 unit) {
    if (den == 0) return 0;
    if (unit == 3) return UInt32(double(num) * 2.54 / double(den));  // per centimetre
    return num / den;
}

}  // namespace

OSErr RichTiffGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* preview, UserData metadata) {
    if (!spec || !info) return paramErr;
    if (preview) *preview = nullptr;
    UserData list = metadata;
    UserData own = nullptr;
    if (!list) {
        if (OSErr err = NewUserData(&own)) return err;
        list = own;
    }
    OSErr err = TiffReadFileTags(spec, 0, list);
    RichTiff t;
    if (!err && !ReadRichTiff(list, &t)) err = kReaderDeclinesErr;
    if (own) DisposeUserData(own);
    if (err) return err;

    if (preview && t.stripOffset[1] && t.stripCount[1]) {
        if ((err = DrawStrip(spec, t.stripOffset[1], t.stripCount[1], preview))) return err;
    }
    info->width = t.width;
    info->height = t.height;
    info->resolution = Resolution(t.resNum, t.resDen, t.unit);
    info->pages = 1;
    const bool colour = t.photometric >= 2;
    info->colorSpace = colour ? 'RGB ' : 'GRAY';
    info->depth = colour ? 24 : 8;
    info->compression = ImageMemoryRatio(info->dataSize, t.width, t.height, info->depth);
    PStrFromCString(info->encoding, "TIFF (RichTIFF)");
    return noErr;
}

OSErr RichTiffMakeThumbnail(const FSSpec* spec, GWorldPtr* out) {
    if (!spec || !out) return paramErr;
    *out = nullptr;
    UserData list = nullptr;
    if (OSErr err = NewUserData(&list)) return err;
    RichTiff t;
    bool rich = TiffReadFileTags(spec, 0, list) == noErr && ReadRichTiff(list, &t);
    DisposeUserData(list);
    if (!rich) return kNoWordTextErr;
    return DrawStrip(spec, t.stripOffset[0], t.stripCount[0], out);
}

OSErr TiffSubIfdGetInfo(const FSSpec* spec, KindInfoRec* info, UserData metadata) {
    if (!spec || !info) return paramErr;
    Handle offsets = TiffReadTagData(spec, 0, 0x14A);
    if (!offsets) return kReaderDeclinesErr;
    // One or two offsets, as the file stores them; a missing second one counts as 0.
    std::uint8_t bytes[8] = {};
    const Size size = GetHandleSize(offsets);
    std::memcpy(bytes, *offsets, std::size_t(std::min<Size>(size, 8)) & ~std::size_t(3));
    DisposeHandle(offsets);

    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    std::uint8_t order = 0;
    if (OSErr err = file.ReadAt(0, &order, 1)) return err;
    file.Close();
    auto get32 = [&](const std::uint8_t* p) { return order == 'M' ? ReadBE32(p) : ReadLE32(p); };
    const UInt32 second = get32(bytes + 4);
    const UInt32 ifd = second ? second : get32(bytes);

    UserData list = nullptr;
    if (OSErr err = NewUserData(&list)) return err;
    OSErr err = TiffReadIfd(spec, 0, ifd, list);
    UInt32 width = 0, height = 0, num = 0, den = 0;
    if (!err && !(Number(list, 0x100, 1, &width) && Number(list, 0x101, 1, &height))) err = kBadMediaDataErr;
    if (!err) {
        if (Rational(list, 0x11A, &num, &den)) info->resolution = den ? num / den : 0;
        info->width = width;
        info->height = height;
        info->compression = ImageMemoryRatio(info->dataSize, width, height, info->depth);
        PStrFromCString(info->encoding, "TIFF (Camera RAW)");
    }
    DisposeUserData(list);
    (void)metadata;  // the SubIFD's tags describe the raw image, not the file's metadata
    return err;
}

OSErr TiffCameraThumbnailRefuse(const FSSpec*, GWorldPtr* out, OSType) {
    if (out) *out = nullptr;
    return kNoWordTextErr;
}
