#include "media/metadata/TiffWriter.h"

#include "media/metadata/Exif.h"
#include "media/metadata/MetaFile.h"
#include "media/metadata/Xmp.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr UInt16 kTagXmp = 700;
constexpr UInt16 kTagIptc = 0x83BB;
constexpr UInt16 kTagIptcPhotoshop = 0x8568;
constexpr std::size_t kRoomChunk = 64 * 1024;

struct Entry {
    UInt16 tag;
    UInt16 type;
    UInt32 count;
    std::uint8_t value[4];  // as stored in the file
};

// The file being edited, through a reference its owner closes.
struct TiffFile {
    SInt16 ref = 0;
    bool big = false;  // 'MM'
    UInt16 Get16(const void* p) const { return big ? ReadBE16(p) : ReadLE16(p); }
    UInt32 Get32(const void* p) const { return big ? ReadBE32(p) : ReadLE32(p); }
    void Put16(void* p, UInt16 v) const { big ? WriteBE16(p, v) : WriteLE16(p, v); }
    void Put32(void* p, UInt32 v) const { big ? WriteBE32(p, v) : WriteLE32(p, v); }

    OSErr ReadAt(SInt64 pos, void* buffer, long count) const {
        long n = count;
        OSErr err = FSReadAt(ref, pos, &n, buffer);
        return err ? err : (n == count ? OSErr(noErr) : OSErr(eofErr));
    }
    OSErr WriteAt(SInt64 pos, const void* buffer, long count) const {
        long n = count;
        OSErr err = FSWriteAt(ref, pos, &n, buffer);
        return err ? err : (n == count ? OSErr(noErr) : OSErr(dskFulErr));
    }
    OSErr Fill(SInt64 pos, UInt8 byte, std::uint64_t count) const {
        std::vector<std::uint8_t> bytes(std::min<std::uint64_t>(count, kRoomChunk), byte);
        while (count > 0) {
            long n = static_cast<long>(std::min<std::uint64_t>(count, bytes.size()));
            if (OSErr err = WriteAt(pos, bytes.data(), n)) return err;
            pos += n;
            count -= std::uint64_t(n);
        }
        return noErr;
    }
};

std::uint64_t ValueSize(UInt16 type, UInt32 count) { return std::uint64_t(TiffTypeSize(type)) * count; }

std::size_t SizeOf(Handle h) {
    Size n = h ? GetHandleSize(h) : 0;
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

// The header and first directory. kBadMediaDataErr for a file that is not a classic TIFF.
OSErr ReadDirectory(const TiffFile& f, SInt64 length, UInt32* ifdOffset, std::vector<Entry>* entries, UInt32* next) {
    std::uint8_t header[8];
    if (f.ReadAt(0, header, 8)) return kBadMediaDataErr;
    if (f.Get16(header + 2) != 42) return kBadMediaDataErr;
    *ifdOffset = f.Get32(header + 4);
    std::uint8_t countBytes[2];
    if (*ifdOffset < 8 || f.ReadAt(*ifdOffset, countBytes, 2)) return kBadMediaDataErr;
    const UInt16 count = f.Get16(countBytes);
    const SInt64 dirBytes = 12 * SInt64(count) + 4;
    if (SInt64(*ifdOffset) + 2 + dirBytes > length) return kBadMediaDataErr;
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(dirBytes));
    if (f.ReadAt(*ifdOffset + 2, raw.data(), long(raw.size()))) return kBadMediaDataErr;
    entries->clear();
    for (UInt16 i = 0; i < count; ++i) {
        const std::uint8_t* e = raw.data() + 12 * i;
        Entry entry{f.Get16(e), f.Get16(e + 2), f.Get32(e + 4), {e[8], e[9], e[10], e[11]}};
        entries->push_back(entry);
    }
    *next = f.Get32(raw.data() + 12 * count);
    return noErr;
}

}  // namespace

Handle TiffReadTagData(const FSSpec* spec, SInt64 base, UInt16 tag) {
    MetaReader file;
    if (file.Open(spec)) return nullptr;
    std::uint8_t header[8];
    if (file.ReadAt(base, header, 8)) return nullptr;
    TiffFile order;
    order.big = header[0] == 'M';
    if (!((header[0] == 'I' && header[1] == 'I') || (header[0] == 'M' && header[1] == 'M'))) return nullptr;
    const SInt64 ifd = base + order.Get32(header + 4);
    std::uint8_t countBytes[2];
    if (file.ReadAt(ifd, countBytes, 2)) return nullptr;
    const UInt16 count = order.Get16(countBytes);
    for (UInt16 i = 0; i < count; ++i) {
        std::uint8_t e[12];
        if (file.ReadAt(ifd + 2 + 12 * SInt64(i), e, 12)) return nullptr;
        if (order.Get16(e) != tag) continue;
        const std::uint64_t size = ValueSize(order.Get16(e + 2), order.Get32(e + 4));
        Handle h = nullptr;
        if (size <= 4) {
            PtrToHand(e + 8, &h, static_cast<Size>(size));
        } else if (size <= std::uint64_t(file.Length())) {
            file.ReadHandle(base + order.Get32(e + 8), static_cast<std::size_t>(size), &h);
        }
        return h;
    }
    return nullptr;
}

OSErr TiffWriteTags(const FSSpec* spec, const TiffTagUpdate* rows, long rowCount) {
    if (!spec || (rowCount > 0 && !rows) || rowCount < 0) return paramErr;
    for (long i = 0; i < rowCount; ++i) {
        const TiffTagUpdate& r = rows[i];
        if (r.size < 0 || r.pad < 0 || (r.size > 0 && (!r.data || SizeOf(r.data) < std::size_t(r.size)))) return paramErr;
    }
    SafeRewrite out;
    {
        MetaReader original;
        if (OSErr err = original.Open(spec)) return err;
        std::uint8_t order[2];
        if (original.ReadAt(0, order, 2)) return kBadMediaDataErr;
        if (!((order[0] == 'I' && order[1] == 'I') || (order[0] == 'M' && order[1] == 'M'))) return kBadMediaDataErr;
        if (OSErr err = BeginMediaRewrite(out, spec)) return err;
        if (OSErr err = CopyMetaBytes(out, original, 0, -1)) return err;
    }
    // From here on the copy is edited as the file itself would have been.
    TiffFile f;
    f.ref = out.RefNum();
    const SInt64 length = out.Written();
    std::uint8_t order[2];
    if (f.ReadAt(0, order, 2)) return kBadMediaDataErr;
    f.big = order[0] == 'M';

    UInt32 ifdOffset = 0, next = 0;
    std::vector<Entry> entries;
    if (OSErr err = ReadDirectory(f, length, &ifdOffset, &entries, &next)) return err;
    const std::size_t oldCount = entries.size();

    // Everything that may be appended (each value with its alignment byte, a grown directory)
    // must stay within 32-bit offsets.
    std::uint64_t room = 12 * std::uint64_t(oldCount + std::size_t(rowCount)) + 6 + 1;
    for (long i = 0; i < rowCount; ++i)
        if (rows[i].size > 0) room += std::uint64_t(rows[i].size) + std::uint64_t(rows[i].pad) + 1;
    if (std::uint64_t(length) + room > 0xFFFFFFFFull) return paramErr;

    SInt64 end = length;
    // Appends data and padding at an even offset at the end of the file.
    auto append = [&](const TiffTagUpdate& r, UInt32* offset) -> OSErr {
        if (end & 1) {
            if (OSErr err = f.Fill(end, 0, 1)) return err;
            ++end;
        }
        *offset = static_cast<UInt32>(end);
        if (OSErr err = f.WriteAt(end, *r.data, r.size)) return err;
        end += r.size;
        if (r.pad > 0) {
            if (OSErr err = f.Fill(end, r.fill, std::uint64_t(r.pad))) return err;
            end += r.pad;
        }
        return noErr;
    };
    // Blanks an entry's old value, unless it lies inside the entry itself.
    auto blank = [&](const Entry& e, UInt8 fill) -> OSErr {
        const std::uint64_t size = ValueSize(e.type, e.count);
        if (size <= 4) return noErr;
        const SInt64 at = f.Get32(e.value);
        if (at < 8 || std::uint64_t(at) + size > std::uint64_t(length)) return noErr;  // points nowhere we own
        return f.Fill(at, fill, size);
    };

    std::vector<UInt16> handled;
    for (long i = 0; i < rowCount; ++i) {
        const TiffTagUpdate& r = rows[i];
        bool found = false;
        for (std::size_t k = 0; k < entries.size();) {
            Entry& e = entries[k];
            if (e.tag != r.tag) {
                ++k;
                continue;
            }
            const bool again = found;
            found = true;
            if (r.size == 0 || again) {
                if (OSErr err = blank(e, 0)) return err;
                entries.erase(entries.begin() + long(k));
                continue;
            }
            const std::uint64_t oldSize = ValueSize(e.type, e.count);
            const std::uint64_t newSize = std::uint64_t(r.size) + std::uint64_t(r.pad);
            if (newSize <= 4) {
                if (OSErr err = blank(e, r.fill)) return err;
                std::memset(e.value, r.fill, 4);
                std::memcpy(e.value, *r.data, std::size_t(r.size));
            } else if (newSize > oldSize || oldSize <= 4) {
                if (OSErr err = blank(e, r.fill)) return err;
                UInt32 offset = 0;
                if (OSErr err = append(r, &offset)) return err;
                f.Put32(e.value, offset);
            } else {
                if (OSErr err = blank(e, r.fill)) return err;
                const SInt64 at = f.Get32(e.value);
                if (std::uint64_t(at) + oldSize > std::uint64_t(length)) return kBadMediaDataErr;
                if (OSErr err = f.WriteAt(at, *r.data, r.size)) return err;
            }
            e.type = r.type;
            e.count = r.count;
            ++k;
        }
        if (found || r.size == 0) continue;
        Entry e{r.tag, r.type, r.count, {}};
        if (std::uint64_t(r.size) + std::uint64_t(r.pad) <= 4) {
            std::memset(e.value, r.fill, 4);
            std::memcpy(e.value, *r.data, std::size_t(r.size));
        } else {
            UInt32 offset = 0;
            if (OSErr err = append(r, &offset)) return err;
            f.Put32(e.value, offset);
        }
        auto at = std::find_if(entries.begin(), entries.end(), [&](const Entry& x) { return x.tag > r.tag; });
        entries.insert(at, e);
    }

    // The directory: the old one blanked, the new one in its place or, grown, at the end.
    std::vector<std::uint8_t> dir(2 + 12 * entries.size() + 4);
    f.Put16(dir.data(), static_cast<UInt16>(entries.size()));
    for (std::size_t k = 0; k < entries.size(); ++k) {
        std::uint8_t* p = dir.data() + 2 + 12 * k;
        f.Put16(p, entries[k].tag);
        f.Put16(p + 2, entries[k].type);
        f.Put32(p + 4, entries[k].count);
        std::memcpy(p + 8, entries[k].value, 4);
    }
    f.Put32(dir.data() + dir.size() - 4, next);
    if (OSErr err = f.Fill(ifdOffset, 0, 12 * std::uint64_t(oldCount) + 6)) return err;
    if (entries.size() > oldCount) {
        if (end & 1) {
            if (OSErr err = f.Fill(end, 0, 1)) return err;
            ++end;
        }
        if (OSErr err = f.WriteAt(end, dir.data(), long(dir.size()))) return err;
        std::uint8_t offset[4];
        f.Put32(offset, static_cast<UInt32>(end));
        if (OSErr err = f.WriteAt(4, offset, 4)) return err;
    } else {
        if (OSErr err = f.WriteAt(ifdOffset, dir.data(), long(dir.size()))) return err;
    }
    return out.Commit();
}

OSErr TiffEmbedAnnotations(const FSSpec* spec, Handle iptc, Handle annotations) {
    Handle packet = TiffReadTagData(spec, 0, kTagXmp);
    const Handle source = annotations ? annotations : iptc;
    bool xmpRow = false;
    if (packet || annotations) {
        if (!packet) packet = NewHandle(0);
        xmpRow = packet && XmpWritePacket(packet, source, nullptr, 0) == noErr;
    }

    TiffTagUpdate rows[3] = {};
    long count = 0;
    if (xmpRow) {
        const SInt32 size = SInt32(SizeOf(packet));
        const SInt32 total = std::max<SInt32>((size + 1) & ~1, 4096);
        rows[count++] = {kTagXmp, 1, UInt32(total), packet, size, total - size, 0x20};
    }
    const SInt32 iptcSize = SInt32(SizeOf(iptc));
    const SInt32 iptcBytes = std::max<SInt32>((iptcSize + 3) & ~3, 1024);
    rows[count++] = {kTagIptc, 4, UInt32(iptcBytes / 4), iptcSize ? iptc : nullptr, iptcSize,
                     iptcSize ? iptcBytes - iptcSize : 0, 0};
    rows[count++] = {kTagIptcPhotoshop, 0, 0, nullptr, 0, 0, 0};
    OSErr err = TiffWriteTags(spec, rows, count);
    if (packet) DisposeHandle(packet);
    return err;
}
