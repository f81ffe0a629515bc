// What the media object asks of a presenter. Each presenter answers the operations it serves;
// the defaults are the answers of a presenter that does not serve one.
#pragma once

#include "media/presenters/MediaObject.h"

class MediaBackend {
public:
    virtual ~MediaBackend() = default;
    // Draws the medium into the object's window inside its rectangles; writes the object's
    // image rectangle.
    virtual OSErr Draw(MediaObject& object) = 0;
    virtual void Idle() {}
    virtual OSErr Start(UInt8 playOption) { return noErr; }
    virtual OSErr Stop() { return noErr; }
    virtual void SetVolume(UInt16 level) {}
    virtual void UpdateCursor(MediaObject& object, Point where) {}
    virtual bool Key(SInt16 command) { return false; }
    virtual bool MouseDown(MediaObject& object, Point where, UInt32 modifiers) { return false; }
    virtual void SetVideoWindow(HWND window, LPARAM lParam) {}
    virtual SInt32 PictureInfo() { return 0; }
    virtual void NaturalRect(Rect* rect) { *rect = Rect{}; }
    virtual SInt32 TypeCode() { return 0; }
    virtual UInt8 PlayState(UInt8 playOption) { return 0; }
    virtual bool HasSound() { return false; }
    virtual void ProcessEvents() {}
    virtual bool CurrentTime(UInt32* value) { return false; }
    virtual bool PictureHandle(PicHandle* picture) { return false; }
    virtual void* PictureData() { return nullptr; }
    virtual bool HideVideo() { return false; }
    virtual SInt32 SetBarMode(SInt32 value) { return 0; }
    // The size query of the size-and-time call (page count, duration).
    virtual bool SizeQuery(UInt32* value) { return false; }
    // A press on the controller (or, for pictures, anywhere).
    virtual bool Click(MediaObject& object, Point where) { return false; }
};
