#include "platform/imaging/codecs/JpegCodec.h"

#include "platform/imaging/codecs/ImageDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace {

// libjpeg reports errors by calling error_exit, which must not return: we jump back to the
// call that started the work. Warnings (damaged but decodable data) fail the work only when
// the caller asked for strict decoding.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool strict;
};

void OnError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr cinfo, int level) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (level < 0) {
        err->pub.num_warnings++;
        if (err->strict) std::longjmp(err->jump, 1);
    }
}

void OnOutput(j_common_ptr) {}

void InstallErrors(ErrorManager& em, bool strict) {
    jpeg_std_error(&em.pub);
    em.pub.error_exit = OnError;
    em.pub.emit_message = OnMessage;
    em.pub.output_message = OnOutput;
    em.strict = strict;
}

const std::uint8_t* SourceBytes(ByteSource& src, std::size_t* size) {
    const std::uint8_t* data = src.Contents();
    *size = data ? std::size_t(src.Size()) : 0;
    return data;
}

class JpegDecoder : public ImageDecoder {
public:
    bool Sniff(ByteSource& src) override {
        std::uint8_t b[3];
        return src.ReadAt(0, b, 3) && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF;
    }

    OSErr ReadInfo(ByteSource& src, std::uint32_t imageIndex, DecodedImageInfo* info) override;
    OSErr Decode(ByteSource& src, std::uint32_t imageIndex, const DecodeOptions& options,
                 RowSink& sink) override;
};

OSErr JpegDecoder::ReadInfo(ByteSource& src, std::uint32_t imageIndex, DecodedImageInfo* info) {
    if (imageIndex != 1) return paramErr;
    std::size_t size = 0;
    const std::uint8_t* data = SourceBytes(src, &size);
    if (!data || size < 4) return kBadMediaDataErr;
    jpeg_decompress_struct cinfo;
    ErrorManager em;
    InstallErrors(em, false);
    cinfo.err = &em.pub;
    if (setjmp(em.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return kBadMediaDataErr;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_save_markers(&cinfo, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    if (!DimensionsAcceptable(cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        return kBadMediaDataErr;
    }
    info->width = std::int32_t(cinfo.image_width);
    info->height = std::int32_t(cinfo.image_height);
    info->codecType = 'jpeg';
    info->codecName = "Photo - JPEG";
    info->imageCount = 1;
    info->hasAlpha = false;
    info->pixelFormat = 0;
    if (cinfo.saw_JFIF_marker && cinfo.X_density > 0 && cinfo.Y_density > 0 &&
        (cinfo.density_unit == 1 || cinfo.density_unit == 2)) {
        double factor = cinfo.density_unit == 2 ? 2.54 : 1.0;
        info->hRes = cinfo.X_density * factor;
        info->vRes = cinfo.Y_density * factor;
        info->hasResolution = true;
    }
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        info->depth = 40;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        info->depth = 32;
        info->pixelFormat = 'cmyk';
        break;
    default:
        info->depth = 24;
        break;
    }
    JOCTET* icc = nullptr;
    unsigned int iccLen = 0;
    if (jpeg_read_icc_profile(&cinfo, &icc, &iccLen) && icc) {
        info->iccProfile.assign(icc, icc + iccLen);
        std::free(icc);
    }
    jpeg_destroy_decompress(&cinfo);
    return noErr;
}

OSErr JpegDecoder::Decode(ByteSource& src, std::uint32_t imageIndex, const DecodeOptions& options,
                          RowSink& sink) {
    if (imageIndex != 1) return paramErr;
    std::size_t size = 0;
    const std::uint8_t* data = SourceBytes(src, &size);
    if (!data || size < 4) return kBadMediaDataErr;
    jpeg_decompress_struct cinfo;
    ErrorManager em;
    InstallErrors(em, options.strict);
    cinfo.err = &em.pub;
    volatile OSErr sinkErr = noErr;
    if (setjmp(em.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return sinkErr != noErr ? OSErr(sinkErr) : OSErr(kBadMediaDataErr);
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    if (!DimensionsAcceptable(cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        return kBadMediaDataErr;
    }
    PixelLayout layout;
    bool invertCmyk = false;
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo.out_color_space = JCS_GRAYSCALE;
        layout = PixelLayout::Gray8;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo.out_color_space = JCS_CMYK;
        layout = PixelLayout::CMYK32;
        // Files written by Adobe store CMYK inverted (0 = full ink).
        invertCmyk = cinfo.saw_Adobe_marker;
        break;
    default:
        cinfo.out_color_space = JCS_EXT_BGRX;
        layout = PixelLayout::BGRX32;
        break;
    }
    int num = JpegScaleNumerator(std::int32_t(cinfo.image_width), std::int32_t(cinfo.image_height),
                                 options.wantWidth, options.wantHeight);
    cinfo.scale_num = unsigned(num);
    cinfo.scale_denom = 8;
    if (num < 8) {
        // A reduced image is only a preview: the cheaper upsampling is not visible in it.
        cinfo.do_fancy_upsampling = FALSE;
    }
    cinfo.do_block_smoothing = FALSE;
    jpeg_start_decompress(&cinfo);
    std::int32_t w = std::int32_t(cinfo.output_width);
    std::int32_t h = std::int32_t(cinfo.output_height);
    // Allocated by libjpeg so that an error jump leaves nothing of ours to clean up.
    std::size_t rowBytes = std::size_t(w) * std::size_t(cinfo.output_components);
    // libjpeg-turbo's colour conversion writes a row that starts on a 16-byte boundary with
    // stores that bypass the cache, and the row is copied out right after: kept off that
    // boundary it stays in the cache, which halves the time of a small picture's decode (the
    // decoded bytes are the same).
    JSAMPARRAY rowBuffer = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                      JPOOL_IMAGE, JDIMENSION(rowBytes + 32), 1);
    rowBuffer[0] += 4;
    OSErr began = sink.Begin(w, h, layout);
    if (began != noErr) {
        sinkErr = began;
        jpeg_destroy_decompress(&cinfo);
        return began;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        std::int32_t y = std::int32_t(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, rowBuffer, 1) != 1) break;
        if (invertCmyk)
            for (std::size_t i = 0; i < rowBytes; ++i) rowBuffer[0][i] = JSAMPLE(255 - rowBuffer[0][i]);
        sink.Row(y, rowBuffer[0]);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return noErr;
}

OSErr Encode(const std::uint8_t* pixels, std::int32_t width, std::int32_t height, std::ptrdiff_t stride,
             int quality, int hDpi, int vDpi, bool gray, const std::uint8_t* profile, std::size_t profileSize,
             std::vector<std::uint8_t>* out) {
    if (!pixels || !out || width <= 0 || height <= 0 || width > 65500 || height > 65500)
        return paramErr;
    jpeg_compress_struct cinfo;
    ErrorManager em;
    InstallErrors(em, false);
    cinfo.err = &em.pub;
    unsigned char* buffer = nullptr;
    unsigned long bufferSize = 0;
    if (setjmp(em.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        return kNoDecompressorErr;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &bufferSize);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = gray ? 1 : 4;
    cinfo.in_color_space = gray ? JCS_GRAYSCALE : JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality < 1 ? 1 : quality > 100 ? 100 : quality, TRUE);
    cinfo.write_JFIF_header = TRUE;
    cinfo.density_unit = 1;
    cinfo.X_density = std::uint16_t(hDpi > 0 && hDpi < 65536 ? hDpi : 72);
    cinfo.Y_density = std::uint16_t(vDpi > 0 && vDpi < 65536 ? vDpi : 72);
    jpeg_start_compress(&cinfo, TRUE);
    if (profile && profileSize > 0) jpeg_write_icc_profile(&cinfo, profile, unsigned(profileSize));
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[1] = {const_cast<JSAMPROW>(pixels + std::ptrdiff_t(cinfo.next_scanline) * stride)};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    out->assign(buffer, buffer + bufferSize);
    std::free(buffer);
    return noErr;
}

}  // namespace

std::unique_ptr<ImageDecoder> NewJpegDecoder() {
    return std::make_unique<JpegDecoder>();
}

int JpegScaleNumerator(std::int32_t w, std::int32_t h, std::int32_t wantW, std::int32_t wantH) {
    if (wantW <= 0 || wantH <= 0) return 8;
    for (int num = 1; num < 8; ++num) {
        // libjpeg rounds the scaled size up.
        std::int64_t sw = (std::int64_t(w) * num + 7) / 8;
        std::int64_t sh = (std::int64_t(h) * num + 7) / 8;
        if (sw >= wantW && sh >= wantH) return num;
    }
    return 8;
}

int JpegQualityFromCodecQuality(std::uint32_t codecQuality) {
    if (codecQuality > 0x3FF) codecQuality = 0x3FF;
    int q = int((codecQuality * 100 + 0x3FF / 2) / 0x3FF);
    return q < 1 ? 1 : q;
}

OSErr JpegEncodeBGRX(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                     std::ptrdiff_t stride, int quality, int dpi, std::vector<std::uint8_t>* out) {
    return Encode(pixels, width, height, stride, quality, dpi, dpi, false, nullptr, 0, out);
}

OSErr JpegEncodeBGRXWithProfile(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                                std::ptrdiff_t stride, int quality, int hDpi, int vDpi, const std::uint8_t* profile,
                                std::size_t profileSize, std::vector<std::uint8_t>* out) {
    return Encode(pixels, width, height, stride, quality, hDpi, vDpi, false, profile, profileSize, out);
}

OSErr JpegEncodeGray(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                     std::ptrdiff_t stride, int quality, int dpi, std::vector<std::uint8_t>* out) {
    return Encode(pixels, width, height, stride, quality, dpi, dpi, true, nullptr, 0, out);
}
