// Panorama movies made at test time: the panorama picture is cut into tiles (turned a quarter
// turn counter-clockwise first when the panorama is stored on its side), the tiles become a
// lossless PNG video track made by the ffmpeg tool, and a panorama track with its description
// sample, its image-track reference and the movie's controller type are added to the movie
// by hand, as a panorama authoring tool lays them out.
#pragma once

#include "support/RunTool.h"
#include "support/TempFolder.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace panoramafiles {

using Bytes = std::vector<std::uint8_t>;

// An RGB picture, three bytes a pixel, rows top down.
struct Rgb {
    int width = 0, height = 0;
    Bytes pixels;
    std::uint8_t* At(int x, int y) { return &pixels[(std::size_t(y) * width + x) * 3]; }
    const std::uint8_t* At(int x, int y) const { return &pixels[(std::size_t(y) * width + x) * 3]; }
};

struct PanoramaFile {
    std::uint32_t type = 'hcyl';   // the sample's panorama type (0: the flags decide)
    std::uint32_t flags = 0;
    bool storedOnSide = false;     // the picture is turned counter-clockwise before dicing
    int across = 1, down = 1;      // tiles of the stored picture (a cube: 6 x 1, one face each)
    float minPan = 0, maxPan = 360, minTilt = -30, maxTilt = 30, minFov = 5, maxFov = 90;
    float defaultPan = 0, defaultTilt = 0, defaultFov = 40;
    int viewWidth = 320, viewHeight = 240;
    bool controllerType = true;    // the movie's 'ctyp' user data
    bool panoramaTrack = true;
    std::uint32_t sampleBytes = 84;  // of the description atom (84 whole)
    int imageReference = 1;          // index into the panorama track's image references
};

inline void Be32(Bytes& b, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(std::uint8_t(v >> s));
}
inline void Be16(Bytes& b, std::uint16_t v) {
    b.push_back(std::uint8_t(v >> 8));
    b.push_back(std::uint8_t(v));
}
inline void BeFloat(Bytes& b, float f) {
    std::uint32_t v;
    std::memcpy(&v, &f, 4);
    Be32(b, v);
}
inline std::uint32_t Get32(const Bytes& b, std::size_t at) {
    return (std::uint32_t(b[at]) << 24) | (std::uint32_t(b[at + 1]) << 16) | (std::uint32_t(b[at + 2]) << 8) | b[at + 3];
}
inline Bytes Atom(std::uint32_t type, const Bytes& content) {
    Bytes b;
    Be32(b, std::uint32_t(content.size() + 8));
    Be32(b, type);
    b.insert(b.end(), content.begin(), content.end());
    return b;
}
inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes b;
    for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
    return b;
}

// The picture turned a quarter turn counter-clockwise (its right edge on top).
inline Rgb TurnCounterClockwise(const Rgb& in) {
    Rgb out{in.height, in.width, Bytes(in.pixels.size())};
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) std::memcpy(out.At(y, in.width - 1 - x), in.At(x, y), 3);
    return out;
}

inline Bytes DescriptionSample(const PanoramaFile& f, std::uint32_t storedW, std::uint32_t storedH) {
    Bytes pdat;
    Be16(pdat, 2);
    Be16(pdat, 0);
    Be32(pdat, std::uint32_t(f.imageReference));
    Be32(pdat, 0);
    for (float v : {f.minPan, f.maxPan, f.minTilt, f.maxTilt, f.minFov, f.maxFov, f.defaultPan, f.defaultTilt, f.defaultFov})
        BeFloat(pdat, v);
    Be32(pdat, storedW);
    Be32(pdat, storedH);
    Be16(pdat, std::uint16_t(f.across));
    Be16(pdat, std::uint16_t(f.down));
    Be32(pdat, 0);
    Be32(pdat, 0);
    Be16(pdat, 0);
    Be16(pdat, 0);
    Be32(pdat, f.flags);
    Be32(pdat, f.type);
    Be32(pdat, 0);
    pdat.resize(f.sampleBytes);
    // An atom container: its header, then the root atom holding the description atom.
    auto containerAtom = [](std::uint32_t type, const Bytes& content, std::uint16_t children) {
        Bytes b;
        Be32(b, std::uint32_t(content.size() + 20));
        Be32(b, type);
        Be32(b, 1);
        Be16(b, 0);
        Be16(b, children);
        Be32(b, 0);
        b.insert(b.end(), content.begin(), content.end());
        return b;
    };
    Bytes sample(12, 0);
    Bytes root = containerAtom('sean', containerAtom('pdat', pdat, 0), 1);
    sample.insert(sample.end(), root.begin(), root.end());
    return sample;
}

inline Bytes PanoramaTrack(const PanoramaFile& f, std::uint32_t sampleSize, std::uint64_t sampleOffset) {
    Bytes tkhd;
    Be32(tkhd, 1);  // version 0, enabled
    Be32(tkhd, 0);
    Be32(tkhd, 0);
    Be32(tkhd, 2);  // track id
    Be32(tkhd, 0);
    Be32(tkhd, 600);
    tkhd.resize(tkhd.size() + 8 + 8, 0);
    for (std::uint32_t m : {0x10000u, 0u, 0u, 0u, 0x10000u, 0u, 0u, 0u, 0x40000000u}) Be32(tkhd, m);
    Be32(tkhd, std::uint32_t(f.viewWidth) << 16);
    Be32(tkhd, std::uint32_t(f.viewHeight) << 16);
    Bytes imgt;
    Be32(imgt, 1);  // the image track's id
    Bytes mdhd;
    Be32(mdhd, 0);
    Be32(mdhd, 0);
    Be32(mdhd, 0);
    Be32(mdhd, 600);
    Be32(mdhd, 600);
    Be32(mdhd, 0);
    Bytes hdlr;
    Be32(hdlr, 0);
    Be32(hdlr, 'mhlr');
    Be32(hdlr, 'pano');
    hdlr.resize(hdlr.size() + 12 + 1, 0);
    Bytes stsd;
    Be32(stsd, 0);
    Be32(stsd, 1);
    Be32(stsd, 16);
    Be32(stsd, 'pano');
    stsd.resize(stsd.size() + 6, 0);
    Be16(stsd, 1);
    Bytes stts, stsc, stsz, stco;
    for (std::uint32_t v : {0u, 1u, 1u, 600u}) Be32(stts, v);
    for (std::uint32_t v : {0u, 1u, 1u, 1u, 1u}) Be32(stsc, v);
    for (std::uint32_t v : {0u, sampleSize, 1u}) Be32(stsz, v);
    for (std::uint32_t v : {0u, 1u, std::uint32_t(sampleOffset)}) Be32(stco, v);
    Bytes stbl = Atom('stbl', Cat({Atom('stsd', stsd), Atom('stts', stts), Atom('stsc', stsc), Atom('stsz', stsz),
                                   Atom('stco', stco)}));
    return Atom('trak', Cat({Atom('tkhd', tkhd), Atom('tref', Atom('imgt', imgt)),
                             Atom('mdia', Cat({Atom('mdhd', mdhd), Atom('hdlr', hdlr), Atom('minf', stbl)}))}));
}

// Writes the panorama movie of the upright picture (a cube: its six faces side by side);
// false when the tool failed.
inline bool MakePanoramaMovie(const std::string& path, const Rgb& upright, const PanoramaFile& f) {
    const bool cube = f.type == 'cube';
    const Rgb stored = f.storedOnSide ? TurnCounterClockwise(upright) : upright;
    const int across = cube ? 6 : f.across, down = cube ? 1 : f.down;
    const int tileW = stored.width / across, tileH = stored.height / down;
    const std::string raw = path + ".rgb";
    {
        std::ofstream out(raw, std::ios::binary);
        for (int ty = 0; ty < down; ++ty)
            for (int tx = 0; tx < across; ++tx)
                for (int y = 0; y < tileH; ++y)
                    out.write(reinterpret_cast<const char*>(stored.At(tx * tileW, ty * tileH + y)), std::streamsize(tileW) * 3);
    }
    const std::string plain = path + ".plain.mov";
    if (RunTool({"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", "rgb24", "-s",
                 std::to_string(tileW) + "x" + std::to_string(tileH), "-r", "1", "-i", raw, "-c:v", "png",
                 "-pix_fmt", "rgb24", plain}) != 0)
        return false;
    std::ifstream in(plain, std::ios::binary);
    Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The movie atom, at the end where the tool writes it.
    std::size_t pos = 0, moovAt = 0, moovSize = 0;
    while (pos + 8 <= file.size()) {
        std::uint32_t size = Get32(file, pos), type = Get32(file, pos + 4);
        if (size < 8 || pos + size > file.size()) return false;
        if (type == 'moov') {
            moovAt = pos;
            moovSize = size;
        }
        pos += size;
    }
    if (!moovSize || moovAt + moovSize != file.size()) return false;
    Bytes before(file.begin(), file.begin() + std::ptrdiff_t(moovAt));
    const Bytes sample = DescriptionSample(f, std::uint32_t(stored.width), std::uint32_t(stored.height));
    const Bytes mdat = Atom('mdat', sample);
    const std::uint64_t sampleOffset = before.size() + 8;
    // The movie's children, with the controller type added to its user data and the panorama
    // track after the image track.
    Bytes children;
    bool udtaSeen = false;
    Bytes ctyp;
    Be32(ctyp, 'qtvr');
    for (std::size_t p = moovAt + 8; p + 8 <= moovAt + moovSize;) {
        std::uint32_t size = Get32(file, p), type = Get32(file, p + 4);
        Bytes atom(file.begin() + std::ptrdiff_t(p), file.begin() + std::ptrdiff_t(p + size));
        if (type == 'udta' && f.controllerType) {
            Bytes content(atom.begin() + 8, atom.end());
            Bytes item = Atom('ctyp', ctyp);
            content.insert(content.begin(), item.begin(), item.end());
            atom = Atom('udta', content);
            udtaSeen = true;
        }
        children.insert(children.end(), atom.begin(), atom.end());
        if (type == 'trak' && f.panoramaTrack) {
            Bytes pano = PanoramaTrack(f, std::uint32_t(sample.size()), sampleOffset);
            children.insert(children.end(), pano.begin(), pano.end());
        }
        p += size;
    }
    if (!udtaSeen && f.controllerType) {
        Bytes u = Atom('udta', Atom('ctyp', ctyp));
        children.insert(children.end(), u.begin(), u.end());
    }
    Bytes result = Cat({before, mdat, Atom('moov', children)});
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(result.data()), std::streamsize(result.size()));
    std::remove(raw.c_str());
    std::remove(plain.c_str());
    return true;
}

}  // namespace panoramafiles
