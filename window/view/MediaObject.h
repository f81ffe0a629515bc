// The presenter of one item in a view window: the record the view engine opens items in,
// starts, stops, steps and draws, whatever the item is. The record keeps the options the
// engine sets (show level, percent, draw and open options, volume); the work of showing a
// kind of medium is done by a back-end chosen when an item is opened.
//
// Back-ends come from an installable factory, so the movie and sound presenters plug in
// without the view engine knowing them; the built-in factory shows still pictures through the
// platform's graphics importers.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <memory>

struct ViewPort;
struct MediaObject;

// What a presenter shows, as MediaObjectGetPictureInfo answers it.
enum : int {
    kMediaShowsNothing = 0,
    kMediaShowsPicture = 1,     // a picture is shown
    kMediaShowsStill = 2,       // a still of a time-based medium
    kMediaShowsPreview = 3,     // a preview the header bar draws in its badge box
};

// Presenter types.
enum : int {
    kMediaClosed = 0,
    kMediaPictureFile = 1,
    kMediaMovie = 2,
    kMediaPictureMemory = 3,
    kMediaStream = 4,
};

// Keys of MediaObjectKey.
enum : int { kMediaKeyNext = 0, kMediaKeyPrevious = 1, kMediaKeyLast = 2, kMediaKeyFirst = 3 };

// Show levels.
enum : UInt8 { kShowActualSize = 1, kShowScaledToFit = 2, kShowKeepPercent = 8, kShowPercent = 10 };

class MediaBackEnd {
public:
    virtual ~MediaBackEnd() = default;
    // The presenter type the back-end is (kMediaPictureFile, kMediaMovie, ...).
    virtual int Type() const = 0;
    virtual OSErr Open(const FSSpec& file, OSType kind) = 0;
    // Draws into the world inside the display rectangle with the record's show level and
    // percent; answers the percent it drew at (100 for actual size).
    virtual OSErr Draw(GWorldPtr world, const Rect& display, const MediaObject& options, UInt16* percent) = 0;
    virtual int PictureInfo() const = 0;
    virtual bool HasPictureData() const { return false; }
    virtual void Start() {}
    virtual void Stop() {}
    // True while the medium still plays.
    virtual bool IsPlaying() const { return false; }
    virtual void Key(int key) {}
    virtual void SetVolume(int level) {}
    // Pending events of the back-end (end of a medium, a new frame) are handled here.
    virtual void HandleEvent() {}
};

// Makes the back-end for a kind; null when no back-end shows it.
using MediaBackEndFactory = std::unique_ptr<MediaBackEnd> (*)(OSType kind);
// Installs a factory (null restores the built-in one, which shows still pictures).
void MediaObjectSetBackEndFactory(MediaBackEndFactory factory);
std::unique_ptr<MediaBackEnd> MediaMakeStillPictureBackEnd(OSType kind);

struct MediaObject {
    ViewPort* port = nullptr;
    Rect bounds{0, 0, 0, 0};
    Rect display{0, 0, 0, 0};
    UInt16 percent = 100;
    UInt16 shownPercent = 0;          // the percent of the last draw
    UInt8 showFlag = kShowScaledToFit;
    UInt8 drawOptionA = 0;
    UInt8 openOptionA = 0;
    UInt8 playOption = 0;
    int volume = 7;
    FSSpec file;
    OSType kind = 0;
    std::unique_ptr<MediaBackEnd> backEnd;
};

MediaObject* MediaObjectNew(ViewPort* port);
void MediaObjectDispose(MediaObject* media);
// Back to the empty state (the options stay).
void MediaObjectClose(MediaObject* media);
// Opens a file of that kind; a failed open leaves the presenter closed. -2008 when no
// back-end shows the kind.
OSErr MediaObjectOpen(MediaObject* media, const FSSpec* file, OSType kind);
bool MediaObjectIsOpen(const MediaObject* media);
int MediaObjectGetType(const MediaObject* media);
void MediaObjectStart(MediaObject* media);
void MediaObjectStop(MediaObject* media);
// True while the medium still plays.
bool MediaObjectGetPosition(const MediaObject* media);
void MediaObjectKey(MediaObject* media, int key);
void MediaObjectSetVolume(MediaObject* media, int level);
void MediaObjectSetShowFlag(MediaObject* media, UInt8 level);
UInt8 MediaObjectGetShowFlag(const MediaObject* media);
void MediaObjectSetPercent(MediaObject* media, UInt16 percent);
UInt16 MediaObjectGetPercent(const MediaObject* media);
// The percent shown now (the last draw's), or the set percent before any draw.
UInt16 MediaObjectGetStateWord(const MediaObject* media);
void MediaObjectSetDrawOptionA(MediaObject* media, UInt8 value);
void MediaObjectSetOpenOptionA(MediaObject* media, UInt8 value);
void MediaObjectSetPlayOption(MediaObject* media, UInt8 value);
void MediaObjectSetDisplayRect(MediaObject* media, const Rect* rect);
// Draws into the presenter's port at its display rectangle; nothing when closed.
OSErr MediaObjectDraw(MediaObject* media);
int MediaObjectGetPictureInfo(const MediaObject* media);
// True when the presenter holds picture data of an open item.
bool MediaObjectGetPictureData(const MediaObject* media);
// The open file; false when closed.
bool MediaObjectGetFileSpec(const MediaObject* media, FSSpec* file);
void MediaObjectHandleEvent(MediaObject* media);
