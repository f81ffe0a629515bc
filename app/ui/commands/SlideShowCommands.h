// The catalog window's slide-show commands: Run Slide Show and Slide Show Options.
#pragma once

#include "app/ui/commands/CommandTable.h"

class CMainFrame;

void AddSlideShowCommands(CommandRowAdder& add);
// Runs a show of the frame's visible items from its current item; beeps when the show
// refuses to start. The frame hides and takes the show's keys until the show ends.
bool RunSlideShow(CMainFrame* frame);
