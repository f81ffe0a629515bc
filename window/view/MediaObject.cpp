#include "window/view/MediaObject.h"

#include "window/view/ViewPort.h"

namespace {
MediaBackEndFactory gFactory = nullptr;
}

void MediaObjectSetBackEndFactory(MediaBackEndFactory factory) { gFactory = factory; }

MediaObject* MediaObjectNew(ViewPort* port) {
    auto* media = new (std::nothrow) MediaObject;
    if (media) media->port = port;
    return media;
}

void MediaObjectDispose(MediaObject* media) {
    if (!media) return;
    MediaObjectClose(media);
    delete media;
}

void MediaObjectClose(MediaObject* media) {
    if (!media) return;
    if (media->backEnd) media->backEnd->Stop();
    media->backEnd.reset();
    media->file = FSSpec{};
    media->kind = 0;
    media->shownPercent = 0;
}

OSErr MediaObjectOpen(MediaObject* media, const FSSpec* file, OSType kind) {
    if (!media || !file || file->path.empty()) return paramErr;
    MediaObjectClose(media);
    std::unique_ptr<MediaBackEnd> backEnd = gFactory ? gFactory(kind) : nullptr;
    // An installed factory that has no back-end for the kind leaves stills to the built-in one.
    if (!backEnd) backEnd = MediaMakeStillPictureBackEnd(kind);
    if (!backEnd) return -2008;
    OSErr err = backEnd->Open(*file, kind);
    if (err != noErr) return err;
    backEnd->SetVolume(media->volume);
    media->backEnd = std::move(backEnd);
    media->file = *file;
    media->kind = kind;
    return noErr;
}

bool MediaObjectIsOpen(const MediaObject* media) { return media && media->backEnd; }
int MediaObjectGetType(const MediaObject* media) { return MediaObjectIsOpen(media) ? media->backEnd->Type() : kMediaClosed; }

void MediaObjectStart(MediaObject* media) {
    if (MediaObjectIsOpen(media)) media->backEnd->Start();
}
void MediaObjectStop(MediaObject* media) {
    if (MediaObjectIsOpen(media)) media->backEnd->Stop();
}
bool MediaObjectGetPosition(const MediaObject* media) { return MediaObjectIsOpen(media) && media->backEnd->IsPlaying(); }
void MediaObjectKey(MediaObject* media, int key) {
    if (MediaObjectIsOpen(media)) media->backEnd->Key(key);
}
void MediaObjectSetVolume(MediaObject* media, int level) {
    if (!media) return;
    media->volume = level;
    if (media->backEnd) media->backEnd->SetVolume(level);
}
void MediaObjectSetShowFlag(MediaObject* media, UInt8 level) {
    if (media) media->showFlag = level;
}
UInt8 MediaObjectGetShowFlag(const MediaObject* media) { return media ? media->showFlag : 0; }
void MediaObjectSetPercent(MediaObject* media, UInt16 percent) {
    if (media) media->percent = percent;
}
UInt16 MediaObjectGetPercent(const MediaObject* media) { return media ? media->percent : 0; }
UInt16 MediaObjectGetStateWord(const MediaObject* media) {
    if (!media) return 0;
    return media->shownPercent ? media->shownPercent : media->percent;
}
void MediaObjectSetDrawOptionA(MediaObject* media, UInt8 value) {
    if (media) media->drawOptionA = value;
}
void MediaObjectSetOpenOptionA(MediaObject* media, UInt8 value) {
    if (media) media->openOptionA = value;
}
void MediaObjectSetPlayOption(MediaObject* media, UInt8 value) {
    if (media) media->playOption = value;
}
void MediaObjectSetDisplayRect(MediaObject* media, const Rect* rect) {
    if (media && rect) media->display = *rect;
}

OSErr MediaObjectDraw(MediaObject* media) {
    if (!MediaObjectIsOpen(media) || !media->port || !media->port->world) return noErr;
    UInt16 percent = 0;
    OSErr err = media->backEnd->Draw(media->port->world, media->display, *media, &percent);
    if (err == noErr) {
        media->shownPercent = percent;
        ViewPortAddDamage(media->port, &media->display);
    }
    return err;
}

int MediaObjectGetPictureInfo(const MediaObject* media) {
    return MediaObjectIsOpen(media) ? media->backEnd->PictureInfo() : kMediaShowsNothing;
}
bool MediaObjectGetPictureData(const MediaObject* media) {
    return MediaObjectIsOpen(media) && media->backEnd->HasPictureData();
}
bool MediaObjectGetFileSpec(const MediaObject* media, FSSpec* file) {
    if (!MediaObjectIsOpen(media)) return false;
    if (file) *file = media->file;
    return true;
}
void MediaObjectHandleEvent(MediaObject* media) {
    if (MediaObjectIsOpen(media)) media->backEnd->HandleEvent();
}
