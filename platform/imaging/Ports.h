// The current port and its drawing state, as QuickDraw keeps them: one process-wide current
// world (used from the user-interface thread only) and the colour, pen and text calls that
// act on it.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

GWorldPtr GetGWorld();
void SetGWorld(GWorldPtr world);

// On the current port; nothing happens without one.
void RGBForeColor(const RGBColor* color);
void RGBBackColor(const RGBColor* color);
void GetForeColor(RGBColor* color);
void GetBackColor(RGBColor* color);
void GetPenState(PenState* pen);
void SetPenState(const PenState* pen);
void TextFont(std::int16_t font);
void TextFace(std::int16_t face);
void TextSize(std::int16_t size);

// How many font, face and size changes have been made (for callers that avoid needless ones).
unsigned long PortTextCallCount();
