#include "media/readers/panorama/PanoramaSpinner.h"

#include "media/readers/panorama/QuickTimeVR.h"

PanoramaRecord* PanoramaStart(const PanoramaDescription* d) {
    if (QuickTimeVRAvailability() != 1 || !d) return nullptr;
    auto* r = new PanoramaRecord();
    r->minPan = d->minPan;
    r->maxPan = d->maxPan;
    if (r->minPan == r->maxPan) {
        r->minPan = 0;
        r->maxPan = 360;
    }
    r->currentPan = r->minPan;
    return r;
}

void PanoramaBeginTurning(PanoramaRecord* r) {
    if (!r) return;
    r->panning = 1;
    if (r->currentPan >= r->maxPan) r->currentPan = r->minPan;
}

void PanoramaStopTurning(PanoramaRecord* r) {
    if (r) r->panning = 0;
}

bool PanoramaIdleStep(PanoramaRecord* r, UInt32 tick) {
    if (!r || !r->panning || QuickTimeVRAvailability() != 1 || tick == r->lastTick) return false;
    r->lastTick = tick;
    r->currentPan += 0.1f;
    if (r->currentPan >= r->maxPan) {
        r->currentPan = r->maxPan;
        r->panning = 0;
    }
    return true;
}

void PanoramaFree(PanoramaRecord* r) { delete r; }

bool PanoramaIsIdle(const PanoramaRecord* r) { return !r || !r->panning; }
