// Copies a view port's backing offscreen to the screen inside a paint handler: the only
// drawing a window that hosts the view engine does.
#pragma once

#include "window/view/ViewPort.h"

#include <functional>

typedef struct _cairo cairo_t;

class wxWindow;

// Paints the damaged parts of the window from the port's offscreen (the whole window when no
// port is given: a plain face colour).
// An overlay, when given, draws over the copied picture (drag feedback), clipped to the damage.
void PaintFromPort(wxWindow* window, ViewPort* port, const std::function<void(cairo_t*)>& overlay = {});
// Turns the damage the engine did since the last call into a repaint of those pixels.
void RefreshPortDamage(wxWindow* window, ViewPort* port);
