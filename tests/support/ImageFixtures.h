// Small images of a known pattern in every format the importers read, written by the tests
// themselves: a w x h picture split into four quadrants (top-left red, top-right green,
// bottom-left blue, bottom-right white; grey formats 0, 85, 170, 255).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

namespace fixtures {

struct Rgb {
    std::uint8_t r, g, b;
};
enum class JpegKind { Rgb, Grey, AdobeCmyk };
enum class PngKind { Rgb, RgbaHalfTransparent, Grey, Palette, Interlaced };
enum class TiffKind { RgbStrips, RgbTiled, Cmyk, Grey, Rgb16 };
enum class BmpKind { Rgb24BottomUp, Rgb24TopDown, Palette8, Rle8, BitFields16, Rgb32 };
enum class PsdKind { RgbRaw, RgbRle, CmykRle, Grey };

namespace detail {

inline void Put16BE(std::string& s, unsigned v) {
    s.push_back(char(v >> 8));
    s.push_back(char(v));
}
inline void Put32BE(std::string& s, std::uint32_t v) {
    Put16BE(s, v >> 16);
    Put16BE(s, v & 0xFFFF);
}
inline void Put16LE(std::string& s, unsigned v) {
    s.push_back(char(v));
    s.push_back(char(v >> 8));
}
inline void Put32LE(std::string& s, std::uint32_t v) {
    Put16LE(s, v & 0xFFFF);
    Put16LE(s, v >> 16);
}

// PackBits with literal runs only: simple and independent of the code under test.
inline std::string LiteralPackBits(const std::uint8_t* p, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n; i += 128) {
        std::size_t k = std::min<std::size_t>(128, n - i);
        out.push_back(char(k - 1));
        out.append(reinterpret_cast<const char*>(p + i), k);
    }
    return out;
}

}  // namespace detail
using namespace detail;

inline Rgb Quadrant(int x, int y, int w, int h) {
    bool right = x >= w / 2, bottom = y >= h / 2;
    if (!right && !bottom) return {255, 0, 0};
    if (right && !bottom) return {0, 255, 0};
    if (!right) return {0, 0, 255};
    return {255, 255, 255};
}

inline std::uint8_t Grey(int x, int y, int w, int h) {
    bool right = x >= w / 2, bottom = y >= h / 2;
    return std::uint8_t((bottom ? 170 : 0) + (right ? 85 : 0));
}

inline std::string Jpeg(int w, int h, JpegKind kind = JpegKind::Rgb, int quality = 95, int dpi = 0,
                        const std::vector<std::uint8_t>& icc = {}) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buf, &size);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = kind == JpegKind::Grey ? 1 : kind == JpegKind::AdobeCmyk ? 4 : 3;
    c.in_color_space = kind == JpegKind::Grey ? JCS_GRAYSCALE : kind == JpegKind::AdobeCmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    if (dpi > 0) {
        c.density_unit = 1;
        c.X_density = c.Y_density = std::uint16_t(dpi);
    }
    jpeg_start_compress(&c, TRUE);
    if (!icc.empty()) jpeg_write_icc_profile(&c, icc.data(), unsigned(icc.size()));
    std::vector<std::uint8_t> row(std::size_t(w) * 4);
    while (c.next_scanline < c.image_height) {
        int y = int(c.next_scanline);
        for (int x = 0; x < w; ++x) {
            Rgb q = Quadrant(x, y, w, h);
            if (kind == JpegKind::Grey) {
                row[x] = Grey(x, y, w, h);
            } else if (kind == JpegKind::AdobeCmyk) {
                // Adobe stores CMYK inverted: no ink is 255.
                row[x * 4] = q.r;
                row[x * 4 + 1] = q.g;
                row[x * 4 + 2] = q.b;
                row[x * 4 + 3] = 255;
            } else {
                row[x * 3] = q.r;
                row[x * 3 + 1] = q.g;
                row[x * 3 + 2] = q.b;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string out(reinterpret_cast<char*>(buf), size);
    std::free(buf);
    return out;
}

inline std::string Truncate(const std::string& bytes, std::size_t keep) {
    return bytes.substr(0, std::min(keep, bytes.size()));
}

namespace detail {
inline void PngWrite(png_structp png, png_bytep data, png_size_t n) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), n);
}
inline void PngFlush(png_structp) {}
}  // namespace detail
using namespace detail;

inline std::string Png(int w, int h, PngKind kind, int dpi = 0) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    int type = kind == PngKind::Grey ? PNG_COLOR_TYPE_GRAY
               : kind == PngKind::Palette ? PNG_COLOR_TYPE_PALETTE
               : kind == PngKind::RgbaHalfTransparent ? PNG_COLOR_TYPE_RGB_ALPHA
                                                      : PNG_COLOR_TYPE_RGB;
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), kind == PngKind::Palette ? 2 : 8, type,
                 kind == PngKind::Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (kind == PngKind::Palette) {
        png_color pal[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
        png_set_PLTE(png, info, pal, 4);
    }
    if (dpi > 0) png_set_pHYs(png, info, png_uint_32(dpi / 0.0254 + 0.5), png_uint_32(dpi / 0.0254 + 0.5), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    int passes = png_set_interlace_handling(png);
    std::vector<std::uint8_t> row(std::size_t(w) * 4);
    for (int p = 0; p < passes; ++p) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                Rgb q = Quadrant(x, y, w, h);
                switch (kind) {
                case PngKind::Grey: row[x] = Grey(x, y, w, h); break;
                case PngKind::Palette: {
                    int idx = (y >= h / 2 ? 2 : 0) + (x >= w / 2 ? 1 : 0);
                    if (x % 4 == 0) row[x / 4] = 0;
                    row[x / 4] |= std::uint8_t(idx << (6 - 2 * (x % 4)));
                    break;
                }
                case PngKind::RgbaHalfTransparent:
                    row[x * 4] = q.r;
                    row[x * 4 + 1] = q.g;
                    row[x * 4 + 2] = q.b;
                    row[x * 4 + 3] = y < h / 2 ? 255 : 0;
                    break;
                default:
                    row[x * 3] = q.r;
                    row[x * 3 + 1] = q.g;
                    row[x * 3 + 2] = q.b;
                    break;
                }
            }
            png_write_row(png, row.data());
        }
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

inline void Tiff(const std::string& path, int w, int h, TiffKind kind, int pages = 1, int dpi = 0,
                 const std::vector<std::uint8_t>& icc = {}) {
    TIFF* t = TIFFOpen(path.c_str(), "w");
    if (!t) throw std::runtime_error("TIFFOpen");
    for (int page = 0; page < pages; ++page) {
        int spp = kind == TiffKind::Cmyk ? 4 : kind == TiffKind::Grey ? 1 : 3;
        int bps = kind == TiffKind::Rgb16 ? 16 : 8;
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, spp);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bps);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, kind == TiffKind::Cmyk ? PHOTOMETRIC_SEPARATED
                                             : kind == TiffKind::Grey ? PHOTOMETRIC_MINISBLACK
                                                                      : PHOTOMETRIC_RGB);
        if (kind == TiffKind::Cmyk) TIFFSetField(t, TIFFTAG_INKSET, INKSET_CMYK);
        if (dpi > 0) {
            TIFFSetField(t, TIFFTAG_XRESOLUTION, float(dpi));
            TIFFSetField(t, TIFFTAG_YRESOLUTION, float(dpi));
            TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        }
        if (!icc.empty()) TIFFSetField(t, TIFFTAG_ICCPROFILE, std::uint32_t(icc.size()), icc.data());
        auto pixel = [&](int x, int y, std::uint8_t* o) {
            Rgb q = Quadrant(x, y, w, h);
            if (kind == TiffKind::Cmyk) {
                o[0] = std::uint8_t(255 - q.r);
                o[1] = std::uint8_t(255 - q.g);
                o[2] = std::uint8_t(255 - q.b);
                o[3] = 0;
            } else if (kind == TiffKind::Grey) {
                o[0] = Grey(x, y, w, h);
            } else if (kind == TiffKind::Rgb16) {
                std::uint16_t v[3] = {std::uint16_t(q.r * 257), std::uint16_t(q.g * 257), std::uint16_t(q.b * 257)};
                std::memcpy(o, v, 6);
            } else {
                o[0] = q.r;
                o[1] = q.g;
                o[2] = q.b;
            }
        };
        int bpp = spp * bps / 8;
        if (kind == TiffKind::RgbTiled) {
            TIFFSetField(t, TIFFTAG_TILEWIDTH, 16);
            TIFFSetField(t, TIFFTAG_TILELENGTH, 16);
            std::vector<std::uint8_t> tile(16 * 16 * bpp);
            for (int ty = 0; ty < h; ty += 16)
                for (int tx = 0; tx < w; tx += 16) {
                    std::fill(tile.begin(), tile.end(), 0);
                    for (int y = 0; y < 16; ++y)
                        for (int x = 0; x < 16; ++x)
                            if (tx + x < w && ty + y < h) pixel(tx + x, ty + y, &tile[(y * 16 + x) * bpp]);
                    TIFFWriteTile(t, tile.data(), std::uint32_t(tx), std::uint32_t(ty), 0, 0);
                }
        } else {
            TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 4);
            std::vector<std::uint8_t> row(std::size_t(w) * bpp);
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) pixel(x, y, &row[std::size_t(x) * bpp]);
                TIFFWriteScanline(t, row.data(), std::uint32_t(y), 0);
            }
        }
        TIFFWriteDirectory(t);
    }
    TIFFClose(t);
}

namespace detail {
inline int GifWrite(GifFileType* gif, const GifByteType* data, int n) {
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), std::size_t(n));
    return n;
}
}  // namespace detail
using namespace detail;

inline std::string Gif(int w, int h) {
    std::string out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, GifWrite, &err);
    GifColorType colors[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colors);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, w, h, 2, 0, map);
    EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr);
    std::vector<GifPixelType> line(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) line[x] = GifPixelType((y >= h / 2 ? 2 : 0) + (x >= w / 2 ? 1 : 0));
        EGifPutLine(gif, line.data(), w);
    }
    EGifCloseFile(gif, &err);
    GifFreeMapObject(map);
    return out;
}

inline std::string Bmp(int w, int h, BmpKind kind) {
    int bpp = kind == BmpKind::Palette8 || kind == BmpKind::Rle8 ? 8 : kind == BmpKind::BitFields16 ? 16
              : kind == BmpKind::Rgb32 ? 32 : 24;
    std::string pixels;
    bool topDown = kind == BmpKind::Rgb24TopDown;
    if (kind == BmpKind::Rle8) {
        for (int row = 0; row < h; ++row) {
            int y = h - 1 - row;
            int left = (y >= h / 2 ? 2 : 0), right = left + 1;
            pixels.push_back(char(w / 2));
            pixels.push_back(char(left));
            pixels.push_back(char(w - w / 2));
            pixels.push_back(char(right));
            pixels.push_back(0);
            pixels.push_back(0);
        }
        pixels.push_back(0);
        pixels.push_back(1);
    } else {
        int stride = ((w * bpp + 31) / 32) * 4;
        for (int row = 0; row < h; ++row) {
            int y = topDown ? row : h - 1 - row;
            std::string line;
            for (int x = 0; x < w; ++x) {
                Rgb q = Quadrant(x, y, w, h);
                if (bpp == 8) {
                    line.push_back(char((y >= h / 2 ? 2 : 0) + (x >= w / 2 ? 1 : 0)));
                } else if (bpp == 16) {
                    Put16LE(line, unsigned((q.r >> 3) << 11 | (q.g >> 2) << 5 | (q.b >> 3)));  // 5-6-5
                } else {
                    line.push_back(char(q.b));
                    line.push_back(char(q.g));
                    line.push_back(char(q.r));
                    if (bpp == 32) line.push_back(0);
                }
            }
            line.resize(std::size_t(stride), 0);
            pixels += line;
        }
    }
    std::string palette;
    if (bpp == 8) {
        const Rgb pal[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
        for (auto& p : pal) {
            palette.push_back(char(p.b));
            palette.push_back(char(p.g));
            palette.push_back(char(p.r));
            palette.push_back(0);
        }
    }
    std::string masks;
    if (kind == BmpKind::BitFields16) {
        Put32LE(masks, 0xF800);
        Put32LE(masks, 0x07E0);
        Put32LE(masks, 0x001F);
    }
    std::uint32_t offset = 14 + 40 + std::uint32_t(masks.size() + palette.size());
    std::string out = "BM";
    Put32LE(out, offset + std::uint32_t(pixels.size()));
    Put32LE(out, 0);
    Put32LE(out, offset);
    Put32LE(out, 40);
    Put32LE(out, std::uint32_t(w));
    Put32LE(out, std::uint32_t(topDown ? -h : h));
    Put16LE(out, 1);
    Put16LE(out, unsigned(bpp));
    Put32LE(out, kind == BmpKind::Rle8 ? 1 : kind == BmpKind::BitFields16 ? 3 : 0);
    Put32LE(out, std::uint32_t(pixels.size()));
    Put32LE(out, 2835);  // 72 dpi
    Put32LE(out, 2835);
    Put32LE(out, bpp == 8 ? 4 : 0);
    Put32LE(out, 0);
    return out + masks + palette + pixels;
}

inline std::string Targa(int w, int h, bool rle, bool topDown) {
    std::string out;
    out.push_back(0);
    out.push_back(0);
    out.push_back(rle ? 10 : 2);
    out.append(5, '\0');
    Put16LE(out, 0);
    Put16LE(out, 0);
    Put16LE(out, unsigned(w));
    Put16LE(out, unsigned(h));
    out.push_back(24);
    out.push_back(topDown ? 0x20 : 0);
    for (int row = 0; row < h; ++row) {
        int y = topDown ? row : h - 1 - row;
        for (int x = 0; x < w;) {
            Rgb q = Quadrant(x, y, w, h);
            if (rle) {
                int n = 1;
                while (x + n < w && n < 128) {
                    Rgb r = Quadrant(x + n, y, w, h);
                    if (r.r != q.r || r.g != q.g || r.b != q.b) break;
                    ++n;
                }
                out.push_back(char(0x80 | (n - 1)));
                out.push_back(char(q.b));
                out.push_back(char(q.g));
                out.push_back(char(q.r));
                x += n;
            } else {
                out.push_back(char(q.b));
                out.push_back(char(q.g));
                out.push_back(char(q.r));
                ++x;
            }
        }
    }
    return out;
}

inline std::string Sgi(int w, int h, bool rle) {
    std::string head;
    Put16BE(head, 474);
    head.push_back(rle ? 1 : 0);
    head.push_back(1);
    Put16BE(head, 3);
    Put16BE(head, unsigned(w));
    Put16BE(head, unsigned(h));
    Put16BE(head, 3);
    Put32BE(head, 0);
    Put32BE(head, 255);
    head.resize(512, 0);
    auto value = [&](int c, int x, int row) {
        Rgb q = Quadrant(x, h - 1 - row, w, h);  // rows are stored from the bottom
        return std::uint8_t(c == 0 ? q.r : c == 1 ? q.g : q.b);
    };
    if (!rle) {
        std::string data;
        for (int c = 0; c < 3; ++c)
            for (int row = 0; row < h; ++row)
                for (int x = 0; x < w; ++x) data.push_back(char(value(c, x, row)));
        return head + data;
    }
    std::vector<std::string> rows;
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < h; ++row) {
            std::string r;
            for (int x = 0; x < w;) {
                std::uint8_t v = value(c, x, row);
                int n = 1;
                while (x + n < w && n < 127 && value(c, x + n, row) == v) ++n;
                r.push_back(char(n));
                r.push_back(char(v));
                x += n;
            }
            r.push_back(0);
            rows.push_back(r);
        }
    std::string starts, lengths, data;
    std::uint32_t at = 512 + std::uint32_t(rows.size()) * 8;
    for (auto& r : rows) {
        Put32BE(starts, at);
        Put32BE(lengths, std::uint32_t(r.size()));
        data += r;
        at += std::uint32_t(r.size());
    }
    return head + starts + lengths + data;
}

inline std::string MacPaint(bool macBinaryHeader) {
    std::string out;
    if (macBinaryHeader) {
        std::string mb(128, '\0');
        mb[1] = 5;
        std::memcpy(&mb[2], "Paint", 5);
        std::memcpy(&mb[65], "PNTGMPNT", 8);
        out += mb;
    }
    out.append(512, '\0');
    std::uint8_t row[72];
    for (int y = 0; y < 720; ++y) {
        std::memset(row, 0, sizeof row);
        if (y < 360) std::memset(row, 0xFF, 36);
        out += LiteralPackBits(row, 72);
    }
    return out;
}

inline std::string Photoshop(int w, int h, PsdKind kind) {
    int channels = kind == PsdKind::Grey ? 1 : kind == PsdKind::CmykRle ? 4 : 3;
    std::string out = "8BPS";
    Put16BE(out, 1);
    out.append(6, '\0');
    Put16BE(out, unsigned(channels));
    Put32BE(out, std::uint32_t(h));
    Put32BE(out, std::uint32_t(w));
    Put16BE(out, 8);
    Put16BE(out, kind == PsdKind::Grey ? 1 : kind == PsdKind::CmykRle ? 4 : 3);
    Put32BE(out, 0);  // colour mode data
    // Image resources: resolution 300 dpi.
    std::string res = "8BIM";
    Put16BE(res, 1005);
    Put16BE(res, 0);
    Put32BE(res, 16);
    Put32BE(res, 300u << 16);
    Put16BE(res, 1);
    Put16BE(res, 1);
    Put32BE(res, 300u << 16);
    Put16BE(res, 1);
    Put16BE(res, 1);
    Put32BE(out, std::uint32_t(res.size()));
    out += res;
    Put32BE(out, 0);  // layers
    bool rle = kind != PsdKind::RgbRaw && kind != PsdKind::Grey;
    Put16BE(out, rle ? 1 : 0);
    auto plane = [&](int c, int y) {
        std::vector<std::uint8_t> p(static_cast<std::size_t>(w));
        for (int x = 0; x < w; ++x) {
            Rgb q = Quadrant(x, y, w, h);
            std::uint8_t v;
            if (kind == PsdKind::Grey) v = Grey(x, y, w, h);
            else if (kind == PsdKind::CmykRle) {
                // Inks c, m, y from the colour, k 0; Photoshop stores 255 - ink.
                std::uint8_t ink = c == 0 ? std::uint8_t(255 - q.r) : c == 1 ? std::uint8_t(255 - q.g) : c == 2 ? std::uint8_t(255 - q.b) : 0;
                v = std::uint8_t(255 - ink);
            } else v = c == 0 ? q.r : c == 1 ? q.g : q.b;
            p[std::size_t(x)] = v;
        }
        return p;
    };
    if (!rle) {
        for (int c = 0; c < channels; ++c)
            for (int y = 0; y < h; ++y) {
                auto p = plane(c, y);
                out.append(reinterpret_cast<char*>(p.data()), p.size());
            }
        return out;
    }
    std::string counts, data;
    for (int c = 0; c < channels; ++c)
        for (int y = 0; y < h; ++y) {
            auto p = plane(c, y);
            std::string packed = LiteralPackBits(p.data(), p.size());
            Put16BE(counts, unsigned(packed.size()));
            data += packed;
        }
    return out + counts + data;
}

inline std::string QuickTimeImage(int w, int h) {
    std::string jpeg = Jpeg(w, h);
    std::string desc;
    Put32BE(desc, 86);
    desc += "jpeg";
    Put32BE(desc, 0);
    Put16BE(desc, 0);
    Put16BE(desc, 0);
    Put16BE(desc, 1);
    Put16BE(desc, 1);
    desc += "appl";
    Put32BE(desc, 0);
    Put32BE(desc, 0x300);
    Put16BE(desc, unsigned(w));
    Put16BE(desc, unsigned(h));
    Put32BE(desc, 72u << 16);
    Put32BE(desc, 72u << 16);
    Put32BE(desc, std::uint32_t(jpeg.size()));
    Put16BE(desc, 1);
    std::string name(32, '\0');
    name[0] = 12;
    std::memcpy(&name[1], "Photo - JPEG", 12);
    desc += name;
    Put16BE(desc, 24);
    Put16BE(desc, 0xFFFF);
    std::string out;
    Put32BE(out, std::uint32_t(8 + desc.size()));
    out += "idsc" + desc;
    Put32BE(out, std::uint32_t(8 + jpeg.size()));
    out += "idat" + jpeg;
    return out;
}

inline std::string WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

}  // namespace fixtures
