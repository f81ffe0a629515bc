// The movie presenter's way with panorama movies: the view from inside the panorama, drawn
// from the whole panorama picture at the object's size, turned slowly once around while it
// plays (the spinner), and set to any pan, tilt and field of view by its owner.
#pragma once

#include "media/presenters/MediaObject.h"
#include "media/readers/panorama/PanoramaView.h"

#include <memory>

// A presenter for the file when it is a panorama movie and panoramas are supported; null
// with err 0 when it is not one (the caller opens it as a movie), null with the reader's
// error when it is one that cannot be read.
std::unique_ptr<MediaBackend> PanoramaPresenterOpen(MediaObject& object, const FSSpec& spec, OSErr& err);

// The view the presenter shows; false when the object shows no panorama.
bool PanoramaPresenterGetView(MediaObject* object, PanoramaView* view);
// Sets the view (kept within the panorama's limits) and asks the owner to redraw.
bool PanoramaPresenterSetView(MediaObject* object, const PanoramaView& view);
