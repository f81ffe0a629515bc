#include "app/PreferencesPages.h"

#include <algorithm>
#include <cstring>

namespace {

// The position of a stored value in a list stored as position + offset, kept within the list.
int Position(UInt8 stored, int offset, int count) { return std::clamp(int(stored) - offset, 0, count - 1); }
UInt8 Stored(int position, int offset, int count) { return UInt8(std::clamp(position, 0, count - 1) + offset); }

}  // namespace

UInt8* PreferenceByte(PreferencesRec* prefs, std::size_t offset) {
    return reinterpret_cast<UInt8*>(prefs) + offset;
}

UInt8 PreferenceByte(const PreferencesRec& prefs, std::size_t offset) {
    return reinterpret_cast<const UInt8*>(&prefs)[offset];
}

GeneralPage GeneralPageFrom(const PreferencesRec& p) {
    GeneralPage g;
    g.buttonTips = p.showButtonTips != 0;
    g.naturalSort = p.naturalSortOrder != 0;
    g.warnRemoving = p.warnWhenRemoving != 0;
    g.warnBatching = p.warnWhenBatching != 0;
    g.startup = Position(p.startupAction, 2, 2);
    g.doubleClick = Position(p.doubleClickAction, 1, 3);
    g.dimensions = Position(p.dimensionUnit, 1, 5);
    g.resolution = Position(p.resolutionUnit, 1, 2);
    // The start-up repair lets 3 through, which the list does not offer: it shows as long.
    g.date = Position(p.dateFormat, 1, 2);
    return g;
}

void GeneralPageInto(const GeneralPage& g, PreferencesRec* p) {
    p->showButtonTips = g.buttonTips;
    p->naturalSortOrder = g.naturalSort;
    p->warnWhenRemoving = g.warnRemoving;
    p->warnWhenBatching = g.warnBatching;
    p->startupAction = Stored(g.startup, 2, 2);
    p->doubleClickAction = Stored(g.doubleClick, 1, 3);
    p->dimensionUnit = Stored(g.dimensions, 1, 5);
    p->resolutionUnit = Stored(g.resolution, 1, 2);
    p->dateFormat = Stored(g.date, 1, 2);
}

ImagesPage ImagesPageFrom(const PreferencesRec& p) {
    ImagesPage m;
    m.skipLarge = p.skipLargeImages != 0;
    m.sizeLimit = std::clamp(int(p.sizeLimit), 1, 100);
    m.background = p.backgroundColor;
    m.builtInThumbnails = p.builtInThumbnailsOff == 0;
    m.colorMatching = p.colorMatchingOff == 0;
    m.rendering = Position(p.renderingQuality, 0, 3);
    return m;
}

void ImagesPageInto(const ImagesPage& m, PreferencesRec* p) {
    p->skipLargeImages = m.skipLarge;
    p->sizeLimit = UInt8(std::clamp(m.sizeLimit, 1, 100));
    p->backgroundColor = m.background;
    p->builtInThumbnailsOff = m.builtInThumbnails ? 0 : 1;
    p->colorMatchingOff = m.colorMatching ? 0 : 1;
    p->renderingQuality = Stored(m.rendering, 0, 3);
}

FontsPage FontsPageFrom(const PreferencesRec& p) {
    FontsPage f;
    f.size = p.fontSampleSize;
    f.sampleText.assign(reinterpret_cast<const char*>(p.fontSampleText + 1), p.fontSampleText[0]);
    for (UInt8 c : p.fontSampleChars)
        if (c) f.sampleChars += char(c);
    f.mediaDisplay = Position(p.mediaFontDisplay, 0, 3);
    f.thumbnailDisplay = Position(p.thumbnailFontDisplay, 0, 2);
    return f;
}

void FontsPageInto(const FontsPage& f, PreferencesRec* p) {
    p->fontSampleSize = SInt16(f.size > 256 || f.size < 6 ? 18 : f.size);
    const std::size_t n = std::min<std::size_t>(f.sampleText.size(), 255);
    p->fontSampleText[0] = UInt8(n);
    std::memcpy(p->fontSampleText + 1, f.sampleText.data(), n);
    if (f.sampleChars.empty()) {
        p->fontSampleChars[0] = 'A';
        p->fontSampleChars[1] = 'y';
    } else {
        p->fontSampleChars[0] = UInt8(f.sampleChars[0]);
        p->fontSampleChars[1] = f.sampleChars.size() > 1 ? UInt8(f.sampleChars[1]) : 0;
    }
    p->mediaFontDisplay = Stored(f.mediaDisplay, 0, 3);
    p->thumbnailFontDisplay = Stored(f.thumbnailDisplay, 0, 2);
}

RawPage RawPageFrom(const PreferencesRec& p) {
    RawPage r;
    r.embeddedPreview = p.useEmbeddedRawPreview != 0;
    r.photoCdSize = std::clamp(int(p.photoCdSize), 1, 3) - 1;
    r.lookProfile = Position(p.rawLookProfile, 1, 2);
    return r;
}

void RawPageInto(const RawPage& r, PreferencesRec* p) {
    p->useEmbeddedRawPreview = r.embeddedPreview;
    p->photoCdSize = UInt32(std::clamp(r.photoCdSize, 0, 2) + 1);
    p->rawLookProfile = Stored(r.lookProfile, 1, 2);
}

int MediaTypeFrom(const PreferencesRec& p) { return Position(PreferenceByte(p, kPrefsLastMediaTypeOffset), 1, 3); }

void MediaTypeInto(int type, PreferencesRec* p) {
    *PreferenceByte(p, kPrefsLastMediaTypeOffset) = Stored(type, 1, 3);
}
