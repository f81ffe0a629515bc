// The keys of a running show: a wx key event to what the show does with it. The stage and the
// options window both send their keys here, so the show answers the same keys wherever the
// focus is.
#pragma once

#include "output/slideshow/SlideShowMachine.h"

class wxKeyEvent;

// True when the key belongs to the show (and was handed to it).
bool SlideShowHandleKey(SlideShowMachine& show, const wxKeyEvent& event);
