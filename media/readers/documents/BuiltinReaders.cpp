#include "media/readers/documents/BuiltinReaders.h"

#include "media/readers/documents/ShellDocuments.h"

namespace {

bool IsShellDocument(OSType type) {
    switch (type) {
    case 'DOC ': case 'DOT ': case 'XLS ': case 'XLT ': case 'PPT ': case 'POT ': case 'PDF ':
        return true;
    default:
        return false;
    }
}

}  // namespace

OSErr BuiltinReaderGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen,
                           UserData metadata, Handle* colorProfile, UInt32, UInt32, SInt32 size) {
    if (picture) *picture = nullptr;
    if (colorProfile) *colorProfile = nullptr;
    if (!spec || !info) return paramErr;
    if (!IsShellDocument(info->type)) return kNoMediaReaderErr;
    return GetShellDocumentInfo(spec, info, offscreen, metadata, size);
}

OSErr BuiltinReaderMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32, OSType type, UInt32*, UInt16) {
    if (!spec || !offscreen) return paramErr;
    if (!IsShellDocument(type)) return kNoMediaReaderErr;
    return MakeShellDocumentThumbnail(spec, offscreen);
}
