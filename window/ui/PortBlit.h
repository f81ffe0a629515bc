// Copies a view port's backing offscreen to the screen inside a paint handler: the only
// drawing a window that hosts the view engine does.
#pragma once

#include "window/view/ViewPort.h"

class wxWindow;

// Paints the damaged parts of the window from the port's offscreen (the whole window when no
// port is given: a plain face colour).
void PaintFromPort(wxWindow* window, ViewPort* port);
// Turns the damage the engine did since the last call into a repaint of those pixels.
void RefreshPortDamage(wxWindow* window, ViewPort* port);
