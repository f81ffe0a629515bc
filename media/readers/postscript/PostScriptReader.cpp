#include "media/readers/postscript/PostScriptReader.h"

#include "media/imaging/Offscreen.h"
#include "media/kinds/KindTable.h"
#include "media/readers/postscript/EpsHeader.h"
#include "media/readers/postscript/PostScriptRender.h"
#include "platform/Handles.h"

#include <algorithm>

namespace {

UInt8 gEpsEnabled = 0;

// A size the caller did not fix (0, or the views' own-size request) draws one pixel a point,
// up to this side.
constexpr SInt32 kNaturalSideLimit = 2048;

int SideFor(SInt32 size, double w, double h) {
    if (size > 0 && size != kKindDisplaySize) return int(std::min<SInt32>(size, 4096));
    const double longer = std::max(w, h);
    return int(std::clamp(longer >= 1 ? longer : 792.0, 1.0, double(kNaturalSideLimit)));
}

}  // namespace

UInt8& EpsEnabled() {
    return gEpsEnabled;
}

void KindRegisterPostScript() {
    for (OSType type : {'EPSF', 'EPSP', 'EPS '})
        KindRegister(type, kKindHandlerPostScript, "PostScript", kKindCategoryIllustration);
    KindRegister('AI  ', kKindHandlerPostScript, "Adobe Illustrator", kKindCategoryIllustration);
    gEpsEnabled = 1;
}

OSErr EpsRenderPreview(const FSSpec* spec, double boxWidth, double boxHeight, SInt32 side, GWorldPtr* preview) {
    if (!preview) return paramErr;
    *preview = nullptr;
    if (EpsReadDosPreview(spec, preview) == noErr && *preview) return noErr;
    if (boxWidth <= 0 && boxHeight <= 0) {
        KindInfoRec info{};
        EpsBox box;
        ReadEpsHeader(spec, &info, nullptr, nullptr, nullptr, &box);
        boxWidth = box.width;
        boxHeight = box.height;
    }
    return PostScriptRenderPage(spec, boxWidth, boxHeight, SideFor(side, boxWidth, boxHeight), preview);
}

OSErr PostScriptGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen,
                        UserData metadata, Handle*, UInt32, UInt32, SInt32 size) {
    if (!spec || !info) return paramErr;
    if (info->type == 'PDF ' || gEpsEnabled != 1) return kPostScriptRefusedErr;
    Rect bounds{0, 0, 0, 0};
    EpsBox box;
    const OSErr err = ReadEpsHeader(spec, info, picture, metadata, &bounds, &box);
    if (err != noErr || (picture && *picture)) return err;
    if (offscreen) EpsRenderPreview(spec, box.width, box.height, size, offscreen);
    return err;
}

OSErr PostScriptMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType type, UInt32*, UInt16) {
    if (!spec || !offscreen) return paramErr;
    *offscreen = nullptr;
    if (type == 'PDF ' || gEpsEnabled != 1) return kPostScriptRefusedErr;
    if (EpsRenderPreview(spec, 0, 0, size, offscreen) == noErr && *offscreen) return noErr;
    // No page: the Illustrator thumbnail or the Photoshop preview of the comments.
    UserData scratch = nullptr;
    NewUserData(&scratch);
    KindInfoRec info{};
    PicHandle picture = nullptr;
    ReadEpsHeader(spec, &info, &picture, scratch, nullptr);
    if (scratch) DisposeUserData(scratch);
    if (!picture) return kEpsNoPreviewErr;
    const OSErr err = PictureToOffscreen(picture, k32BGRAPixelFormat, nullptr, nullptr, offscreen);
    DisposeHandle(picture);
    return err;
}
