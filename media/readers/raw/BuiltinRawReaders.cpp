#include "media/readers/raw/BuiltinRawReaders.h"

#include "media/kinds/KindEngine.h"
#include "media/kinds/KindRegistration.h"
#include "media/kinds/KindTable.h"
#include "media/readers/alias/AliasPix.h"
#include "media/readers/corel/CorelDrawPreview.h"
#include "media/readers/documents/ShellDocuments.h"
#include "media/readers/layout/CreatorDocument.h"
#include "media/readers/layout/FreeHandPreview.h"
#include "media/readers/layout/QuarkPreview.h"
#include "media/readers/photocd/PhotoCD.h"

#include <algorithm>
#include "media/readers/raw/CanonRaw.h"
#include "media/readers/raw/KodakDcr.h"
#include "media/readers/raw/NikonNef.h"
#include "media/readers/raw/RawPreviewReaders.h"
#include "media/readers/raw/SigmaX3f.h"
#include "media/readers/sfw/SeattleFilmworks.h"
#include "media/readers/windows/WindowsPicture.h"

namespace {

struct PreviewRow {
    OSType type;
    const char* name;
    RawInfoReader info;
    RawThumbnailReader thumbnail;
};

const PreviewRow kPreviewRows[] = {
    {'ORF ', "Olympus RAW", OrfGetInfo, OrfMakeThumbnail},
    {'MOS ', "Leaf Valeo RAW (Preview)", MosGetInfo, MosMakeThumbnail},
    {'SRF ', "Sony RAW (Preview)", SrfGetInfo, SrfMakeThumbnail},
    {'PEF ', "Pentax RAW (Preview)", PefGetInfo, PefMakeThumbnail},
    {'RAF ', "Fuji RAW (Preview)", RafGetInfo, RafMakeThumbnail},
    {'MRW ', "Minolta RAW (Preview)", MrwGetInfo, MrwMakeThumbnail},
    {'DNG ', "Digital Negative (Preview)", DngGetInfo, DngMakeThumbnail},
};

const PreviewRow* FindPreviewRow(OSType type) {
    for (const auto& row : kPreviewRows)
        if (row.type == type) return &row;
    return nullptr;
}

}  // namespace

void KindRegisterBuiltinReaders() {
    KindRegisterAliasPix();
    KindRegister('X3F ', kKindHandlerBuiltin, "Sigma RAW", kKindCategoryImage);
    KindRegisterSeattleFilmworks();
    KindRegisterQuarkXPress();
    // The RAW library that stands in for the vendor's is always there.
    KindRegister('NEF ', kKindHandlerBuiltin, "Nikon RAW", kKindCategoryImage);
    KindRegister('DCR ', kKindHandlerBuiltin, "Kodak RAW", kKindCategoryImage);
    KindRegister('CRW ', kKindHandlerBuiltin, "Canon RAW", kKindCategoryImage);
    KindRegister('CR2 ', kKindHandlerBuiltin, "Canon RAW", kKindCategoryImage);
    for (const auto& row : kPreviewRows) KindRegister(row.type, kKindHandlerBuiltin, row.name, kKindCategoryImage);
    // Our own decoder stands for the PhotoCD decompressor, so the rows are always there.
    KindRegisterPhotoCD();
    KindRegisterFreeHand();
    KindRegisterCorelDraw();
    KindRegisterWindowsPictures();
    KindRegisterOfficeDocuments(KindEngineGlobals().edition);
    if (KindEngineGlobals().edition == 500) KindRegisterCreator();
}

OSErr BuiltinReaderGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen,
                           UserData metadata, Handle* colorProfile, UInt32 optionA, UInt32 optionB, SInt32 size) {
    if (!spec || !info) return paramErr;
    switch (info->type) {
    case 'X3F ': return X3fGetInfo(spec, info, offscreen, metadata);
    case 'NEF ': return NikonGetInfo(spec, info, offscreen, metadata, size);
    case 'DCR ': return KodakDcrGetInfo(spec, info, offscreen, metadata);
    case 'CRW ': case 'CR2 ': return CanonRawGetInfo(spec, info, offscreen, metadata, colorProfile);
    case 'ICO ': case 'WMF ': case 'EMF ': return WindowsPictureGetInfo(spec, info, offscreen, SInt16(std::clamp<SInt32>(size, 0, 32767)));
    case 'DOC ': case 'DOT ': case 'XLS ': case 'XLT ': case 'PPT ': case 'POT ': case 'PDF ':
        return GetShellDocumentInfo(spec, info, offscreen, metadata, size);
    default: break;
    }
    if (IsCorelDrawType(info->type)) return CorelDrawPreview(info->type, spec, offscreen);
    if (IsPhotoCDType(info->type)) return PhotoCDGetInfo(spec, info, offscreen, metadata);
    if (IsFreeHandType(info->type)) return FreeHandMakeThumbnail(spec, offscreen);
    if (IsQuarkXPressType(info->type)) return QuarkGetInfo(spec, info, offscreen);
    if (IsCreatorType(info->type)) return CreatorGetInfo(spec, info, offscreen, metadata);
    if (IsAliasPixType(info->type)) return AliasPixGetInfo(spec, info, offscreen);
    if (IsSeattleFilmworksType(info->type)) return SfwGetInfo(spec, info, offscreen);
    if (const PreviewRow* row = FindPreviewRow(info->type)) return row->info(spec, info, offscreen, metadata);
    return kReaderDeclinesErr;
}

OSErr BuiltinReaderMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType type,
                                 UInt32* imageIndex, UInt16 orientation) {
    if (!spec || !offscreen) return paramErr;
    // Layout documents hold one preview a page: the caller's index picks it.
    const UInt32 wantedPage = imageIndex && *imageIndex ? *imageIndex : 1;
    if (imageIndex) *imageIndex = 1;
    switch (type) {
    case 'X3F ': return X3fMakeThumbnail(spec, offscreen, size, orientation);
    case 'NEF ': return NikonMakeThumbnail(spec, offscreen, size, orientation);
    case 'DCR ': return KodakDcrMakeThumbnail(spec, offscreen, size, orientation);
    case 'CRW ': case 'CR2 ': return CanonRawMakeThumbnail(spec, offscreen, size, orientation);
    case 'ICO ': case 'WMF ': case 'EMF ': return WindowsPictureMakeThumbnail(spec, offscreen);
    case 'DOC ': case 'DOT ': case 'XLS ': case 'XLT ': case 'PPT ': case 'POT ': case 'PDF ':
        return MakeShellDocumentThumbnail(spec, offscreen);
    default: break;
    }
    if (IsCorelDrawType(type)) return CorelDrawPreview(type, spec, offscreen);
    if (IsPhotoCDType(type)) return PhotoCDMakeThumbnail(spec, offscreen, size, orientation);
    if (IsFreeHandType(type)) return FreeHandMakeThumbnail(spec, offscreen);
    if (IsCreatorType(type)) return CreatorMakeThumbnail(spec, offscreen, orientation);
    if (IsQuarkXPressType(type)) {
        if (imageIndex) *imageIndex = wantedPage;
        return QuarkMakeThumbnail(spec, offscreen, orientation, &wantedPage);
    }
    if (IsAliasPixType(type)) return AliasPixMakeThumbnail(spec, offscreen, orientation);
    if (IsSeattleFilmworksType(type)) return SfwMakeThumbnail(spec, offscreen, orientation);
    if (const PreviewRow* row = FindPreviewRow(type)) return row->thumbnail(spec, offscreen, size, orientation);
    return kNoMediaReaderErr;
}
