#include "platform/movies/MovieImport.h"

#include "platform/Handles.h"
#include "platform/movies/MovieSource.h"

OSErr MovieImportFromHandle(void*, Handle data, GWorldPtr* outPicture, Rect* outFrame, SInt32 level) {
    if (!outPicture) return paramErr;
    *outPicture = nullptr;
    if (!data || !*data || GetHandleSize(data) <= 0 || level < 1 || level > 9) return paramErr;
    // The source reads the bytes in place: keep the block from moving while it is open.
    const bool wasLocked = HIsLocked(data);
    HLock(data);
    GWorldPtr picture = nullptr;
    OSErr err;
    {
        MovieSource source;
        err = source.OpenMemory(*data, std::size_t(GetHandleSize(data)));
        if (err == noErr) err = source.FrameAt(0, 0, &picture);
    }
    if (!wasLocked) HUnlock(data);
    if (err != noErr) return err;
    *outPicture = picture;
    if (outFrame) *outFrame = GetPortBounds(picture);
    return noErr;
}
