#include "foundation/resources/PictureResources.h"

#include "foundation/resources/ResourceStrings.h"
#include "platform/Handles.h"
#include "platform/movies/MovieImport.h"

OSErr LoadPictResource(SInt16 resourceId, GWorldPtr* outPicture, Rect* outFrame) {
    if (!outPicture) return paramErr;
    *outPicture = nullptr;
    Handle data = nullptr;
    if (OSErr err = LoadResourceHandle(&data, 'TIFF', resourceId); err != noErr) return err;
    OSErr err = MovieImportFromHandle(nullptr, data, outPicture, outFrame, 5);
    DisposeHandle(data);
    return err;
}
