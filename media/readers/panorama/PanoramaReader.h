// Panorama movies read by our own code: a panorama movie holds its picture in an ordinary video
// track, cut into tiles (one tile a frame), and describes it in one sample of its panorama
// track: the pan, tilt and field-of-view limits and defaults, the picture's size, how it is
// cut and how it lies (a horizontal cylinder, a cylinder stored turned a quarter turn
// counter-clockwise, or the six faces of a cube). The reader finds that sample through the
// movie's atoms, decodes the tiles through the movie layer and puts the whole panorama back
// together, upright.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

enum : OSType {
    kPanoramaHorizontalCylinder = 'hcyl',
    kPanoramaVerticalCylinder = 'vcyl',   // stored turned a quarter turn counter-clockwise
    kPanoramaCube = 'cube',
};

struct PanoramaDescription {
    OSType controllerType = 0;     // the movie's panorama controller type ('qtvr', 'pano'...)
    float minPan = 0, maxPan = 360, minTilt = 0, maxTilt = 0;
    float minFieldOfView = 0, maxFieldOfView = 0;
    float defaultPan = 0, defaultTilt = 0, defaultFieldOfView = 0;
    UInt32 imageWidth = 0, imageHeight = 0;  // of the picture as stored (before turning it)
    UInt16 tilesAcross = 0, tilesDown = 0;   // frames across and down the stored picture
    UInt32 flags = 0;
    OSType shape = kPanoramaHorizontalCylinder;  // how the picture lies, resolved from the file
    int imageTrack = -1;          // the image track's place among the movie's tracks
    SInt16 viewWidth = 0, viewHeight = 0;  // the movie's window, 0 when it gives none
};

// Reads the panorama's description. -2053 when the file is no panorama movie (no panorama
// controller type, or no panorama track), -8969 when its description or tracks are damaged,
// the file layer's error when it cannot be read.
OSErr PanoramaReadDescription(const FSSpec* spec, PanoramaDescription* description);

// Decodes the tiles and puts the panorama together into a new 32-bit world: a cylinder upright
// (pan running across, the largest pan angle at the left edge), a cube as its six square faces
// side by side in the file's order (front, right, back, left, top, bottom). -8969 when the
// tiles do not make up the picture the description gives, -2010 for a picture beyond the
// size limits or one that takes more than 20 seconds to decode, the movie layer's error when
// the track cannot be decoded.
OSErr PanoramaReadPicture(const FSSpec* spec, const PanoramaDescription& description, GWorldPtr* picture);

// Description and picture together, for the catalog's information and thumbnail: the whole
// picture (a cube: its four side faces, front to left), shrunk to fit a maxSide square when
// maxSide is above 0; *size (when asked) receives its size before shrinking.
OSErr PanoramaReadOverview(const FSSpec* spec, SInt32 maxSide, GWorldPtr* picture, PanoramaDescription* description,
                           Rect* size = nullptr);
