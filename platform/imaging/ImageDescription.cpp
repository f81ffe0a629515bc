#include "platform/imaging/ImageDescription.h"

#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cmath>
#include <cstring>

ImageDescription MakeImageDescription(OSType codec, const char* codecName, std::int32_t width,
                                      std::int32_t height, double hRes, double vRes,
                                      std::int16_t depth) {
    ImageDescription d{};
    d.idSize = kImageDescriptionSize;
    d.cType = codec;
    d.version = 1;
    d.revisionLevel = 1;
    d.vendor = 'appl';
    d.width = std::int16_t(std::clamp<std::int32_t>(width, 0, 32767));
    d.height = std::int16_t(std::clamp<std::int32_t>(height, 0, 32767));
    auto toFixed = [](double dpi) {
        if (!(dpi > 0) || dpi > 32767) dpi = 72;
        return Fixed(std::lround(dpi * 65536.0));
    };
    d.hRes = toFixed(hRes);
    d.vRes = toFixed(vRes);
    d.frameCount = 1;
    std::size_t n = codecName ? std::min<std::size_t>(std::strlen(codecName), 31) : 0;
    d.name[0] = static_cast<unsigned char>(n);
    if (n) std::memcpy(d.name + 1, codecName, n);
    d.depth = depth;
    d.clutID = -1;
    return d;
}

static void WriteFields(const ImageDescription& d, std::uint8_t* p) {
    WriteBE32(p + 0, std::uint32_t(d.idSize));
    WriteBE32(p + 4, d.cType);
    WriteBE32(p + 8, std::uint32_t(d.resvd1));
    WriteBE16(p + 12, std::uint16_t(d.resvd2));
    WriteBE16(p + 14, std::uint16_t(d.dataRefIndex));
    WriteBE16(p + 16, std::uint16_t(d.version));
    WriteBE16(p + 18, std::uint16_t(d.revisionLevel));
    WriteBE32(p + 20, d.vendor);
    WriteBE32(p + 24, d.temporalQuality);
    WriteBE32(p + 28, d.spatialQuality);
    WriteBE16(p + 32, std::uint16_t(d.width));
    WriteBE16(p + 34, std::uint16_t(d.height));
    WriteBE32(p + 36, std::uint32_t(d.hRes));
    WriteBE32(p + 40, std::uint32_t(d.vRes));
    WriteBE32(p + 44, std::uint32_t(d.dataSize));
    WriteBE16(p + 48, std::uint16_t(d.frameCount));
    std::memcpy(p + 50, d.name, 32);
    WriteBE16(p + 82, std::uint16_t(d.depth));
    WriteBE16(p + 84, std::uint16_t(d.clutID));
}

static void ReadFields(const std::uint8_t* p, ImageDescription* d) {
    d->idSize = std::int32_t(ReadBE32(p + 0));
    d->cType = ReadBE32(p + 4);
    d->resvd1 = std::int32_t(ReadBE32(p + 8));
    d->resvd2 = std::int16_t(ReadBE16(p + 12));
    d->dataRefIndex = std::int16_t(ReadBE16(p + 14));
    d->version = std::int16_t(ReadBE16(p + 16));
    d->revisionLevel = std::int16_t(ReadBE16(p + 18));
    d->vendor = ReadBE32(p + 20);
    d->temporalQuality = ReadBE32(p + 24);
    d->spatialQuality = ReadBE32(p + 28);
    d->width = std::int16_t(ReadBE16(p + 32));
    d->height = std::int16_t(ReadBE16(p + 34));
    d->hRes = Fixed(ReadBE32(p + 36));
    d->vRes = Fixed(ReadBE32(p + 40));
    d->dataSize = std::int32_t(ReadBE32(p + 44));
    d->frameCount = std::int16_t(ReadBE16(p + 48));
    std::memcpy(d->name, p + 50, 32);
    if (d->name[0] > 31) d->name[0] = 31;
    d->depth = std::int16_t(ReadBE16(p + 82));
    d->clutID = std::int16_t(ReadBE16(p + 84));
}

static void AppendAtoms(const ImageDescriptionRec& rec, std::vector<std::uint8_t>& out) {
    if (rec.pixelFormatExtension) {
        std::uint8_t atom[12];
        WriteBE32(atom, 12);
        WriteBE32(atom + 4, 'cspc');
        WriteBE32(atom + 8, rec.pixelFormatExtension);
        out.insert(out.end(), atom, atom + 12);
    }
}

void ImageDescriptionToBytes(const ImageDescriptionRec& rec, std::vector<std::uint8_t>& out) {
    std::vector<std::uint8_t> atoms;
    AppendAtoms(rec, atoms);
    ImageDescription d = rec.desc;
    d.idSize = kImageDescriptionSize + std::int32_t(atoms.size());
    std::size_t at = out.size();
    out.resize(at + kImageDescriptionSize);
    WriteFields(d, out.data() + at);
    out.insert(out.end(), atoms.begin(), atoms.end());
}

// Walks extension atoms (big-endian size and type) for the ones we know.
static void ReadAtoms(const std::uint8_t* p, std::size_t size, ImageDescriptionRec* rec) {
    std::size_t pos = 0;
    while (pos + 8 <= size) {
        std::uint32_t atomSize = ReadBE32(p + pos);
        OSType type = ReadBE32(p + pos + 4);
        if (atomSize < 8 || atomSize > size - pos) break;
        if (type == 'cspc' && atomSize >= 12) rec->pixelFormatExtension = ReadBE32(p + pos + 8);
        pos += atomSize;
    }
}

OSErr ImageDescriptionFromBytes(const std::uint8_t* data, std::size_t size, ImageDescriptionRec* rec,
                                std::size_t* consumed) {
    if (!data || !rec || size < std::size_t(kImageDescriptionSize)) return kBadMediaDataErr;
    *rec = ImageDescriptionRec{};
    ReadFields(data, &rec->desc);
    std::int32_t idSize = rec->desc.idSize;
    if (idSize < kImageDescriptionSize || std::size_t(idSize) > size) return kBadMediaDataErr;
    ReadAtoms(data + kImageDescriptionSize, std::size_t(idSize) - kImageDescriptionSize, rec);
    if (consumed) *consumed = std::size_t(idSize);
    return noErr;
}

ImageDescriptionHandle NewImageDescriptionHandle(const ImageDescriptionRec& rec) {
    std::vector<std::uint8_t> atoms;
    AppendAtoms(rec, atoms);
    Handle h = NewHandle(Size(kImageDescriptionSize + atoms.size()));
    if (!h) return nullptr;
    ImageDescription d = rec.desc;
    d.idSize = kImageDescriptionSize + std::int32_t(atoms.size());
    std::memcpy(*h, &d, sizeof d);
    if (!atoms.empty()) std::memcpy(*h + kImageDescriptionSize, atoms.data(), atoms.size());
    return h;
}

bool GetImageDescriptionRec(ImageDescriptionHandle h, ImageDescriptionRec* rec) {
    if (!h || !*h || !rec || GetHandleSize(h) < kImageDescriptionSize) return false;
    *rec = ImageDescriptionRec{};
    std::memcpy(&rec->desc, *h, sizeof rec->desc);
    Size size = GetHandleSize(h);
    ReadAtoms(reinterpret_cast<const std::uint8_t*>(*h) + kImageDescriptionSize,
              std::size_t(size - kImageDescriptionSize), rec);
    return true;
}
