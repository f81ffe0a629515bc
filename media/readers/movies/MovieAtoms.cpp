#include "media/readers/movies/MovieAtoms.h"

#include "media/metadata/MetaFile.h"
#include "platform/Handles.h"
#include "platform/movies/MovieSource.h"

#include <algorithm>
#include <cstring>

namespace {

// A movie atom larger than this is not read into memory for a rewrite.
constexpr SInt64 kMaxMovieAtom = 256LL << 20;
// Nesting deeper than this is a damaged (or hostile) file.
constexpr int kMaxDepth = 12;

UInt32 Be32(const std::uint8_t* p) {
    return (UInt32(p[0]) << 24) | (UInt32(p[1]) << 16) | (UInt32(p[2]) << 8) | p[3];
}
UInt64 Be64(const std::uint8_t* p) {
    return (UInt64(Be32(p)) << 32) | Be32(p + 4);
}
void PutBe32(std::vector<std::uint8_t>& out, UInt32 v) {
    out.push_back(std::uint8_t(v >> 24));
    out.push_back(std::uint8_t(v >> 16));
    out.push_back(std::uint8_t(v >> 8));
    out.push_back(std::uint8_t(v));
}

// The atoms between start and end; a size 0 atom runs to the end (only allowed at the top).
OSErr ReadChildren(MetaReader& r, SInt64 start, SInt64 end, bool top, std::vector<QtAtom>* out) {
    SInt64 pos = start;
    while (end - pos >= 8) {
        std::uint8_t h[16];
        if (r.ReadAt(pos, h, 8) != noErr) return kBadMediaDataErr;
        QtAtom a;
        a.offset = pos;
        a.type = Be32(h + 4);
        UInt64 size = Be32(h);
        if (size == 1) {
            if (end - pos < 16 || r.ReadAt(pos + 8, h + 8, 8) != noErr) return kBadMediaDataErr;
            size = Be64(h + 8);
            a.header = 16;
        } else if (size == 0) {
            if (!top) return kBadMediaDataErr;
            size = UInt64(end - pos);
        }
        if (size < UInt64(a.header) || size > UInt64(end - pos)) {
            // A short tail of zeros ends a user-data list; anything else is damage.
            if (!top && Be32(h) == 0) break;
            return kBadMediaDataErr;
        }
        a.size = SInt64(size);
        out->push_back(a);
        pos += a.size;
    }
    return noErr;
}

const QtAtom* Find(const std::vector<QtAtom>& atoms, OSType type) {
    for (const auto& a : atoms)
        if (a.type == type) return &a;
    return nullptr;
}

OSErr ReadVideoDescription(MetaReader& r, const QtAtom& stsd, QtVideoDescription* d) {
    // version/flags, entry count, then the first entry: size, format, 6 reserved, data ref,
    // version, revision, vendor, temporal quality, spatial quality, width, height, resolutions,
    // data size, frame count, name (32), depth.
    std::uint8_t b[8 + 84];
    if (stsd.size - stsd.header < SInt64(sizeof b)) return kBadMediaDataErr;
    if (r.ReadAt(stsd.ContentStart(), b, sizeof b) != noErr) return kBadMediaDataErr;
    const std::uint8_t* e = b + 8;
    d->format = Be32(e + 4);
    d->spatialQuality = Be32(e + 28);
    d->hRes = Fixed(Be32(e + 36));
    d->vRes = Fixed(Be32(e + 40));
    d->depth = SInt16((e[82] << 8) | e[83]);
    return noErr;
}

void ReadTrack(MetaReader& r, const QtAtom& trak, QtMovieLayout* layout) {
    std::vector<QtAtom> kids, mdia, minf, stbl, stsd;
    if (ReadChildren(r, trak.ContentStart(), trak.End(), false, &kids) != noErr) return;
    const QtAtom* m = Find(kids, 'mdia');
    if (!m || ReadChildren(r, m->ContentStart(), m->End(), false, &mdia) != noErr) return;
    OSType handler = 0;
    if (const QtAtom* hdlr = Find(mdia, 'hdlr'); hdlr && hdlr->size >= hdlr->header + 12) {
        std::uint8_t b[12];
        if (r.ReadAt(hdlr->ContentStart(), b, 12) == noErr) handler = Be32(b + 8);
    }
    layout->trackTypes.push_back(handler);
    layout->trackFormats.push_back(0);
    const QtAtom* mi = Find(mdia, 'minf');
    if (!mi || ReadChildren(r, mi->ContentStart(), mi->End(), false, &minf) != noErr) return;
    const QtAtom* st = Find(minf, 'stbl');
    if (!st || ReadChildren(r, st->ContentStart(), st->End(), false, &stbl) != noErr) return;
    const QtAtom* sd = Find(stbl, 'stsd');
    std::uint8_t entry[16];
    if (sd && sd->size - sd->header >= 16 && r.ReadAt(sd->ContentStart(), entry, 16) == noErr)
        layout->trackFormats.back() = Be32(entry + 12);
    if (handler != 'vide') return;
    QtVideoDescription d;
    if (sd && ReadVideoDescription(r, *sd, &d) == noErr) layout->videos.push_back(d);
}

}  // namespace

OSErr QtReadAtoms(MetaReader& reader, SInt64 start, SInt64 end, std::vector<QtAtom>* atoms) {
    return ReadChildren(reader, start, end, false, atoms);
}

const QtAtom* QtFindAtom(const std::vector<QtAtom>& atoms, OSType type) {
    return Find(atoms, type);
}

OSErr QtReadMovieLayout(const FSSpec* spec, QtMovieLayout* layout) {
    if (!spec || !layout) return paramErr;
    *layout = QtMovieLayout{};
    MetaReader r;
    if (OSErr err = r.Open(spec); err != noErr) return err;
    if (ReadChildren(r, 0, r.Length(), true, &layout->top) != noErr && layout->top.empty()) return kMovieNotFoundErr;
    for (std::size_t i = 0; i < layout->top.size(); ++i)
        if (layout->top[i].type == 'moov') {
            layout->moovIndex = int(i);
            break;
        }
    if (layout->moovIndex < 0) return kMovieNotFoundErr;
    const QtAtom& moov = layout->top[std::size_t(layout->moovIndex)];
    std::vector<QtAtom> kids;
    if (ReadChildren(r, moov.ContentStart(), moov.End(), false, &kids) != noErr) return kBadMediaDataErr;
    if (const QtAtom* mvhd = Find(kids, 'mvhd')) {
        std::uint8_t b[112];
        SInt64 n = std::min<SInt64>(mvhd->size - mvhd->header, SInt64(sizeof b));
        if (n >= 20 && r.ReadAt(mvhd->ContentStart(), b, std::size_t(n)) == noErr) {
            bool v1 = b[0] == 1;
            if (v1 && n >= 32) {
                layout->timeScale = Be32(b + 20);
                layout->duration = Be64(b + 24);
                if (n >= 96) layout->posterTime = Be32(b + 92);
            } else if (!v1) {
                layout->timeScale = Be32(b + 12);
                layout->duration = Be32(b + 16);
                // rate, volume, 10 reserved, matrix (36), then preview time, preview duration, poster time.
                if (n >= 20 + 4 + 2 + 10 + 36 + 12) layout->posterTime = Be32(b + 20 + 4 + 2 + 10 + 36 + 8);
            }
        }
    }
    for (const QtAtom& a : kids)
        if (a.type == 'trak') ReadTrack(r, a, layout);
    if (const QtAtom* udta = Find(kids, 'udta')) {
        std::vector<QtAtom> items;
        ReadChildren(r, udta->ContentStart(), udta->End(), false, &items);
        SInt64 total = 0;
        for (const QtAtom& it : items) {
            SInt64 n = it.size - it.header;
            total += n;
            if (total > (16LL << 20)) break;
            QtUserDataItem item;
            item.type = it.type;
            if (r.ReadVector(it.ContentStart(), std::size_t(n), &item.bytes) != noErr) break;
            layout->userData.push_back(std::move(item));
        }
    }
    return noErr;
}

OSType QtControllerType(const QtMovieLayout& layout) {
    for (const auto& item : layout.userData)
        if (item.type == 'ctyp' && item.bytes.size() >= 4) return Be32(item.bytes.data());
    return 0x3F3F3F3F;  // '????'
}

OSType QtPanoramaType(const QtMovieLayout& layout) {
    OSType t = QtControllerType(layout);
    switch (t) {
    case 'qtvr': case 'pano': case 'obje': case 'STpn': case 'stna': return t;
    default: return 0;
    }
}

bool QtIsProtected(const QtMovieLayout& layout) {
    return !layout.trackFormats.empty() && layout.trackFormats[0] == 'drms';
}

namespace {

std::vector<std::uint8_t> Atom(OSType type, const std::vector<std::uint8_t>& content) {
    std::vector<std::uint8_t> out;
    PutBe32(out, UInt32(8 + content.size()));
    PutBe32(out, type);
    out.insert(out.end(), content.begin(), content.end());
    return out;
}

// The new user-data atom: the old items, with each type that `items` holds replaced in place of
// its first occurrence (or added at the end), in the list's item order.
OSErr BuildUserData(const std::vector<std::uint8_t>& old, bool hadOld, UserData items, std::vector<std::uint8_t>* out) {
    std::vector<OSType> replaced;
    for (OSType t = OSType(GetNextUserDataType(items, 0)); t != 0; t = OSType(GetNextUserDataType(items, t)))
        replaced.push_back(t);
    Handle scratch = NewHandle(0);
    if (!scratch) return memFullErr;
    auto itemsOf = [&](OSType t, std::vector<std::uint8_t>* content) {
        short n = CountUserDataType(items, t);
        for (short i = 1; i <= n; ++i) {
            if (GetUserData(items, scratch, t, i) != noErr) continue;
            std::vector<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(*scratch),
                                            reinterpret_cast<std::uint8_t*>(*scratch) + GetHandleSize(scratch));
            auto atom = Atom(t, bytes);
            content->insert(content->end(), atom.begin(), atom.end());
        }
    };
    std::vector<std::uint8_t> content;
    std::vector<OSType> written;
    std::size_t pos = 0;
    bool zeroTail = false;
    while (hadOld && old.size() - pos >= 8) {
        UInt32 size = Be32(old.data() + pos);
        OSType type = Be32(old.data() + pos + 4);
        if (size < 8 || size > old.size() - pos) {
            // Anything after a damaged item is kept as it was.
            zeroTail = true;
            break;
        }
        if (std::find(replaced.begin(), replaced.end(), type) != replaced.end()) {
            if (std::find(written.begin(), written.end(), type) == written.end()) {
                itemsOf(type, &content);
                written.push_back(type);
            }
        } else {
            content.insert(content.end(), old.begin() + long(pos), old.begin() + long(pos + size));
        }
        pos += size;
    }
    for (OSType t : replaced)
        if (std::find(written.begin(), written.end(), t) == written.end()) itemsOf(t, &content);
    // A trailing terminator (or unreadable rest) goes back where it was.
    if (hadOld && pos < old.size() && (zeroTail || old.size() - pos < 8))
        content.insert(content.end(), old.begin() + long(pos), old.end());
    DisposeHandle(scratch);
    *out = Atom('udta', content);
    return noErr;
}

}  // namespace

OSErr QtWriteMovieUserData(const FSSpec* spec, UserData items) {
    if (!spec || !items) return paramErr;
    QtMovieLayout layout;
    if (OSErr err = QtReadMovieLayout(spec, &layout); err != noErr) return err;
    const QtAtom moov = layout.top[std::size_t(layout.moovIndex)];
    if (moov.size > kMaxMovieAtom) return memFullErr;
    MetaReader r;
    if (OSErr err = r.Open(spec); err != noErr) return err;
    std::vector<std::uint8_t> body;
    if (r.ReadVector(moov.ContentStart(), std::size_t(moov.size - moov.header), &body) != noErr) return kBadMediaDataErr;

    // The movie atom's children, with the user data rebuilt.
    std::vector<std::uint8_t> content;
    bool sawUdta = false;
    std::size_t pos = 0;
    while (body.size() - pos >= 8) {
        UInt64 size = Be32(body.data() + pos);
        OSType type = Be32(body.data() + pos + 4);
        std::size_t header = 8;
        if (size == 1) {
            if (body.size() - pos < 16) return kBadMediaDataErr;
            size = Be64(body.data() + pos + 8);
            header = 16;
        }
        if (size < header || size > body.size() - pos) return kBadMediaDataErr;
        if (type == 'udta' && !sawUdta) {
            std::vector<std::uint8_t> old(body.begin() + long(pos + header), body.begin() + long(pos + size));
            std::vector<std::uint8_t> udta;
            if (OSErr err = BuildUserData(old, true, items, &udta); err != noErr) return err;
            content.insert(content.end(), udta.begin(), udta.end());
            sawUdta = true;
        } else {
            content.insert(content.end(), body.begin() + long(pos), body.begin() + long(pos + size));
        }
        pos += std::size_t(size);
    }
    content.insert(content.end(), body.begin() + long(pos), body.end());
    if (!sawUdta) {
        std::vector<std::uint8_t> udta;
        if (OSErr err = BuildUserData({}, false, items, &udta); err != noErr) return err;
        content.insert(content.end(), udta.begin(), udta.end());
    }
    if (content.size() + 8 > 0xFFFFFFFFull) return kBadMediaDataErr;
    std::vector<std::uint8_t> newMoov = Atom('moov', content);

    bool last = std::size_t(layout.moovIndex) + 1 == layout.top.size();
    SInt64 oldSize = moov.size;
    SInt64 newSize = SInt64(newMoov.size());
    SafeRewrite w;
    if (OSErr err = BeginMediaRewrite(w, spec); err != noErr) return err;
    OSErr err = CopyMetaBytes(w, r, 0, moov.offset);
    if (err == noErr && (last || newSize == oldSize || newSize + 8 <= oldSize)) {
        // In place: nothing after the movie atom moves.
        err = w.Write(newMoov.data(), newMoov.size());
        if (err == noErr && !last && newSize != oldSize) {
            std::vector<std::uint8_t> pad = Atom('free', std::vector<std::uint8_t>(std::size_t(oldSize - newSize - 8), 0));
            err = w.Write(pad.data(), pad.size());
        }
        if (err == noErr && !last) err = CopyMetaBytes(w, r, moov.End(), -1);
    } else if (err == noErr) {
        // The old movie atom becomes free space; the new one goes at the end. An atom that runs
        // "to the end of the file" would swallow it, so such files are refused.
        for (std::size_t i = std::size_t(layout.moovIndex) + 1; i < layout.top.size(); ++i) {
            std::uint8_t h[4];
            if (r.ReadAt(layout.top[i].offset, h, 4) != noErr || Be32(h) == 0) err = kMovieInvalidErr;
        }
        std::uint8_t freeHeader[16];
        std::size_t freeLength = std::size_t(moov.header);
        if (err == noErr && r.ReadAt(moov.offset, freeHeader, freeLength) == noErr) {
            std::memcpy(freeHeader + 4, "free", 4);
            err = w.Write(freeHeader, freeLength);
        } else if (err == noErr) {
            err = kBadMediaDataErr;
        }
        if (err == noErr) err = CopyMetaBytes(w, r, moov.ContentStart(), moov.size - moov.header);
        if (err == noErr) err = CopyMetaBytes(w, r, moov.End(), -1);
        if (err == noErr) err = w.Write(newMoov.data(), newMoov.size());
    }
    r.Close();
    if (err != noErr) {
        w.Abandon();
        return err;
    }
    return w.Commit();
}
