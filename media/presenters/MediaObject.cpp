#include "media/presenters/MediaObject.h"

#include "media/kinds/KindTable.h"
#include "media/presenters/DirectShowPresenter.h"
#include "media/presenters/MediaBackend.h"
#include "media/presenters/MoviePresenter.h"
#include "media/presenters/PicturePresenter.h"
#include "platform/Handles.h"

#include <cstring>

MediaObject::MediaObject() = default;
MediaObject::~MediaObject() = default;

namespace {

SInt32 PresenterFor(const MediaObject& o, OSType kind) {
    if (o.stillOnly) return kMediaPresenterPicture;
    switch (KindGetHandler(kind)) {
    case kKindHandlerMovieImporter: return kMediaPresenterMovie;
    case kKindHandlerWindowsMedia: return kMediaPresenterWindowsMedia;
    default: return kMediaPresenterPicture;
    }
}

bool IsOpen(const MediaObject* o) {
    return o && o->presenterType != kMediaPresenterNone && o->backend;
}

bool SameFile(const MediaObject& o, const FSSpec& spec) {
    return IsOpen(&o) && !o.file.path.empty() && o.file.vRefNum == spec.vRefNum && o.file.parID == spec.parID &&
           o.file.path == spec.path;
}

OSErr OpenWith(MediaObject* o, SInt32 type, const FSSpec* spec, OSType kind, SInt32 a, SInt32 b, SInt32 c) {
    MediaObjectClose(o);
    o->file = *spec;
    o->kind = kind;
    OSErr err = noErr;
    std::unique_ptr<MediaBackend> backend;
    switch (type) {
    case kMediaPresenterMovie:
        backend = MoviePresenterOpen(*o, o->file, kind, a, UInt16(c), err);
        break;
    case kMediaPresenterWindowsMedia:
        backend = DirectShowPresenterOpen(*o, o->file, err);
        break;
    default:
        backend = PicturePresenterOpen(*o, o->file, kind, UInt32(a), UInt32(b), UInt16(c), err);
        break;
    }
    if (!backend) {
        o->file = FSSpec{};
        o->kind = 0;
        return err != noErr ? err : OSErr(paramErr);
    }
    o->backend = std::move(backend);
    o->presenterType = type;
    MediaObjectSetVolume(o, o->volume);
    return noErr;
}

}  // namespace

SInt16 MediaVolumeToMovieVolume(UInt16 level) {
    static const SInt16 kTable[8] = {0x00, 0x30, 0x60, 0x80, 0xA0, 0xC0, 0xE0, 0x100};
    return level < 8 ? kTable[level] : SInt16(0x100);
}

SInt32 MediaVolumeToDecibels(UInt16 level) {
    static const SInt32 kTable[8] = {-10000, -3000, -2500, -2000, -1500, -1000, -500, 0};
    return level < 8 ? kTable[level] : 0;
}

MediaObject* MediaObjectNew(GWorldPtr window) {
    auto* o = new (std::nothrow) MediaObject();
    if (o) o->window = window;
    return o;
}

OSErr MediaObjectOpen(MediaObject* object, const FSSpec* spec, OSType kind, SInt32 valueA, SInt32 valueB,
                      SInt32 valueC, bool reuse) {
    if (!object || !spec) return paramErr;
    SInt32 type = PresenterFor(*object, kind);
    if (reuse && SameFile(*object, *spec)) return noErr;
    return OpenWith(object, type, spec, kind, valueA, valueB, valueC);
}

OSErr MediaObjectOpenPicture(MediaObject* object, const FSSpec* spec, OSType kind, SInt32 value, bool reuse) {
    if (!object || !spec) return paramErr;
    if (reuse && SameFile(*object, *spec)) return noErr;
    return OpenWith(object, kMediaPresenterPicture, spec, kind, value, 1, 0);
}

OSErr MediaObjectOpenHandle(MediaObject* object, Handle pictureData) {
    if (!object) return paramErr;
    MediaObjectClose(object);
    object->file = FSSpec{};
    object->kind = 0;
    OSErr err = noErr;
    auto backend = MemoryPicturePresenterOpen(pictureData, err);
    if (!backend) return err != noErr ? err : OSErr(paramErr);
    object->backend = std::move(backend);
    object->presenterType = kMediaPresenterMemoryPicture;
    return noErr;
}

void MediaObjectClose(MediaObject* object) {
    if (!object) return;
    object->backend.reset();
    object->presenterType = kMediaPresenterNone;
    if (object->picture) DisposeHandle(object->picture);
    object->picture = nullptr;
    if (object->preview) DisposeHandle(object->preview);
    object->preview = nullptr;
    MediaObjectSetUserValue(object, 0);
    object->file = FSSpec{};
}

void MediaObjectDelete(MediaObject* object) {
    if (!object) return;
    MediaObjectClose(object);
    delete object;
}

bool MediaObjectIsOpen(const MediaObject* object) { return IsOpen(object); }

// ---- the record ----------------------------------------------------------------------------

void MediaObjectSetWindow(MediaObject* o, GWorldPtr window) {
    if (o) o->window = window;
}
void MediaObjectSetRedrawProc(MediaObject* o, MediaObjectRedrawProc proc, std::uintptr_t refCon) {
    if (!o) return;
    o->redraw = proc;
    o->redrawRef = refCon;
}
void MediaObjectSetBounds(MediaObject* o, const Rect* bounds) {
    if (o && bounds) o->bounds = *bounds;
}
void MediaObjectSetDisplayRect(MediaObject* o, const Rect* rect) {
    if (o) o->displayRect = rect ? *rect : o->bounds;
}
void MediaObjectSetColor(MediaObject* o, const RGBColor* color) {
    if (!o) return;
    o->colorPresent = color ? 1 : 0;
    if (color) o->background = *color;
}
void MediaObjectSetPercent(MediaObject* o, UInt16 percent) {
    if (o) o->percent = percent;
}
UInt16 MediaObjectGetPercent(const MediaObject* o) {
    return o ? o->percent : 0;
}
void MediaObjectSetShowFlag(MediaObject* o, UInt8 sizeMode) {
    if (o) o->sizeMode = sizeMode;
}
UInt8 MediaObjectGetShowFlag(const MediaObject* o) {
    return o ? o->sizeMode : 0;
}
void MediaObjectSetUserValue(MediaObject* o, UInt32 value) {
    if (o) std::memcpy(&o->userRect, &value, sizeof value);
}
UInt32 MediaObjectGetUserValue(const MediaObject* o) {
    UInt32 v = 0;
    if (o) std::memcpy(&v, &o->userRect, sizeof v);
    return v;
}
void MediaObjectSetStillOnly(MediaObject* o, UInt8 stillOnly) {
    if (o) o->stillOnly = stillOnly;
}
void MediaObjectSetPlayOption(MediaObject* o, UInt8 option) {
    if (o) o->playOption = option;
}
void MediaObjectSetDrawOptionA(MediaObject* o, UInt8 option) {
    if (o) o->drawOption = option;
}
void MediaObjectSetDrawOptionB(MediaObject* o, UInt8 option) {
    if (o) o->drawOptionB = option;
}
void MediaObjectSetDrawOptionC(MediaObject* o, UInt8 option) {
    if (o) o->pictureDrawOption = option;
}
void MediaObjectSetOpenOptionA(MediaObject* o) {
    if (o) o->openOptionA = 1;
}
void MediaObjectSetOpenOptionB(MediaObject* o) {
    if (o) o->openOptionB = 1;
}
void MediaObjectGetImageRect(const MediaObject* o, Rect* rect) {
    if (o && rect) *rect = o->imageRect;
}
UInt16 MediaObjectGetStateWord(const MediaObject* o) {
    return o ? o->stateWord : 0;
}
bool MediaObjectGetFileSpec(const MediaObject* o, FSSpec* spec) {
    if (!o || o->file.path.empty()) return false;
    if (spec) *spec = o->file;
    return true;
}
void MediaObjectCopyPreview(MediaObject* o, Handle preview) {
    if (!o) return;
    if (o->preview) DisposeHandle(o->preview);
    o->preview = nullptr;
    if (preview) {
        Handle copy = preview;
        if (HandToHand(&copy) == noErr) o->preview = copy;
    }
}

// ---- forwarded ------------------------------------------------------------------------------

OSErr MediaObjectDraw(MediaObject* o) {
    if (!IsOpen(o)) return noErr;
    return o->backend->Draw(*o);
}

void MediaObjectIdle(MediaObject* o) {
    if (IsOpen(o)) o->backend->Idle();
}

OSErr MediaObjectStart(MediaObject* o, UInt8 playOption) {
    return IsOpen(o) ? o->backend->Start(playOption) : OSErr(noErr);
}

OSErr MediaObjectStop(MediaObject* o) {
    return IsOpen(o) ? o->backend->Stop() : OSErr(noErr);
}

void MediaObjectSetVolume(MediaObject* o, UInt16 level) {
    if (!o) return;
    o->volume = level;
    if (IsOpen(o)) o->backend->SetVolume(level);
}

void MediaObjectUpdateCursor(MediaObject* o, Point where) {
    if (IsOpen(o)) o->backend->UpdateCursor(*o, where);
}

bool MediaObjectKey(MediaObject* o, SInt16 command) {
    if (!IsOpen(o)) return false;
    bool handled = o->backend->Key(command);
    if (handled) MediaObjectDraw(o);
    return handled;
}

bool MediaObjectMouseDown(MediaObject* o, Point where, UInt32 modifiers, bool redraw) {
    if (!IsOpen(o)) return false;
    bool handled = o->backend->MouseDown(*o, where, modifiers);
    if (handled && redraw) MediaObjectDraw(o);
    return handled;
}

void MediaObjectSetVideoWindow(MediaObject* o, HWND window, LPARAM lParam) {
    if (IsOpen(o)) o->backend->SetVideoWindow(window, lParam);
}

SInt32 MediaObjectGetPictureInfo(MediaObject* o) {
    return IsOpen(o) ? o->backend->PictureInfo() : 0;
}

void MediaObjectUpdateRect(MediaObject* o, Rect* rect) {
    if (!rect) return;
    *rect = Rect{};
    if (IsOpen(o)) o->backend->NaturalRect(rect);
}

SInt32 MediaObjectGetTypeCode(MediaObject* o) {
    return IsOpen(o) ? o->backend->TypeCode() : 0;
}

UInt8 MediaObjectGetPlayState(MediaObject* o, UInt8 playOption) {
    return IsOpen(o) ? o->backend->PlayState(playOption) : 0;
}

bool MediaObjectGetPosition(MediaObject* o) {
    return IsOpen(o) && o->backend->PlayState(o->playOption) == 2;
}

bool MediaObjectHasSound(MediaObject* o) {
    return IsOpen(o) && o->backend->HasSound();
}

void MediaObjectProcessEvents(MediaObject* o) {
    if (IsOpen(o)) o->backend->ProcessEvents();
}

bool MediaObjectGetCurrentTime(MediaObject* o, UInt32* value) {
    return IsOpen(o) && o->backend->CurrentTime(value);
}

bool MediaObjectGetPictureHandle(MediaObject* o, PicHandle* picture) {
    return IsOpen(o) && o->backend->PictureHandle(picture);
}

void* MediaObjectGetPictureData(MediaObject* o) {
    return IsOpen(o) ? o->backend->PictureData() : nullptr;
}

bool MediaObjectHideVideo(MediaObject* o) {
    return IsOpen(o) && o->backend->HideVideo();
}

SInt32 MediaObjectSetBarMode(MediaObject* o, SInt32 value) {
    return IsOpen(o) ? o->backend->SetBarMode(value) : 0;
}

bool MediaObjectGetSizeAndTime(MediaObject* o, UInt32* value, UInt32* secondValue, UInt8* category, OSType* kind) {
    if (value) *value = 0;
    if (secondValue) *secondValue = 0;
    if (category) *category = 0;
    if (kind) *kind = 0;
    if (!IsOpen(o)) return false;
    if (o->presenterType != kMediaPresenterPicture && o->presenterType != kMediaPresenterWindowsMedia) return false;
    UInt32 size = 0;
    if (!o->backend->SizeQuery(&size)) return false;
    UInt32 now = 0;
    if (value && !MediaObjectGetCurrentTime(o, &now)) *value = 1;
    if (secondValue) *secondValue = size;
    if (category) *category = KindGetCategory(o->kind);
    if (kind) *kind = o->kind;
    return true;
}

bool MediaObjectTrackController(MediaObject* o, Point where) {
    if (!IsOpen(o)) return false;
    bool handled = o->backend->Click(*o, where);
    MediaObjectDraw(o);
    return handled;
}

bool MediaObjectTrackControllerStill(MediaObject* o, Point where) {
    return MediaObjectTrackController(o, where);
}
