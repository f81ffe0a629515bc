// The ten visual transitions from one picture to the next (wipes, an iris, a clock and a
// dissolve) that the slide show and the presenters play, drawn frame by frame between two
// offscreens of the same size.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <cstdint>

struct TransitionEffect {
    OSType type;      // 'smpt', 'smp2', 'smp3' wipes, 'dslv' cross dissolve
    SInt32 wipeId;    // the wipe's pattern; 0 for the dissolve
    SInt32 repeatH;   // the pattern repeated across and down
    SInt32 repeatV;
};

// The effect of a transition number 1..10; false for any other number.
bool TransitionGetEffect(SInt32 number, TransitionEffect* effect);

// One frame of the effect at progress 0..1 (0 the source, 1 the destination), written into
// out; the three worlds are 32-bit and of one size (else -50).
OSErr TransitionRenderFrame(const TransitionEffect& effect, GWorldPtr source, GWorldPtr destination, double progress,
                            GWorldPtr out);

// Called with step 0 before the first frame, 1 after each frame and 2 at the end, with the
// frame just drawn and the caller's reference; a non-zero answer to step 1 ends the run.
using TransitionProc = OSErr (*)(SInt32 step, GWorldPtr frame, std::uintptr_t refCon);

// Plays the transition into the area of the current port (a frame world of the area's size
// when there is no current port) for duration ticks (60 a second), the frames timed by the
// clock. Numbers outside 1..10 draw nothing and return at once (0).
OSErr TransitionRun(SInt32 number, GWorldPtr source, GWorldPtr destination, const Rect* area, UInt32 duration,
                    TransitionProc callback, std::uintptr_t refCon);
