#include "media/kinds/KindEngine.h"

#include "media/kinds/KindRegistration.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/Exif.h"
#include "media/metadata/MetadataLevel.h"
#include "media/readers/fonts/FontReader.h"
#include "media/readers/graphics/GraphicsImporterHandler.h"
#include "media/readers/panorama/QuickTimeVR.h"
#include "media/readers/postscript/PostScriptReader.h"
#include "media/readers/webpages/WebPageKinds.h"
#include "media/readers/raw/BuiltinRawReaders.h"
#include "media/readers/text/TextReader.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "platform/imaging/Gestalt.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

KindEngineState gEngine;
std::vector<std::pair<KindFamilyStep, KindFamilyRegistrar>> gFamilies;

void RunFamilies(KindFamilyStep step) {
    for (const auto& f : gFamilies)
        if (f.first == step && f.second) f.second();
}

void FreeHandle(Handle& h) {
    if (h) DisposeHandle(h);
    h = nullptr;
}

// Support files are small; anything larger is not one of ours.
constexpr std::uintmax_t kMaxSupportFileSize = 4 * 1024 * 1024;

bool ReadWhole(const std::string& path, std::vector<char>* out) {
    std::error_code ec;
    std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxSupportFileSize) return false;
    FSSpec spec;
    if (FSMakeFSSpecFromPath(path, &spec) != noErr) return false;
    SInt16 ref = 0;
    if (FSpOpenDF(&spec, fsRdPerm, &ref) != noErr) return false;
    out->resize(std::size_t(size));
    long count = long(size);
    OSErr err = count ? FSRead(ref, &count, out->data()) : OSErr(noErr);
    FSClose(ref);
    if (err != noErr && err != eofErr) return false;
    out->resize(std::size_t(count));
    return true;
}

bool StartsWithNoCase(const std::string& name, const char* pattern) {
    std::size_t n = std::strlen(pattern);
    if (name.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != std::tolower(static_cast<unsigned char>(pattern[i])))
            return false;
    return true;
}

// One direct entry of a support folder: the first pattern its name begins with decides.
void TakeSupportFile(const std::filesystem::directory_entry& entry) {
    std::string name = entry.path().filename().string();
    std::string path = entry.path().string();
    std::vector<char> bytes;
    if (StartsWithNoCase(name, "Custom")) {
        if (ReadWhole(path, &bytes) && gEngine.customKindsText) {
            char cr = 13;
            PtrAndHand(&cr, gEngine.customKindsText, 1);
            if (!bytes.empty()) PtrAndHand(bytes.data(), gEngine.customKindsText, Size(bytes.size()));
        }
    } else if (StartsWithNoCase(name, "sRGBColorSpace.icm")) {
        if (!gEngine.srgbProfile && ReadWhole(path, &bytes)) PtrToHand(bytes.data(), &gEngine.srgbProfile, Size(bytes.size()));
    } else if (StartsWithNoCase(name, "AdobeRGB1998.icc")) {
        if (!gEngine.adobeRgbProfile && ReadWhole(path, &bytes))
            PtrToHand(bytes.data(), &gEngine.adobeRgbProfile, Size(bytes.size()));
    } else if (StartsWithNoCase(name, "KodakDCS")) {
        FSMakeFSSpecFromPath(path, &gEngine.kodakFolder);
    } else if (StartsWithNoCase(name, "Ghostscript")) {
        FSMakeFSSpecFromPath(path, &gEngine.ghostscriptFolder);
    } else if (StartsWithNoCase(name, "Canon")) {
        FSMakeFSSpecFromPath(path, &gEngine.canonFolder);
    }
}

void WalkSupportFolder(const FSSpec& folder) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder.path, ec), end; !ec && it != end; it.increment(ec))
        TakeSupportFile(*it);
}

}  // namespace

const KindEngineState& KindEngineGlobals() {
    return gEngine;
}

void KindEngineAddFamily(KindFamilyStep step, KindFamilyRegistrar registrar) {
    gFamilies.emplace_back(step, registrar);
}

OSErr KindEngineInit(const FSSpec* folders, SInt32 folderCount, SInt32 edition, SInt32 formatLevel) {
    SInt32 version = 0;
    if (Gestalt(gestaltQuickTime, &version) != noErr || version < 0x00400000) return kNoDecompressorErr;
    KindTableClear();
    // Settings pushed in before the start survive it; what the start owns is made afresh.
    FreeHandle(gEngine.customKindsText);
    gEngine.edition = edition;
    gEngine.formatLevel = formatLevel;
    gEngine.fileHook = nullptr;
    gEngine.customKindsText = NewHandle(0);
    if (edition == 500)
        for (SInt32 i = 0; folders && i < folderCount; ++i) WalkSupportFolder(folders[i]);
    MetadataSetFormatLevel(SInt16(formatLevel));
    ExifSetStandardProfiles(gEngine.srgbProfile, gEngine.adobeRgbProfile);
    if (formatLevel >= 300 || edition == 400) KindRegisterWindowsMedia();
    KindRegisterMovieImporters();
    KindRegisterGraphicsImporters();
    if (edition == 400) KindRegisterOfficeDocuments(edition);
    if (edition == 200 || edition == 500) {
        KindRegisterBuiltinReaders();
        RunFamilies(KindFamilyStep::BuiltinReaders);
        KindRegisterText();
        RunFamilies(KindFamilyStep::Text);
        KindRegisterPostScript();
        RunFamilies(KindFamilyStep::PostScript);
        KindRegisterFonts();
        RunFamilies(KindFamilyStep::Fonts);
        KindRegisterWebPages();
        RunFamilies(KindFamilyStep::WebPages);
        if (formatLevel < 300) RunFamilies(KindFamilyStep::CustomKinds);
    }
    QuickTimeVRInit();
    FreeHandle(gEngine.customKindsText);
    gEngine.started = true;
    return noErr;
}

void KindEngineShutdown() {
    GraphicsImporterListShutdown();
    QuickTimeVRShutdown();
    FreeHandle(gEngine.adobeRgbProfile);
    FreeHandle(gEngine.srgbProfile);
    gEngine.started = false;
}

// ---- recognition ------------------------------------------------------------------------

namespace {

OSType UpperType(OSType t) {
    OSType out = 0;
    for (int shift = 24; shift >= 0; shift -= 8) {
        unsigned char c = static_cast<unsigned char>(t >> shift);
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
        out = (out << 8) | c;
    }
    return out;
}

bool BitTst(const UInt8* bits, int n) {
    return (bits[n / 8] & (0x80 >> (n % 8))) != 0;
}

}  // namespace

OSType KindTypeFromExtension(const FSSpec* spec, const UInt8* categories) {
    if (!spec || spec->path.empty()) return 0;
    std::string name = FSSpecName(*spec);
    if (name == "Icon\r") return 0;
    OSType type;
    if (name.size() > 6 && name.compare(name.size() - 6, 6, ".dfont") == 0) {
        type = 'DFNT';
    } else {
        type = FileTypeFromName(name);
        if (type == 0 || type == 'MSK ') return 0;
    }
    const KindTable& table = KindGetTableRecord();
    int row = -1;
    for (UInt32 i = 0; i < table.count; ++i)
        if (UpperType(table.types[i]) == type) {
            row = int(i);
            break;
        }
    if (row < 0) return 0;
    UInt8 category = table.categories[row];
    if (category == 255) return type;
    type = KindSniffType(type, spec, &category);
    if (categories && !BitTst(categories, category)) return 0;
    return type;
}

OSType KindSniffType(OSType type, const FSSpec* spec, UInt8* category) {
    switch (type) {
    case 'FAX ': case 'DCBa': case 'TIF ': case 'CRI ':
        return 'TIFF';
    case 'DIC ': case 'DCOM': case 'DCM ':
        return 'DICM';
    case 'EXIF': case 'JPE ': case 'JPG ':
        return 'JPEG';
    case 'Expn':
        return 'PICT';
    case 'MOV ':
        return 'MooV';
    case 'GIF ':
        return 'GIFf';
    case 'TEXT': case 'TXT ': case 'AI  ':
        break;
    default:
        return type;
    }
    if (!spec) return type;
    char text[1024];
    long count = 1023;
    SInt16 ref = 0;
    if (FSpOpenDF(spec, fsRdPerm, &ref) != noErr) return type;
    OSErr err = FSRead(ref, &count, text);
    FSClose(ref);
    if ((err != noErr && err != eofErr) || count <= 6) return type;
    text[count] = 0;
    static const struct {
        const char* marker;
        OSType type;
        UInt8 category;
    } kMarkers[] = {
        {"<HTML>", 'HTML', kKindCategoryHTML},   {"<html>", 'HTML', kKindCategoryHTML},
        {"%!PS-", 'EPSF', kKindCategoryIllustration}, {"%PDF-", 'PDF ', kKindCategoryDTP},
        {"{QTtext}", 'MooV', kKindCategoryVideo},
    };
    // Each marker found cuts the text where it begins, so a later one counts only before it.
    for (const auto& m : kMarkers) {
        char* at = std::strstr(text, m.marker);
        if (!at) continue;
        type = m.type;
        if (category) *category = m.category;
        *at = 0;
    }
    return type;
}

OSErr KindGetFileTypeInfo(const CInfoPBRec* info, ConstStr255Param name, OSType type, KindFileRec* rec) {
    if (!info || !rec) return paramErr;
    rec->type = type;
    rec->creator = info->ioFlFndrInfo.fdCreator;
    rec->finderFlags = info->ioFlFndrInfo.fdFlags;
    std::int64_t total = info->dataLength + std::int64_t(info->ioFlRLgLen);
    rec->size = UInt32(std::min<std::int64_t>(total, 0xFFFFFFFF));
    rec->created = info->ioFlCrDat;
    rec->modified = info->ioFlMdDat;
    rec->spec.vRefNum = info->ioVRefNum;
    rec->spec.parID = info->ioFlParID;
    if (name) {
        OSErr err = FSMakeFSSpec(info->ioVRefNum, info->ioFlParID, name, &rec->spec);
        if (err != noErr) return err;
    }
    UInt32 created = 0, modified = 0;
    if (!rec->spec.path.empty() && FSpGetFileDates(&rec->spec, &created, &modified) == noErr) {
        rec->created = created;
        rec->modified = modified;
    }
    return type == 0 ? OSErr(kNoImporterForTypeErr) : OSErr(noErr);
}

OSErr KindTypeOfFileSpec(const FSSpec* spec, KindFileRec* rec) {
    if (!spec || !rec) return paramErr;
    CInfoPBRec pb;
    OSErr err = FSpGetCatInfo(spec, &pb);
    if (err != noErr) return err;
    OSType type = KindTypeFromExtension(spec, nullptr);
    Str255 name;
    err = FSSpecGetName(spec, name);
    if (err != noErr) return err;
    return KindGetFileTypeInfo(&pb, name, type, rec);
}

OSErr KindFileRecToRecord(const KindFileRec& rec, KindFileRecord* out) {
    if (!out) return paramErr;
    std::memset(out, 0, sizeof *out);
    FSSpecRecord spec;
    OSErr err = FSSpecToRecord(&rec.spec, &spec);
    if (err != noErr) return err;
    auto* b = reinterpret_cast<std::uint8_t*>(out);
    WriteLE32(b + 0, rec.type);
    WriteLE32(b + 4, rec.creator);
    WriteLE32(b + 8, rec.size);
    WriteLE32(b + 12, rec.created);
    WriteLE32(b + 16, rec.modified);
    WriteLE16(b + 20, rec.finderFlags);
    WriteLE16(b + 22, std::uint16_t(spec.vRefNum));
    WriteLE32(b + 24, std::uint32_t(spec.parID));
    std::memcpy(b + 28, spec.name, sizeof spec.name);
    return noErr;
}

OSErr KindFileRecFromRecord(const KindFileRecord& in, KindFileRec* rec) {
    if (!rec) return paramErr;
    const auto* b = reinterpret_cast<const std::uint8_t*>(&in);
    rec->type = ReadLE32(b + 0);
    rec->creator = ReadLE32(b + 4);
    rec->size = ReadLE32(b + 8);
    rec->created = ReadLE32(b + 12);
    rec->modified = ReadLE32(b + 16);
    rec->finderFlags = ReadLE16(b + 20);
    FSSpecRecord spec;
    spec.vRefNum = SInt16(ReadLE16(b + 22));
    spec.parID = SInt32(ReadLE32(b + 24));
    std::memcpy(spec.name, b + 28, sizeof spec.name);
    if (spec.name[0] == 0) {
        rec->spec = FSSpec{};
        return noErr;
    }
    OSErr err = FSSpecFromRecord(&spec, &rec->spec);
    return err == fnfErr ? OSErr(noErr) : err;
}

// ---- settings ---------------------------------------------------------------------------

void KindSetThumbBackground(const RGBColor* color) {
    if (color) gEngine.thumbBackground = *color;
}
void KindSetPictureOption(UInt32 option) {
    gEngine.pictureOption = option;
}
void KindSetImporterOptionA(UInt8 alphaDetection) {
    gEngine.importerOptionA = alphaDetection;
}
void KindSetImporterOptionB(UInt8 colourManagementOff) {
    gEngine.importerOptionB = colourManagementOff;
}
void KindSetImporterHook(Handle profileOverride) {
    gEngine.profileOverride = profileOverride;
}
void KindSetThumbCallback(KindProgressProc callback, std::uintptr_t refCon) {
    gEngine.thumbCallback = callback;
    gEngine.thumbRef = refCon;
}
void KindSetInfoCallback(KindProgressProc callback, std::uintptr_t refCon) {
    gEngine.infoCallback = callback;
    gEngine.infoRef = refCon;
}
void KindSetFileHook(KindFileHookProc hook) {
    gEngine.fileHook = hook;
}
void KindSetFontSample(const KindFontSample* sample) {
    if (sample) gEngine.fontSample = *sample;
}
void KindSetKodakLook(UInt32 value) {
    gEngine.kodakLook = value;
}
void KindSetRawOption(UInt32 value) {
    gEngine.rawOption = value;
}
void KindSetTextPreviewFont(UInt16 fontNumber, UInt16 size) {
    gEngine.textPreviewFont = fontNumber;
    gEngine.textPreviewSize = size;
}
