// The media-kind engine: start and stop, the settings the application pushes into it, and the
// recognition of a file's kind from its name and first bytes.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <cstdint>

// One file as the import code, the info dispatch and the import journal carry it.
struct KindFileRec {
    OSType type = 0;          // the kind type as recognised, 0 when not recognised
    OSType creator = 0;
    UInt32 size = 0;          // data plus resource length
    UInt32 created = 0;       // Mac seconds
    UInt32 modified = 0;
    UInt16 finderFlags = 0;
    FSSpec spec;
};

// The stored form of a KindFileRec (284 bytes; numbers little-endian, the program's native
// order), as the import journal keeps it.
#pragma pack(push, 2)
struct KindFileRecord {
    UInt32 type;
    UInt32 creator;
    UInt32 size;
    UInt32 created;
    UInt32 modified;
    UInt16 finderFlags;
    FSSpecRecord spec;
};
#pragma pack(pop)
static_assert(sizeof(KindFileRecord) == 284);
static_assert(offsetof(KindFileRecord, finderFlags) == 20 && offsetof(KindFileRecord, spec) == 22);

// bdNamErr when the path does not fit the stored spec (never cut).
OSErr KindFileRecToRecord(const KindFileRec& rec, KindFileRecord* out);
OSErr KindFileRecFromRecord(const KindFileRecord& in, KindFileRec* rec);

// Callbacks handed to the readers: (phase 0 before, 1 progress, 2 after; a; b; reference).
using KindProgressProc = OSErr (*)(SInt32 phase, SInt32 a, SInt32 b, std::uintptr_t refCon);
using KindFileHookProc = void (*)(const KindFileRec* file);

// The source-profile override of the graphics importers: the profile embedded in the file, no
// profile, or any other handle (a profile the caller keeps).
inline constexpr Handle kKindProfileFromFile = nullptr;
inline Handle const kKindProfileNone = reinterpret_cast<Handle>(~std::uintptr_t(0));

// The font-sample settings as the preferences record keeps them (native order).
struct KindFontSample {
    Str255 text;             // the user's sample text (Windows-1252)
    UInt8 letters[2];        // the two preview letters; a first letter of 0 means 'A'
    SInt16 size;             // start size of the sample, 36 by default (0: not set)
    UInt8 previewStyle;      // 1: the catalog sample shows the two letters at size 100
    UInt8 sampleChoice;      // 0 the full sample text, 2 the user's text, else the short text
    UInt8 reserved[6];
};
static_assert(sizeof(KindFontSample) == 268);

// The engine's process-wide settings; read by the readers and the dispatch.
struct KindEngineState {
    bool started = false;
    SInt32 edition = 0;
    SInt32 formatLevel = 0;
    KindFileHookProc fileHook = nullptr;
    KindProgressProc infoCallback = nullptr;
    std::uintptr_t infoRef = 0;
    KindProgressProc thumbCallback = nullptr;
    std::uintptr_t thumbRef = 0;
    RGBColor thumbBackground{0xFFFF, 0xFFFF, 0xFFFF};
    UInt32 pictureOption = 0;
    UInt8 importerOptionA = 0;   // alpha detection
    UInt8 importerOptionB = 0;   // colour management off
    Handle profileOverride = kKindProfileFromFile;
    KindFontSample fontSample{};
    UInt32 kodakLook = 0;
    UInt32 rawOption = 0;
    UInt16 textPreviewFont = 0;
    UInt16 textPreviewSize = 0;
    Handle srgbProfile = nullptr;      // "sRGBColorSpace.icm" when found
    Handle adobeRgbProfile = nullptr;  // "AdobeRGB1998.icc" when found
    Handle customKindsText = nullptr;
    FSSpec kodakFolder, ghostscriptFolder, canonFolder;
};
const KindEngineState& KindEngineGlobals();

// Families registered from outside this library (readers that come with their own code):
// each step of the start that registers such a family calls the registrars installed for it,
// in the order they were installed.
enum class KindFamilyStep { BuiltinReaders, Text, PostScript, Fonts, WebPages, CustomKinds };
using KindFamilyRegistrar = void (*)();
void KindEngineAddFamily(KindFamilyStep step, KindFamilyRegistrar registrar);

// Starts the engine: -8970 when the media layer is missing or too old (nothing registered).
OSErr KindEngineInit(const FSSpec* folders, SInt32 folderCount, SInt32 edition, SInt32 formatLevel);
void KindEngineShutdown();

// The kind of a file from its name; 0 when it is not recognised, or when `categories` (a bit
// set, bit n = byte n / 8, mask 0x80 >> n % 8) does not hold the kind's category.
OSType KindTypeFromExtension(const FSSpec* spec, const UInt8* categories);
// The canonical type of a file of the given type; may read the first bytes. The category is
// written only when the content decides it and a place is given.
OSType KindSniffType(OSType type, const FSSpec* spec, UInt8* category);
// Catalog information of the file, its type from its name, then KindGetFileTypeInfo.
OSErr KindTypeOfFileSpec(const FSSpec* spec, KindFileRec* rec);
// Fills the record; -8961 when the type is 0.
OSErr KindGetFileTypeInfo(const CInfoPBRec* info, ConstStr255Param name, OSType type, KindFileRec* rec);

void KindSetThumbBackground(const RGBColor* color);
void KindSetPictureOption(UInt32 option);
void KindSetImporterOptionA(UInt8 alphaDetection);
void KindSetImporterOptionB(UInt8 colourManagementOff);
void KindSetImporterHook(Handle profileOverride);
void KindSetThumbCallback(KindProgressProc callback, std::uintptr_t refCon);
void KindSetInfoCallback(KindProgressProc callback, std::uintptr_t refCon);
void KindSetFileHook(KindFileHookProc hook);
void KindSetFontSample(const KindFontSample* sample);
void KindSetKodakLook(UInt32 value);
void KindSetRawOption(UInt32 value);
void KindSetTextPreviewFont(UInt16 fontNumber, UInt16 size);
