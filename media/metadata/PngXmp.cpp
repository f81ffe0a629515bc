#include "media/metadata/PngXmp.h"

#include "media/metadata/MetaFile.h"
#include "media/metadata/MetaValueStore.h"
#include "platform/ByteOrder.h"

#include <zlib.h>

#include <cstring>
#include <vector>

namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr char kXmpKeyword[] = "XML:com.adobe.xmp";
// No XMP packet is this large; a compressed one that inflates past it is refused.
constexpr std::size_t kMaxPacket = 64u << 20;

bool Inflate(const std::uint8_t* in, std::size_t size, std::vector<std::uint8_t>* out) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(in);
    z.avail_in = static_cast<uInt>(size);
    std::uint8_t buffer[16384];
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = buffer;
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END) break;
        out->insert(out->end(), buffer, buffer + (sizeof buffer - z.avail_out));
        if (out->size() > kMaxPacket) rc = Z_MEM_ERROR;
        if (rc == Z_OK && z.avail_in == 0 && z.avail_out != 0) break;  // input ran out
    }
    inflateEnd(&z);
    return rc == Z_STREAM_END;
}

// The text of an XMP iTXt chunk: keyword, NUL, compression flag and method, language tag and
// translated keyword (each NUL-terminated), then the text.
bool XmpFromITxt(const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>* packet) {
    const std::size_t keywordSize = sizeof kXmpKeyword;  // with its NUL
    if (data.size() <= keywordSize + 2 || std::memcmp(data.data(), kXmpKeyword, keywordSize) != 0) return false;
    const std::uint8_t compressed = data[keywordSize];
    std::size_t pos = keywordSize + 2;
    for (int field = 0; field < 2; ++field) {
        const void* nul = std::memchr(data.data() + pos, 0, data.size() - pos);
        if (!nul) return false;
        pos = static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - data.data()) + 1;
    }
    if (pos >= data.size()) return false;
    if (!compressed) {
        packet->assign(data.begin() + long(pos), data.end());
        return true;
    }
    return data[keywordSize + 1] == 0 && Inflate(data.data() + pos, data.size() - pos, packet) && !packet->empty();
}

}  // namespace

OSErr ScanXmpPacket(const FSSpec* spec, UserData metadata) {
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    std::uint8_t signature[8];
    if (OSErr err = file.ReadAt(0, signature, 8)) return err == eofErr ? OSErr(kBadMediaDataErr) : err;
    if (std::memcmp(signature, kPngSignature, 8) != 0) return kBadMediaDataErr;
    SInt64 pos = 8;
    while (true) {
        std::uint8_t head[8];
        if (OSErr err = file.ReadAt(pos, head, 8)) return err;
        const std::uint32_t length = ReadBE32(head);
        const OSType type = ReadBE32(head + 4);
        pos += 8;
        // The length must fit what is left of the file (with the CRC) before anything is read.
        if (!file.Fits(pos, std::uint64_t(length) + 4)) return eofErr;
        if (type == 'iTXt' && length > 0) {
            std::vector<std::uint8_t> data, packet;
            if (OSErr err = file.ReadVector(pos, length, &data)) return err;
            if (metadata && XmpFromITxt(data, &packet))
                if (OSErr err = AppendToMetaList(metadata, 'XMP ', packet.data(), long(packet.size()))) return err;
        }
        pos += SInt64(length) + 4;
        if (type == 'IEND') return noErr;
    }
}
