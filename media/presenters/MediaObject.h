// The media object: shows one media file or one in-memory picture in a window. Its owner (the
// Media view, the slide show) makes one per window, opens a file into it and forwards drawing,
// idle time, mouse and key events, play and stop and volume changes. The object keeps the
// rectangles, the display options and the open file, and hands each operation to one of four
// presenters chosen at open: 1 a picture from a file, 2 a movie or sound (movie importer
// kinds), 3 a picture held in memory, 4 a Windows media kind.
//
// The window is the offscreen the owner's window shows (windows draw into a backing
// offscreen): the object draws into it, and asks the owner to redraw through the redraw
// procedure when a playing medium has a new frame. Everything runs on the user-interface
// thread; frames are decoded on a thread of the presenter's own and reach this thread through
// the process-wide timer service.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/WindowMessages.h"
#include "platform/imaging/GWorld.h"
#include "platform/imaging/Picture.h"

#include <cstdint>
#include <memory>

class MediaBackend;

enum : SInt32 {
    kMediaPresenterNone = 0,
    kMediaPresenterPicture = 1,
    kMediaPresenterMovie = 2,
    kMediaPresenterMemoryPicture = 3,
    kMediaPresenterWindowsMedia = 4,
};

// What MediaObjectGetPictureInfo answers: what the presenter shows now.
enum : SInt32 {
    kMediaShowsNothing = 0,
    kMediaShowsPicture = 1,        // a picture from a file
    kMediaShowsStill = 2,          // a still of a time-based medium
    kMediaShowsPreview = 3,        // a preview the Media header bar draws in its badge box
    kMediaShowsMemoryPicture = 4,  // a picture held in memory
};

// Show levels (MediaObjectSetShowFlag): the view modes of ScaleRectInRect.
enum : UInt8 { kShowActualSize = 1, kShowScaledToFit = 2, kShowKeepPercent = 8, kShowPercent = 10 };

// Keyboard commands of MediaObjectKey.
enum : SInt16 { kMediaKeyNext = 0, kMediaKeyPrevious = 1, kMediaKeyLast = 2, kMediaKeyFirst = 3 };

// Asks the owner to draw the object again (a new frame, a changed state).
using MediaObjectRedrawProc = void (*)(struct MediaObject* object, std::uintptr_t refCon);

struct MediaObject {
    std::unique_ptr<MediaBackend> backend;  // the open presenter's own record
    SInt32 presenterType = kMediaPresenterNone;
    GWorldPtr window = nullptr;
    Rect bounds{};
    Rect displayRect{};
    Rect imageRect{};   // where the presenter last drew the image
    Rect userRect{};    // written by the draw; its first four bytes hold the owner's user value
    UInt16 stateWord = 0;
    UInt8 openOption = 0;
    UInt8 stillOnly = 0;
    UInt8 playOption = 0;
    UInt8 pictureDrawOption = 0;
    UInt8 drawOption = 0;
    UInt8 openOptionA = 0, openOptionB = 0;
    UInt8 drawOptions[2] = {0, 0};
    UInt8 openOptionC = 0;
    UInt8 colorPresent = 0;
    UInt8 pictureDrawExtras[3] = {0, 0, 0};
    UInt16 volume = 7;
    UInt16 percent = 100;
    RGBColor background{0, 0, 0};
    UInt8 sizeMode = 1;
    UInt8 drawOptionB = 0;
    FSSpec file;
    OSType kind = 0;
    Handle preview = nullptr;
    PicHandle picture = nullptr;
    // The owner's redraw request, and the scroll point of oversized pictures.
    MediaObjectRedrawProc redraw = nullptr;
    std::uintptr_t redrawRef = 0;
    Point scroll{0, 0};
    MediaObject();
    ~MediaObject();
};

// ---- life cycle --------------------------------------------------------------------------
MediaObject* MediaObjectNew(GWorldPtr window);
// Opens a file with the presenter its kind asks for (see MediaObject.cpp); with reuse and the
// same file open already, answers 0 and changes nothing. The three values go to the presenter's
// open: the first page or start time, the page count, the orientation code.
OSErr MediaObjectOpen(MediaObject* object, const FSSpec* spec, OSType kind, SInt32 valueA, SInt32 valueB,
                      SInt32 valueC, bool reuse);
// Opens a file with the picture presenter whatever its kind.
OSErr MediaObjectOpenPicture(MediaObject* object, const FSSpec* spec, OSType kind, SInt32 value, bool reuse);
// Opens an in-memory picture (its bytes are copied); the file becomes empty and the kind 0.
OSErr MediaObjectOpenHandle(MediaObject* object, Handle pictureData);
void MediaObjectClose(MediaObject* object);
void MediaObjectDelete(MediaObject* object);
// True while a medium is open.
bool MediaObjectIsOpen(const MediaObject* object);

// ---- the record --------------------------------------------------------------------------
void MediaObjectSetWindow(MediaObject* object, GWorldPtr window);
void MediaObjectSetRedrawProc(MediaObject* object, MediaObjectRedrawProc proc, std::uintptr_t refCon);
void MediaObjectSetBounds(MediaObject* object, const Rect* bounds);
// The display rectangle, or the bounds when null.
void MediaObjectSetDisplayRect(MediaObject* object, const Rect* rect);
// The background colour, or none when null.
void MediaObjectSetColor(MediaObject* object, const RGBColor* color);
void MediaObjectSetPercent(MediaObject* object, UInt16 percent);
UInt16 MediaObjectGetPercent(const MediaObject* object);
void MediaObjectSetShowFlag(MediaObject* object, UInt8 sizeMode);
UInt8 MediaObjectGetShowFlag(const MediaObject* object);
void MediaObjectSetUserValue(MediaObject* object, UInt32 value);
UInt32 MediaObjectGetUserValue(const MediaObject* object);
void MediaObjectSetStillOnly(MediaObject* object, UInt8 stillOnly);
void MediaObjectSetPlayOption(MediaObject* object, UInt8 option);
void MediaObjectSetDrawOptionA(MediaObject* object, UInt8 option);
void MediaObjectSetDrawOptionB(MediaObject* object, UInt8 option);
void MediaObjectSetDrawOptionC(MediaObject* object, UInt8 option);
void MediaObjectSetOpenOptionA(MediaObject* object);
void MediaObjectSetOpenOptionB(MediaObject* object);
void MediaObjectGetImageRect(const MediaObject* object, Rect* rect);
UInt16 MediaObjectGetStateWord(const MediaObject* object);
// Copies the open file out; false when nothing is open.
bool MediaObjectGetFileSpec(const MediaObject* object, FSSpec* spec);
// Keeps a copy of the handle as the object's preview (frees the old one; none when null).
void MediaObjectCopyPreview(MediaObject* object, Handle preview);

// ---- forwarded to the presenter -----------------------------------------------------------
OSErr MediaObjectDraw(MediaObject* object);
void MediaObjectIdle(MediaObject* object);
OSErr MediaObjectStart(MediaObject* object, UInt8 playOption);
OSErr MediaObjectStop(MediaObject* object);
// Level 0..7; stored, and passed to a movie or Windows media presenter.
void MediaObjectSetVolume(MediaObject* object, UInt16 level);
void MediaObjectUpdateCursor(MediaObject* object, Point where);
// Keyboard commands 0..3 (forward, backward, jump forward, jump backward; pages for pictures).
bool MediaObjectKey(MediaObject* object, SInt16 command);
bool MediaObjectMouseDown(MediaObject* object, Point where, UInt32 modifiers, bool redraw);
void MediaObjectSetVideoWindow(MediaObject* object, HWND window, LPARAM lParam = 0);
SInt32 MediaObjectGetPictureInfo(MediaObject* object);
// The medium's natural rectangle; empty when nothing is open.
void MediaObjectUpdateRect(MediaObject* object, Rect* rect);
SInt32 MediaObjectGetTypeCode(MediaObject* object);
// 0 stopped or ended, 1 paused, 2 playing (Windows media); 0 done, 1 stopped, 2 playing (movies).
UInt8 MediaObjectGetPlayState(MediaObject* object, UInt8 playOption);
// True while the medium still plays (with the object's play option).
bool MediaObjectGetPosition(MediaObject* object);
bool MediaObjectHasSound(MediaObject* object);
// Handles the medium's pending events (its end); the owner calls it when the event message
// (0x40D) arrives.
void MediaObjectProcessEvents(MediaObject* object);
bool MediaObjectGetCurrentTime(MediaObject* object, UInt32* value);
bool MediaObjectGetPictureHandle(MediaObject* object, PicHandle* picture);
void* MediaObjectGetPictureData(MediaObject* object);
bool MediaObjectHideVideo(MediaObject* object);
SInt32 MediaObjectSetBarMode(MediaObject* object, SInt32 value);
// Size and time: false unless a picture from a file or a Windows medium answers its size query.
bool MediaObjectGetSizeAndTime(MediaObject* object, UInt32* value, UInt32* secondValue, UInt8* category,
                               OSType* kind);
// A press inside the controller: the presenter acts on it (play, pause, position; pictures
// redraw) and the object is drawn again.
bool MediaObjectTrackController(MediaObject* object, Point where);
bool MediaObjectTrackControllerStill(MediaObject* object, Point where);

// Volume levels to the movie volume (8.8 fixed) and to hundredths of a decibel.
SInt16 MediaVolumeToMovieVolume(UInt16 level);
SInt32 MediaVolumeToDecibels(UInt16 level);
