// The slow turn of a playing panorama: once started, the pan angle grows by a tenth of a
// degree at each new tick (a sixtieth of a second) from the smallest pan angle to the largest,
// where the turn stops. A panorama whose pan limits are equal turns from 0 to 360 degrees.
#pragma once

#include "media/readers/panorama/PanoramaReader.h"

struct PanoramaRecord {
    UInt32 lastTick = 0;
    float minPan = 0;
    float maxPan = 360;
    float currentPan = 0;
    UInt8 panning = 0;  // 1 while the turn runs
};

// A record for the panorama, at its smallest pan angle; null when panoramas are not supported
// (QuickTimeVRAvailability is not 1) or there is no description.
PanoramaRecord* PanoramaStart(const PanoramaDescription* description);
// Starts the turn; one that had reached the end starts again from the smallest angle.
void PanoramaBeginTurning(PanoramaRecord* record);
void PanoramaStopTurning(PanoramaRecord* record);
// One idle step at the tick count: true when the pan angle changed.
bool PanoramaIdleStep(PanoramaRecord* record, UInt32 tick);
void PanoramaFree(PanoramaRecord* record);
// True for no record, or a record that is not turning.
bool PanoramaIsIdle(const PanoramaRecord* record);
