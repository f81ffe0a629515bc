// JPEG 2000 (JP2 files and bare codestreams) through openjpeg. A small image is taken from a
// lower resolution level, which the format keeps for that purpose.
#include "platform/imaging/codecs/ImageDecoder.h"

#include "platform/imaging/GWorld.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstring>

namespace {

struct Stream {
    ByteSource* src;
    std::uint64_t pos = 0;
};

OPJ_SIZE_T ReadFn(void* buf, OPJ_SIZE_T n, void* user) {
    auto* s = static_cast<Stream*>(user);
    std::size_t got = s->src->ReadSome(s->pos, buf, n);
    s->pos += got;
    return got ? got : OPJ_SIZE_T(-1);
}
OPJ_OFF_T SkipFn(OPJ_OFF_T n, void* user) {
    auto* s = static_cast<Stream*>(user);
    s->pos += std::uint64_t(n);
    return n;
}
OPJ_BOOL SeekFn(OPJ_OFF_T n, void* user) {
    auto* s = static_cast<Stream*>(user);
    if (n < 0 || std::uint64_t(n) > s->src->Size()) return OPJ_FALSE;
    s->pos = std::uint64_t(n);
    return OPJ_TRUE;
}
void Quiet(const char*, void*) {}

enum class Kind { None, Jp2, J2k };

Kind Detect(ByteSource& src) {
    std::uint8_t b[12];
    if (!src.ReadAt(0, b, 12)) return Kind::None;
    static const std::uint8_t jp2[12] = {0, 0, 0, 12, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    if (std::memcmp(b, jp2, 12) == 0) return Kind::Jp2;
    if (b[0] == 0xFF && b[1] == 0x4F && b[2] == 0xFF && b[3] == 0x51) return Kind::J2k;
    return Kind::None;
}

// Codec, stream and image, released together.
class Session {
public:
    Session(ByteSource& src, Kind kind) : stream_{&src} {
        codec_ = opj_create_decompress(kind == Kind::Jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
        if (!codec_) return;
        opj_set_error_handler(codec_, Quiet, nullptr);
        opj_set_warning_handler(codec_, Quiet, nullptr);
        opj_set_info_handler(codec_, Quiet, nullptr);
        opj_dparameters_t params;
        opj_set_default_decoder_parameters(&params);
        if (!opj_setup_decoder(codec_, &params)) return;
        stream = opj_stream_create(64 * 1024, OPJ_TRUE);
        if (!stream) return;
        opj_stream_set_user_data(stream, &stream_, nullptr);
        opj_stream_set_user_data_length(stream, src.Size());
        opj_stream_set_read_function(stream, ReadFn);
        opj_stream_set_skip_function(stream, SkipFn);
        opj_stream_set_seek_function(stream, SeekFn);
        ok_ = opj_read_header(stream, codec_, &image) == OPJ_TRUE && image;
    }
    ~Session() {
        if (image) opj_image_destroy(image);
        if (stream) opj_stream_destroy(stream);
        if (codec_) opj_destroy_codec(codec_);
    }
    bool ok() const { return ok_; }
    opj_codec_t* codec() const { return codec_; }
    opj_stream_t* stream = nullptr;
    opj_image_t* image = nullptr;

private:
    Stream stream_;
    opj_codec_t* codec_ = nullptr;
    bool ok_ = false;
};

std::uint8_t Sample(const opj_image_comp_t& c, std::size_t i) {
    int v = c.data[i];
    if (c.sgnd) v += 1 << (c.prec - 1);
    if (c.prec > 8) v >>= (c.prec - 8);
    else if (c.prec < 8) v <<= (8 - c.prec);
    return std::uint8_t(std::clamp(v, 0, 255));
}

class Jpeg2000Decoder : public ImageDecoder {
public:
    bool Sniff(ByteSource& src) override { return Detect(src) != Kind::None; }

    OSErr ReadInfo(ByteSource& src, std::uint32_t imageIndex, DecodedImageInfo* info) override {
        if (imageIndex != 1) return paramErr;
        Kind kind = Detect(src);
        if (kind == Kind::None) return kBadMediaDataErr;
        Session s(src, kind);
        if (!s.ok() || s.image->numcomps == 0) return kBadMediaDataErr;
        std::int64_t w = std::int64_t(s.image->x1) - s.image->x0, h = std::int64_t(s.image->y1) - s.image->y0;
        if (!DimensionsAcceptable(w, h)) return kBadMediaDataErr;
        info->width = std::int32_t(w);
        info->height = std::int32_t(h);
        info->codecType = 'mjp2';
        info->codecName = "JPEG 2000";
        std::uint32_t n = s.image->numcomps;
        info->hasAlpha = n == 2 || n >= 4;
        info->depth = n <= 2 ? 40 : n == 3 ? 24 : 32;
        if (s.image->icc_profile_buf && s.image->icc_profile_len > 0)
            info->iccProfile.assign(s.image->icc_profile_buf, s.image->icc_profile_buf + s.image->icc_profile_len);
        return noErr;
    }

    OSErr Decode(ByteSource& src, std::uint32_t imageIndex, const DecodeOptions& options,
                 RowSink& sink) override {
        if (imageIndex != 1) return paramErr;
        Kind kind = Detect(src);
        if (kind == Kind::None) return kBadMediaDataErr;
        Session s(src, kind);
        if (!s.ok() || s.image->numcomps == 0) return kBadMediaDataErr;
        std::int64_t w = std::int64_t(s.image->x1) - s.image->x0, h = std::int64_t(s.image->y1) - s.image->y0;
        if (!DimensionsAcceptable(w, h)) return kBadMediaDataErr;
        // Lower resolution levels halve the size each.
        int reduce = 0;
        if (options.wantWidth > 0 && options.wantHeight > 0) {
            opj_codestream_info_v2_t* cs = opj_get_cstr_info(s.codec());
            int levels = cs ? int(cs->m_default_tile_info.tccp_info ? cs->m_default_tile_info.tccp_info[0].numresolutions : 1) : 1;
            if (cs) opj_destroy_cstr_info(&cs);
            while (reduce + 1 < levels && ((w + (1LL << (reduce + 1)) - 1) >> (reduce + 1)) >= options.wantWidth &&
                   ((h + (1LL << (reduce + 1)) - 1) >> (reduce + 1)) >= options.wantHeight)
                ++reduce;
        }
        if (reduce > 0) opj_set_decoded_resolution_factor(s.codec(), OPJ_UINT32(reduce));
        std::int64_t outW = (w + (1LL << reduce) - 1) >> reduce, outH = (h + (1LL << reduce) - 1) >> reduce;
        if (outW * outH > kMaxBufferedPixels) return memFullErr;
        if (!opj_decode(s.codec(), s.stream, s.image) || !opj_end_decompress(s.codec(), s.stream))
            return kBadMediaDataErr;
        const opj_image_t* img = s.image;
        std::uint32_t n = img->numcomps;
        for (std::uint32_t c = 0; c < n; ++c) {
            const opj_image_comp_t& comp = img->comps[c];
            if (!comp.data || comp.prec == 0 || comp.prec > 31 || comp.w == 0 || comp.h == 0) return kBadMediaDataErr;
        }
        const opj_image_comp_t& c0 = img->comps[0];
        std::int32_t ow = std::int32_t(c0.w), oh = std::int32_t(c0.h);
        bool gray = n <= 2;
        bool keepAlpha = options.wantAlpha && (n == 2 || n >= 4);
        PixelLayout layout = gray && !keepAlpha ? PixelLayout::Gray8 : keepAlpha ? PixelLayout::BGRA32 : PixelLayout::BGRX32;
        OSErr err = sink.Begin(ow, oh, layout);
        if (err != noErr) return err;
        std::vector<std::uint8_t> row(std::size_t(ow) * LayoutBytesPerPixel(layout));
        // Components may be subsampled: each pixel takes the sample that covers it.
        auto at = [&](std::uint32_t c, std::int32_t x, std::int32_t y) {
            const opj_image_comp_t& comp = img->comps[c];
            std::uint32_t cx = std::min<std::uint32_t>(std::uint32_t(std::int64_t(x) * comp.w / ow), comp.w - 1);
            std::uint32_t cy = std::min<std::uint32_t>(std::uint32_t(std::int64_t(y) * comp.h / oh), comp.h - 1);
            return Sample(comp, std::size_t(cy) * comp.w + cx);
        };
        for (std::int32_t y = 0; y < oh; ++y) {
            for (std::int32_t x = 0; x < ow; ++x) {
                if (layout == PixelLayout::Gray8) {
                    row[std::size_t(x)] = at(0, x, y);
                    continue;
                }
                std::uint8_t* o = &row[std::size_t(x) * 4];
                if (gray) {
                    o[0] = o[1] = o[2] = at(0, x, y);
                    o[3] = keepAlpha ? at(1, x, y) : 0xFF;
                } else {
                    o[2] = at(0, x, y);
                    o[1] = at(1, x, y);
                    o[0] = at(2, x, y);
                    o[3] = keepAlpha ? at(3, x, y) : 0xFF;
                }
            }
            sink.Row(y, row.data());
        }
        return noErr;
    }
};

}  // namespace

std::unique_ptr<ImageDecoder> NewJpeg2000Decoder() {
    return std::make_unique<Jpeg2000Decoder>();
}
