// What a viewer standing inside a panorama sees: a flat view at a pan angle (degrees, growing
// as the viewer turns left), a tilt (degrees up) and a vertical field of view, drawn from the
// upright panorama picture of the reader into an area of a port.
#pragma once

#include "media/readers/panorama/PanoramaReader.h"

struct PanoramaView {
    float pan = 0;
    float tilt = 0;
    float fieldOfView = 60;  // vertical, degrees
};

// The description's limits applied: the field of view within its limits (when they are set)
// and 5..120 degrees; the tilt so the view stays inside the tilt limits (when they are set);
// the pan within its limits unless they cover the whole circle, where it is taken modulo 360.
PanoramaView PanoramaClampView(const PanoramaDescription& description, PanoramaView view);

// The view the movie opens with: the description's defaults (the field of view of a
// description without one shows the cylinder's whole height, at most 90 degrees).
PanoramaView PanoramaDefaultView(const PanoramaDescription& description, GWorldPtr picture);

// Draws the view into the area of the port (32-bit). Directions the picture does not cover
// (above and below a cylinder, outside a partial cylinder) take the background colour.
// -50 without a picture, port or area.
OSErr PanoramaDrawView(GWorldPtr picture, const PanoramaDescription& description, const PanoramaView& view,
                       GWorldPtr port, const Rect* area, const RGBColor* background);

// The pan angle at the centre of a picture column of a cylinder, and the column of a pan angle
// (the largest pan at the left edge).
double PanoramaPanOfColumn(const PanoramaDescription& description, int pictureWidth, double column);
double PanoramaColumnOfPan(const PanoramaDescription& description, int pictureWidth, double pan);
